#pragma once
#include "ServerConnection.h"

#include <QString>
#include <functional>
#include <optional>

class QWidget;

// The coursebook's questions and messages to the user, and its file dialogs: one place that
// opens them, so that tests can answer them without a window waiting for a person.

enum class TMessageKind { Information, Warning, Question };

struct TMessageRequest {
    QString Text;
    TMessageKind Kind = TMessageKind::Information;
    QWidget* Owner = nullptr;
};
// Information and warnings have one button (the answer is true); a question has "Да" and "Нет"
// and answers true for "Да".
bool ShowMessage(const QString& text, TMessageKind kind = TMessageKind::Information,
                 QWidget* owner = nullptr);
inline bool AskYesNo(const QString& text, QWidget* owner = nullptr) {
    return ShowMessage(text, TMessageKind::Question, owner);
}
// nullptr restores the real message box.
void SetMessageHandler(std::function<bool(const TMessageRequest&)> handler);

struct TOpenFileRequest {
    QString Title;
    QString Folder; // where the dialog starts
    QString Filter; // "Description|*.a;*.b|Description|*.*"
    bool PicturePreview = false;
    QWidget* Owner = nullptr;
};
// An existing file's full path, or empty when the user cancelled.
QString AskOpenFileName(const TOpenFileRequest& request);
void SetOpenFileHandler(std::function<QString(const TOpenFileRequest&)> handler);

// The window that asks for the class server's password when ~/.pgpass has none (installed by
// the program as the data module's password prompt). The typed password is only handed back.
std::optional<QString> AskServerPassword(const TPasswordRequest& request);
