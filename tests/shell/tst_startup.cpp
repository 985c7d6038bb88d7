// Start-up: the command-line modes, the settings, the display check and the teacher password.

#include "support/Seams.h"

#include "platform/QtTranslations.h"
#include "shell/Application.h"
#include "shell/Global.h"
#include "shell/Startup.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QTest>
#include <stdexcept>

namespace {
// Answers the password dialog from a list and remembers the labels it was shown with.
struct TTypist {
    QStringList Entries;
    QStringList Labels;
    TTypist() {
        SetPasswordPrompt([this](const QString& label) {
            Labels << label;
            return Entries.isEmpty() ? QString() : Entries.takeFirst();
        });
    }
    ~TTypist() { SetPasswordPrompt(nullptr); }
};

void StoreKey(const QString& key) {
    auto settings = OpenSettings();
    settings->setValue("Key", key);
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void commandLineModes_data();
    void commandLineModes();
    void settingsDefaults();
    void unknownLanguageLoadsNoFile();
    void qtTextsFollowTheLanguage_data();
    void qtTextsFollowTheLanguage();
    void escapedExceptionsAreReported_data();
    void escapedExceptionsAreReported();
    void displayCheck_data();
    void displayCheck();
    void teacherCheck_data();
    void teacherCheck();
    void teacherCheckFailsClosed_data();
    void teacherCheckFailsClosed();
    void absurdIterationCountsAreWrongPasswords_data();
    void absurdIterationCountsAreWrongPasswords();
    void setupRepeatsUntilBothEntriesMatch();
    void setupStoresAHashNotThePassword();
    void setupThatCannotWriteSaysSo();
    void passwordFieldShowsFacesAndHasALimit();
};

void TestStartup::commandLineModes_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("mode");
    QTest::newRow("nothing") << "" << int(TCommandMode::Normal);
    QTest::newRow("slash and capitals") << "/TEACHER" << int(TCommandMode::Teacher);
    QTest::newRow("setup inside a word") << "resetupper" << int(TCommandMode::Setup);
    QTest::newRow("both: setup wins") << "teacher setup" << int(TCommandMode::Setup);
    QTest::newRow("other words") << "--fullscreen lab1" << int(TCommandMode::Normal);
}

void TestStartup::commandLineModes() {
    QFETCH(QString, line);
    QFETCH(int, mode);
    QCOMPARE(int(CommandMode(line)), mode);
}

void TestStartup::settingsDefaults() {
    TTestSeams seams; // a settings file that does not exist yet
    QCOMPARE(ReadLanguageSetting(), 1);
    QCOMPARE(LanguageFileName(1), QString("Russian.lng"));
    TTypist typist;
    QVERIFY(RunTeacherCheck()); // no password: teacher mode without a question
    QVERIFY(typist.Labels.isEmpty());
}

void TestStartup::unknownLanguageLoadsNoFile() {
    TTestSeams seams;
    OpenSettings()->setValue("Language", 5);
    QCOMPARE(ReadLanguageSetting(), 5);
    QVERIFY(LanguageFileName(5).isEmpty());
    UnloadLanguage();
    QCOMPARE(GetText(100), QString("There is no string with ID=100 !"));
    OpenSettings()->setValue("Language", 0);
    QCOMPARE(LanguageFileName(ReadLanguageSetting()), QString("English.lng"));
}

void TestStartup::qtTextsFollowTheLanguage_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("yes"); // the Yes button of a message box
    QTest::addColumn<QString>("cancel");
    QTest::newRow("English") << 0 << "&Yes"
                             << "Cancel";
    QTest::newRow("Russian") << 1 << "&Да"
                             << "Отмена";
}

void TestStartup::qtTextsFollowTheLanguage() {
    QFETCH(int, language);
    QFETCH(QString, yes);
    QFETCH(QString, cancel);
    QVERIFY(InstallQtTranslations(QtLanguageCode(language)));
    QMessageBox box;
    QCOMPARE(box.addButton(QMessageBox::Yes)->text(), yes);
    QCOMPARE(box.addButton(QMessageBox::Cancel)->text(), cancel);
    InstallQtTranslations("en");
}

