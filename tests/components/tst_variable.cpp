// The variable resistor and capacitor (handle, keys, full scale, records) and the black box
// (content odds, the source interlock, hints, records of every content).

#include "board/Host.h"
#include "support/Board.h"
#include "support/Mouse.h"
#include "support/TestParts.h"

#include "board/Frmwork.h"
#include "components/Battery.h"
#include "components/Blackbug.h"
#include "components/Generator.h"
#include "components/Kinds.h"
#include "components/Vcondensator.h"
#include "components/Vresistor.h"
#include "document/Scheme.h"

#include <QBuffer>
#include <QTest>
#include <QtEndian>
#include <cmath>

namespace {
// Saves the board and loads it again; the file's bytes.
QByteArray SaveAndLoad() {
    QBuffer file;
    file.open(QIODevice::ReadWrite);
    SaveSchemeTo(file);
    const QByteArray bytes = file.data();
    file.seek(0);
    LoadSchemeFrom(file);
    return bytes;
}

// The step and value of a variable part of either kind.
int Step(TIron* part) {
    if (auto* r = qobject_cast<TVResistor*>(part)) return r->HandlePosition;
    return static_cast<TVCondensator*>(part)->HandlePosition;
}
double Value(TIron* part) {
    return part->Kind == KindVResistor ? part->Resistance : part->Capacitance;
}
double FullScale(TIron* part) {
    if (auto* r = qobject_cast<TVResistor*>(part)) return r->MaxResistance;
    return static_cast<TVCondensator*>(part)->MaxCapacitance;
}
void SetStep(TIron* part, int step) {
    if (auto* r = qobject_cast<TVResistor*>(part))
        r->SetHandlePosition(step);
    else
        static_cast<TVCondensator*>(part)->SetHandlePosition(step);
}

struct TBoxBench : TBoardFixture {
    QList<QPair<quint8, bool>> BoxItems; // what the parts box was told
    bool Teacher = false;
    TBoxBench() {
        BenchHost.EnablePartsBoxItem = [this](quint8 kind, bool on) {
            BoxItems.append({kind, on});
        };
        BenchHost.InTeacherMode = [this] { return Teacher; };
    }
    ~TBoxBench() {
        DestroyAllParts();
        BenchHost.EnablePartsBoxItem = nullptr;
        BenchHost.InTeacherMode = nullptr;
    }
};
} // namespace

class TestVariable : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void newPartsAndFullScale_data();
    void newPartsAndFullScale();
    void keysStepAndClamp_data();
    void keysStepAndClamp();
    void handleFollowsTheMouse_data();
    void handleFollowsTheMouse();
    void loadedPartTakesTheStepOfItsValue_data();
    void loadedPartTakesTheStepOfItsValue();
    void capacitorBlocksDirectCurrent();

    void boxContentOdds();
    void boxSourceFollowsTheBoard_data();
    void boxSourceFollowsTheBoard();
    void boxesDrawnTogetherDiffer();
    void replacedGeneratorLeavesNoFrequency();
    void boxHintAndImpedance();
    void boxRecordsKeepEverything_data();
    void boxRecordsKeepEverything();
};

void TestVariable::initTestCase() {
    QVERIFY(LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/English.lng"));
    RegisterPartKinds();
    TIron::ExecuteStartups();
    SeedPartRandom(14);
}

void TestVariable::newPartsAndFullScale_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("newScale");
    QTest::addColumn<QString>("hint");
    QTest::newRow("resistor") << int(KindVResistor) << 750.0 << 2000.0 << "R=1.5 kΩ";
    QTest::newRow("capacitor") << int(KindVCondensator) << 0.00075 << 1E-5 << "C=7.5 µF";
}

