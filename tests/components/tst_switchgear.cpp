// The knife switch and the fuse: the three ways of toggling a switch and what each tells the rest
// of the program, the fuse's load and its blowing in a real circuit, and both file records.

#include "board/Host.h"
#include "support/Board.h"
#include "support/TestParts.h"

#include "board/Frmwork.h"
#include "components/Battery.h"
#include "components/Protector.h"
#include "components/Switch.h"
#include "document/Circuit.h"
#include "document/Scheme.h"
#include "schemefile/SchemeIO.h"
#include "solver/Calculate.h"

#include <QAction>
#include <QBuffer>
#include <QMenu>
#include <QTest>
#include <cmath>

namespace {

// The parameters panel as the parts see it: what it was last given.
struct TPanelSpy : TPanelPort {
    int Fills = 0;
    TPanelValues Values;
    void SelectPage(int) override {}
    void FillPage(const TPanelValues& values) override { Values = values, ++Fills; }
    void ShowPanel() override {}
};

struct TBench : TBoardFixture {
    TPanelSpy Panel;
    int PanelShown = 0;
    TBench() {
        FloatControlPanel = &Panel;
        BenchHost.ShowParametersPanel = [this] { ++PanelShown; };
    }
    ~TBench() {
        FloatControlPanel = nullptr;
        BenchHost.ShowParametersPanel = nullptr;
    }
};

// The part's record written and read back into `loaded`, as a scheme file of version 1.2 does.
int RoundTrip(TIron& part, TIron& loaded) {
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    FormatVersion = Version12;
    part.SaveToFile(buffer);
    buffer.seek(0);
    if (SchemeIO::ReadByte(buffer) != loaded.Kind) return -1;
    loaded.LoadFromFile(buffer);
    return buffer.atEnd() ? int(buffer.size()) : -1;
}

// A battery (1.5 V, 0.3 ohm) in a square with the part opposite and `load` ohms below it.
TBattery* Loop(TIron* part, double load) {
    auto* battery = new TBattery;
    Place(battery, 2, 2, 3, 2);
    Place(part, 2, 3, 3, 3);
    Place(new TTestPart(0), 2, 2, 2, 3);
    Place(new TTestPart(load), 3, 2, 3, 3);
    return battery;
}

QString ToggleCaption(TSwitch& s) {
    return s.PopupMenu()->actions().last()->text();
}

} // namespace

class TestSwitchgear : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void toggling_data();
    void toggling();
    void switchInACircuit();
    void fuseLoad_data();
    void fuseLoad();
    void loweredRating_data();
    void loweredRating();
    void fuseInACircuit_data();
    void fuseInACircuit();
    void records();
    void fuseHintAndPanel();
};

void TestSwitchgear::initTestCase() {
    QVERIFY(LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/English.lng"));
    TSwitch::ClassStartup();
    TProtector::ClassStartup();
    TBattery::ClassStartup();
}

void TestSwitchgear::toggling_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("tellsItself");
    // Double click and popup item send the circuit-changed message and refill the panel; an
    // apply on the panel leaves that to the component base, which raises the board's flag.
    QTest::newRow("double click") << "dblclick" << true;
    QTest::newRow("popup item") << "popup" << true;
    QTest::newRow("panel") << "panel" << false;
}

