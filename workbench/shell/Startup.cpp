#include "shell/Startup.h"

#include "components/Iron.h"
#include "components/Kinds.h"
#include "instruments/Pribor.h"
#include "platform/Folders.h"
#include "platform/PasswordHash.h"
#include "platform/ProgramInfo.h"
#include "platform/QtTranslations.h"
#include "platform/SchemeChannel.h"
#include "shell/About.h"
#include "shell/Application.h"
#include "shell/Auxwindows.h"
#include "shell/Global.h"
#include "shell/Introform.h"
#include "shell/Partwindows.h"
#include "shell/Wiring.h"
#include "shell/Workshop.h"
#include "solver/Calculate.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QScreen>
#include <QSettings>
#include <QToolButton>
#include <QVBoxLayout>

bool TeacherMode = false;

namespace {
std::function<QString(const QString&)> PasswordPrompt;

constexpr char WorkbenchUsage[] =
    "workbench [setup | teacher] [--load SCHEME]\n"
    "\n"
    "The virtual electronics workbench: lay parts on the board, measure with the multimeters.\n"
    "\n"
    "  setup      set the teacher password (asked twice; needs the administrator's rights)\n"
    "  teacher    start in teacher mode, after the teacher password\n"
    "  --load SCHEME\n"
    "             open a scheme: a ready-made lab by its name (lab1 ... lab5) or a scheme file\n"
    "             by its path; a workbench already running takes it instead\n"
    "  --help     print this text and exit\n"
    "  --version  print the version and exit\n";

// Shows the characters of a password field as smiling faces.
class TSmileStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return 0x263A; // ☺
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
} // namespace

TCommandMode CommandMode(const QString& commandLine) {
    const QString line = commandLine.toLower();
    if (line.contains("setup")) return TCommandMode::Setup;
    if (line.contains("teacher")) return TCommandMode::Teacher;
    return TCommandMode::Normal;
}

int ReadLanguageSetting() {
    const auto settings = OpenSettings();
    bool ok = false;
    const int language = settings->value("Language").toInt(&ok);
    return ok ? language : 1;
}

QString LanguageFileName(int language) {
    switch (language) {
    case 0:
        return "English.lng";
    case 1:
        return "Russian.lng";
    case 2:
        return "Estonian.lng";
    default:
        return QString();
    }
}

QString QtLanguageCode(int language) {
    switch (language) {
    case 0:
        return "en";
    case 2:
        return "et";
    default:
        return "ru"; // the program's texts are Russian where no language file answers
    }
}

bool DisplayUsable(int width, int colourDepth) {
    return width >= 800 && colourDepth > 8;
}

bool DisplayUsable(const QScreen* screen) {
    return !screen || DisplayUsable(screen->geometry().width(), screen->depth());
}

// The teacher password is compared without regard to letter case: the hash is of the upper-cased
// text.
QString HashTeacherPassword(const QString& typed) {
    return HashPassword(typed.toUpper());
}

bool TeacherPasswordMatches(const QString& typed, const QString& stored) {
    if (!IsPasswordHash(stored))
        return typed.toUpper() == stored.toUpper(); // an older, plain entry
    return PasswordHashMatches(typed.toUpper(), stored);
}

TPasswordDlg::TPasswordDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Ввод пароля учителя");
    Label = new QLabel("Введите пароль :", this);
    Password = new QLineEdit(this);
    Password->setObjectName("Password");
    Password->setEchoMode(QLineEdit::Password);
    Password->setMaxLength(MaxLength);
    auto* style = new TSmileStyle;
    style->setParent(Password);
    Password->setStyle(style);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label);
    layout->addWidget(Password);
    layout->addWidget(buttons);
    setFixedWidth(320);
}

QString AskTeacherPassword(const QString& label) {
    if (PasswordPrompt) return PasswordPrompt(label);
    TPasswordDlg dialog;
    dialog.Label->setText(label);
    dialog.exec();
    return dialog.Password->text();
}

void SetPasswordPrompt(std::function<QString(const QString&)> prompt) {
    PasswordPrompt = std::move(prompt);
}

int RunPasswordSetup() {
    QString first;
    for (;;) {
        first = AskTeacherPassword("Введите новый пароль учителя :");
        const QString second = AskTeacherPassword("Повторите новый пароль учителя :");
        if (first == second) break;
        ShowMessage("Повторно пароль введён неправильно", "Предупреждение", TMsgButtons::OkCancel);
    }
    const auto settings = OpenSettings();
    // An empty password means teacher mode without a question, as it was typed.
    settings->setValue("Key", first.isEmpty() ? QString() : HashTeacherPassword(first));
    settings->sync();
    if (settings->status() != QSettings::NoError || !settings->isWritable()) {
        // Only an administrator may change the machine's settings: say so instead of
        // pretending the password was set.
        ShowMessage(GetText(105) + SettingsFilePath(), GetText(106), TMsgButtons::Ok,
                    TMsgIcon::Error);
        return 1;
    }
    ShowMessage(GetText(104), GetText(100), TMsgButtons::Ok, TMsgIcon::Information);
    return 0;
}

