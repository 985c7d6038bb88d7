// The battery and the generator: discharge on a clock of the test's own, polarity, panel values,
// file records, the shared frequency, and both driving a loop through the real solver.

#include "board/Host.h"
#include "support/Board.h"
#include "support/TestParts.h"

#include "board/Frmwork.h"
#include "components/Battery.h"
#include "components/Generator.h"
#include "document/Scheme.h"
#include "schemefile/SchemeIO.h"
#include "solver/Calculate.h"

#include <QAction>
#include <QBuffer>
#include <QMenu>
#include <QTest>
#include <cmath>

namespace {

constexpr double MainsOmega = 314.1592653589793;

// A board, the battery's clock in the test's hands, and the parts-box interlock recorded.
struct TBench : TBoardFixture {
    double Days = 45000.5;
    QList<QPair<int, bool>> BoxItems;
    TBench() {
        SetBatteryClock([this] { return Days; });
        BenchHost.EnablePartsBoxItem = [this](quint8 kind, bool on) {
            BoxItems.append({kind, on});
        };
    }
    ~TBench() {
        SetBatteryClock(nullptr);
        BenchHost.EnablePartsBoxItem = nullptr;
    }
    void Advance(double seconds) { Days += seconds / 86400; }
    void Drain(TBattery& b, TComplex amperes, double step, int steps) {
        b.Current = amperes;
        for (int i = 0; i < steps; ++i) {
            Advance(step);
            b.TimerTick();
        }
    }
};

bool Near(double a, double b, double tolerance = 1e-9) {
    return std::fabs(a - b) <= tolerance * std::max(1.0, std::fabs(b));
}

QByteArray Record(TIron& part, int version) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    FormatVersion = version;
    part.SaveToFile(buffer);
    return buffer.data();
}

// As the scheme loader reads a record: the kind byte, then the part's own reading.
void Load(TIron& part, const QByteArray& record, int version) {
    QBuffer buffer;
    buffer.setData(record);
    buffer.open(QIODevice::ReadOnly);
    FormatVersion = version;
    if (SchemeIO::ReadByte(buffer) != part.Kind) throw ESchemeIO("wrong kind");
    part.LoadFromFile(buffer);
}

} // namespace

class TestSources : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void newBatteryAndReversal();
    void discharge_data();
    void discharge();
    void dischargingBatteryOnTheBoard();
    void batteryPanel_data();
    void batteryPanel();
    void hints_data();
    void hints();
    void batteryRecord_data();
    void batteryRecord();
    void frequencyAndInterlock();
    void generatorPanel();
    void sourceInALoop_data();
    void sourceInALoop();
};

