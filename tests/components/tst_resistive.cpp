// Resistor, wire, real conductor, capacitor and coil.

#include "support/Board.h"
#include "support/TestParts.h"

#include "board/Frmwork.h"
#include "components/Battery.h"
#include "components/Condensator.h"
#include "components/Conductor.h"
#include "components/Inductance.h"
#include "components/Kinds.h"
#include "components/Resistor.h"
#include "components/Wire.h"
#include "document/Circuit.h"
#include "document/Scheme.h"
#include "solver/Calculate.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

namespace {
// The text with each "<n>" replaced by the language file's string n.
QString Expand(QString text) {
    static const QRegularExpression id("<(\\d+)>");
    QRegularExpressionMatch m;
    while ((m = id.match(text)).hasMatch())
        text.replace(m.capturedStart(), m.capturedLength(), GetText(m.captured(1).toLong()));
    return text;
}

// Saves the part's record and loads it into a fresh part of the same kind.
TIron* RoundTrip(TIron* part) {
    QBuffer file;
    file.open(QIODevice::ReadWrite);
    FormatVersion = Version12;
    part->SaveToFile(file);
    file.seek(1); // the loader reads the kind byte itself
    TIron* copy = CreatePart(part->Kind);
    copy->LoadFromFile(file);
    return copy;
}
} // namespace

class TestResistive : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void resistorLabels_data();
    void resistorLabels();
    void hints_data();
    void hints();
    void loweredRatingsAskForANewSolve_data();
    void loweredRatingsAskForANewSolve();
    void conductorResistance();
    void capacitorAndCoilImpedance();
    void workedExampleWithRealParts();
    void resistorBurnsOutInACircuit();
    void burnOutTwiceIsAnError();
    void burntPartsStayBurntThroughAFile();
    void conductorFileKeepsValuesAndDropsHiddenMarks();
    void panelExchange();
    void noRatingMeansNoOverload();
};

void TestResistive::initTestCase() {
    RegisterPartKinds();
    TIron::ExecuteStartups();
}

void TestResistive::init() {
    QVERIFY(LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/English.lng"));
}

void TestResistive::resistorLabels_data() {
    QTest::addColumn<double>("ohms");
    QTest::addColumn<QString>("label");
    QTest::newRow("470") << 470.0 << "470.0";
    QTest::newRow("999.99 rounds in the unit band") << 999.99 << "1000.0";
    QTest::newRow("1000") << 1000.0 << "1к0";
    QTest::newRow("4700") << 4700.0 << "4к7";
    QTest::newRow("1.5 M") << 1.5E6 << "1М5";
    QTest::newRow("2.2 M") << 2.2E6 << "2М2";
}

void TestResistive::resistorLabels() {
    QFETCH(double, ohms);
    QFETCH(QString, label);
    QCOMPARE(TResistor::ValueLabel(ohms), label);
}

void TestResistive::hints_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("hint");
    QTest::newRow("resistor") << int(KindResistor) << "R=1 <174><162>, W<180>=500 <173><164>";
    QTest::newRow("wire") << int(KindWire) << "R=1E-6 <162>";
    QTest::newRow("conductor")
        << int(KindConductor)
        << "<207>=17.2 <173><162>·<177><173><166>/<166>, S=0.1 <177><173><166>, L=10 <166>";
    QTest::newRow("capacitor") << int(KindCondensator) << "C=1 <172><161>, V<182><180>=50 <163>";
    QTest::newRow("coil") << int(KindInductance) << "L=1 <165>, R=1E-6 <162>";
}

void TestResistive::hints() {
    QFETCH(int, kind);
    QFETCH(QString, hint);
    TBoardFixture f;
    TIron* part = CreatePart(quint8(kind));
    QCOMPARE(part->GetHint(), Expand(hint));
}

void TestResistive::loweredRatingsAskForANewSolve_data() {
    QTest::addColumn<bool>("capacitor");
    QTest::newRow("resistor power") << false;
    QTest::newRow("capacitor voltage") << true;
}

