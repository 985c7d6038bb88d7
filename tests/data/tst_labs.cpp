// The data beside the program, as the build installs it: every lab scheme loads and works, the
// measurements its help page prescribes give what the page promises on a real multimeter, what
// the page's questions claim is true, and the help's pages hang together (links, files, markup).

#include "support/Board.h"

#include "board/Frmwork.h"
#include "board/Node.h"
#include "components/Battery.h"
#include "components/Blackbug.h"
#include "components/Iron.h"
#include "components/Kinds.h"
#include "components/Lamp.h"
#include "components/Protector.h"
#include "components/Resistor.h"
#include "components/Switch.h"
#include "components/Vresistor.h"
#include "document/Scheme.h"
#include "instruments/Pribor.h"
#include "solver/Calculate.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <cmath>
#include <numbers>

namespace {
const QString BinDir = VEXILO_BIN_DIR;

// Multimeter switch positions the lab pages name.
constexpr int AcVolts200 = 2, MicroAmps2000 = 3, MilliAmps200 = 5, Amps10 = 6;
constexpr int Ohms200 = 10, Ohms2000 = 11, DcVolts20 = 17;

QString LabPath(const QString& name) {
    return BinDir + "/Labs/" + name + ".workbench";
}

QStringList LabFiles() {
    return QDir(BinDir + "/Labs").entryList({"*.workbench"}, QDir::Files, QDir::Name);
}

QString ReadText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QStringList HelpPages() {
    QStringList pages;
    QDirIterator it(BinDir + "/HELP", {"*.htm", "*.html"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        pages << it.next();
    pages.sort();
    return pages;
}

// A board with one lab loaded and solved.
struct TLabBench : TBoardFixture {
    explicit TLabBench(const QString& name) {
        Window.resize(820, 620);
        QFile file(LabPath(name));
        Opened = file.open(QIODevice::ReadOnly) && LoadSchemeFrom(file) == TLoadResult::Loaded;
        Settled = Board->SolveWhileChanged();
    }
    ~TLabBench() {
        for (auto& panel : MultimeterPanels)
            delete panel.data();
    }

    bool Solve() {
        Board->CircuitChanged = true;
        return Board->SolveWhileChanged();
    }
    QList<TIron*> OfKind(quint8 kind) const {
        QList<TIron*> found;
        for (TIron* p : Parts)
            if (p->Kind == kind) found << p;
        return found;
    }
    TIron* One(quint8 kind) const { return OfKind(kind).value(0); }
    // The part lying between nodes (r1, c1) and (r2, c2), either way round.
    TIron* At(int r1, int c1, int r2, int c2) const {
        TNode *a = (*Board)(r1, c1), *b = (*Board)(r2, c2);
        for (TIron* p : Parts)
            if ((p->FirstNode == a && p->SecondNode == b) ||
                (p->FirstNode == b && p->SecondNode == a))
                return p;
        return nullptr;
    }
    QStringList BurntParts() const {
        QStringList burnt;
        for (TIron* p : Parts)
            if (p->Burnt) burnt << p->metaObject()->className();
        return burnt;
    }
    // What a multimeter in `position` shows with its red lead on (rr, rc) and its black lead on
    // (br, bc): the value of its display in volts, amperes or ohms (1e30 beyond every range).
    double Measure(int position, int rr, int rc, int br, int bc) {
        TPriborPanel* meter = ShowNewMultimeter(&Window, 80);
        if (!meter) return std::nan("");
        meter->SwitchTo(position);
        meter->Element()->ConnectNodes((*Board)(rr, rc), (*Board)(br, bc));
        Solve();
        meter->UpdateReading();
        const double shown = meter->ShownValue;
        delete meter;
        Solve();
        return shown;
    }
    // Takes a part off the board, as the trash can does.
    void Remove(TIron* part) {
        delete part;
        Solve();
    }

    bool Opened = false;
    bool Settled = false;
};

double Amps(TIron* part) {
    return part ? std::abs(part->Current) : std::nan("");
}
double Volts(TIron* part) {
    return part ? std::abs(part->Voltage) : std::nan("");
}

#define QFUZZY(actual, expected, relative)                                                         \
    QVERIFY2(std::abs((actual) - (expected)) <= (relative)*std::abs(expected),                     \
             qPrintable(QString("%1 is %2, expected %3")                                           \
                            .arg(#actual)                                                          \
                            .arg(actual, 0, 'g', 8)                                                \
                            .arg(expected, 0, 'g', 8)))
} // namespace

class TestLabs : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void everyLabWorks_data();
    void everyLabWorks();
    void ammeterTakesTheDashedWire_data();
    void ammeterTakesTheDashedWire();
    void ohmsLaw();
    void seriesAndParallel();
    void internalResistance();
    void lampAndFuse();
    void rcCircuit();
    void dimmerFollowsTheHandle();
    void blackBoxesAnswerTheMeter();

    void helpLinksResolve();
    void helpPagesAreWellFormed();
    void labPagesOpenTheirSchemes();
};

void TestLabs::initTestCase() {
    RegisterPartKinds();
    TIron::ExecuteStartups();
    QVERIFY2(!LabFiles().isEmpty(), qPrintable("no lab schemes in " + BinDir + "/Labs"));
}

// --- Every lab ------------------------------------------------------------------------------

void TestLabs::everyLabWorks_data() {
    QTest::addColumn<QString>("name");
    // Parts that rightly carry no current: lab4's second lamp with its switch and three wires.
    QTest::addColumn<int>("idle");
    const QStringList files = LabFiles();
    for (const QString& file : files) {
        const QString name = QFileInfo(file).completeBaseName();
        QTest::newRow(qPrintable(name)) << name << (name == "lab4" ? 5 : 0);
    }
    // The labs the help describes are all there.
    for (const char* lab : {"lab1", "lab2", "lab3", "lab4", "lab5", "lab6", "lab7"})
        QVERIFY2(files.contains(QString(lab) + ".workbench"), lab);
}

void TestLabs::everyLabWorks() {
    QFETCH(QString, name);
    QFETCH(int, idle);
    TLabBench bench(name);
    QVERIFY(bench.Opened);
    QVERIFY(bench.Settled);
    QVERIFY2(bench.Seams.Messages.isEmpty(), qPrintable(bench.Seams.MessageTexts().join("; ")));
    QVERIFY(!Solver::LastSolve.Failed);
    QCOMPARE(bench.BurntParts(), QStringList());
    QVERIFY(Parts.size() >= 5);

    // Exactly one source, in the main loop (a black box may hold it).
    QList<TIron*> sources;
    for (TIron* p : Parts)
        if (p->StateShowsEmf()) sources << p;
    QCOMPARE(sources.size(), 1);
    QVERIFY2(Amps(sources[0]) > 1e-3, qPrintable(QString::number(Amps(sources[0]))));

    // No loose part: everything carries current but what waits behind an open switch.
    int without = 0;
    for (TIron* p : Parts) {
        QVERIFY(p->FirstNode && p->SecondNode);
        if (Amps(p) < 1e-6) ++without;
    }
    QCOMPARE(without, idle);

    // Nothing runs close to burning on opening: a student's first steps must not destroy parts.
    for (TIron* p : Parts)
        QVERIFY2(p->Load < 0.9, p->metaObject()->className());
}

// In every direct-current lab the ammeter's place is the dashed wire leaving the battery's plus
// terminal (its lower node) to the right; the red lead goes on the battery's node.
void TestLabs::ammeterTakesTheDashedWire_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("position");
    QTest::addColumn<double>("amps");
    QTest::newRow("lab1") << "lab1" << MilliAmps200 << 4.5 / 100.5;
    QTest::newRow("lab2") << "lab2" << MilliAmps200 << 9 / 220.5;
    QTest::newRow("lab3") << "lab3" << MilliAmps200 << 4.5 / 30;
    QTest::newRow("lab4") << "lab4" << Amps10 << 6 / 21.4;
    QTest::newRow("lab6") << "lab6" << Amps10 << 4.5 / 38.5;
}

void TestLabs::ammeterTakesTheDashedWire() {
    QFETCH(QString, name);
    QFETCH(int, position);
    QFETCH(double, amps);
    TLabBench bench(name);
    TIron* battery = bench.One(KindBattery);
    QVERIFY(battery);
    QFUZZY(Amps(battery), amps, 1e-3);
    const TNode* plus = battery->SecondNode;
    TIron* spot = bench.At(plus->Row, plus->Column, plus->Row, plus->Column + 1);
    QVERIFY(spot);
    QCOMPARE(spot->Kind, quint8(KindWire));

    bench.Remove(spot);
    QCOMPARE(Amps(battery), 0.0); // the wire was in the main line
    const double shown =
        bench.Measure(position, plus->Row, plus->Column, plus->Row, plus->Column + 1);
    QFUZZY(shown, amps, 1e-3); // positive: the current enters the red lead
}

// --- Each lab's own promises ----------------------------------------------------------------

void TestLabs::ohmsLaw() {
    TLabBench bench("lab1");
    TIron* battery = bench.One(KindBattery);
    auto* r = static_cast<TResistor*>(bench.One(KindResistor));
    QVERIFY(battery && r);
    QCOMPARE(r->Resistance, 100.0);
    // The voltmeter on 20 V, red on the resistor's lower end.
    QFUZZY(bench.Measure(DcVolts20, 3, 4, 2, 4), 4.5 * 100 / 100.5, 1e-4);

    // Table A: the battery up to 6 V leaves the resistor whole; table B: down to 47 Ω as well.
    auto* cell = static_cast<TBattery*>(battery);
    for (double emf : {1.5, 3.0, 4.5, 6.0}) {
        cell->NominalEmf = emf;
        cell->Refill();
        QVERIFY(bench.Solve());
        QFUZZY(Amps(r), emf / 100.5, 1e-6);
        QVERIFY(!r->Burnt);
    }
    cell->NominalEmf = 4.5;
    cell->Refill();
    for (double ohms : {470.0, 330.0, 220.0, 150.0, 100.0, 68.0, 47.0}) {
        r->SetResistance(ohms);
        QVERIFY(bench.Solve());
        QVERIFY2(!r->Burnt, qPrintable(QString::number(ohms)));
    }
    // The page's question: 22 Ω would burn it.
    r->SetResistance(22);
    bench.Solve();
    QVERIFY(r->Burnt);
}

void TestLabs::seriesAndParallel() {
    TLabBench bench("lab2");
    TIron *r1 = bench.At(2, 2, 2, 3), *r2 = bench.At(2, 4, 3, 4), *r3 = bench.At(2, 5, 3, 5);
    QVERIFY(r1 && r2 && r3);
    QCOMPARE(r1->Resistance, 100.0);
    QCOMPARE(r2->Resistance, 200.0);
    QCOMPARE(r3->Resistance, 300.0);
    // Kirchhoff's first law and the current divider.
    QFUZZY(Amps(r1), Amps(r2) + Amps(r3), 1e-9);
    QFUZZY(Amps(r2) / Amps(r3), 1.5, 1e-6);
    // The voltmeter, red on the end nearer the plus terminal, and Kirchhoff's second law.
    const double u1 = bench.Measure(DcVolts20, 2, 3, 2, 2);
    const double u23 = bench.Measure(DcVolts20, 3, 4, 2, 4);
    const double u = bench.Measure(DcVolts20, 4, 1, 3, 1);
    QFUZZY(u1, 9 * 100 / 220.5, 1e-3);
    QFUZZY(u23, 9 * 120 / 220.5, 1e-3);
    QFUZZY(u1 + u23, u, 2e-3);
    QFUZZY(bench.Measure(DcVolts20, 3, 5, 2, 5), u23, 1e-6); // R3 lies across the same two lines
    // The branch ammeters in place of the dashed wires, red on the lower node; the wire goes
    // back afterwards, a new one from the box.
    auto branch = [&](int column) {
        bench.Remove(bench.At(3, column, 4, column));
        const double shown = bench.Measure(MilliAmps200, 4, column, 3, column);
        CreatePart(KindWire)->ConnectNodes((*bench.Board)(3, column), (*bench.Board)(4, column));
        bench.Solve();
        return shown;
    };
    QFUZZY(branch(4), 9 / 220.5 * 0.6, 1e-3);
    QFUZZY(branch(5), 9 / 220.5 * 0.4, 1e-3);
    QFUZZY(Amps(r1), 9 / 220.5, 1e-6);

    // The ohmmeter, with the switch open: R2 with its wire in place reads R2 parallel to R3;
    // with the wire under it taken away, R2 alone; R1 alone; the whole load R1 + R2 || R3.
    static_cast<TSwitch*>(bench.One(KindSwitch))->SetOn(false);
    QVERIFY(bench.Solve());
    QCOMPARE(Amps(bench.One(KindBattery)), 0.0);
    QFUZZY(bench.Measure(Ohms200, 3, 4, 2, 4), 120.0, 1e-3);
    QFUZZY(bench.Measure(Ohms200, 2, 3, 2, 2), 100.0, 1e-3);
    QFUZZY(bench.Measure(Ohms2000, 4, 3, 2, 2), 220.0, 1e-3);
    bench.Remove(bench.At(3, 4, 4, 4));
    QFUZZY(bench.Measure(Ohms2000, 3, 4, 2, 4), 200.0, 1e-3);
}

void TestLabs::internalResistance() {
    TLabBench bench("lab3");
    auto* s = static_cast<TSwitch*>(bench.One(KindSwitch));
    auto* r = static_cast<TResistor*>(bench.One(KindResistor));
    QVERIFY(s && r && s->On);
    // Closed: the terminal voltage; open: nearly the EMF; the drop shows on the 20 V range.
    const double loaded = bench.Measure(DcVolts20, 3, 2, 2, 2);
    QFUZZY(loaded, 4.05, 1e-3);
    const double current = 4.5 / 30;
    QFUZZY((4.5 - loaded) / current, 3.0, 1e-2);
    s->SetOn(false);
    QVERIFY(bench.Solve());
    QFUZZY(bench.Measure(DcVolts20, 3, 2, 2, 2), 4.5, 1e-5);
    s->SetOn(true);
    // The other loads of the page stay within 200 mA and within the resistor's power; the load
    // that takes the most power (R = r) does not burn it either.
    for (double ohms : {22.0, 47.0, 100.0}) {
        r->SetResistance(ohms);
        QVERIFY(bench.Solve());
        QVERIFY(Amps(r) < 0.2);
    }
    r->SetResistance(3);
    QVERIFY(bench.Solve());
    QFUZZY(r->Power, 4.5 * 4.5 / 12, 1e-5);
    QVERIFY(!r->Burnt);
}

void TestLabs::lampAndFuse() {
    {
        TLabBench bench("lab4");
        auto* fuse = static_cast<TProtector*>(bench.One(KindProtector));
        auto* s = static_cast<TSwitch*>(bench.One(KindSwitch));
        QList<TIron*> lamps = bench.OfKind(KindLamp);
        QVERIFY(fuse && s && lamps.size() == 2 && !s->On);
        auto* l1 = static_cast<TLamp*>(bench.At(2, 3, 3, 3));
        auto* l2 = static_cast<TLamp*>(bench.At(2, 5, 3, 5));
        QVERIFY(l1 && l2);
        // One lamp glows near full brightness; the fuse carries well under its 0.5 A.
        QVERIFY2(l1->Brightness >= 16, qPrintable(QString::number(l1->Brightness)));
        QCOMPARE(l2->Brightness, 0);
        QVERIFY(fuse->Load < 0.6);

        // Closing the switch draws more than the fuse allows: it blows and both lamps go dark.
        s->SetOn(true);
        bench.Solve();
        QVERIFY(fuse->Burnt);
        QVERIFY(!l1->Burnt && !l2->Burnt);
        QVERIFY(Amps(l1) < 1e-9 && Amps(l2) < 1e-9);

        // A new fuse from the box (1 A) in its place: both lamps glow, nothing burns.
        TNode *a = fuse->FirstNode, *b = fuse->SecondNode;
        bench.Remove(fuse);
        TIron* fresh = CreatePart(KindProtector);
        fresh->ConnectNodes(a, b);
        QVERIFY(bench.Solve());
        QCOMPARE(bench.BurntParts(), QStringList());
        QVERIFY(l1->Brightness >= 15 && l2->Brightness >= 15);
        QFUZZY(Amps(fresh), 6 / (10.5 + 0.4), 1e-6);
    }
    // The page's question: 9 V burns a lamp while a 0.5 A fuse holds.
    TLabBench nine("lab4");
    auto* cell = static_cast<TBattery*>(nine.One(KindBattery));
    cell->NominalEmf = 9;
    cell->Refill();
    nine.Solve();
    QVERIFY(static_cast<TLamp*>(nine.At(2, 3, 3, 3))->Burnt);
    QVERIFY(!nine.One(KindProtector)->Burnt);
}

void TestLabs::rcCircuit() {
    TLabBench bench("lab5");
    TIron *gen = bench.One(KindGenerator), *r = bench.One(KindResistor),
          *c = bench.One(KindCondensator);
    QVERIFY(gen && r && c);
    QFUZZY(CircuitOmega, 2 * std::numbers::pi * 50, 1e-12);
    QCOMPARE(gen->GetEmf(), 10.0);
    const double xc = 1 / (CircuitOmega * 1e-6);
    const double i = 10 / std::hypot(1000.0, xc);
    // The AC voltmeter on 200 V: U_R and U_C add up as the sides of a right triangle.
    const double ur = bench.Measure(AcVolts200, 2, 2, 2, 3),
                 uc = bench.Measure(AcVolts200, 2, 4, 3, 4);
    QFUZZY(ur, i * 1000, 1e-3); // the voltmeter's 2 MΩ loads the circuit a little
    QFUZZY(uc, i * xc, 1e-3);
    QFUZZY(std::hypot(ur, uc), 10.0, 1e-3);
    QVERIFY(ur + uc > 12); // more than the generator's 10 V, as the page points out
    // Direct-current positions read nothing in this circuit, nor does the current range.
    QCOMPARE(bench.Measure(DcVolts20, 2, 2, 2, 3), 0.0);

    // At f = 1 / (2πRC) both voltages are equal.
    gen->SetFrequency(1 / (1000 * 1e-6));
    QVERIFY(bench.Solve());
    QFUZZY(Volts(r), Volts(c), 1e-9);
    // The extra task: a 1 H coil instead of the upper wire resonates at the same frequency;
    // the current is then U / R, and the capacitor holds.
    TIron* wire = bench.At(2, 3, 2, 4);
    TNode *a = wire->FirstNode, *b = wire->SecondNode;
    bench.Remove(wire);
    TIron* coil = CreatePart(KindInductance);
    coil->ConnectNodes(a, b);
    QVERIFY(bench.Solve());
    QFUZZY(Amps(r), 0.01, 1e-6);
    QCOMPARE(bench.BurntParts(), QStringList());
}

void TestLabs::dimmerFollowsTheHandle() {
    TLabBench bench("lab6");
    auto* rheostat = static_cast<TVResistor*>(bench.One(KindVResistor));
    auto* lamp = static_cast<TLamp*>(bench.One(KindLamp));
    QVERIFY(rheostat && lamp);
    // The file holds the value of step 10; the slider stands where that value is.
    QCOMPARE(rheostat->HandlePosition, 10);
    QCOMPARE(rheostat->Resistance, 25.0);
    QVERIFY(lamp->Brightness > 0);
    // Step by step to the right the lamp dims, and nothing burns on the way.
    int brighter = 21;
    for (int step = 1; step <= 20; ++step) {
        rheostat->SetHandlePosition(step);
        QVERIFY(bench.Solve());
        QCOMPARE(bench.BurntParts(), QStringList());
        QVERIFY2(lamp->Brightness <= brighter, qPrintable(QString("step %1").arg(step)));
        QFUZZY(Amps(lamp), 4.5 / (13.5 + 2.5 * step), 1e-6);
        brighter = lamp->Brightness;
    }
    QVERIFY(brighter < 3);
    // At the left end the lamp takes its full power: 3.5 V on the voltmeter, the page's range.
    rheostat->SetHandlePosition(1);
    QVERIFY(bench.Solve());
    QCOMPARE(lamp->Brightness, 20);
    QFUZZY(bench.Measure(DcVolts20, 3, 4, 2, 4), 4.5 / 16 * 12.5, 1e-3);
}

void TestLabs::blackBoxesAnswerTheMeter() {
    TLabBench bench("lab7");
    const QList<TIron*> boxes = bench.OfKind(KindBlackBug);
    QCOMPARE(boxes.size(), 2);
    auto* a = static_cast<TBlackBug*>(bench.At(2, 2, 3, 2));
    auto* b = static_cast<TBlackBug*>(bench.At(2, 4, 3, 4));
    QVERIFY(a && b);
    QCOMPARE(a->Variant, quint8(TBlackBug::Battery));
    QCOMPARE(b->Variant, quint8(TBlackBug::Resistor));
    // A battery box keeps the generators out of the parts box, as a battery does.
    QCOMPARE(TBattery::BatteryCount, 1);
    const double current = 6.8 / 482;
    QFUZZY(Amps(b), current, 1e-6);
    QFUZZY(bench.Measure(DcVolts20, 3, 4, 2, 4), 470 * current, 1e-3);
    // Apart, box A shows its EMF and box B none; the ohmmeter reads box B.
    bench.Remove(bench.At(2, 2, 2, 3));
    QFUZZY(bench.Measure(DcVolts20, 3, 2, 2, 2), 6.8, 2e-3);
    QCOMPARE(bench.Measure(DcVolts20, 3, 4, 2, 4), 0.0);
    QFUZZY(bench.Measure(Ohms2000, 3, 4, 2, 4), 470.0, 1e-3);
}

// --- The help -------------------------------------------------------------------------------

// Every link and picture of every page names a file of the help by a relative path, and every
// #anchor names an id of its page.
void TestLabs::helpLinksResolve() {
    const QStringList pages = HelpPages();
    QVERIFY(pages.size() >= 8);
    for (const char* must : {"/HELP/index.htm", "/HELP/Refs/index.htm", "/HELP/Labs/index.htm"})
        QVERIFY2(pages.contains(BinDir + must), must);

    static const QRegularExpression attribute("\\b(?:href|src)\\s*=\\s*\"([^\"]*)\"");
    static const QRegularExpression id("\\bid\\s*=\\s*\"([^\"]+)\"");
    QStringList broken;
    int links = 0;
    for (const QString& page : pages) {
        const QString text = ReadText(page);
        const QDir dir = QFileInfo(page).dir();
        for (auto it = attribute.globalMatch(text); it.hasNext();) {
            const QString link = it.next().captured(1);
            ++links;
            if (link.startsWith("http://") || link.startsWith("https://")) continue;
            const QString where = QFileInfo(page).fileName() + ": " + link;
            if (link.isEmpty() || link.startsWith('/') || link.contains(':') ||
                link.contains('\\')) {
                broken << where + " (not a relative path)";
                continue;
            }
            const QString path = link.section('#', 0, 0), fragment = link.section('#', 1);
            const QString target = path.isEmpty() ? page : dir.absoluteFilePath(path);
            if (!QFileInfo(target).isFile()) {
                broken << where;
                continue;
            }
            if (!fragment.isEmpty()) {
                QStringList ids;
                for (auto m = id.globalMatch(ReadText(target)); m.hasNext();)
                    ids << m.next().captured(1);
                if (!ids.contains(fragment)) broken << where + " (no such id)";
            }
        }
    }
    QVERIFY(links > 50);
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join("\n")));
}