void TestStartup::escapedExceptionsAreReported_data() {
    QTest::addColumn<int>("thrown"); // 0 nothing, 1 a thrown text, 2 a standard exception, 3 an int
    QTest::addColumn<QString>("report");
    QTest::newRow("handled") << 0 << "";
    QTest::newRow("a thrown text") << 1 << "No Iron in Array !";
    QTest::newRow("a standard exception") << 2 << "vector::_M_range_check";
    QTest::newRow("anything else") << 3 << "?";
}

void TestStartup::escapedExceptionsAreReported() {
    QFETCH(int, thrown);
    QFETCH(QString, report);
    TTestSeams seams;
    const bool handled = DeliverReportingErrors([&]() -> bool {
        if (thrown == 1) throw EThrownText("No Iron in Array !");
        if (thrown == 2) throw std::out_of_range("vector::_M_range_check");
        if (thrown == 3) throw 42;
        return true;
    });
    QCOMPARE(handled, thrown == 0);
    QCOMPARE(seams.MessageTexts(), report.isEmpty() ? QStringList() : QStringList({report}));
    if (!report.isEmpty()) QCOMPARE(seams.Messages[0].Icon, TMsgIcon::Error);
}

void TestStartup::displayCheck_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("depth");
    QTest::addColumn<bool>("usable");
    QTest::newRow("800 true colour") << 800 << 24 << true;
    QTest::newRow("799 true colour") << 799 << 24 << false;
    QTest::newRow("wide with a palette") << 1280 << 8 << false;
    QTest::newRow("high colour") << 1024 << 16 << true;
}

void TestStartup::displayCheck() {
    QFETCH(int, width);
    QFETCH(int, depth);
    QFETCH(bool, usable);
    QCOMPARE(DisplayUsable(width, depth), usable);
}

void TestStartup::teacherCheck_data() {
    QTest::addColumn<QString>("stored"); // "hash:<pw>" stores the hash of <pw>
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("teacher");
    QTest::newRow("right, other case") << "hash:secret"
                                       << "SeCrEt" << true;
    QTest::newRow("cyrillic in capitals") << "hash:пароль"
                                          << "ПАРОЛЬ" << true;
    QTest::newRow("wrong") << "hash:secret"
                           << "secrets" << false;
    QTest::newRow("empty typed") << "hash:secret"
                                 << "" << false;
    QTest::newRow("older plain entry") << "Пароль"
                                       << "пАРОЛЬ" << true;
    QTest::newRow("older plain entry, wrong") << "Пароль"
                                              << "парол" << false;
}

void TestStartup::teacherCheck() {
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(bool, teacher);
    TTestSeams seams;
    StoreKey(stored.startsWith("hash:") ? HashTeacherPassword(stored.mid(5)) : stored);
    TTypist typist;
    typist.Entries = {typed};
    QCOMPARE(RunTeacherCheck(), teacher);
    QCOMPARE(typist.Labels, QStringList({"Введите пароль :"}));
    QCOMPARE(seams.Messages.size(), teacher ? 0 : 1);
    if (!teacher) QCOMPARE(seams.MessageTexts(), QStringList({"Пароль введён неправильно"}));
}

void TestStartup::teacherCheckFailsClosed_data() {
    QTest::addColumn<QByteArray>("content"); // of the settings file; "<folder>": a folder there
    QTest::addColumn<bool>("teacher");
    QTest::newRow("absent") << QByteArray("<absent>") << true;
    QTest::newRow("no Key") << QByteArray("Language=0\n") << true;
    QTest::newRow("empty Key") << QByteArray("Key=\n") << true;
    QTest::newRow("a folder") << QByteArray("<folder>") << false;
    QTest::newRow("broken section") << QByteArray("[General\nKey=\n") << false;
    QByteArray noise(300, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919 + 13) % 256);
    QTest::newRow("random bytes") << noise << false;
}

void TestStartup::teacherCheckFailsClosed() {
    QFETCH(QByteArray, content);
    QFETCH(bool, teacher);
    TTestSeams seams;
    const QString path = seams.Dir.filePath("machine.ini");
    SetSettingsFilePath(path);
    if (content == "<folder>") {
        QVERIFY(QDir().mkpath(path));
    } else if (content != "<absent>") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    TTypist typist;
    QCOMPARE(RunTeacherCheck(), teacher);
    QVERIFY(typist.Labels.isEmpty()); // no password is asked for either way
    QCOMPARE(seams.Messages.size(), teacher ? 0 : 1);
    if (!teacher) {
        QCOMPARE(seams.Messages[0].Text, GetText(103) + path);
        QCOMPARE(seams.Messages[0].Icon, TMsgIcon::Error);
    }
}

