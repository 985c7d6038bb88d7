// Scheme files: the byte layout, all three versions, malformed files, saving safely, and
// schemetool against ngspice.

#include "support/Board.h"
#include "support/Spice.h"
#include "support/TestParts.h"

#include "board/Frmwork.h"
#include "board/Node.h"
#include "components/Battery.h"
#include "components/Blackbug.h"
#include "components/Condensator.h"
#include "components/Conductor.h"
#include "components/Generator.h"
#include "components/Kinds.h"
#include "components/Lamp.h"
#include "components/Protector.h"
#include "components/Resistor.h"
#include "components/Switch.h"
#include "components/Vcondensator.h"
#include "components/Vresistor.h"
#include "document/Circuit.h"
#include "document/Scheme.h"
#include "solver/Calculate.h"
#include "solver/Netlist.h"

#include <QBuffer>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <QtEndian>
#include <algorithm>
#include <csignal>
#include <limits>
#include <random>
#include <sys/resource.h>

namespace {
// The kinds a scheme file can hold, with the length of each kind's own tail.
const QMap<int, int> TailSize = {{10, 0}, {11, 8},  {12, 8},  {13, 0},  {14, 26}, {15, 0}, {16, 4},
                                 {17, 8}, {18, 16}, {19, 24}, {20, 16}, {21, 8},  {22, 8}, {24, 1}};
constexpr int BaseRecord = 49; // kind, marker, four doubles, flags, two node numbers

QByteArray Save() {
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    QString error;
    if (!SaveSchemeTo(file, &error)) qWarning("save failed: %s", qPrintable(error));
    return file.data();
}

TLoadResult Load(const QByteArray& bytes) {
    QBuffer file;
    file.setData(bytes);
    file.open(QIODevice::ReadOnly);
    return LoadSchemeFrom(file);
}

// One part of every kind on its own edge, with values that differ from the defaults.
void BuildEveryKind(bool defaultBattery) {
    int column = 0;
    for (int kind : TailSize.keys()) {
        TIron* part = CreatePart(quint8(kind));
        QVERIFY2(part, qPrintable(QString("kind %1").arg(kind)));
        const int r = column / 7 + 1, c = column % 7;
        Place(part, r - 1, c, r, c);
        ++column;
        if (kind == KindBattery && defaultBattery) continue;
        TPanelValues v;
        part->FillPanel(v);
        for (double& value : v.Values)
            value *= 2;
        part->TakePanel(v);
    }
}

// The same file in an older version: the signature says 1.0 or 1.1, 1.1 pads every base
// record with 200 zeros, and neither has a battery tail.
QByteArray OldVersion(const QByteArray& file12, bool v11) {
    QByteArray out = file12.left(1024);
    out.replace(14, 3, v11 ? "1.1" : "1.0");
    int at = 1024;
    while (at < file12.size()) {
        const int kind = quint8(file12[at]);
        out += file12.mid(at, BaseRecord);
        if (v11) out += QByteArray(200, '\0');
        if (kind != KindBattery) out += file12.mid(at + BaseRecord, TailSize[kind]);
        at += BaseRecord + TailSize[kind];
    }
    return out;
}

void PutInt32(QByteArray& bytes, int at, qint32 v) {
    qToLittleEndian(v, bytes.data() + at);
}
// Random values for the parts whose value is a slider's step or a drawn content: a handle
// anywhere on its track, and a passive content or a source of the circuit's own kind.
void ShakeVariable(TIron* part, QRandomGenerator& random, bool alternating) {
    if (auto* v = qobject_cast<TVResistor*>(part)) {
        v->SetMaxResistance(std::pow(10, 1 + random.bounded(3.0)));
        v->SetHandlePosition(1 + random.bounded(20));
    } else if (auto* v = qobject_cast<TVCondensator*>(part)) {
        v->SetMaxCapacitance(std::pow(10, -7 + random.bounded(3.0)));
        v->SetHandlePosition(1 + random.bounded(20));
    } else if (auto* box = qobject_cast<TBlackBug*>(part)) {
        const int pick = random.bounded(4);
        box->SetVariant(pick < 3      ? 1 + pick
                        : alternating ? TBlackBug::Generator
                                      : TBlackBug::Battery);
    }
}
} // namespace

