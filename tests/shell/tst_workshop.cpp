// The main window: taking parts from the box, throwing them away, the document commands and
// the load-scheme message.

#include "shell/Wiring.h"
#include "support/Mouse.h"
#include "support/Seams.h"

#include "board/Frmwork.h"
#include "board/Node.h"
#include "components/Iron.h"
#include "components/Kinds.h"
#include "components/Resistor.h"
#include "document/Scheme.h"
#include "shell/Helpwindow.h"
#include "shell/Workshop.h"
#include "solver/Calculate.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

namespace {
struct TWindow {
    TTestSeams Seams;
    TWorkshopForm Form;
    TMouse Mouse{&Form};
    QStringList Dialogs; // the dialogs asked for, and what the user answers in them
    QStringList Answers;
    QList<TFileDialogRequest> Requests;

    TWindow() {
        // The load-scheme socket lies in the runtime folder: one of the test's own, so that no
        // other program of the machine's user takes its messages.
        qputenv("XDG_RUNTIME_DIR", Seams.Dir.path().toUtf8());
        Form.resize(1024, 768);
        Form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Form));
        Form.TimerCat->stop(); // the tests tick by hand
        JoinWindows(&Form);
        Solver::LogPath = Seams.Dir.filePath("LOG.LOG");
        SetFileDialogHandler([this](const TFileDialogRequest& r) {
            Dialogs << QString("%1 %2 %3").arg(r.Save ? "save" : "open", r.Folder, r.Filter);
            Requests << r;
            return Answers.isEmpty() ? QString() : Answers.takeFirst();
        });
        SchemeSaved = true;
        FileName.clear();
    }
    ~TWindow() { SetFileDialogHandler(nullptr); }

    TBoxItem* Box(quint8 kind) {
        for (TBoxItem* item : Form.BoxItems)
            if (item->Tag == kind) return item;
        return nullptr;
    }
    QPoint Centre(QWidget* w) { return w->mapTo(&Form, w->rect().center()); }
    // The board point (x, y) in window coordinates.
    QPoint OnBoard(int x, int y) { return Form.Board->mapTo(&Form, QPoint(x, y)); }
};

void Put(TIron* part) {
    part->ConnectNodes((*Framework)(1, 1), (*Framework)(1, 2));
    part->show();
}

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestWorkshop : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void partFromTheBoxLandsWhereDropped();
    void circuitBuiltWithTheMouseIsSolved();
    void shortPressTakesNothing();
    void sixtyFirstPartIsRefused();
    void deleteThrowsTheSelectedPartAway();
    void clearAnsweredNoChangesNothing();
    void closeWithChanges_data();
    void closeWithChanges();
    void saveWritesOnlyWhatChanged();
    void saveFailureIsReported();
    void schemesFolderOfAnInstallation();
    void failedSaveAsKeepsTheOldName();
    void failedOpenLeavesTheBoardUntitled();
    void loadSchemePaths_data();
    void loadSchemePaths();
    void loadSchemeMessageFromAnotherProgram();
    void loadSchemeMessageOfABadFile();
    void loadSchemeMessageAsksBeforeUnsavedWorkGoes_data();
    void loadSchemeMessageAsksBeforeUnsavedWorkGoes();
    void loadSchemeSocketIsTheSessionsOwn();
    void captionFollowsTheFileName();
    void helpOpensInTheProgramsOwnWindow();
};