void TestSources::initTestCase() {
    QVERIFY(LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/English.lng"));
    TBattery::ClassStartup();
    TGenerator::ClassStartup();
}

void TestSources::newBatteryAndReversal() {
    TBench bench;
    CircuitOmega = MainsOmega; // the battery's impedance ignores the frequency
    TBattery b;
    QCOMPARE(b.GetEmf(), 1.5);
    QCOMPARE(b.GetImpedance(), TComplex(0.3, 0));
    const QImage horizontal = LoadTransparentBitmap("bmpBattery");
    const QImage vertical = LoadTransposedBitmap("bmpBattery");
    QCOMPARE(b.Picture, horizontal);

    // The popup item reverses; the terminals change places on both pictures.
    QAction* item = b.PopupMenu()->actions().last();
    QCOMPARE(item->text(), GetText(1102));
    item->trigger();
    QCOMPARE(b.GetEmf(), -1.5);
    QVERIFY(bench.Board->CircuitChanged);
    QVERIFY(b.HorizontalPicture != horizontal);
    const int w = horizontal.width(), h = horizontal.height();
    for (int y = 0; y < h; y += 7)
        for (int x = 0; x < w; x += 5) {
            QCOMPARE(b.HorizontalPicture.pixel(x, y), horizontal.pixel(w - 1 - x, y));
            QCOMPARE(b.VerticalPicture.pixel(x, y), vertical.pixel(x, h - 1 - y));
        }
    Place(&b, 2, 2, 3, 2);
    QCOMPARE(b.Picture, b.VerticalPicture);
    b.SetReversed(false);
    QCOMPARE(b.GetEmf(), 1.5);
    QCOMPARE(b.Picture, vertical);
}

void TestSources::discharge_data() {
    QTest::addColumn<bool>("discharging");
    QTest::addColumn<TComplex>("current");
    QTest::addColumn<double>("step"); // seconds between two ticks
    QTest::addColumn<int>("steps");
    QTest::addColumn<double>("charge");
    QTest::addColumn<double>("emf");
    // 360 C when full; the emf falls linearly to 3/4 of 1.5 V, and to 1/100 of it when empty.
    QTest::newRow("90 s at 1 A") << true << TComplex(1) << 0.12 << 750 << 270.0 << 1.40625;
    QTest::newRow("against the emf") << true << TComplex(-1) << 0.12 << 750 << 270.0 << 1.40625;
    QTest::newRow("real part only") << true << TComplex(2, 7) << 1.0 << 45 << 270.0 << 1.40625;
    QTest::newRow("nearly empty") << true << TComplex(1) << 0.12 << 2999 << 0.12
                                  << 1.5 * (0.25 * 0.12 / 360 + 0.75);
    QTest::newRow("empty after 360 s") << true << TComplex(1) << 0.12 << 3000 << 0.0 << 0.015;
    QTest::newRow("never below empty") << true << TComplex(3) << 1.0 << 200 << 0.0 << 0.015;
    QTest::newRow("eternal") << false << TComplex(1) << 1.0 << 400 << 360.0 << 1.5;
    // Of a pause only its seconds count: whole minutes, hours and days drop out.
    QTest::newRow("61.5 s pause") << true << TComplex(1) << 61.5 << 1 << 358.5
                                  << 1.5 * (0.25 * 358.5 / 360 + 0.75);
    QTest::newRow("1 h 5 s pause")
        << true << TComplex(1) << 3605.0 << 1 << 355.0 << 1.5 * (0.25 * 355 / 360 + 0.75);
    QTest::newRow("59.999 s pause")
        << true << TComplex(1) << 59.999 << 1 << 300.001 << 1.5 * (0.25 * 300.001 / 360 + 0.75);
}

void TestSources::discharge() {
    QFETCH(bool, discharging);
    QFETCH(TComplex, current);
    QFETCH(double, step);
    QFETCH(int, steps);
    QFETCH(double, charge);
    QFETCH(double, emf);
    TBench bench;
    TBattery b;
    b.SetDischarging(discharging);
    bench.Drain(b, current, step, steps);
    QVERIFY2(Near(b.Charge, charge), qPrintable(QString::number(b.Charge, 'g', 17)));
    QVERIFY2(Near(b.Emf, emf), qPrintable(QString::number(b.Emf, 'g', 17)));
    QCOMPARE(b.Resistance, 0.3); // the internal resistance stays nominal
}

// The tick drains the battery by the solver's current and solves again with the lower emf.
void TestSources::dischargingBatteryOnTheBoard() {
    TBench bench;
    auto* b = new TBattery;
    auto* r = new TTestPart(1.2); // 1 A from a full battery
    Place(b, 3, 3, 4, 3);
    Place(r, 3, 3, 4, 3);
    b->SetDischarging(true);
    double drained = 0;
    int solves = 0;
    bench.Board->CircuitChanged = true;
    for (int i = 0; i < 60; ++i) {
        bench.Advance(1);
        const double emf = b->Emf;
        const bool solve = bench.Board->CircuitChanged;
        bench.Board->Tick();
        if (solve) QVERIFY(Near(b->Current.real(), emf / 1.5));
        solves += solve;
        drained += b->Current.real();
        QVERIFY(Near(b->Charge, 360 - drained));
    }
    QCOMPARE(solves, 59); // every tick but one in 64
    QVERIFY(b->Charge > 300 && b->Emf < 1.5);
    QVERIFY(r->Current.real() < 0);
}

void TestSources::batteryPanel_data() {
    QTest::addColumn<int>("slot"); // the value changed (-1: none)
    QTest::addColumn<double>("value");
    QTest::addColumn<quint32>("flags"); // added to what the battery showed
    QTest::addColumn<bool>("refilled");
    QTest::addColumn<double>("nominalEmf");
    QTest::addColumn<double>("nominalResistance");
    QTest::addColumn<double>("capacity");
    // A discharging battery, partly drained: only a value that changed refills it.
    QTest::newRow("same values") << -1 << 0.0 << 0u << false << 1.5 << 0.3 << 360.0;
    QTest::newRow("other emf") << 0 << 4.5 << 0u << true << 4.5 << 0.3 << 360.0;
    QTest::newRow("negative emf") << 0 << -9.0 << 0u << true << 9.0 << 0.3 << 360.0;
    QTest::newRow("other resistance") << 1 << 2.0 << 0u << true << 1.5 << 2.0 << 360.0;
    QTest::newRow("capacity in mA·h") << 2 << 250.0 << 0u << true << 1.5 << 0.3 << 900.0;
    // 47 mA·h does not come back from coulombs bit for bit.
    QTest::newRow("inexact capacity") << 2 << 47.0 << 0u << true << 1.5 << 0.3 << 47 * 3.6;
    QTest::newRow("reverse") << -1 << 0.0 << 0x04u << false << 1.5 << 0.3 << 360.0;
    QTest::newRow("hide both") << -1 << 0.0 << 0x60u << false << 1.5 << 0.3 << 360.0;
}

void TestSources::batteryPanel() {
    QFETCH(int, slot);
    QFETCH(double, value);
    QFETCH(quint32, flags);
    QFETCH(bool, refilled);
    QFETCH(double, nominalEmf);
    QFETCH(double, nominalResistance);
    QFETCH(double, capacity);
    TBench bench;
    TBattery b;
    b.SetDischarging(true);
    bench.Drain(b, 1, 1, 30);
    const double charge = b.Charge, emf = b.Emf;

    TPanelValues v;
    b.FillPanel(v);
    QCOMPARE(v.Values[2], 100.0); // 360 C in mA·h
    QCOMPARE(v.Flags, 0x08u);
    if (slot >= 0) v.Values[slot] = value;
    v.Flags |= flags;
    b.TakePanel(v);
    QCOMPARE(b.NominalEmf, nominalEmf);
    QCOMPARE(b.NominalResistance, nominalResistance);
    QCOMPARE(b.Capacity, capacity);
    QCOMPARE(b.Charge, refilled ? capacity : charge);
    QCOMPARE(b.Emf, refilled ? nominalEmf : emf);
    QCOMPARE(b.Reversed, bool(flags & 0x04));
    QCOMPARE(b.EmfHidden && b.ResistanceHidden, bool(flags & 0x60));
    QVERIFY(b.Discharging);

    // The panel sends every value with each change, so the same values come again (the reversal
    // bit only from a new press of its button); neither they nor what the battery shows refill.
    bench.Drain(b, 1, 1, 1);
    const double left = b.Charge;
    v.Flags &= ~0x04u;
    b.TakePanel(v);
    TPanelValues shown;
    b.FillPanel(shown);
    QCOMPARE(shown.Flags, (flags & 0x64) | 0x08);
    shown.Flags &= ~0x04u;
    b.TakePanel(shown);
    QCOMPARE(b.Charge, left);
    QCOMPARE(b.Reversed, bool(flags & 0x04));
}

void TestSources::hints_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<quint32>("hidden");
    QTest::addColumn<QString>("hint");
    QTest::newRow("battery") << int(KindBattery) << 0u << "E=1.5 V, r=300 mΩ";
    QTest::newRow("battery, emf hidden")
        << int(KindBattery) << 0x20u << "E=from 1 V to 100 V, r=300 mΩ";
    QTest::newRow("battery, r hidden")
        << int(KindBattery) << 0x40u << "E=1.5 V, r=from 1 Ω to 100 Ω";
    QTest::newRow("generator") << int(KindGenerator) << 0u << "V=220 V, f=50 Hz";
    QTest::newRow("generator, voltage hidden")
        << int(KindGenerator) << 0x100u << "V=from 1 V to 100 V, f=50 Hz";
    QTest::newRow("generator, frequency hidden")
        << int(KindGenerator) << 0x20u << "V=220 V, f=from 0.1 Hz to 100 Hz";
}