class TestScheme : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void emptyBoardIsTwentySevenBytes();
    void recordsBeginAtTheHeaderEnd();
    void roundTripOfEveryKind();
    void olderVersionsLoadToTheSameBoard_data();
    void olderVersionsLoadToTheSameBoard();
    void batteryRecordLengths();
    void signatureRules_data();
    void signatureRules();
    void unknownKindFailsTheLoad();
    void reversedEndsLoadOnTheirEdge();
    void generatorsKeepTheFilesFrequency();
    void burntPartsBurnAgain();
    void cutRecordsAndBadNodesFail_data();
    void cutRecordsAndBadNodesFail();
    void crowdedFilesFail_data();
    void crowdedFilesFail();
    void everyTruncationLoadsSafely();
    void randomBytesLoadSafely();
    void failedSaveKeepsTheOldFile();
    void schemetoolConvertKeepsEveryByte();
    void fullDiskKeepsTheOldFile();
    void schemetoolAgreesWithNgspice();
    void schemetoolFailuresExitNonZero_data();
    void schemetoolFailuresExitNonZero();
    void schemetoolReadsAsTheBoardLoads();
};

void TestScheme::initTestCase() {
    RegisterPartKinds();
    TIron::ExecuteStartups();
}

void TestScheme::emptyBoardIsTwentySevenBytes() {
    TBoardFixture f;
    CircuitOmega = 314.5;
    const QByteArray file = Save();
    QCOMPARE(file.size(), 27);
    QCOMPARE(file.left(19), QByteArray("Yarv's scheme 1.2\r\n"));
    QCOMPARE(qFromLittleEndian<double>(file.constData() + 19), 314.5);
    CircuitOmega = 0;
    QCOMPARE(Load(file), TLoadResult::Loaded);
    QVERIFY(Parts.isEmpty());
    QCOMPARE(CircuitOmega, 314.5);
}

void TestScheme::recordsBeginAtTheHeaderEnd() {
    TBoardFixture f;
    Place(new TResistor, 2, 2, 2, 3);
    const QByteArray file = Save();
    QCOMPARE(file.mid(27, 1024 - 27), QByteArray(1024 - 27, '\0'));
    QCOMPARE(int(quint8(file[1024])), int(KindResistor));
    QCOMPARE(file.mid(1025, 4), QByteArray("\xff\xff\xff\xff", 4));
    QCOMPARE(qFromLittleEndian<qint32>(file.constData() + 1024 + 41), 2 * 7 + 2);
    QCOMPARE(qFromLittleEndian<qint32>(file.constData() + 1024 + 45), 2 * 7 + 3);
    QCOMPARE(file.size(), 1024 + BaseRecord + 8);
}

void TestScheme::roundTripOfEveryKind() {
    TBoardFixture f;
    BuildEveryKind(false);
    const QByteArray first = Save();
    int at = 1024, records = 0;
    while (at < first.size()) {
        at += BaseRecord + TailSize[quint8(first[at])];
        ++records;
    }
    QCOMPARE(at, first.size()); // every record is as long as its kind says
    QCOMPARE(records, TailSize.size());
    QCOMPARE(Load(first), TLoadResult::Loaded);
    QCOMPARE(Parts.size(), TailSize.size());
    QCOMPARE(Save(), first);
}

void TestScheme::olderVersionsLoadToTheSameBoard_data() {
    QTest::addColumn<bool>("v11");
    QTest::newRow("1.0") << false;
    QTest::newRow("1.1") << true;
}

void TestScheme::olderVersionsLoadToTheSameBoard() {
    QFETCH(bool, v11);
    TBoardFixture f;
    BuildEveryKind(true);
    const QByteArray current = Save();
    const QByteArray old = OldVersion(current, v11);
    QCOMPARE(Load(old), TLoadResult::Loaded);
    QCOMPARE(FormatVersion, v11 ? Version11 : Version10);
    QCOMPARE(Parts.size(), TailSize.size());
    QCOMPARE(Save(), current);
}

void TestScheme::batteryRecordLengths() {
    TBoardFixture f;
    Place(CreatePart(KindBattery), 0, 0, 1, 0);
    const QByteArray current = Save();
    QCOMPARE(current.size() - 1024, 75);
    QCOMPARE(OldVersion(current, false).size() - 1024, 49);
    QCOMPARE(OldVersion(current, true).size() - 1024, 249);
}