// Hand-written pages: UTF-8, Russian, with a title and the style sheet, and every element closed
// in the order it was opened.
void TestLabs::helpPagesAreWellFormed() {
    static const QRegularExpression tag("<(/?)([a-zA-Z][a-zA-Z0-9]*)\\b[^>]*?(/?)>");
    static const QSet<QString> empty = {"meta",  "link", "br",  "img",   "hr",
                                        "input", "col",  "wbr", "source"};
    for (const QString& page : HelpPages()) {
        const QString name = QDir(BinDir).relativeFilePath(page);
        QString text = ReadText(page);
        QVERIFY2(text.startsWith("<!DOCTYPE html>"), qPrintable(name));
        QVERIFY2(text.contains("<html lang=\"ru\">"), qPrintable(name));
        QVERIFY2(text.contains("<meta charset=\"utf-8\">"), qPrintable(name));
        QVERIFY2(text.contains(QRegularExpression("<title>[^<]+</title>")), qPrintable(name));
        QVERIFY2(text.contains(QRegularExpression(
                     "<link rel=\"stylesheet\" href=\"(\\.\\./)?style\\.css\">")),
                 qPrintable(name));
        text.remove(
            QRegularExpression("<!--.*?-->", QRegularExpression::DotMatchesEverythingOption));
        QStringList open;
        for (auto it = tag.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            const QString element = m.captured(2).toLower();
            if (empty.contains(element) || !m.captured(3).isEmpty()) continue;
            if (m.captured(1).isEmpty()) {
                open << element;
            } else {
                QVERIFY2(!open.isEmpty() && open.last() == element,
                         qPrintable(QString("%1: </%2> closes <%3> (offset %4)")
                                        .arg(name, element, open.value(open.size() - 1))
                                        .arg(m.capturedStart())));
                open.removeLast();
            }
        }
        QVERIFY2(open.isEmpty(), qPrintable(name + ": unclosed " + open.join(", ")));
    }
}