void TestWorkshop::initTestCase() {
    QVERIFY(LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/English.lng"));
    RegisterPartKinds();
    TIron::ExecuteStartups();
}

void TestWorkshop::partFromTheBoxLandsWhereDropped() {
    TWindow w;
    const QPoint from = w.Centre(w.Box(KindResistor));
    // Into cell (2, 3), right half: the edge between nodes (2, 3) and (2, 4).
    const QPoint to = w.OnBoard(3 * 64 + 50, 2 * 64 + 32);
    w.Mouse.Press(from);
    w.Mouse.Move(from + QPoint(-11, 0));
    QVERIFY(Dragging::Active());
    QCOMPARE(Parts.size(), 1);
    w.Mouse.Move(to);
    w.Mouse.Release(to);
    QVERIFY(!Dragging::Active());
    TIron* part = Parts.first();
    QCOMPARE(part->FirstNode, (*w.Form.Board)(2, 3));
    QCOMPARE(part->SecondNode, (*w.Form.Board)(2, 4));
    QVERIFY(!part->isHidden());
    QVERIFY(!part->Vertical);
    QVERIFY(w.Form.Board->CircuitChanged);
    QVERIFY(!SchemeSaved);
    // The box closes again when the part has gone.
    TBoxItem* box = w.Box(KindResistor);
    const QImage shown =
        box->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(shown, box->Closed.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

void TestWorkshop::circuitBuiltWithTheMouseIsSolved() {
    TWindow w;
    // Battery and resistor opposite each other, two wires close the square; one resistor
    // lies apart from it.
    struct TPlacement {
        quint8 Kind;
        int Row, Column;
        QPoint Offset; // where in the cell the part is let go
    };
    const TPlacement placements[] = {
        {KindBattery, 2, 2, {50, 32}}, {KindResistor, 3, 2, {50, 32}}, {KindWire, 2, 2, {32, 50}},
        {KindWire, 2, 3, {32, 50}},    {KindResistor, 5, 5, {50, 32}},
    };
    for (const TPlacement& p : placements) {
        const QPoint from = w.Centre(w.Box(p.Kind));
        w.Mouse.Drag(from, w.OnBoard(p.Column * 64 + p.Offset.x(), p.Row * 64 + p.Offset.y()), 12);
    }
    QCOMPARE(Parts.size(), 5);
    w.Form.Board->Tick();
    const double current = 1.5 / (0.3 + 1000 + 2E-6);
    for (int i = 0; i < 4; ++i) {
        QVERIFY2(std::abs(std::abs(Parts[i]->Current) - current) < 1e-12,
                 qPrintable(QString::number(i)));
        QCOMPARE(Parts[i]->Current.imag(), 0.0);
    }
    QCOMPARE(Parts[4]->Current, TComplex(0));
    // Round the loop the current has one direction: the battery's and the resistor's differ
    // in sign, both lying left to right.
    QVERIFY(Parts[0]->Current.real() * Parts[1]->Current.real() < 0);
    ClearBoard();
}

void TestWorkshop::shortPressTakesNothing() {
    TWindow w;
    const QPoint from = w.Centre(w.Box(KindWire));
    w.Mouse.Press(from);
    w.Mouse.Move(from + QPoint(10, -10));
    w.Mouse.Release(from + QPoint(10, -10));
    QVERIFY(Parts.isEmpty());
    QVERIFY(!Dragging::Active());
}

void TestWorkshop::sixtyFirstPartIsRefused() {
    TWindow w;
    for (int i = 0; i < 60; ++i)
        CreatePart(KindWire);
    const QPoint from = w.Centre(w.Box(KindResistor));
    w.Mouse.Press(from);
    w.Mouse.Move(from + QPoint(0, 20));
    w.Mouse.Release(from + QPoint(0, 20));
    QCOMPARE(Parts.size(), 60);
    QVERIFY(!Dragging::Active());
    QCOMPARE(w.Seams.Messages.size(), 1);
    QCOMPARE(w.Seams.Messages[0].Text, GetText(602));
    QCOMPARE(w.Seams.Messages[0].Caption, GetText(601));
    QCOMPARE(w.Seams.Messages[0].Owner, &w.Form);
    ClearBoard();
}

void TestWorkshop::deleteThrowsTheSelectedPartAway() {
    TWindow w;
    auto* part = new TResistor;
    part->ConnectNodes((*w.Form.Board)(1, 1), (*w.Form.Board)(1, 2));
    part->show();
    QTest::keyClick(&w.Form, Qt::Key_Delete); // nothing selected: nothing happens
    QCOMPARE(Parts.size(), 1);
    QVERIFY(w.Seams.Waits.isEmpty());
    w.Mouse.Click(w.Centre(part));
    QCOMPARE(SelectedPart, part);
    w.Form.Board->CircuitChanged = false;
    QTest::keyClick(&w.Form, Qt::Key_Delete);
    QVERIFY(Parts.isEmpty());
    QVERIFY(!SelectedPart);
    QVERIFY(w.Form.Board->CircuitChanged);
    QCOMPARE(w.Seams.Waits, QList<int>({500}));
    QCOMPARE(w.Seams.Sounds.count("wavOnTrash"), 1);
    // The trash sound of this command plays once a run.
    Select(CreatePart(KindWire));
    w.Form.mnuOnDelete();
    QCOMPARE(w.Seams.Sounds.count("wavOnTrash"), 1);
}

void TestWorkshop::clearAnsweredNoChangesNothing() {
    TWindow w;
    Put(CreatePart(KindResistor));
    SchemeSaved = false;
    w.Seams.Answers = {IdNo};
    w.Form.btnDeleteAll->click();
    QCOMPARE(Parts.size(), 1);
    QVERIFY(!SchemeSaved);
    QCOMPARE(w.Seams.Messages[0].Icon, TMsgIcon::Question);
    w.Seams.Answers = {IdYes};
    w.Form.btnDeleteAll->click();
    QVERIFY(Parts.isEmpty());
    QVERIFY(SchemeSaved);
}

void TestWorkshop::closeWithChanges_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("saveAs"); // what the save dialog returns; empty: cancelled
    QTest::addColumn<bool>("closes");
    QTest::newRow("cancel keeps the board") << int(IdCancel) << QString() << false;
    QTest::newRow("no closes") << int(IdNo) << QString() << true;
    QTest::newRow("yes and a name saves and closes")
        << int(IdYes) << QString("saved.workbench") << true;
    QTest::newRow("yes but the dialog cancelled keeps the board")
        << int(IdYes) << QString() << false;
}

void TestWorkshop::closeWithChanges() {
    QFETCH(int, answer);
    QFETCH(QString, saveAs);
    QFETCH(bool, closes);
    TWindow w;
    TIron* part = CreatePart(KindResistor);
    part->ConnectNodes((*w.Form.Board)(3, 3), (*w.Form.Board)(3, 4));
    SchemeSaved = false;
    w.Seams.Answers = {answer};
    const QString path = saveAs.isEmpty() ? QString() : w.Seams.Dir.filePath(saveAs);
    if (!path.isEmpty()) w.Answers = {path};
    QCloseEvent close;
    QCoreApplication::sendEvent(&w.Form, &close);
    QCOMPARE(close.isAccepted(), closes);
    QCOMPARE(Parts.isEmpty(), closes);
    if (!closes) QCOMPARE(part->FirstNode, (*w.Form.Board)(3, 3));
    if (!path.isEmpty()) QVERIFY(FileBytes(path).size() > 1024);
    ClearBoard();
}

void TestWorkshop::saveWritesOnlyWhatChanged() {
    TWindow w;
    const QString path = w.Seams.Dir.filePath("scheme.workbench");
    Put(CreatePart(KindResistor));
    w.Answers = {path};
    w.Form.btnWriteFile->click(); // untitled: asks, writes
    QCOMPARE(w.Dialogs.size(), 1);
    QVERIFY(w.Dialogs[0].startsWith("save User "));
    QVERIFY(FileBytes(path).size() > 1024);

    // Open, then Save: nothing to write.
    w.Answers = {path};
    w.Form.btnReadFileClick();
    QCOMPARE(Parts.size(), 1);
    QFile::remove(path);
    w.Form.btnWriteFile->click();
    QVERIFY(!QFile::exists(path));

    // Save As always writes, even without a change.
    SaveAsRequested = true;
    w.Answers = {path};
    w.Form.btnWriteFile->click();
    QVERIFY(QFile::exists(path));
    QCOMPARE(FileName, path);
    ClearBoard();
}

void TestWorkshop::saveFailureIsReported() {
    TWindow w;
    Put(CreatePart(KindWire));
    SchemeSaved = false;
    w.Answers = {w.Seams.Dir.filePath("missing/folder/x.workbench")};
    QVERIFY(!w.Form.SaveCommand());
    QCOMPARE(w.Seams.Messages.size(), 1);
    QVERIFY(w.Seams.Messages[0].Text.startsWith(GetText(609)));
    QVERIFY(!SchemeSaved);
    ClearBoard();
}

void TestWorkshop::failedSaveAsKeepsTheOldName() {
    TWindow w;
    const QString path = w.Seams.Dir.filePath("good.workbench");
    Put(CreatePart(KindResistor));
    w.Answers = {path};
    w.Form.btnWriteFile->click();
    QCOMPARE(FileName, path);
    SchemeSaved = false;
    SaveAsRequested = true;
    w.Answers = {w.Seams.Dir.filePath("missing/folder/x.workbench")};
    QVERIFY(!w.Form.SaveCommand());
    QCOMPARE(FileName, path);
    QCOMPARE(w.Form.windowTitle(), GetText(100) + " : good");
    QVERIFY(!SchemeSaved);
    // The next Save writes the old name, without a dialog.
    QFile::remove(path);
    QVERIFY(w.Form.SaveCommand());
    QCOMPARE(w.Dialogs.size(), 2);
    QVERIFY(QFile::exists(path));
    ClearBoard();
}

void TestWorkshop::failedOpenLeavesTheBoardUntitled() {
    TWindow w;
    const QString path = w.Seams.Dir.filePath("broken.workbench");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Yarv's scheme 1.3\r\n");
    file.close();
    w.Form.SetFileName("/somewhere/previous.workbench");
    w.Answers = {path};
    w.Form.btnReadFileClick();
    QCOMPARE(w.Seams.Messages.size(), 1); // the load failure
    QVERIFY(Parts.isEmpty());
    QVERIFY(FileName.isEmpty());
    QCOMPARE(w.Form.windowTitle(), GetText(100) + " : " + GetText(101));
    // Save asks for a name instead of writing the empty board over the file.
    Put(CreatePart(KindWire));
    SchemeSaved = false;
    QVERIFY(!w.Form.SaveCommand()); // the dialog is cancelled
    QCOMPARE(w.Dialogs.size(), 2);
    QCOMPARE(FileBytes(path), QByteArray("Yarv's scheme 1.3\r\n"));
    ClearBoard();
}

void TestWorkshop::loadSchemePaths_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::newRow("a lab's name") << "lab1"
                                  << "Labs/lab1.workbench";
    QTest::newRow("a full path") << "/home/student/ohm"
                                 << "/home/student/ohm.workbench";
    QTest::newRow("a name with a dot") << "lab1.old"
                                       << "Labs/lab1.old";
    QTest::newRow("too long") << QString(260, 'x') << QString();
}

void TestWorkshop::loadSchemePaths() {
    QFETCH(QString, name);
    QFETCH(QString, path);
    QCOMPARE(TWorkshopForm::SchemePathFor(name), path);
}

void TestWorkshop::schemesFolderOfAnInstallation() {
    // An installed workbench keeps the student's schemes in the documents folder; the folder
    // appears with the first save, and both dialogs offer it and the ready-made labs.
    TWindow w;
    const QString schemes = w.Seams.Dir.filePath("home/Documents/Vexilo");
    w.Form.SchemesFolder = schemes;
    w.Answers = {QString()}; // the student looks, then cancels
    w.Form.btnReadFileClick();
    QCOMPARE(w.Requests.size(), 1);
    QCOMPARE(w.Requests[0].Folder, schemes);
    QVERIFY(!QFileInfo::exists(schemes)); // opening makes nothing

    Put(CreatePart(KindResistor));
    w.Answers = {schemes + "/first.workbench"};
    w.Form.btnWriteFile->click();
    QCOMPARE(w.Requests.size(), 2);
    QVERIFY(w.Requests[1].Save);
    QCOMPARE(w.Requests[1].Folder, schemes);
    QVERIFY(w.Requests[1].Places.contains(schemes));
    QVERIFY(FileBytes(schemes + "/first.workbench").size() > 1024);
    ClearBoard();
}

void TestWorkshop::loadSchemeMessageFromAnotherProgram() {
    TWindow w;
    // A scheme in a folder of the test's own, sent by its full path.
    Put(CreatePart(KindResistor));
    const QString path = w.Seams.Dir.filePath("sent.workbench");
    QVERIFY(SaveScheme(path));
    ClearBoard();
    w.Form.SetFileName("/somewhere/previous.workbench");
    w.Form.StartListening();
    QLocalSocket sender;
    sender.connectToServer(TWorkshopForm::LoadSchemeServerName());
    QVERIFY(sender.waitForConnected(3000));
    sender.write((path + "\n").toUtf8());
    QTRY_COMPARE(Parts.size(), 1);
    QVERIFY(FileName.isEmpty()); // loaded as untitled
    QTRY_VERIFY(sender.canReadLine() || sender.waitForReadyRead(100));
    ClearBoard();
}

namespace {
// Sends a scheme name as another program does and waits for the answer.
void SendSchemeName(const QString& name) {
    QLocalSocket sender;
    sender.connectToServer(TWorkshopForm::LoadSchemeServerName());
    QVERIFY(sender.waitForConnected(3000));
    sender.write((name + "\n").toUtf8());
    QTRY_VERIFY(sender.canReadLine());
    QCOMPARE(sender.readLine(), QByteArray("ok\n"));
}
} // namespace

void TestWorkshop::loadSchemeMessageOfABadFile() {
    TWindow w;
    // The failure box runs an event loop of its own while it is open, as a real one does.
    w.Seams.NestedLoops = true;
    const QString bad = w.Seams.Dir.filePath("bad.workbench");
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a scheme at all");
    file.close();
    Put(CreatePart(KindResistor));
    QVERIFY(SaveScheme(w.Seams.Dir.filePath("good.workbench")));
    ClearBoard();
    w.Form.StartListening();
    SendSchemeName(bad);
    QTRY_COMPARE(w.Seams.Messages.size(), 1);
    QVERIFY(w.Seams.Messages[0].Text.startsWith(GetText(608)));
    QTest::qWait(200); // the box is closed, the socket long gone: the program goes on
    SendSchemeName(w.Seams.Dir.filePath("good.workbench"));
    QTRY_COMPARE(Parts.size(), 1);
    ClearBoard();
}

void TestWorkshop::loadSchemeMessageAsksBeforeUnsavedWorkGoes_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("parts");  // on the board after the message: 2 the student's, 1 the sent
    QTest::addColumn<bool>("saved"); // the student's scheme was written first
    QTest::newRow("cancel keeps the work") << int(IdCancel) << 2 << false;
    QTest::newRow("no throws it away") << int(IdNo) << 1 << false;
    QTest::newRow("yes saves it first") << int(IdYes) << 1 << true;
}