void TestScheme::signatureRules_data() {
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<int>("version"); // 0: refused
    QTest::newRow("1.2") << QByteArray("Yarv's scheme 1.2\r\n") << Version12;
    QTest::newRow("other first fourteen") << QByteArray("Something else1.1\r\n") << Version11;
    QTest::newRow("1.3 refused") << QByteArray("Yarv's scheme 1.3\r\n") << 0;
    QTest::newRow("no line end refused") << QByteArray("Yarv's scheme 1.2  ") << 0;
    QTest::newRow("short file is 1.0") << QByteArray("Yarv") << Version10;
    QTest::newRow("empty file is 1.0") << QByteArray() << Version10;
    QTest::newRow("zero byte early refused") << QByteArray("Ya\0rv's scheme 1.2\r\n", 20) << 0;
}

void TestScheme::signatureRules() {
    QFETCH(QByteArray, start);
    QFETCH(int, version);
    TBoardFixture f;
    const QString path = f.Seams.Dir.filePath("file.workbench");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(start);
    file.close();
    CircuitOmega = 5;
    const TLoadResult result = LoadScheme(path);
    if (version) {
        QCOMPARE(result, TLoadResult::Loaded);
        QCOMPARE(FormatVersion, version);
        QVERIFY(f.Seams.Messages.isEmpty());
        QCOMPARE(CircuitOmega, 0.0); // the file ends before its frequency
    } else {
        QCOMPARE(result, TLoadResult::Failed);
        QCOMPARE(f.Seams.Messages.size(), 1);
        QCOMPARE(f.Seams.Messages[0].Text, GetText(608) + path + "\n" + GetText(611));
        QCOMPARE(f.Seams.Messages[0].Buttons, TMsgButtons::AbortRetryIgnore);
    }
    QVERIFY(Parts.isEmpty());
    QVERIFY(f.Board->CircuitChanged);
}

void TestScheme::unknownKindFailsTheLoad() {
    TBoardFixture f;
    Place(new TResistor, 1, 1, 1, 2);
    Place(new TResistor, 2, 1, 2, 2);
    QByteArray file = Save();
    file[1024 + BaseRecord + 8] = char(23); // the second record's kind
    QString why;
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    // Half a circuit under the file's name would be saved over the whole one.
    QCOMPARE(LoadSchemeFrom(buffer, &why), TLoadResult::Failed);
    QVERIFY(Parts.isEmpty());
    QCOMPARE(why, GetText(615));
}

void TestScheme::reversedEndsLoadOnTheirEdge() {
    TBoardFixture f;
    auto* battery = qobject_cast<TBattery*>(CreatePart(KindBattery));
    Place(battery, 1, 1, 2, 1);
    auto* resistor = new TResistor;
    Place(resistor, 1, 1, 1, 2);
    Place(new TResistor, 1, 2, 2, 2);
    Place(new TResistor, 2, 1, 2, 2);
    f.Board->CircuitChanged = true;
    f.Board->SolveWhileChanged();
    const TComplex current = resistor->Current;
    QVERIFY2(std::abs(current) > 1e-4, qPrintable(QString::number(std::abs(current))));
    const QPoint batteryAt = battery->pos(), resistorAt = resistor->pos();
    QByteArray file = Save();
    // Every record names its lower or right node first.
    for (int at = 1024; at < file.size(); at += BaseRecord + TailSize[quint8(file[at])]) {
        const qint32 first = qFromLittleEndian<qint32>(file.constData() + at + 41);
        PutInt32(file, at + 41, qFromLittleEndian<qint32>(file.constData() + at + 45));
        PutInt32(file, at + 45, first);
    }
    QCOMPARE(Load(file), TLoadResult::Loaded);
    battery = qobject_cast<TBattery*>(Parts[0]);
    resistor = qobject_cast<TResistor*>(Parts[1]);
    QCOMPARE(battery->FirstNode, (*f.Board)(1, 1));
    QCOMPARE(battery->pos(), batteryAt);
    QCOMPARE(resistor->FirstNode, (*f.Board)(1, 1));
    QCOMPARE(resistor->pos(), resistorAt);
    // The file's battery pushes towards its first-named node, the upper one: turned end for
    // end on its edge it is a reversed battery, and the current runs the other way.
    QVERIFY(battery->Reversed);
    f.Board->SolveWhileChanged();
    QVERIFY(std::abs(resistor->Current + current) < 1e-12);
}

void TestScheme::generatorsKeepTheFilesFrequency() {
    TBoardFixture f;
    Place(CreatePart(KindGenerator), 1, 1, 2, 1);
    Place(CreatePart(KindGenerator), 1, 2, 2, 2);
    CircuitOmega = 2 * M_PI * 1000;
    const QByteArray file = Save();
    ClearBoard();
    QCOMPARE(CircuitOmega, 0.0); // the last generator gone: no frequency
    QCOMPARE(Load(file), TLoadResult::Loaded);
    QCOMPARE(CircuitOmega, 2 * M_PI * 1000);
}