void TestVariable::newPartsAndFullScale() {
    QFETCH(int, kind);
    QFETCH(double, value);
    QFETCH(double, newScale);
    QFETCH(QString, hint);
    TBoardFixture f;
    TIron* part = CreatePart(quint8(kind));
    QCOMPARE(Step(part), 15);
    QCOMPARE(Value(part), value);
    // A new full scale from the panel keeps the step.
    TPanelValues v;
    part->FillPanel(v);
    QCOMPARE(v.Values[0], value / 0.75);
    v.Values[0] = -newScale;
    part->TakePanel(v);
    QCOMPARE(FullScale(part), newScale);
    QCOMPARE(Value(part), 15 * newScale * 0.05);
    QCOMPARE(part->GetHint().remove(' '), hint.remove(' '));
    // Step 1 is a twentieth; however much power it carries, it never burns.
    SetStep(part, 1);
    QCOMPARE(Value(part), newScale * 0.05);
    part->SetCurrent(TComplex(1000));
    QCOMPARE(part->Load, 0.0);
    QVERIFY(!part->Burnt);
}

void TestVariable::keysStepAndClamp_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("step");
    QTest::newRow("R up") << int(KindVResistor) << 15 << "RR" << 17;
    QTest::newRow("r down") << int(KindVResistor) << 15 << "rrr" << 12;
    QTest::newRow("Cyrillic Ka") << int(KindVResistor) << 15 << "ККк" << 16;
    QTest::newRow("at the top") << int(KindVResistor) << 20 << "R" << 20;
    QTest::newRow("at the bottom") << int(KindVResistor) << 1 << "r" << 1;
    QTest::newRow("other keys") << int(KindVResistor) << 15 << "Cc x" << 15;
    QTest::newRow("C up, c down") << int(KindVCondensator) << 15 << "CCc" << 16;
    QTest::newRow("Cyrillic Es") << int(KindVCondensator) << 2 << "сс" << 1;
}

void TestVariable::keysStepAndClamp() {
    QFETCH(int, kind);
    QFETCH(int, from);
    QFETCH(QString, keys);
    QFETCH(int, step);
    TBoardFixture f;
    TIron* part = CreatePart(quint8(kind));
    SetStep(part, from);
    for (QChar key : keys) {
        f.Board->CircuitChanged = false;
        part->KeyCommand(key);
        // Even a key that cannot move the handle any further asks for a new solution.
        if (QString("RrКкCcСс").contains(key) &&
            (kind == KindVResistor) == QString("RrКк").contains(key))
            QVERIFY(f.Board->CircuitChanged);
    }
    QCOMPARE(Step(part), step);
    QCOMPARE(Value(part), step * FullScale(part) * 0.05);
}

void TestVariable::handleFollowsTheMouse_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("vertical");
    QTest::newRow("resistor across") << int(KindVResistor) << false;
    QTest::newRow("resistor upright") << int(KindVResistor) << true;
    QTest::newRow("capacitor across") << int(KindVCondensator) << false;
    QTest::newRow("capacitor upright") << int(KindVCondensator) << true;
}

void TestVariable::handleFollowsTheMouse() {
    QFETCH(int, kind);
    QFETCH(bool, vertical);
    TBoardFixture f;
    f.Window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.Window));
    TIron* part = CreatePart(quint8(kind));
    Place(part, 2, 2, vertical ? 3 : 2, vertical ? 2 : 3);
    QCOMPARE(part->Vertical, vertical);
    TMouse mouse(&f.Window);
    // The handle's centre: x = 12 + 2 * step across, y = 52 - 2 * step upright; the capacitor's
    // knob rides at the top (the left when upright).
    const int rail = kind == KindVResistor ? 32 - 15 : 9;
    auto at = [&](int step) {
        const int along = vertical ? 52 - 2 * step : 12 + 2 * step;
        return part->mapTo(&f.Window, vertical ? QPoint(rail, along) : QPoint(along, rail));
    };
    auto towards = [&](int pixels) { return vertical ? QPoint(0, -pixels) : QPoint(pixels, 0); };
    mouse.Press(at(15));
    mouse.Move(at(15) + towards(6));
    QCOMPARE(Step(part), 18);
    mouse.Move(at(15) - towards(20));
    QCOMPARE(Step(part), 5);
    mouse.Move(at(15) + towards(200)); // far beyond the end
    QCOMPARE(Step(part), 20);
    mouse.Move(at(15) - towards(200));
    QCOMPARE(Step(part), 1);
    mouse.Release(at(15) - towards(200));
    QCOMPARE(Value(part), FullScale(part) * 0.05);
    QCOMPARE(SelectedPart, part);
    // Released, the mouse moves the handle no more; the part stays on its nodes.
    mouse.Move(at(10));
    QCOMPARE(Step(part), 1);
    QVERIFY(part->FirstNode && part->SecondNode);
}