void TestStartup::absurdIterationCountsAreWrongPasswords_data() {
    QTest::addColumn<QString>("count");
    QTest::newRow("zero") << "0";
    QTest::newRow("negative") << "-100000";
    QTest::newRow("ten million") << "10000000";
    QTest::newRow("two thousand million") << "2000000000";
    QTest::newRow("not a number") << "many";
}

void TestStartup::absurdIterationCountsAreWrongPasswords() {
    QFETCH(QString, count);
    const QString right = HashTeacherPassword("secret");
    QVERIFY(TeacherPasswordMatches("secret", right));
    QStringList fields = right.split('$');
    fields[1] = count;
    // Refused at once: the start never waits on the count.
    QVERIFY(!TeacherPasswordMatches("secret", fields.join('$')));
}

void TestStartup::setupRepeatsUntilBothEntriesMatch() {
    TTestSeams seams;
    TTypist typist;
    typist.Entries = {"first", "frist", "again", "agian", "final", "final"};
    QCOMPARE(RunPasswordSetup(), 0);
    QCOMPARE(seams.Messages.size(), 3);
    QCOMPARE(seams.Messages[2].Text, GetText(104)); // the end: the password is saved
    QCOMPARE(seams.Messages[0].Text, QString("Повторно пароль введён неправильно"));
    QCOMPARE(seams.Messages[0].Caption, QString("Предупреждение"));
    QCOMPARE(typist.Labels.count("Повторите новый пароль учителя :"), 3);
    QVERIFY(TeacherPasswordMatches("FINAL", OpenSettings()->value("Key").toString()));
    QVERIFY(!TeacherPasswordMatches("again", OpenSettings()->value("Key").toString()));
}

void TestStartup::setupStoresAHashNotThePassword() {
    TTestSeams seams;
    TTypist typist;
    // The salt and the key are written in hex, so the password's Latin part holds letters past
    // 'f': a digits-only part could turn up in them by chance.
    typist.Entries = {"УчительQz2026", "УчительQz2026"};
    QCOMPARE(RunPasswordSetup(), 0);
    QFile file(SettingsFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll().toUpper();
    QVERIFY(!content.contains("QZ2026"));
    QVERIFY(!content.contains(QString("Учитель").toUtf8().toUpper()));
    const QString stored = OpenSettings()->value("Key").toString();
    QVERIFY(TeacherPasswordMatches("учительqz2026", stored));
    // Two hashes of one password differ: the salt is new every time.
    QVERIFY(HashTeacherPassword("x") != HashTeacherPassword("x"));
    // An empty password given twice means no password.
    typist.Entries = {"", ""};
    QCOMPARE(RunPasswordSetup(), 0);
    QVERIFY(OpenSettings()->value("Key").toString().isEmpty());
}

void TestStartup::setupThatCannotWriteSaysSo() {
    TTestSeams seams;
    // A settings "file" that is a folder cannot be written, not even by the administrator.
    QVERIFY(QDir(seams.Dir.path()).mkdir("folder.ini"));
    SetSettingsFilePath(seams.Dir.filePath("folder.ini"));
    TTypist typist;
    typist.Entries = {"pw", "pw"};
    QCOMPARE(RunPasswordSetup(), 1);
    QCOMPARE(seams.Messages.size(), 1);
    QCOMPARE(seams.Messages[0].Icon, TMsgIcon::Error);
}

void TestStartup::passwordFieldShowsFacesAndHasALimit() {
    TPasswordDlg dialog;
    QCOMPARE(dialog.Password->echoMode(), QLineEdit::Password);
    QCOMPARE(dialog.Password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                                 dialog.Password),
             0x263A);
    dialog.Password->setText(QString(300, 'a'));
    QCOMPARE(dialog.Password->text().size(), TPasswordDlg::MaxLength);
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