void TestWorkshop::loadSchemeMessageAsksBeforeUnsavedWorkGoes() {
    QFETCH(int, answer);
    QFETCH(int, parts);
    QFETCH(bool, saved);
    TWindow w;
    const QString sent = w.Seams.Dir.filePath("sent.workbench");
    Put(CreatePart(KindResistor));
    QVERIFY(SaveScheme(sent));
    ClearBoard();
    const QString own = w.Seams.Dir.filePath("own.workbench");
    w.Form.SetFileName(own);
    Put(CreatePart(KindResistor));
    Put(CreatePart(KindWire));
    SchemeSaved = false;
    w.Form.StartListening();
    w.Seams.Answers = {answer};
    SendSchemeName(sent);
    QTRY_COMPARE(w.Seams.Messages.size(), 1);
    QCOMPARE(w.Seams.Messages[0].Buttons, TMsgButtons::YesNoCancel);
    QVERIFY(w.Seams.Messages[0].Text.contains(sent));
    QTRY_COMPARE(Parts.size(), parts);
    QCOMPARE(QFile::exists(own), saved);
    ClearBoard();
}

void TestWorkshop::loadSchemeSocketIsTheSessionsOwn() {
    TWindow w;
    const QString socketPath = QDir(w.Seams.Dir.path()).filePath("vexilo-loadscheme");
    QCOMPARE(TWorkshopForm::LoadSchemeServerName(), socketPath);
    w.Form.StartListening();
    const QFileInfo socket(socketPath);
    QVERIFY(socket.exists());
    QVERIFY(!(socket.permissions() &
              (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup)));
}