void TestScheme::burntPartsBurnAgain() {
    TBoardFixture f;
    auto* r = new TResistor;
    Place(r, 3, 3, 3, 4);
    r->BurnOut(true);
    const QByteArray file = Save();
    f.Seams.Sounds.clear();
    QCOMPARE(Load(file), TLoadResult::Loaded);
    auto* loaded = qobject_cast<TResistor*>(Parts.first());
    QVERIFY(loaded->Burnt);
    QCOMPARE(loaded->Resistance, 1E60);
    QCOMPARE(f.Seams.Sounds, QStringList({"wavOnBurnOut"}));
}

void TestScheme::cutRecordsAndBadNodesFail_data() {
    QTest::addColumn<int>("cut");      // bytes taken off the end
    QTest::addColumn<int>("at");       // offset of a field written over, -1: none
    QTest::addColumn<QString>("type"); // the field: "i32", "f64" or "u8"
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("fault"); // the text that says why
    // Two resistors: the second record begins at 1081, its nodes (4,4) 32 and (4,5) 33.
    const int second = 1024 + BaseRecord + 8;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("cut in the tail") << 3 << -1 << "" << 0.0 << 612;
    QTest::newRow("cut in the base record") << 20 << -1 << "" << 0.0 << 612;
    QTest::newRow("node 49") << 0 << second + 41 << "i32" << 49.0 << 613;
    QTest::newRow("node -1") << 0 << second + 41 << "i32" << -1.0 << 613;
    QTest::newRow("node far away") << 0 << second + 41 << "i32" << 100000.0 << 613;
    QTest::newRow("nodes two apart") << 0 << second + 41 << "i32" << 31.0 << 614;
    QTest::newRow("both ends on one node") << 0 << second + 41 << "i32" << 33.0 << 614;
    QTest::newRow("nodes on a diagonal") << 0 << second + 41 << "i32" << 25.0 << 614;
    QTest::newRow("unknown kind") << 0 << second << "u8" << 23.0 << 615;
    QTest::newRow("resistance not a number") << 0 << second + 5 << "f64" << nan << 616;
    QTest::newRow("infinite EMF") << 0 << second + 29 << "f64" << -inf << 616;
    QTest::newRow("infinite rated power") << 0 << second + 49 << "f64" << inf << 616;
    QTest::newRow("frequency not a number") << 0 << 19 << "f64" << nan << 616;
}

void TestScheme::cutRecordsAndBadNodesFail() {
    QFETCH(int, cut);
    QFETCH(int, at);
    QFETCH(QString, type);
    QFETCH(double, value);
    QFETCH(int, fault);
    TBoardFixture f;
    Place(new TResistor, 1, 1, 1, 2);
    Place(new TResistor, 4, 4, 4, 5);
    QByteArray file = Save();
    file.chop(cut);
    if (type == "i32") PutInt32(file, at, qint32(value));
    if (type == "f64") qToLittleEndian(value, file.data() + at);
    if (type == "u8") file[at] = char(int(value));
    const QString path = f.Seams.Dir.filePath("bad.workbench");
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(file);
    out.close();
    QCOMPARE(LoadScheme(path), TLoadResult::Failed);
    QVERIFY(Parts.isEmpty());
    QCOMPARE(f.Seams.Messages.size(), 1);
    QCOMPARE(f.Seams.Messages[0].Text, GetText(608) + path + "\n" + GetText(fault));
}

void TestScheme::crowdedFilesFail_data() {
    QTest::addColumn<int>(
        "extra"); // records appended after a resistor on every edge but (1,1)-(1,2)
    QTest::addColumn<bool>("swapped"); // the extra records name their nodes the other way round
    QTest::addColumn<int>("fault");
    QTest::newRow("a full board loads") << 0 << false << 0;
    QTest::newRow("a second part on an edge") << 1 << false << 621;
    QTest::newRow("a second part on an edge, ends swapped") << 1 << true << 621;
    QTest::newRow("85 parts") << 2 << false << 622;
    QTest::newRow("3000 parts") << 3000 << false << 622;
}