void TestSources::hints() {
    QFETCH(int, kind);
    QFETCH(quint32, hidden);
    QFETCH(QString, hint);
    TBench bench;
    std::unique_ptr<TIron> part;
    if (kind == KindBattery)
        part = std::make_unique<TBattery>();
    else
        part = std::make_unique<TGenerator>();
    TPanelValues v;
    part->FillPanel(v);
    v.Flags |= hidden;
    part->TakePanel(v);
    QCOMPARE(part->GetHint(), hint);
    if (auto* b = dynamic_cast<TBattery*>(part.get())) {
        // The nominal emf, not what is left of it.
        b->SetDischarging(true);
        bench.Drain(*b, 1, 1, 50);
        QCOMPARE(b->GetHint(), hint);
    }
}

void TestSources::batteryRecord_data() {
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("size");
    QTest::newRow("1.0") << Version10 << 49;
    QTest::newRow("1.1") << Version11 << 249;
    QTest::newRow("1.2") << Version12 << 75;
}

void TestSources::batteryRecord() {
    QFETCH(int, version);
    QFETCH(int, size);
    TBench bench;
    QByteArray record;
    {
        TBattery b;
        Place(&b, 1, 2, 1, 3);
        TPanelValues v{{4.5, 2, 200, 0}, 0x04 | 0x08}; // 200 mA·h, reversed, discharging
        b.TakePanel(v);
        b.Charge = 100;
        record = Record(b, version);
    }
    QCOMPARE(record.size(), size);
    TBattery loaded;
    Load(loaded, record, version);
    QCOMPARE(loaded.SecondNode, (*bench.Board)(1, 3));
    // Every version keeps the nominal values; 1.2 also the capacity, mode and polarity. A loaded
    // battery starts full.
    const bool tail = version == Version12;
    QCOMPARE(loaded.NominalEmf, 4.5);
    QCOMPARE(loaded.Resistance, 2.0);
    QCOMPARE(loaded.Capacity, tail ? 720.0 : 360.0);
    QCOMPARE(loaded.Charge, loaded.Capacity);
    QCOMPARE(loaded.Discharging, tail);
    QCOMPARE(loaded.GetEmf(), tail ? -4.5 : 4.5);
    if (tail) {
        TBattery cut;
        QVERIFY_THROWS_EXCEPTION(ESchemeIO, Load(cut, record.left(70), version));
    }
    FormatVersion = Version12;
}