// The list of labs links a page for every lab scheme, and each page tells how to open its own
// scheme, which exists.
void TestLabs::labPagesOpenTheirSchemes() {
    const QString index = ReadText(BinDir + "/HELP/Labs/index.htm");
    static const QRegularExpression schemeName("\\blab\\d+\\.workbench\\b");
    int pages = 0;
    for (const QString& file : LabFiles()) {
        const QString name = QFileInfo(file).completeBaseName();
        QVERIFY2(index.contains("href=\"" + name + ".htm\""), qPrintable(name));
        const QString page = ReadText(BinDir + "/HELP/Labs/" + name + ".htm");
        QVERIFY2(!page.isEmpty(), qPrintable(name));
        ++pages;
        QStringList named;
        for (auto it = schemeName.globalMatch(page); it.hasNext();)
            named << it.next().captured(0);
        named.removeDuplicates();
        QCOMPARE(named, QStringList{file});
        QVERIFY(QFileInfo::exists(LabPath(name)));
        QVERIFY2(page.contains("«Загрузить схему»") && page.contains("Labs"), qPrintable(name));
        QVERIFY2(page.contains("src=\"" + name + ".svg\""), qPrintable(name));
    }
    QCOMPARE(pages, 7);
    // No page for a lab that is not there.
    QDirIterator it(BinDir + "/HELP/Labs", {"lab*.htm"}, QDir::Files);
    while (it.hasNext()) {
        const QString name = QFileInfo(it.next()).completeBaseName();
        QVERIFY2(QFileInfo::exists(LabPath(name)), qPrintable(name));
    }
}

QTEST_MAIN(TestLabs)
#include "tst_labs.moc"
