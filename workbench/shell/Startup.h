#pragma once
// How the workbench starts: settings, language, the display check, the command-line modes
// (setting the teacher password, teacher mode), the windows in their order, and shutdown.

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QLineEdit;
class QScreen;

// The teacher mode of this run, fixed at start-up: it shows the part-state window's button
// and lets a black box show what it holds.
extern bool TeacherMode;

enum class TCommandMode { Normal, Setup, Teacher };

// "setup" and "teacher" are found anywhere in the lower-cased command line; setup wins.
TCommandMode CommandMode(const QString& commandLine);

// The language setting (0 English, 1 Russian, 2 Estonian); 1 when there is none.
int ReadLanguageSetting();
// The language file of a language beside the program; empty for an unknown language.
QString LanguageFileName(int language);
// The language of Qt's own texts (standard buttons, file dialogs) for a language setting.
QString QtLanguageCode(int language);

// A screen is usable from 800 pixels across, with more than 256 colours.
bool DisplayUsable(int width, int colourDepth);
bool DisplayUsable(const QScreen* screen);

// The teacher password as the settings file keeps it: a salted PBKDF2 hash of the upper-cased
// text, so that reading the settings does not reveal it.
QString HashTeacherPassword(const QString& typed);
// Whether the typed text matches what is stored: a hash, or a plain password written by an
// older installation; letter case does not matter.
bool TeacherPasswordMatches(const QString& typed, const QString& stored);

// The password dialog: every typed character shows as a smiling face.
class TPasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPasswordDlg(QWidget* parent = nullptr);
    QLabel* Label;
    QLineEdit* Password;
    static constexpr int MaxLength = 259;
};

// Asks for a password with the given label and returns what was typed (whichever button closed
// the dialog). Tests answer it themselves.
QString AskTeacherPassword(const QString& label);
void SetPasswordPrompt(std::function<QString(const QString& label)> prompt);

// "workbench setup": asks twice until both entries match and stores the password. Returns the
// exit code: 0, or 1 when the settings file could not be written (it says why).
int RunPasswordSetup();
// "workbench teacher": asks for the password when one is set; true for teacher mode.
bool RunTeacherCheck();

// The whole program; returns its exit code.
int RunWorkbench(int argc, char** argv);