void TestResistive::loweredRatingsAskForANewSolve() {
    QFETCH(bool, capacitor);
    TBoardFixture f;
    auto* r = new TResistor;
    auto* c = new TCondensator;
    auto set = [&](double v) { capacitor ? c->SetMaxVoltage(v) : r->SetMaxPower(v); };
    const double rated = capacitor ? 50 : 0.5;
    f.Board->CircuitChanged = false;
    set(rated / 2);
    QVERIFY(f.Board->CircuitChanged);
    f.Board->CircuitChanged = false;
    set(rated * 2);
    set(rated * 2);
    QVERIFY(!f.Board->CircuitChanged);
    set(-rated); // stored as its magnitude: lower than before
    QCOMPARE(capacitor ? c->MaxVoltage : r->MaxPower, rated);
    QVERIFY(f.Board->CircuitChanged);
}

void TestResistive::conductorResistance() {
    TBoardFixture f;
    auto* c = new TConductor;
    QCOMPARE(c->Resistance, 0.0172 * 10 / 0.1);
    c->SetSection(0);
    QCOMPARE(c->Resistance, 1E60);
    c->SetSection(-0.1);
    QVERIFY(qFuzzyCompare(c->Resistance, 1.72));
    c->SetLengthHidden(true);
    QVERIFY(c->Hidden);
    QVERIFY(c->GetHint().contains("S=0.1 "));
    QVERIFY(c->GetHint().endsWith(Expand("L=<500> 0.01 <166> <501> 10 <166>, ")));
    c->SetSectionHidden(false); // unchanged: the common mark stays
    QVERIFY(c->Hidden);
}

void TestResistive::capacitorAndCoilImpedance() {
    TBoardFixture f;
    auto* c = new TCondensator;
    auto* l = new TInductance;
    QCOMPARE(c->GetImpedance(), TComplex(1E60, 0));
    QCOMPARE(l->GetImpedance(), TComplex(1E-6, 0));
    CircuitOmega = 314.1592653589793;
    QCOMPARE(c->GetImpedance(), TComplex(1E60, 0)); // not in a loop with a generator
    c->AcDriven = l->AcDriven = true;
    QVERIFY(qFuzzyCompare(c->GetImpedance().imag(), -3183.098861837907));
    QCOMPARE(c->GetImpedance().real(), 0.0);
    QVERIFY(qFuzzyCompare(l->GetImpedance().imag(), 314.1592653589793));
}

void TestResistive::workedExampleWithRealParts() {
    TBoardFixture f;
    auto* battery = new TBattery;
    battery->TakePanel(TPanelValues{{9, 100, 100, 0}, 0x10}); // 9 V, 100 ohms inside, eternal
    Place(battery, 3, 3, 4, 3);
    auto* r = new TResistor;
    Place(r, 3, 3, 4, 3);
    f.Board->CircuitChanged = true;
    f.Board->Tick();
    QCOMPARE(QString::number(std::abs(r->Current) * 1000, 'f', 2), QString("8.18"));
    QCOMPARE(QString::number(r->Power * 1000, 'f', 1), QString("66.9"));
    QCOMPARE(QString::number(r->Load, 'f', 3), QString("0.134"));
    QVERIFY(!r->Burnt);
    const QByteArray expected =
        QStringEncoder("windows-1251")
            .encode(QString("\nЗначения на деталях:"
                            "\nTBattery: z=      100+0i I=0.00818182+0i V= 0.818182+0i"
                            "\nTResistor: z=     1000+0i I=-0.00818182+0i V= -8.18182+0i"));
    QCOMPARE(f.Log(), expected);
}

void TestResistive::resistorBurnsOutInACircuit() {
    TBoardFixture f;
    Place(new TTestPart(100, 9), 3, 3, 4, 3);
    auto* r = new TResistor;
    Place(r, 3, 3, 4, 3);
    r->SetMaxPower(0.005); // 66.9 mW will be far too much
    f.Board->CircuitChanged = true;
    f.Board->Tick();
    QVERIFY(r->Burnt);
    QCOMPARE(r->Resistance, 1E60);
    QVERIFY(f.Seams.Sounds.contains("wavOnBurnOut"));
    QCOMPARE(r->GetHint(), GetText(504));
    // The burning solve logged the new impedance with the old current; the next one settled.
    const QString log = QStringDecoder("windows-1251").decode(f.Log());
    QVERIFY(log.contains("TResistor: z=    1E+60+0i I=-0.00818182+0i"));
    QVERIFY(std::abs(r->Current) < 1e-50);
}