void TestVariable::loadedPartTakesTheStepOfItsValue_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("value"); // as the record holds it
    QTest::addColumn<int>("step");
    QTest::newRow("step 7") << int(KindVResistor) << 350.0 << 7;
    QTest::newRow("between steps") << int(KindVResistor) << 333.0 << 7;
    QTest::newRow("above the full scale") << int(KindVResistor) << 5000.0 << 20;
    // Shares beyond what an int or a long holds still give the top step.
    QTest::newRow("far above the full scale") << int(KindVResistor) << 1E15 << 20;
    QTest::newRow("the largest number") << int(KindVResistor) << 1E300 << 20;
    QTest::newRow("nothing") << int(KindVResistor) << 0.0 << 1;
    QTest::newRow("capacitor step 3") << int(KindVCondensator) << 0.00015 << 3;
}

void TestVariable::loadedPartTakesTheStepOfItsValue() {
    QFETCH(int, kind);
    QFETCH(double, value);
    QFETCH(int, step);
    TBoardFixture f;
    TIron* part = CreatePart(quint8(kind));
    Place(part, 1, 1, 1, 2);
    const double scale = FullScale(part);
    const QByteArray saved = SaveAndLoad();
    // The record's value (at offset 5 or 21 of the record) as another program may have written it.
    QByteArray bytes = saved;
    const int offset = 1024 + (kind == KindVResistor ? 5 : 21);
    qToLittleEndian(value, bytes.data() + offset);
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    QCOMPARE(LoadSchemeFrom(file), TLoadResult::Loaded);
    part = Parts.first();
    QCOMPARE(Step(part), step);
    QCOMPARE(Value(part), step * scale * 0.05);
    // Picture and value agree from now on: the next round trip keeps every byte.
    const QByteArray again = SaveAndLoad();
    QCOMPARE(SaveAndLoad(), again);
    QCOMPARE(Step(Parts.first()), step);
    // A default part goes through unchanged.
    QCOMPARE(qFromLittleEndian<double>(saved.constData() + offset), 15 * scale * 0.05);
}

void TestVariable::capacitorBlocksDirectCurrent() {
    TBoardFixture f;
    auto* c = static_cast<TVCondensator*>(CreatePart(KindVCondensator));
    CircuitOmega = 100;
    QCOMPARE(c->GetImpedance(), TComplex(1E60, 0)); // no alternating source in its loop
    c->AcDriven = true;
    QCOMPARE(c->GetImpedance(), TComplex(0, -1 / (100 * 0.00075)));
    CircuitOmega = 0;
    QCOMPARE(c->GetImpedance(), TComplex(1E60, 0));
}