void TestWorkshop::captionFollowsTheFileName() {
    TWindow w;
    // From the start the title strip names the scheme, as it does after a Clear.
    QCOMPARE(w.Form.lblTitle->text(), GetText(100) + " : " + GetText(101));
    w.Form.SetFileName("/home/student/User/ohm.law.workbench");
    QCOMPARE(w.Form.windowTitle(), GetText(100) + " : ohm.law");
    QCOMPARE(w.Form.btnWriteFile->toolTip(), GetText(111) + "ohm.law.workbench");
    w.Form.SetFileName(QString());
    QCOMPARE(w.Form.windowTitle(), GetText(100) + " : " + GetText(101));
}

void TestWorkshop::helpOpensInTheProgramsOwnWindow() {
    TWindow w;
    // A data folder of the test's own: HELP with its start page and the reference, no labs.
    const QString previous = QDir::currentPath();
    QDir data(w.Seams.Dir.path());
    QVERIFY(data.mkpath("HELP/Refs"));
    auto write = [&](const QString& name, const QString& html) {
        QFile file(data.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(html.toUtf8());
    };
    write("HELP/index.htm",
          "<html><head><title>Как работать</title></head><body>"
          "<a href=\"Refs/index.htm\">refs</a> <a href=\"gone.htm\">gone</a></body></html>");
    write("HELP/Refs/index.htm",
          "<html><head><title>Справочник</title></head><body>Ом</body></html>");
    QDir::setCurrent(data.path());

    w.Form.btnHelpClick();
    THelpWindow* help = HelpWindow();
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->Browser->source().toLocalFile(), data.filePath("HELP/index.htm"));
    QCOMPARE(help->windowTitle(), QString("Как работать"));
    help->FollowLink(QUrl("Refs/index.htm"));
    QCOMPARE(help->Browser->source().toLocalFile(), data.filePath("HELP/Refs/index.htm"));
    QVERIFY(help->btnBack->isEnabled());
    help->btnBack->click();
    QVERIFY(w.Seams.Messages.isEmpty());
    // A link to a page that is not there says so and stays where it is.
    help->FollowLink(QUrl("gone.htm"));
    QCOMPARE(w.Seams.MessageTexts(), QStringList({GetText(619) + data.filePath("HELP/gone.htm")}));
    QCOMPARE(help->Browser->source().toLocalFile(), data.filePath("HELP/index.htm"));
    // So does a button whose pages are missing.
    w.Form.btnHelpLabsClick();
    QCOMPARE(w.Seams.Messages.size(), 2);
    QCOMPARE(w.Seams.Messages[1].Text, GetText(619) + data.filePath("HELP/Labs/index.htm"));
    QDir::setCurrent(previous);
    help->close();
}

QTEST_MAIN(TestWorkshop)
#include "tst_workshop.moc"