void TestScheme::crowdedFilesFail() {
    QFETCH(int, extra);
    QFETCH(bool, swapped);
    QFETCH(int, fault);
    TBoardFixture f;
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c) {
            if (c < 6) Place(new TResistor, r, c, r, c + 1);
            if (r < 6) Place(new TResistor, r, c, r + 1, c);
        }
    QCOMPARE(Parts.size(), 84);
    QByteArray file = Save();
    const QByteArray first = file.mid(1024, BaseRecord + 8); // on (0,0)-(0,1), nodes 0 and 1
    QByteArray copy = first;
    if (swapped) {
        PutInt32(copy, 41, 1);
        PutInt32(copy, 45, 0);
    }
    for (int i = 0; i < extra; ++i)
        file += copy;
    // One other part out: 84 with the extra one, which shares the first part's edge; the first
    // out: the extras fill its edge and then count past 84.
    if (extra == 1) file.remove(1024 + first.size(), first.size());
    if (extra >= 2) file.remove(1024, first.size());
    QString why;
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    QCOMPARE(LoadSchemeFrom(buffer, &why), fault ? TLoadResult::Failed : TLoadResult::Loaded);
    QCOMPARE(why, fault ? GetText(fault) : QString());
    QCOMPARE(Parts.size(), fault ? 0 : 84);
}

void TestScheme::everyTruncationLoadsSafely() {
    TBoardFixture f;
    BuildEveryKind(false);
    const QByteArray whole = Save();
    for (int n = 0; n <= whole.size(); ++n) {
        const TLoadResult result = Load(whole.left(n));
        QVERIFY(n == whole.size() ? result == TLoadResult::Loaded : true);
        for (TIron* part : Parts)
            QVERIFY(part->FirstNode && part->SecondNode);
    }
}

void TestScheme::randomBytesLoadSafely() {
    TBoardFixture f;
    QRandomGenerator random(99);
    for (int round = 0; round < 400; ++round) {
        QByteArray file("Yarv's scheme 1.2\r\n");
        file += QByteArray(1024 - file.size(), '\0');
        const int length = random.bounded(600);
        for (int i = 0; i < length; ++i) {
            // Mostly kind codes and small numbers, so that records get far before they break.
            const int pick = random.bounded(10);
            file += char(pick < 3 ? 10 + random.bounded(15) : pick < 6 ? 0 : random.bounded(256));
        }
        Load(file);
        for (TIron* part : Parts) {
            QVERIFY(Nodes.contains(part->FirstNode));
            QVERIFY(Nodes.contains(part->SecondNode));
        }
        if (round % 50 == 0) SolveBoard(); // and the solver copes with what was loaded
    }
}

void TestScheme::failedSaveKeepsTheOldFile() {
    TBoardFixture f;
    Place(new TResistor, 1, 1, 1, 2);
    const QString path = f.Seams.Dir.filePath("kept.workbench");
    QVERIFY(SaveScheme(path));
    const QByteArray before = [&] {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    new TResistor; // a part on no node cannot be written
    QString error;
    QVERIFY(!SaveScheme(path, &error));
    QCOMPARE(error, QString("No Nodes in Array !"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QVERIFY(!SaveScheme(f.Seams.Dir.filePath("no/such/folder/x.workbench")));
}

void TestScheme::schemetoolConvertKeepsEveryByte() {
    const QString tool = VEXILO_BIN_DIR "/schemetool";
    TBoardFixture f;
    BuildEveryKind(true); // an older file holds no battery values of its own
    const QByteArray current = Save();
    for (const QByteArray& version : {current, OldVersion(current, true)}) {
        const QString in = f.Seams.Dir.filePath("in.workbench"),
                      out = f.Seams.Dir.filePath("out.workbench");
        QFile file(in);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(version);
        file.close();
        QProcess convert;
        convert.start(tool, {"convert", in, out});
        QVERIFY(convert.waitForFinished(30000));
        QCOMPARE(convert.exitCode(), 0);
        QFile written(out);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), current);
    }
}

void TestScheme::fullDiskKeepsTheOldFile() {
    TBoardFixture f;
    Place(new TResistor, 1, 1, 1, 2);
    const QString path = f.Seams.Dir.filePath("kept.workbench");
    QVERIFY(SaveScheme(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    for (int i = 0; i < 30; ++i)
        Place(new TResistor, 2 + i / 6, i % 6, 2 + i / 6, i % 6 + 1);

    // The disk is full past 1500 bytes of any file this process writes: the last writes of
    // the 2800-byte scheme fail, though every earlier one went into the buffer.
    struct rlimit previous;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit full = previous;
    full.rlim_cur = 1500;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &full), 0);
    QString error;
    const bool saved = SaveScheme(path, &error);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldSignal);

    QVERIFY(!saved);
    QVERIFY(!error.isEmpty());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QCOMPARE(QDir(f.Seams.Dir.path()).entryList(QDir::Files),
             QStringList({"kept.workbench"})); // no leftovers
}