void TestVariable::boxContentOdds() {
    TBoxBench bench;
    int counts[6] = {};
    const int draws = 4000;
    for (int i = 0; i < draws; ++i) {
        TBlackBug box;
        ++counts[box.Variant];
        // Every content has the values of its kind.
        switch (box.Variant) {
        case TBlackBug::Resistor:
            QVERIFY(box.Resistance >= 100 && box.Resistance <= 100000);
            break;
        case TBlackBug::Coil:
            QVERIFY(box.Inductance >= 0.0001 && box.Inductance <= 1);
            break;
        case TBlackBug::Capacitor:
            QVERIFY(box.Capacitance >= 1E-10 && box.Capacitance <= 0.0001);
            break;
        case TBlackBug::Battery:
            QVERIFY(box.Emf >= 1 && box.Emf <= 100 && box.Resistance >= 0.1);
            break;
        case TBlackBug::Generator:
            QVERIFY(box.Emf >= 1 && box.Emf <= 300);
            QVERIFY(CircuitOmega >= 6.28 && CircuitOmega <= 628319);
            break;
        }
    }
    // About a quarter each for the three passive contents, an eighth for each source.
    for (int v : {1, 2, 3})
        QVERIFY2(std::abs(counts[v] - draws / 4) < 150, qPrintable(QString::number(counts[v])));
    for (int v : {4, 5})
        QVERIFY2(std::abs(counts[v] - draws / 8) < 120, qPrintable(QString::number(counts[v])));
    // Each source box left the board as it came: no count, no frequency, the box open again.
    QCOMPARE(TBattery::BatteryCount, 0);
    QCOMPARE(TGenerator::GeneratorCount, 0);
    QCOMPARE(CircuitOmega, 0.0);
    QVERIFY(!TGenerator::FrequencyHidden);
}

void TestVariable::boxSourceFollowsTheBoard_data() {
    QTest::addColumn<bool>("battery");
    QTest::addColumn<bool>("generator");
    QTest::addColumn<int>("source"); // the content the last quarter of draws gives
    QTest::newRow("battery on the board") << true << false << int(TBlackBug::Battery);
    QTest::newRow("generator on the board") << false << true << int(TBlackBug::Generator);
    QTest::newRow("both, from a file") << true << true << int(TBlackBug::Resistor);
}

void TestVariable::boxSourceFollowsTheBoard() {
    QFETCH(bool, battery);
    QFETCH(bool, generator);
    QFETCH(int, source);
    TBoxBench bench;
    if (battery) CreatePart(KindBattery);
    if (generator) CreatePart(KindGenerator);
    const double omega = CircuitOmega;
    int sources = 0;
    for (int i = 0; i < 400; ++i) {
        TBlackBug box;
        QVERIFY(box.Variant >= 1 && box.Variant <= 5);
        if (box.Variant != TBlackBug::Battery && box.Variant != TBlackBug::Generator) continue;
        QCOMPARE(int(box.Variant), source);
        ++sources;
    }
    if (source == TBlackBug::Resistor) {
        QCOMPARE(sources, 0);
        // Asked for a source outright, such a box ends up with a resistor too.
        TBlackBug box(TBlackBug::Battery);
        QCOMPARE(box.Variant, quint8(TBlackBug::Resistor));
    } else {
        QVERIFY(sources > 50);
    }
    // A box joining a generator keeps its frequency, and hides it.
    QCOMPARE(CircuitOmega, omega);
    if (source == TBlackBug::Generator) QVERIFY(TGenerator::FrequencyHidden);
}

void TestVariable::boxesDrawnTogetherDiffer() {
    TBoxBench bench;
    TBlackBug first(TBlackBug::Resistor), second(TBlackBug::Resistor), third(TBlackBug::Resistor);
    QVERIFY(first.Resistance != second.Resistance || second.Resistance != third.Resistance);
    // Two significant digits, as a real part's marking.
    for (const TBlackBug* box : {&first, &second, &third}) {
        const QString text = QString::asprintf("%.1E", box->Resistance);
        QCOMPARE(text.toDouble(), box->Resistance);
    }
}

// A box first drawn as a generator and then given another content (as the lab builder does)
// leaves a direct-current board behind: no frequency, and both source items free again.
void TestVariable::replacedGeneratorLeavesNoFrequency() {
    TBoxBench bench;
    TBlackBug box(TBlackBug::Resistor);
    box.SetVariant(TBlackBug::Generator);
    QVERIFY(CircuitOmega > 0);
    box.SetVariant(TBlackBug::Battery);
    QCOMPARE(CircuitOmega, 0.0);
    QCOMPARE(TGenerator::GeneratorCount, 0);
    QCOMPARE(TBattery::BatteryCount, 1);
    QVERIFY(!TGenerator::FrequencyHidden);
    box.SetVariant(TBlackBug::Resistor);
    QCOMPARE(TBattery::BatteryCount, 0);
}

