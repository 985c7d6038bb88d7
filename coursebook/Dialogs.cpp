#include "Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

std::function<bool(const TMessageRequest&)> MessageHandler;
std::function<QString(const TOpenFileRequest&)> OpenFileHandler;

bool MessageBoxAnswer(const TMessageRequest& r) {
    QMessageBox box(r.Owner ? r.Owner : QApplication::activeWindow());
    box.setWindowTitle(QGuiApplication::applicationDisplayName());
    box.setText(r.Text);
    switch (r.Kind) {
    case TMessageKind::Information:
        box.setIcon(QMessageBox::Information);
        box.addButton(QStringLiteral("Ок"), QMessageBox::AcceptRole);
        break;
    case TMessageKind::Warning:
        box.setIcon(QMessageBox::Warning);
        box.addButton(QStringLiteral("Ок"), QMessageBox::AcceptRole);
        break;
    case TMessageKind::Question: {
        box.setIcon(QMessageBox::Question);
        QPushButton* yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
        box.setDefaultButton(no);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes;
    }
    }
    box.exec();
    return true;
}

// "Description|*.a;*.b|Other|*.*" as Qt's "Description (*.a *.b);;Other (*)".
QString QtFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        out << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return out.join(QStringLiteral(";;"));
}

// The picture dialog shows the chosen picture beside the file list.
QString PictureDialog(const TOpenFileRequest& r) {
    QFileDialog dialog(r.Owner, r.Title, r.Folder, QtFilter(r.Filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* preview = new QLabel(&dialog);
    preview->setFixedSize(220, 220);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(preview, 1, grid->columnCount(), grid->rowCount() - 1, 1);
    QObject::connect(
        &dialog, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
            const QPixmap pm(path);
            preview->setPixmap(pm.isNull() ? QPixmap()
                                           : pm.scaled(preview->size(), Qt::KeepAspectRatio,
                                                       Qt::SmoothTransformation));
        });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

bool ShowMessage(const QString& text, TMessageKind kind, QWidget* owner) {
    const TMessageRequest request{text, kind, owner};
    return MessageHandler ? MessageHandler(request) : MessageBoxAnswer(request);
}

void SetMessageHandler(std::function<bool(const TMessageRequest&)> handler) {
    MessageHandler = std::move(handler);
}

QString AskOpenFileName(const TOpenFileRequest& request) {
    if (OpenFileHandler) return OpenFileHandler(request);
    if (request.PicturePreview) return PictureDialog(request);
    return QFileDialog::getOpenFileName(request.Owner, request.Title, request.Folder,
                                        QtFilter(request.Filter));
}

void SetOpenFileHandler(std::function<QString(const TOpenFileRequest&)> handler) {
    OpenFileHandler = std::move(handler);
}

std::optional<QString> AskServerPassword(const TPasswordRequest& request) {
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Подключение к серверу журнала"));
    dialog.setMinimumWidth(440);
    auto* column = new QVBoxLayout(&dialog);
    const QString user =
        request.Server.User.isEmpty() ? qEnvironmentVariable("USER") : request.Server.User;
    auto* prompt =
        new QLabel(QStringLiteral("Сервер базы данных %1 просит пароль пользователя «%2».")
                       .arg(request.Server.Display(), user),
                   &dialog);
    prompt->setWordWrap(true);
    column->addWidget(prompt);
    if (!request.Refusal.isEmpty()) {
        auto* refusal = new QLabel(
            QStringLiteral("Пароль не подошёл. Ответ сервера: %1").arg(request.Refusal), &dialog);
        refusal->setWordWrap(true);
        refusal->setStyleSheet(QStringLiteral("color: #b00000"));
        column->addWidget(refusal);
    }
    auto* box = new QLineEdit(&dialog);
    box->setObjectName(QStringLiteral("Password"));
    box->setEchoMode(QLineEdit::Password);
    box->setMinimumWidth(260);
    column->addWidget(box);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("Войти"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    column->addWidget(buttons);
    box->setFocus();
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return box->text();
}