bool RunTeacherCheck() {
    const auto settings = OpenSettings();
    const QString stored = settings->value("Key").toString();
    // Only a settings file that is absent, or one that holds no password, means "no password".
    // One that is there but cannot be read or parsed says nothing that can be trusted: the
    // program starts for the student.
    if (settings->status() != QSettings::NoError) {
        ShowMessage(GetText(103) + SettingsFilePath(), GetText(106), TMsgButtons::Ok,
                    TMsgIcon::Error);
        return false;
    }
    if (stored.isEmpty()) return true;
    const QString typed = AskTeacherPassword("Введите пароль :");
    if (TeacherPasswordMatches(typed, stored)) return true;
    ShowMessage("Пароль введён неправильно", "Предупреждение", TMsgButtons::OkCancel);
    return false;
}

int RunWorkbench(int argc, char** argv) {
    const int answered = AnswerInfoOptions(argc, argv, "workbench", WorkbenchUsage);
    if (answered >= 0) return answered;
    TWorkbenchApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);

    // "--load NAME": a scheme to open. A workbench already running in this session takes it
    // and comes to the front; this one then has nothing more to do.
    QString scheme;
    if (const qsizetype at = args.indexOf("--load"); at >= 0) {
        if (at + 1 < args.size()) scheme = args.takeAt(at + 1);
        args.removeAt(at);
    }
    // A path is the caller's: made whole before this program moves to its data folder.
    if (scheme.contains('/')) scheme = QFileInfo(scheme).absoluteFilePath();
    if (!scheme.isEmpty() && HandSchemeToWorkbench(scheme)) return 0;

    // The data lies beside the program or in the installation's share/vexilo; what the student
    // writes goes beside the program only when that folder is the student's to write.
    const TInstallation installation = LocateInstallation("Russian.lng");
    const QString dataFolder =
        installation.Found() ? installation.DataFolder : installation.ProgramFolder;
    Solver::LogPath = installation.LogFile();
    QDir().mkpath(QFileInfo(Solver::LogPath).absolutePath());

    const int language = ReadLanguageSetting();
    const QString languageFile = LanguageFileName(language);
    if (!languageFile.isEmpty()) LoadLanguageFile(QDir(dataFolder).filePath(languageFile));
    InstallQtTranslations(QtLanguageCode(language));

    if (!DisplayUsable(QGuiApplication::primaryScreen())) {
        ShowMessage(GetText(102), GetText(100));
        return 0;
    }

    // Relative names (Labs, User, HELP, Intro.avi) are the data folder's.
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(dataFolder);

    TeacherMode = false;
    switch (CommandMode(args.join(' '))) {
    case TCommandMode::Setup: {
        const int status = RunPasswordSetup();
        QDir::setCurrent(previousFolder);
        return status;
    }
    case TCommandMode::Teacher:
        TeacherMode = RunTeacherCheck();
        break;
    case TCommandMode::Normal:
        break;
    }

    app.setApplicationName("Vexilo");
    app.setApplicationDisplayName("Vexilo");
    if (HasBitmapResource("bmpAppIconWorkbench"))
        app.setWindowIcon(QIcon(QPixmap::fromImage(LoadTransparentBitmap("bmpAppIconWorkbench"))));

    RegisterPartKinds();
    int status = 0;
    {
        TWorkshopForm form;
        form.SchemesFolder = installation.SchemesFolder();
        form.btnIronState->setVisible(TeacherMode);
        JoinWindows(&form);
        PlayIntro("Intro.avi");
        for (QWidget* w : form.findChildren<QWidget*>())
            w->setToolTipDuration(7000);
        form.showFullScreen();
        form.raise();
        form.activateWindow();
        form.repaint();
        TIron::ExecuteStartups();
        form.update();
        TPriborPanel::PictureStartup();
        CreatePartWindows(&form);
        CreateAboutPanel(&form);
        form.StartListening();
        if (!scheme.isEmpty()) form.LoadSchemeByName(scheme);
        status = app.exec();
        TPriborPanel::PictureCleanup();
        TIron::ExecuteExits();
    }
    QDir::setCurrent(previousFolder);
    UnloadLanguage();
    return status;
}