void TestSwitchgear::toggling() {
    QFETCH(QString, how);
    QFETCH(bool, tellsItself);
    TBench bench;
    auto* s = new TSwitch;
    Place(s, 1, 1, 1, 2);
    bench.Window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bench.Window));
    Select(s);
    const int fills = bench.Panel.Fills;

    QPoint grip; // a pixel of the picture the mouse can take hold of
    for (int i = 0; i < s->width() * s->height() && s->IsTransparentAt(grip); ++i)
        grip = QPoint(i % s->width(), i / s->width());

    int changes = 0;
    for (bool closed : {false, true, false, true}) {
        bench.Board->CircuitChanged = false;
        const bool toggle = closed != s->On;
        if (toggle) {
            if (how == "dblclick")
                QTest::mouseDClick(s, Qt::LeftButton, Qt::NoModifier, grip);
            else if (how == "popup")
                s->PopupMenu()->actions().last()->trigger();
            else
                ApplyPanelValues(TPanelValues{{}, closed ? 2u : 1u});
        }
        // The first round sees the new switch: open.
        QCOMPARE(s->On, closed);
        QCOMPARE(s->Resistance, closed ? 1E-6 : 1E62);
        QCOMPARE(s->GetImpedance().imag(), 0.0);
        QCOMPARE(s->BreaksLoops(), !closed);
        QCOMPARE(s->Picture, LoadTransparentBitmap(closed ? "bmpSwitchOn" : "bmpSwitchOff"));
        QCOMPARE(ToggleCaption(*s), GetText(closed ? 1105 : 1104));
        TPanelValues shown;
        s->FillPanel(shown);
        QCOMPARE(shown.Flags, closed ? 2u : 1u);
        // Every toggle has the circuit solved again at the next tick, at once, without waiting
        // for the event loop.
        QCOMPARE(bench.Board->CircuitChanged, toggle);
        changes += bench.Board->CircuitChanged;
        if (toggle && tellsItself) QCOMPARE(bench.Panel.Values.Flags, shown.Flags);
    }
    QCOMPARE(changes, 3);
    QCOMPARE(bench.Panel.Fills - fills, tellsItself ? 3 : 0);
    QCOMPARE(bench.PanelShown, 0);        // a double click on a switch does not open the panel
    QVERIFY(bench.Board->CircuitChanged); // the last toggle waits for the next tick
}

void TestSwitchgear::switchInACircuit() {
    TBench bench;
    auto* s = new TSwitch;
    TBattery* battery = Loop(s, 1.2);
    for (bool closed : {false, true, false}) {
        if (s->On != closed) s->OnSwitchOnOff();
        SolveBoard();
        const double expected = closed ? 1.5 / (0.3 + 1.2 + 1E-6) : 0;
        QVERIFY(std::fabs(battery->Current.real() - expected) < 1e-12);
        QVERIFY(std::fabs(s->Current.real() + expected) < 1e-12);
    }
}

void TestSwitchgear::fuseLoad_data() {
    QTest::addColumn<double>("rating");
    QTest::addColumn<TComplex>("current");
    QTest::addColumn<double>("load");
    QTest::newRow("1.5 A through 1 A") << 1.0 << TComplex(1.5) << 1.5;
    QTest::newRow("backwards") << 1.0 << TComplex(-1.5) << 1.5;
    QTest::newRow("real part only") << 2.0 << TComplex(1, 5) << 0.5;
    // A rating of 0 comes only from a file: such a fuse cannot be overloaded.
    QTest::newRow("no rating") << 0.0 << TComplex(100) << 0.0;
}

void TestSwitchgear::fuseLoad() {
    QFETCH(double, rating);
    QFETCH(TComplex, current);
    QFETCH(double, load);
    TBench bench;
    TProtector f;
    f.MaxCurrent = rating;
    f.SetCurrent(current);
    QCOMPARE(f.Load, load);
}

void TestSwitchgear::loweredRating_data() {
    QTest::addColumn<double>("rating");
    QTest::addColumn<double>("stored");
    QTest::addColumn<int>("events");
    QTest::newRow("lowered") << 0.5 << 0.5 << 1;
    QTest::newRow("raised") << 2.0 << 2.0 << 0;
    QTest::newRow("the same") << 1.0 << 1.0 << 0;
    QTest::newRow("negative, lower") << -0.5 << 0.5 << 1;
    QTest::newRow("negative, higher") << -3.0 << 3.0 << 0;
}

