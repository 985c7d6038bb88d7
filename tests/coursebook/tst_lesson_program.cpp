// A lesson's program: what its field names, and a lab lesson handing its scheme to the workbench.
// The workbench here is the real main window listening on its real load-scheme socket in this
// process; the coursebook's browser presses the lesson's program button as a student would.
#include "CourseFixture.h"
#include "DBCtrls.h"
#include "ErrorReport.h"
#include "LessonProgram.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit6.h"

#include "board/Frmwork.h"
#include "components/Iron.h"
#include "components/Kinds.h"
#include "document/Scheme.h"
#include "platform/SchemeChannel.h"
#include "shell/Workshop.h"
#include "support/Seams.h"

#include <QApplication>
#include <QLocalServer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace {
// The recording stand-in for a program file: it writes its arguments, one a line, and ends.
const QByteArray Recorder =
    "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"$(dirname \"$0\")/started-with.txt\"\n";

void MakeProgram(const TCourseFolder& folder, const QString& name) {
    folder.WriteFile(name, Recorder);
    QFile::setPermissions(folder.Path(name),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void PutPart(quint8 kind, int r1, int c1, int r2, int c2) {
    TIron* part = CreatePart(kind);
    part->ConnectNodes((*Framework)(r1, c1), (*Framework)(r2, c2));
    part->show();
}
} // namespace

class TestLessonProgram : public QObject {
    Q_OBJECT

    std::unique_ptr<TCourseFolder> Folder;
    QTemporaryDir Runtime; // the session's runtime folder, where the workbench's socket lives
    QByteArray SavedRuntime;
    QStringList Errors;

private slots:
    void initTestCase() {
        // A session of the test's own: no workbench of anybody else's can answer here.
        SavedRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", Runtime.path().toLocal8Bit());
        QVERIFY(LoadSchemeSocketName().startsWith(Runtime.path()));
        QVERIFY(LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/English.lng"));
        RegisterPartKinds();
        TIron::ExecuteStartups();
        SetErrorReport([this](const QString& text) { Errors << text; });
    }

    void cleanupTestCase() { qputenv("XDG_RUNTIME_DIR", SavedRuntime); }

    void init() {
        Errors.clear();
        Folder = std::make_unique<TCourseFolder>();
    }

    void cleanup() { Folder.reset(); }

    void programField_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("program"); // in the course folder ("course/...") or beside the
                                              // coursebook ("beside/...")
        QTest::addColumn<QString>("scheme");

        QTest::newRow("no program") << "w"
                                    << ""
                                    << "";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
        QTest::newRow("a program, as older courses name it") << "workbench"
                                                             << "course/workbench"
                                                             << "";
        QTest::newRow("a program and its scheme") << "workbench lab1"
                                                  << "course/workbench"
                                                  << "lab1";
        QTest::newRow("blanks around the scheme") << "workbench   lab2 "
                                                  << "course/workbench"
                                                  << "lab2";
        QTest::newRow("a scheme with a blank") << "workbench my lab.workbench"
                                               << "course/workbench"
                                               << "my lab.workbench";
        QTest::newRow("a program with a blank in its name") << "tools/run me"
                                                            << "course/tools/run me"
                                                            << "";
        QTest::newRow("and a scheme after it") << "tools/run me lab3"
                                               << "course/tools/run me"
                                               << "lab3";
        QTest::newRow("missing program") << "nothing lab1"
                                         << ""
                                         << "";
        QTest::newRow("only beside the coursebook") << "filterdemo"
                                                    << "beside/filterdemo"
                                                    << "";
        QTest::newRow("the course folder's first") << "shared lab4"
                                                   << "course/shared"
                                                   << "lab4";
    }

    void programField() {
        QFETCH(QString, field);
        QFETCH(QString, program);
        QFETCH(QString, scheme);
        TCourseFolder beside;
        for (const char* name : {"workbench", "tools/run me", "shared"})
            MakeProgram(*Folder, name);
        for (const char* name : {"filterdemo", "shared"})
            MakeProgram(beside, name);
        const TLessonProgram lesson = ResolveLessonProgram(field, {Folder->Path(), beside.Path()});
        QString expected = program;
        expected.replace("course/", Folder->Path() + "/").replace("beside/", beside.Path() + "/");
        QCOMPARE(lesson.Program, expected);
        QCOMPARE(lesson.Scheme, scheme);
    }

    void labLessonHandsItsSchemeToTheWorkbench() {
        // The course folder of a lab lesson: the workbench program, and Labs/lab1.workbench,
        // which the workbench finds relative to its own folder (here the test's working folder).
        const QStringList w(5, "w");
        QVERIFY(Folder->CreateDatabase({
            "INSERT INTO razdel VALUES (1, 'Постоянный ток')",
            "INSERT INTO Tema (kod_tema, kod_razdel, tema) VALUES (1, 1, 'Закон Ома')",
            "INSERT INTO urok (kod_uroka, kod_razdel, kod_tema, kod_tip, urok, tip, htm, jpg, wav, "
            "mid, avi, test, exe)"
            " VALUES (1, 1, 1, 2, 'Лабораторная работа 1', 'Опыт', 'w', 'w', 'w', 'w', 'w', 'w', "
            "'workbench lab1')",
        }));
        MakeProgram(*Folder, "workbench");
        Folder->Enter();

        TTestSeams seams;
        auto workbench = std::make_unique<TWorkshopForm>();
        workbench->TimerCat->stop();
        PutPart(KindBattery, 2, 2, 3, 2);
        PutPart(KindWire, 2, 2, 2, 3);
        PutPart(KindResistor, 2, 3, 3, 3);
        PutPart(KindWire, 3, 2, 3, 3);
        QDir().mkpath(Folder->Path("Labs"));
        QVERIFY(SaveScheme(Folder->Path("Labs/lab1.workbench")));
        ClearBoard();
        workbench->SetFileName(Folder->Path("User/mine.workbench"));
        workbench->StartListening();

        TForm6 welcome;
        Form6 = &welcome;
        TForm1 browser;
        Form1 = &browser;
        TDataModule2 data;
        DataModule2 = &data;
        browser.LinkData(&data);
        QTest::mouseClick(welcome.Button1, Qt::LeftButton);
        browser.FormActivate();
        for (TDBLookupComboBox* box :
             {browser.DBLookupComboBox1, browser.DBLookupComboBox2, browser.DBLookupComboBox3}) {
            box->setCurrentIndex(0);
            emit box->activated(0);
        }
        QVERIFY(browser.ToolButton9->isEnabled());

        // The workbench is running: it takes the scheme, loads it as untitled; no second
        // workbench is started.
        QTest::mouseClick(browser.ToolButton9, Qt::LeftButton);
        QTRY_COMPARE(Parts.size(), 4);
        QVERIFY(FileName.isEmpty());
        QVERIFY(seams.Messages.isEmpty());
        QTest::qWait(300);
        QVERIFY(!QFile::exists(Folder->Path("started-with.txt")));

        // No workbench is running: the lesson starts one, with the scheme to open.
        workbench.reset();
        ClearBoard();
        QTest::mouseClick(browser.ToolButton9, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(Folder->Path("started-with.txt")), 20000);
        QTRY_COMPARE(FileBytes(Folder->Path("started-with.txt")), QByteArray("--load\nlab1\n"));
        QVERIFY(Parts.isEmpty());
        QVERIFY2(Errors.isEmpty(), qPrintable(Errors.join('\n')));

        Form1 = nullptr;
        Form6 = nullptr;
        DataModule2 = nullptr;
    }

    void aSchemeIsHandedOverOnlyToAWorkbenchThatAnswers() {
        // A socket that accepts the name and never answers (a workbench hanging) is no hand-over:
        // the caller goes on to start a workbench of its own.
        QLocalServer silent;
        QLocalServer::removeServer(LoadSchemeSocketName());
        QVERIFY(silent.listen(LoadSchemeSocketName()));
        QVERIFY(!HandSchemeToWorkbench("lab1", 500));
        QVERIFY(silent.hasPendingConnections() || silent.waitForNewConnection(0));
        silent.close();
        // Nobody listening: answered at once.
        QVERIFY(!HandSchemeToWorkbench("lab1", 500));
    }
};

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestLessonProgram test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_lesson_program.moc"
