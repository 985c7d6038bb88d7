#pragma once
// Services every part of the workbench uses: numbered texts from the language file, physical
// values with unit prefixes, pictures, cursors and sounds from the program's resources, and the
// small seams through which the program meets the machine (message boxes, waits, settings).
// Tests replace the seams; nothing else needs to know.

#include "texts/Texts.h"

#include <QCursor>
#include <QEvent>
#include <QImage>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>

class QObject;
class QSettings;
class QWidget;

// A failure the workbench reports as a plain text: the solver and the registries throw it, the
// solve routine catches it and shows the text to the student.
class EThrownText : public std::exception {
public:
    explicit EThrownText(QString text);
    const QString& Text() const { return TextValue; }
    const char* what() const noexcept override { return Utf8.constData(); }

private:
    QString TextValue;
    QByteArray Utf8;
};

// A picture the program's resources do not hold.
class EResNotFound : public std::runtime_error {
public:
    explicit EResNotFound(const QString& name);
};

// --- Value formatting -------------------------------------------------------------------------

// Three significant digits, a blank and a decimal unit prefix ("4.7 k"); the caller adds the unit.
QString FormatPrefixed(double x);
// A magnitude: "0" below 1E-30, plain general format outside 1E-12..1E15, else FormatPrefixed.
QString FormatValue(double x);
// The general number format with three significant digits (trailing zeros dropped).
QString FormatGeneral3(double x);

// --- Pictures and cursors ---------------------------------------------------------------------

// Transparent pixels have alpha 0; a picture stored without alpha takes its bottom-left pixel's
// colour as transparent. Throws EResNotFound for a missing name.
QImage LoadTransparentBitmap(const QString& name);
// The same with rows and columns exchanged: the vertical picture of a part. Counts as one step
// of the loading progress.
QImage LoadTransposedBitmap(const QString& name);
// A JPEG picture of the resources; a null image when it is missing or cannot be decoded.
QImage LoadJpegResource(const QString& name);
// A cursor of the picture's size, hot spot in its middle; the top-left pixel's colour is clear.
QCursor BitmapToCursor(const QImage& picture);
// Whether a bitmap of that name exists among the resources.
bool HasBitmapResource(const QString& name);
// A program that shows nothing (schemetool) decodes no pictures: every bitmap is then one
// clear pixel and every JPEG picture none. Missing names still throw.
void SetPicturesWanted(bool wanted);

// The progress of picture loading at start-up; the loading window watches it.
int LoadingProgress();
void SetLoadingProgressObserver(std::function<void(int)> observer);

// Cursors by number: 0 the default, negative numbers the system's (-21 the pointing hand),
// positive ones registered by the program (1 and 2 the drag of a part, 60..67 the test leads,
// 111 the arm, 112 the pincers).
constexpr int crDefault = 0;
constexpr int crDrag = -12;
constexpr int crNoDrop = -13;
constexpr int crHandPoint = -21;
void RegisterCursor(int number, const QCursor& cursor);
void UnregisterCursor(int number);
bool CursorRegistered(int number);
QCursor CursorByNumber(int number);

// --- Sounds -----------------------------------------------------------------------------------

// Plays the sound resource `name` (letter case does not matter); a sound replaces the one
// still playing. Returns false and stays silent when there is no such sound.
bool PlayWaveResource(const QString& name, bool wait = false);

struct TSoundRequest {
    QString Name;
    bool Found = false;
    bool Wait = false;
};
// Tests hear the program through a sink instead of the loudspeaker; nullptr restores it.
void SetSoundSink(std::function<void(const TSoundRequest&)> sink);

// --- Message boxes ----------------------------------------------------------------------------

enum class TMsgButtons { Ok, OkCancel, YesNo, YesNoCancel, AbortRetryIgnore };
enum class TMsgIcon { None, Information, Warning, Error, Question };
enum TMsgResult {
    IdOk = 1,
    IdCancel = 2,
    IdAbort = 3,
    IdRetry = 4,
    IdIgnore = 5,
    IdYes = 6,
    IdNo = 7
};

struct TMessageRequest {
    QString Text;
    QString Caption;
    TMsgButtons Buttons = TMsgButtons::Ok;
    TMsgIcon Icon = TMsgIcon::None;
    QWidget* Owner = nullptr;
};
// Shows a modal message and returns the button pressed (TMsgResult).
int ShowMessage(const QString& text, const QString& caption, TMsgButtons buttons = TMsgButtons::Ok,
                TMsgIcon icon = TMsgIcon::None, QWidget* owner = nullptr);
// Tests answer messages themselves; nullptr restores the real message box.
void SetMessageHandler(std::function<int(const TMessageRequest&)> handler);

// --- File dialogs -----------------------------------------------------------------------------

struct TFileDialogRequest {
    bool Save = false;
    QString Title;
    QString Filter; // "Description|*.ext|Description|*.ext"
    QString Folder; // where the dialog starts
    QString DefaultSuffix;
    QStringList Places; // folders offered beside the file list
    QWidget* Owner = nullptr;
};
// Asks for a file to open (an existing one) or to save to (in an existing folder, no question
// before overwriting); an empty name when the user cancels.
QString AskFileName(const TFileDialogRequest& request);
void SetFileDialogHandler(std::function<QString(const TFileDialogRequest&)> handler);

// --- Waiting ----------------------------------------------------------------------------------

// Blocks for `ms` milliseconds after the pending paints have reached the screen; nothing else
// runs meanwhile.
void Wait(int ms);
void SetWaitHandler(std::function<void(int)> handler);

// --- Dragging -----------------------------------------------------------------------------------

// Whether the student is dragging something right now; the solver then stays silent about its
// failures. The board's drag machinery answers it.
bool DragInProgress();
void SetDragProbe(std::function<bool()> probe);

// --- Settings ---------------------------------------------------------------------------------

// The machine-wide settings file ("Language", "Key"), fixed when the program was built.
QString SettingsFilePath();
// Tests keep their settings in a file of their own.
void SetSettingsFilePath(const QString& path);
std::unique_ptr<QSettings> OpenSettings();

// --- The circuit-changed message ----------------------------------------------------------------

// The user message 1034 the main window turns into the board's circuit-changed flag.
inline const QEvent::Type CircuitChangedEvent = QEvent::Type(QEvent::User + 10);