void TestScheme::schemetoolAgreesWithNgspice() {
    const QString tool = VEXILO_BIN_DIR "/schemetool";
    QVERIFY(QFileInfo::exists(tool));
    QRandomGenerator random(4242);
    int compared = 0;
    for (int circuit = 0; circuit < 36; ++circuit) {
        TBoardFixture f;
        const bool alternating = circuit % 3 == 0;
        const quint8 sourceKind = alternating ? KindGenerator : KindBattery;
        const int parts = 4 + random.bounded(24);
        QSet<int> edges;
        for (int i = 0; i < parts; ++i) {
            static const quint8 kinds[] = {KindResistor,
                                           KindResistor,
                                           KindWire,
                                           KindCondensator,
                                           KindInductance,
                                           KindVResistor,
                                           KindVCondensator,
                                           KindBlackBug,
                                           0,
                                           0};
            quint8 kind = kinds[random.bounded(10)];
            if (!kind) kind = sourceKind;
            TIron* part = CreatePart(kind);
            if (auto* r = qobject_cast<TResistor*>(part)) {
                r->SetResistance(std::pow(10, random.bounded(4.0)));
                r->SetMaxPower(1E6); // nothing burns: the netlist shows the values as loaded
            } else {
                ShakeVariable(part, random, alternating);
            }
            // A scheme file holds one part on an edge.
            int r, c;
            bool vertical;
            do {
                r = random.bounded(6) + 1;
                c = random.bounded(6) + 1;
                vertical = random.bounded(2);
            } while (edges.contains((r * 7 + c) * 2 + (vertical ? 1 : 0)));
            edges.insert((r * 7 + c) * 2 + (vertical ? 1 : 0));
            if (vertical)
                Place(part, r - 1, c, r, c);
            else
                Place(part, r, c - 1, r, c);
        }
        const QString scheme = f.Seams.Dir.filePath("c.workbench");
        QVERIFY(SaveScheme(scheme));

        QProcess solve;
        solve.start(tool, {"solve", scheme});
        QVERIFY(solve.waitForFinished(30000));
        QCOMPARE(solve.exitCode(), 0);
        QMap<int, TComplex> ours;
        for (const QByteArray& line : solve.readAllStandardOutput().split('\n')) {
            if (line.isEmpty()) continue;
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            ours.insert(o["index"].toInt(), {o["i"][0].toDouble(), o["i"][1].toDouble()});
        }
        QCOMPARE(ours.size(), parts);

        QProcess netlist;
        netlist.start(tool, {"netlist", scheme});
        QVERIFY(netlist.waitForFinished(30000));
        const QString deck = QString::fromUtf8(netlist.readAllStandardOutput());
        QList<int> carried;
        static const QRegularExpression source("^vm(\\d+) ", QRegularExpression::MultilineOption);
        for (auto it = source.globalMatch(deck); it.hasNext();)
            carried << it.next().captured(1).toInt();
        const auto spice = RunNgspice(deck, carried);
        if (!spice) continue;
        // The tolerances need the circuit as schemetool saw it: load it here too and settle.
        QCOMPARE(LoadScheme(scheme), TLoadResult::Loaded);
        f.Board->SolveWhileChanged();
        const QMap<int, double> tolerance = SpiceTolerances(*spice);
        for (int k = 0; k < parts; ++k)
            QVERIFY2(
                std::abs(ours[k] - spice->value(k)) <= tolerance.value(k),
                qPrintable(QString::asprintf(
                               "circuit %d element %d: ours %g%+gi, ngspice %g%+gi, allowed %g\n",
                               circuit, k, ours[k].real(), ours[k].imag(), spice->value(k).real(),
                               spice->value(k).imag(), tolerance.value(k)) +
                           deck));
        ++compared;
    }
    QVERIFY(compared >= 30);
}