void TestSources::frequencyAndInterlock() {
    TBench bench;
    using Item = QPair<int, bool>;
    {
        TBattery a, b;
        QCOMPARE(bench.BoxItems.last(), Item(KindGenerator, false));
        delete new TBattery;
        QVERIFY(!bench.BoxItems.contains(Item(KindGenerator, true)));
    }
    QCOMPARE(bench.BoxItems.last(), Item(KindGenerator, true));

    QCOMPARE(CircuitOmega, 0.0);
    auto* first = new TGenerator;
    QCOMPARE(CircuitOmega, MainsOmega);
    QCOMPARE(bench.BoxItems.last(), Item(KindBattery, false));
    first->SetFrequency(2000 * M_PI);
    auto* second = new TGenerator;
    QCOMPARE(CircuitOmega, 2000 * M_PI); // a second generator joins the first one's frequency
    TPanelValues v;
    second->FillPanel(v);
    v.Flags = 0x20; // hides the frequency of both
    second->TakePanel(v);
    QVERIFY(first->GetHint().endsWith("f=from 0.1 Hz to 100 Hz"));
    delete first;
    QCOMPARE(CircuitOmega, 2000 * M_PI);
    QCOMPARE(bench.BoxItems.count(Item(KindBattery, true)), 0);
    delete second;
    QCOMPARE(CircuitOmega, 0.0);
    QCOMPARE(bench.BoxItems.last(), Item(KindBattery, true));
    // The next generator's frequency is a new one, not hidden.
    TGenerator next;
    QVERIFY(next.GetHint().endsWith("f=50 Hz"));
}