void TestVariable::boxHintAndImpedance() {
    TBoxBench bench;
    TBlackBug box(TBlackBug::Battery);
    box.SetResistance(12);
    box.SetEmf(6.8);
    QCOMPARE(box.GetHint(), GetText(502));
    bench.Teacher = true;
    QCOMPARE(box.GetHint(), GetText(234) + " V=" + FormatPrefixed(6.8) + GetText(163) +
                                ", r=" + FormatPrefixed(12) + GetText(162));
    QVERIFY(box.StateShowsEmf());
    QVERIFY(!box.IsAlternatingSource());
    // No hiding a box, whatever its record or the panel says.
    box.SetHidden(true);
    QVERIFY(!box.Hidden);
    QCOMPARE(box.PanelPage(), 0);

    TBlackBug coil(TBlackBug::Coil), capacitor(TBlackBug::Capacitor);
    CircuitOmega = 1000;
    QCOMPARE(coil.GetImpedance(), TComplex(1E-6, 0));
    QCOMPARE(capacitor.GetImpedance(), TComplex(1E60, 0));
    coil.AcDriven = capacitor.AcDriven = true;
    QCOMPARE(coil.GetImpedance(), TComplex(0, 1000 * coil.Inductance));
    QCOMPARE(capacitor.GetImpedance(), TComplex(0, -1 / (1000 * capacitor.Capacitance)));
    CircuitOmega = 0;
    QVERIFY(coil.GetHint().startsWith(GetText(233) + " L="));
}

void TestVariable::boxRecordsKeepEverything_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("battery"); // the battery and generator counts it brings
    QTest::addColumn<int>("generator");
    QTest::addColumn<bool>("alternating");
    for (int v = 1; v <= 5; ++v)
        QTest::newRow(qPrintable(QString("variant %1").arg(v)))
            << v << int(v == 4) << int(v == 5) << (v == 5);
    QTest::newRow("outside, driven") << 9 << 0 << 0 << true;
    QTest::newRow("outside, passive") << 200 << 0 << 0 << false;
}

void TestVariable::boxRecordsKeepEverything() {
    QFETCH(int, variant);
    QFETCH(int, battery);
    QFETCH(int, generator);
    QFETCH(bool, alternating);
    TBoxBench bench;
    auto* box = static_cast<TBlackBug*>(CreatePart(KindBlackBug));
    box->SetVariant(variant <= 5 ? variant : TBlackBug::Resistor);
    Place(box, 3, 3, 3, 4);
    // The values as saved: the load that follows destroys this box.
    const double values[4] = {box->Resistance, box->Inductance, box->Capacitance, box->Emf};
    QByteArray bytes = SaveAndLoad();
    bytes[1024 + 49] = char(variant); // a file may carry any byte there
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    CircuitOmega = 0;
    bench.BoxItems.clear();
    QCOMPARE(LoadSchemeFrom(file), TLoadResult::Loaded);
    auto* loaded = static_cast<TBlackBug*>(Parts.first());
    QCOMPARE(int(loaded->Variant), variant);
    const double again[4] = {loaded->Resistance, loaded->Inductance, loaded->Capacitance,
                             loaded->Emf};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(again[i], values[i]);
    QCOMPARE(TBattery::BatteryCount, battery);
    QCOMPARE(TGenerator::GeneratorCount, generator);
    if (battery) QVERIFY(bench.BoxItems.contains({quint8(KindGenerator), false}));
    if (generator) QVERIFY(bench.BoxItems.contains({quint8(KindBattery), false}));
    QCOMPARE(loaded->IsAlternatingSource(), alternating);
    QCOMPARE(SaveAndLoad(), bytes);
    DestroyAllParts();
    QCOMPARE(TBattery::BatteryCount, 0);
    QCOMPARE(TGenerator::GeneratorCount, 0);
}

QTEST_MAIN(TestVariable)
#include "tst_variable.moc"