void TestScheme::schemetoolFailuresExitNonZero_data() {
    QTest::addColumn<QString>("board"); // "square": four resistors in a ring; "+0": of 0 ohms;
                                        // "+23": a record of unknown kind at the end
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("says"); // on standard error; empty: nothing at all
    QTest::newRow("solve") << "square"
                           << "solve" << 0 << "";
    QTest::newRow("convert") << "square"
                             << "convert" << 0 << "";
    QTest::newRow("solve of a singular circuit") << "square+0"
                                                 << "solve" << 3 << "singular";
    QTest::newRow("netlist of a singular circuit") << "square+0"
                                                   << "netlist" << 3 << "singular";
    QTest::newRow("solve with an unknown kind") << "square+23"
                                                << "solve" << 1 << "does not know";
    QTest::newRow("netlist with an unknown kind") << "square+23"
                                                  << "netlist" << 1 << "does not know";
    QTest::newRow("convert with an unknown kind") << "square+23"
                                                  << "convert" << 1 << "does not know";
    QTest::newRow("convert of a cut file") << "square-5"
                                           << "convert" << 1 << "ends inside";
}

void TestScheme::schemetoolFailuresExitNonZero() {
    QFETCH(QString, board);
    QFETCH(QString, command);
    QFETCH(int, status);
    QFETCH(QString, says);
    TBoardFixture f;
    // A ring of three resistors and a battery, or of four resistors of 0 ohms.
    const int ring[4][4] = {{1, 1, 1, 2}, {1, 2, 2, 2}, {2, 1, 2, 2}, {1, 1, 2, 1}};
    for (const auto& e : ring) {
        const bool battery = &e == &ring[3] && !board.contains("+0");
        TIron* part = battery ? CreatePart(KindBattery) : new TResistor;
        if (board.contains("+0")) part->SetResistance(0);
        Place(part, e[0], e[1], e[2], e[3]);
    }
    QByteArray bytes = Save();
    if (board.contains("+23")) bytes += QByteArray(1, char(23)) + QByteArray(48, '\0');
    if (board.contains("-5")) bytes.chop(5);
    const QString scheme = f.Seams.Dir.filePath("in.workbench");
    const QString output = f.Seams.Dir.filePath("out.workbench");
    QFile file(scheme);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("XDG_RUNTIME_DIR"); // as on a machine without a login session
    tool.setProcessEnvironment(environment);
    tool.start(VEXILO_BIN_DIR "/schemetool", command == "convert"
                                                 ? QStringList{command, scheme, output}
                                                 : QStringList{command, scheme});
    QVERIFY(tool.waitForFinished(30000));
    const QString error = QString::fromUtf8(tool.readAllStandardError());
    const QByteArray printed = tool.readAllStandardOutput();
    QCOMPARE(tool.exitCode(), status);
    if (says.isEmpty())
        QCOMPARE(error, QString());
    else
        QVERIFY2(error.contains(says), qPrintable(error));
    if (status != 0) QVERIFY(printed.isEmpty());
    // convert writes a whole copy or none at all
    QCOMPARE(QFile::exists(output), command == "convert" && status == 0);
    if (command == "convert" && status == 0) {
        QFile copy(output);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), bytes);
    }
}

// schemetool reads the records straight into the solver's view, by the kinds' own rules written
// out once more: on random circuits of every kind, in every version, with burnt, hidden,
// reversed and switched parts, it must print what the board shows once it has loaded the file
// and settled, and convert to the bytes the board saves.
namespace {
QString Pair(TComplex c) {
    return "[" + ExactNumber(c.real()) + "," + ExactNumber(c.imag()) + "]";
}

QString BoardJson(int k, TIron0* e) {
    auto* part = qobject_cast<TIron*>(e);
    return QString("{\"index\":%1,\"class\":\"%2\",\"kind\":%3,\"first\":%4,\"second\":%5,"
                   "\"z\":%6,\"i\":%7,\"v\":%8,\"burnt\":%9}")
        .arg(k)
        .arg(QString::fromLatin1(e->metaObject()->className()))
        .arg(part ? part->Kind : 0)
        .arg(int(Nodes.indexOf(e->FirstNode)))
        .arg(int(Nodes.indexOf(e->SecondNode)))
        .arg(Pair(e->GetImpedance()), Pair(e->Current), Pair(e->Voltage))
        .arg(e->Burnt ? "true" : "false");
}

// Gives a part random values of its kind: ratings it stands unless it is the weak one (so that
// at most one part can burn, and the lot never decides how many at once).
void Shake(TIron* part, QRandomGenerator& random, bool weak, bool alternating) {
    const double rating = weak ? 1e-3 : 1e9;
    if (auto* r = qobject_cast<TResistor*>(part)) {
        r->SetResistance(std::pow(10, random.bounded(4.0)));
        r->SetMaxPower(rating);
    } else if (auto* c = qobject_cast<TCondensator*>(part)) {
        c->SetCapacitance(std::pow(10, -7 + random.bounded(3.0)));
        c->SetMaxVoltage(rating);
    } else if (auto* p = qobject_cast<TProtector*>(part)) {
        p->SetMaxCurrent(rating);
    } else if (auto* l = qobject_cast<TLamp*>(part)) {
        l->SetRatedVoltage(1 + random.bounded(200.0));
        l->SetRatedPower(weak ? 1e-3 : 1e9);
    } else if (auto* s = qobject_cast<TSwitch*>(part)) {
        s->SetOn(random.bounded(3) != 0);
    } else if (auto* c = qobject_cast<TConductor*>(part)) {
        c->SetLength(random.bounded(100.0));
        c->SetSection(random.bounded(2) ? 0.0 : random.bounded(1.0));
    } else if (auto* b = qobject_cast<TBattery*>(part)) {
        b->SetReversed(random.bounded(2));
    } else {
        ShakeVariable(part, random, alternating);
    }
    if (random.bounded(6) == 0) part->SetHidden(true);
    if (random.bounded(8) == 0) part->BurnOut(true); // only the kinds that can burn take it
}
} // namespace