void TestSwitchgear::loweredRating() {
    QFETCH(double, rating);
    QFETCH(double, stored);
    QFETCH(int, events);
    TBench bench;
    TProtector f;
    bench.Board->CircuitChanged = false;
    f.TakePanel(TPanelValues{{rating}, 0});
    QCOMPARE(f.MaxCurrent, stored);
    QCOMPARE(bench.Board->CircuitChanged, events > 0); // raised at once
}

void TestSwitchgear::fuseInACircuit_data() {
    QTest::addColumn<double>("rating");
    QTest::addColumn<bool>("blows");
    // 1.5 V over 0.3 + 0.5 ohm: 1.875 A.
    QTest::newRow("1 A fuse") << 1.0 << true;
    QTest::newRow("2 A fuse") << 2.0 << false;
}

void TestSwitchgear::fuseInACircuit() {
    QFETCH(double, rating);
    QFETCH(bool, blows);
    TBench bench;
    auto* f = new TProtector;
    f->SetMaxCurrent(rating);
    TBattery* battery = Loop(f, 0.5);
    bench.Board->CircuitChanged = true;
    bench.Board->Tick();
    QCOMPARE(f->Burnt, blows);
    QCOMPARE(bench.Seams.Sounds.contains("wavOnBurnOut"), blows);
    QCOMPARE(f->Picture, LoadTransposedBitmap(blows ? "bmpProtectorBurntOut" : "bmpProtector"));
    QCOMPARE(f->Resistance, blows ? 1E60 : 1E-6);
    // Within the same tick the board solved again: a blown fuse has opened the loop.
    const double current = blows ? 0 : 1.5 / (0.8 + 1E-6);
    QVERIFY(std::fabs(battery->Current.real() - current) < 1e-12);
    QVERIFY(std::fabs(f->Load - current / rating) < 1e-12);
}

void TestSwitchgear::records() {
    TBench bench;
    for (bool on : {false, true}) {
        TSwitch s, loaded;
        Place(&s, 4, 4, 5, 4);
        s.SetOn(on);
        QCOMPARE(RoundTrip(s, loaded), 1 + 48 + 4);
        QCOMPARE(loaded.On, on);
        QCOMPARE(loaded.Resistance, on ? 1E-6 : 1E62);
        QCOMPARE(ToggleCaption(loaded), GetText(on ? 1105 : 1104));
    }
    // A blown fuse is blown again on loading: its picture, its resistance and its sound.
    TProtector f, loaded;
    Place(&f, 0, 0, 1, 0);
    f.SetMaxCurrent(0.25);
    f.BurnOut(true);
    bench.Seams.Sounds.clear();
    bench.Board->CircuitChanged = false;
    QCOMPARE(RoundTrip(f, loaded), 1 + 48 + 8);
    QVERIFY(loaded.Burnt);
    QCOMPARE(loaded.Resistance, 1E60);
    QCOMPARE(loaded.MaxCurrent, 0.25);
    QCOMPARE(loaded.Picture, LoadTransposedBitmap("bmpProtectorBurntOut"));
    QCOMPARE(bench.Seams.Sounds, QStringList{"wavOnBurnOut"});
    QVERIFY(!bench.Board->CircuitChanged); // a loaded rating is not a lowered one
}

void TestSwitchgear::fuseHintAndPanel() {
    TBench bench;
    TProtector f;
    QCOMPARE(f.GetHint(), QString("Imax=1 A"));
    f.SetMaxCurrent(0.25);
    f.BurnOut(true);
    QCOMPARE(f.GetHint(), QString("Imax=250 mA"));
    // A blown fuse keeps a rating the panel may change, without effect on the circuit.
    TPanelValues v;
    f.FillPanel(v);
    QCOMPARE(v.Values[0], 0.25);
    QCOMPARE(v.Flags, 0u);
    f.TakePanel(TPanelValues{{5}, 0});
    QCOMPARE(f.MaxCurrent, 5.0);
    QCOMPARE(f.Resistance, 1E60);
}

QTEST_MAIN(TestSwitchgear)
#include "tst_switchgear.moc"