void TestResistive::burnOutTwiceIsAnError() {
    TBoardFixture f;
    for (TIron* part : QList<TIron*>{new TResistor, new TCondensator}) {
        part->BurnOut(true);
        QVERIFY_THROWS_EXCEPTION(EThrownText, part->BurnOut(true));
        part->BurnOut(false);
        QVERIFY(part->Burnt);
    }
}

void TestResistive::burntPartsStayBurntThroughAFile() {
    TBoardFixture f;
    for (TIron* part : QList<TIron*>{new TResistor, new TCondensator}) {
        Place(part, 1, 1, 1, 2);
        part->BurnOut(true);
        f.Seams.Sounds.clear();
        TIron* copy = RoundTrip(part);
        QVERIFY(copy->Burnt);
        QCOMPARE(copy->GetImpedance(), TComplex(1E60, 0));
        QCOMPARE(copy->Capacitance, 0.0);
        QCOMPARE(f.Seams.Sounds, QStringList({"wavOnBurnOut"})); // it burns again on loading
        QCOMPARE(copy->FirstNode, part->FirstNode);
    }
}

void TestResistive::conductorFileKeepsValuesAndDropsHiddenMarks() {
    TBoardFixture f;
    auto* c = new TConductor;
    Place(c, 2, 2, 3, 2);
    c->SetLength(3);
    c->SetSection(0.5);
    c->SetResistivity(0.028);
    c->SetSectionHidden(true);
    auto* copy = static_cast<TConductor*>(RoundTrip(c));
    QCOMPARE(copy->Length, 3.0);
    QCOMPARE(copy->Section, 0.5);
    QCOMPARE(copy->Resistivity, 0.028);
    QCOMPARE(copy->Resistance, c->Resistance);
    QVERIFY(!copy->SectionHidden);
    QVERIFY(copy->Vertical);
}

void TestResistive::panelExchange() {
    TBoardFixture f;
    auto* r = new TResistor;
    TPanelValues v;
    r->SetHidden(true);
    r->FillPanel(v);
    QCOMPARE(v.Values[0], 1000.0);
    QCOMPARE(v.Values[1], 0.5);
    QCOMPARE(v.Flags, HiddenFlag(0));
    v = TPanelValues{{220, 2, 0, 0}, 0};
    r->TakePanel(v);
    QCOMPARE(r->Resistance, 220.0);
    QVERIFY(!r->Hidden);
    r->BurnOut(true);
    r->TakePanel(TPanelValues{{5, 5, 0, 0}, 0}); // a burnt resistor takes nothing
    QCOMPARE(r->Resistance, 1E60);

    auto* c = new TConductor;
    c->TakePanel(TPanelValues{{0.028, 2, 0.5, 0}, HiddenFlag(1) | HiddenFlag(2)});
    QCOMPARE(c->Resistance, 0.028 * 2 / 0.5);
    QVERIFY(c->LengthHidden && c->SectionHidden && !c->ResistivityHidden);
    TPanelValues back;
    c->FillPanel(back);
    QCOMPARE(back.Flags, HiddenFlag(1) | HiddenFlag(2));
    QCOMPARE(back.Values[2], 0.5);

    auto* l = new TInductance;
    l->TakePanel(TPanelValues{{0.25, 0, 0, 0}, HiddenFlag(0)});
    QCOMPARE(l->Inductance, 0.25);
    QVERIFY(l->Hidden);
    QCOMPARE(l->GetHint(), Expand("L=<500> 1 <165> <501> 100 <165>, R=1E-6 <162>"));
}

void TestResistive::noRatingMeansNoOverload() {
    TBoardFixture f;
    Place(new TTestPart(1, 10), 0, 0, 0, 1);
    auto* r = new TResistor;
    Place(r, 0, 0, 0, 1);
    r->MaxPower = 0; // only a scheme file can give that
    SolveBoard();
    QCOMPARE(r->Load, 0.0);
    QVERIFY(!r->Burnt);
}

QTEST_MAIN(TestResistive)
#include "tst_resistive.moc"