void TestScheme::schemetoolReadsAsTheBoardLoads() {
    const QString tool = VEXILO_BIN_DIR "/schemetool";
    QRandomGenerator random(2121);
    const QList<int> kinds = TailSize.keys();
    for (int circuit = 0; circuit < 40; ++circuit) {
        TBoardFixture f;
        const bool alternating = circuit % 3 == 0;
        // Parts on a 3 x 3 block of nodes, so that they close loops; a source first.
        QList<QPair<int, int>> edges; // (node, 0 right / 1 down)
        for (int r = 2; r <= 4; ++r)
            for (int c = 2; c <= 4; ++c) {
                if (c < 4) edges.append({r * 7 + c, 0});
                if (r < 4) edges.append({r * 7 + c, 1});
            }
        std::shuffle(edges.begin(), edges.end(), std::mt19937(random.generate()));
        const int count = 5 + random.bounded(8);
        const int weak = random.bounded(count);
        for (int i = 0; i < count; ++i) {
            quint8 kind = quint8(kinds[random.bounded(kinds.size())]);
            if (i == 0 || kind == KindBattery || kind == KindGenerator)
                kind = alternating ? KindGenerator : KindBattery;
            TIron* part = CreatePart(kind);
            Shake(part, random, i == weak, alternating);
            const int node = edges[i].first, r = node / 7, c = node % 7;
            const int r2 = edges[i].second ? r + 1 : r, c2 = edges[i].second ? c : c + 1;
            if (random.bounded(2))
                Place(part, r, c, r2, c2);
            else
                Place(part, r2, c2, r, c); // turned end for end when loaded
        }
        QByteArray bytes = Save();
        const int version = random.bounded(3);
        if (version < 2) bytes = OldVersion(bytes, version == 1);
        const QString scheme = f.Seams.Dir.filePath("c.workbench"),
                      copy = f.Seams.Dir.filePath("copy.workbench");
        QFile file(scheme);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();

        QCOMPARE(Load(bytes), TLoadResult::Loaded);
        QProcess convert;
        convert.start(tool, {"convert", scheme, copy});
        QVERIFY(convert.waitForFinished(30000));
        QCOMPARE(convert.exitCode(), 0);
        QFile converted(copy);
        QVERIFY(converted.open(QIODevice::ReadOnly));
        QCOMPARE(converted.readAll(), Save());

        const bool settled = f.Board->SolveWhileChanged() && !Solver::LastSolve.Failed;
        QStringList board;
        for (int k = 0; k < CircuitElements.size(); ++k)
            board << BoardJson(k, CircuitElements[k]);
        QProcess solve;
        solve.start(tool, {"solve", scheme});
        QVERIFY(solve.waitForFinished(30000));
        QCOMPARE(solve.exitCode(), settled ? 0 : 3);
        if (!settled) continue;
        const QStringList printed =
            QString::fromUtf8(solve.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(printed.size(), board.size());
        for (int k = 0; k < board.size(); ++k)
            QVERIFY2(printed[k] == board[k],
                     qPrintable(QString("circuit %1 version %2\n  tool:  %3\n  board: %4")
                                    .arg(circuit)
                                    .arg(version)
                                    .arg(printed[k], board[k])));
    }
}

QTEST_MAIN(TestScheme)
#include "tst_scheme.moc"