void TestSources::generatorPanel() {
    TBench bench;
    TGenerator g;
    TPanelValues v;
    g.FillPanel(v); // hertz, amplitude, rad/s, effective value
    QCOMPARE(
        QString::asprintf("%g %.3f %.10g %g", v.Values[0], v.Values[1], v.Values[2], v.Values[3]),
        QString("50 311.127 314.1592654 220"));
    g.TakePanel(TPanelValues{{1000, 0, 0, -12}, 0x100});
    QVERIFY(Near(CircuitOmega, 2000 * M_PI, 1e-15));
    QCOMPARE(g.GetEmf(), 12.0);
    QVERIFY(g.AmplitudeHidden && g.Hidden && !TGenerator::FrequencyHidden);
    g.FillPanel(v);
    QVERIFY(Near(v.Values[1], 12 * std::sqrt(2.0), 1e-15));
    QCOMPARE(v.Flags, 0x100u);
}

void TestSources::sourceInALoop_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<double>("current"); // with 1.2 ohm closing the loop
    QTest::newRow("battery") << int(KindBattery) << false << 1.5 / (0.3 + 1.2);
    QTest::newRow("reversed battery") << int(KindBattery) << true << -1.5 / (0.3 + 1.2);
    QTest::newRow("generator") << int(KindGenerator) << false << 220 / (1.2 + 1E-6);
}

void TestSources::sourceInALoop() {
    QFETCH(int, kind);
    QFETCH(bool, reversed);
    QFETCH(double, current);
    TBench bench;
    TIron* source = kind == KindBattery ? static_cast<TIron*>(new TBattery) : new TGenerator;
    if (reversed) static_cast<TBattery*>(source)->SetReversed(true);
    // A square: the source on the left, the resistor on the right, wires between.
    auto* resistor = new TTestPart(1.2);
    auto* outside = new TTestPart(5);
    Place(source, 2, 2, 3, 2);
    Place(new TTestPart(0), 2, 2, 2, 3);
    Place(resistor, 2, 3, 3, 3);
    Place(new TTestPart(0), 3, 2, 3, 3);
    Place(outside, 0, 0, 0, 1);
    bench.Board->CircuitChanged = true;
    bench.Board->Tick();
    // Through the source from its first terminal to its second, back up through the resistor.
    QVERIFY(std::abs(source->Current - current) < 1e-12);
    QVERIFY(std::abs(resistor->Current + current) < 1e-12);
    QCOMPARE(outside->Current, TComplex(0));
    QCOMPARE(resistor->AcDriven, kind == KindGenerator);
    // A source's voltage is the drop on its internal impedance.
    QVERIFY(std::abs(source->Voltage - current * source->GetImpedance()) < 1e-12);
}

QTEST_MAIN(TestSources)
#include "tst_sources.moc"
