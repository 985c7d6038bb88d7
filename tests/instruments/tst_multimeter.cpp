// The multimeter: what its display shows for a reading, what the element is made of in every
// switch position, the ohmmeter and its beeper in a real circuit, the two slots, the mouse on
// the face, the self-test, and a whole measurement done with the mouse.

#include "MeterFixture.h"
#include "support/TestParts.h"

#include "components/Iron.h"
#include "components/Kinds.h"
#include "components/Resistor.h"
#include "components/Wire.h"
#include "shell/Global.h"

#include <QLabel>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(TComplex)

namespace {
constexpr double MeterVoltResistance = 2E6;
constexpr double Omega50Hz = 314.159;

// Where the face shows switch position k: round the knob's middle (75, 138), 58 pixels out,
// clockwise from the top in steps of 18 degrees. The student clicks on what is printed there.
QPoint PrintedPosition(int k) {
    const double a = k * 18 * 3.14159265358979323846 / 180;
    return QPoint(int(std::lround(75 + 58.5 * std::sin(a))),
                  int(std::lround(138 - 58.5 * std::cos(a))));
}
} // namespace

class TestMultimeter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void displayShows_data();
    void displayShows();
    void shortedLeadsReadZeroOhms_data();
    void shortedLeadsReadZeroOhms();
    void ohmmeterReadsTheResistorBetweenItsLeads_data();
    void ohmmeterReadsTheResistorBetweenItsLeads();
    void switchPositionsMakeTheElement_data();
    void switchPositionsMakeTheElement();
    void turningToTheSamePositionDoesNothing();
    void handCursorOverWhatCanBeTurned();
    void secondMeterTakesTheSecondSlot();
    void panelMovesByItsDisplay();
    void selfTestTurnsTheDialAndTellsWhoMadeIt();
    void pictureStartupReportsMissingPictures();
    void measuresTheVoltageAcrossAResistor();
};

void TestMultimeter::initTestCase() {
    RegisterPartKinds();
    TIron::ExecuteStartups();
}

// --- The display
// ----------------------------------------------------------------------------------

void TestMultimeter::displayShows_data() {
    // The solver hands the meter's element a current; the element's voltage is that current
    // through the meter's own resistance. Text: minus sign, positions 1..4, lit points.
    QTest::addColumn<int>("position");
    QTest::addColumn<double>("omega");
    QTest::addColumn<TComplex>("current");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("highVolt");
    const double r = MeterVoltResistance;
    QTest::newRow("12.345 mA on 20 mA: cut, not rounded")
        << 4 << 0.0 << TComplex(0.012345) << " 12.34" << false;
    QTest::newRow("1234.5 µA on 2000 µA") << 3 << 0.0 << TComplex(0.0012345) << " 1234" << false;
    QTest::newRow("DC current with a reactive part")
        << 5 << Omega50Hz << TComplex(0.01, 0.002) << "   0.0" << false;
    QTest::newRow("25 mA overloads 20 mA") << 4 << 0.0 << TComplex(0.025) << "-1   " << false;
    QTest::newRow("230.5 V on 750 V~") << 1 << Omega50Hz << TComplex(230.5 / r) << "  230" << true;
    QTest::newRow("AC volts in a DC circuit") << 2 << 0.0 << TComplex(5 / r) << "    0" << false;
    QTest::newRow("DC volts in an AC circuit")
        << 17 << Omega50Hz << TComplex(5 / r) << "    0" << false;
    QTest::newRow("a true 0 on 20 V") << 17 << 0.0 << TComplex(0) << "  0.00" << false;
    QTest::newRow("5 mV on 20 V is too small")
        << 17 << 0.0 << TComplex(0.005 / r) << "    0" << false;
    QTest::newRow("negative 5.5 V on 20 V") << 17 << 0.0 << TComplex(-5.5 / r) << "- 5.50" << false;
    QTest::newRow("negative overload on 20 V")
        << 17 << 0.0 << TComplex(-30 / r) << "-1   " << false;
    QTest::newRow("125 mV on 200 mV") << 15 << 0.0 << TComplex(0.125 / r) << " 125.0" << false;
    QTest::newRow("1 V on 1000 V") << 19 << 0.0 << TComplex(1 / r) << "    1" << true;
    QTest::newRow("999 V on 1000 V") << 19 << 0.0 << TComplex(999.9 / r) << "  999" << true;
    QTest::newRow("a failed solve overloads")
        << 17 << 0.0 << TComplex(std::numeric_limits<double>::quiet_NaN()) << "-1   " << false;
}

void TestMultimeter::displayShows() {
    QFETCH(int, position);
    QFETCH(double, omega);
    QFETCH(TComplex, current);
    QFETCH(QString, text);
    QFETCH(bool, highVolt);
    TMeterFixture f;
    TPriborPanel* panel = f.NewPanel();
    panel->SwitchTo(position);
    CircuitOmega = omega;
    panel->Element()->SetCurrent(current);
    QCOMPARE(panel->Display.Text(), text);
    QCOMPARE(panel->Display.HighVolt, highVolt);
}

// --- The ohmmeter
// ---------------------------------------------------------------------------------

void TestMultimeter::shortedLeadsReadZeroOhms_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("beeps");
    QTest::newRow("200 Ω") << 10 << false;
    QTest::newRow("200 Ω with the beeper") << 9 << true;
}

void TestMultimeter::shortedLeadsReadZeroOhms() {
    // Leads on one node: 2 V drives 1 mA through the meter's 2 kΩ alone, which is 0 Ω outside.
    QFETCH(int, position);
    QFETCH(bool, beeps);
    TMeterFixture f;
    TPriborPanel* panel = f.NewPanel();
    TMultimeter* element = panel->Element();
    panel->SwitchTo(position);
    element->RedLead->SetNode((*f.Board)(3, 3));
    element->BlackLead->SetNode((*f.Board)(3, 3));
    f.Board->CircuitChanged = true;
    f.Board->Tick();
    QCOMPARE(element->Current, TComplex(0.001));
    QCOMPARE(panel->Display.Text(), QString("   0.0"));
    QCOMPARE(panel->Timer1->isActive(), beeps);
    if (beeps) {
        f.Seams.Sounds.clear();
        panel->Timer1Timer();
        QCOMPARE(f.Seams.Sounds, QStringList{"Sound2"});
    }

    // Apart again, with nothing between them: an open circuit.
    element->BlackLead->SetNode(nullptr);
    f.Board->CircuitChanged = true;
    f.Board->Tick();
    QCOMPARE(element->Current, TComplex(0));
    QCOMPARE(panel->Display.Text(), QString("-1   "));
    QVERIFY(!panel->Timer1->isActive());
}

void TestMultimeter::ohmmeterReadsTheResistorBetweenItsLeads_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<double>("ohms");
    QTest::addColumn<bool>("beeps");
    QTest::newRow("50 Ω beeps") << 9 << 50.0 << true;
    QTest::newRow("150 Ω does not beep") << 9 << 150.0 << false;
    QTest::newRow("150 Ω on 200 Ω") << 10 << 150.0 << false;
    QTest::newRow("4.7 kΩ on 20 kΩ") << 12 << 4700.0 << false;
    QTest::newRow("1.5 MΩ on 2000 kΩ") << 14 << 1.5E6 << false;
}

void TestMultimeter::ohmmeterReadsTheResistorBetweenItsLeads() {
    QFETCH(int, position);
    QFETCH(double, ohms);
    QFETCH(bool, beeps);
    TMeterFixture f;
    TPriborPanel* panel = f.NewPanel();
    TMultimeter* element = panel->Element();
    panel->SwitchTo(position);
    QCOMPARE(panel->Display.Text(), QString("-1   ")); // leads in their sockets: nothing between
    Place(new TTestPart(ohms), 2, 2, 2, 3);
    element->RedLead->SetNode((*f.Board)(2, 3));
    element->BlackLead->SetNode((*f.Board)(2, 2));
    f.Board->CircuitChanged = true;
    f.Board->Tick();
    QVERIFY2(std::fabs(panel->ShownValue - ohms) < 1E-6 * ohms,
             qPrintable(QString::number(panel->ShownValue)));
    QVERIFY(!panel->Display.Minus);
    QCOMPARE(panel->Timer1->isActive(), beeps);
}

// --- The switch
// -----------------------------------------------------------------------------------

void TestMultimeter::switchPositionsMakeTheElement_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("reached"); // the position the switch ends in
    QTest::addColumn<double>("resistance");
    QTest::addColumn<double>("emf");
    const int ohms[] = {9, 10, 11, 12, 13, 14};
    for (int p : {1, 2, 15, 16, 17, 18, 19})
        QTest::newRow(qPrintable(QString("volts %1").arg(p))) << p << p << 2E6 << 0.0;
    for (int p : {3, 4, 5, 6})
        QTest::newRow(qPrintable(QString("amperes %1").arg(p))) << p << p << 1E-6 << 0.0;
    for (int p : ohms)
        QTest::newRow(qPrintable(QString("ohms %1").arg(p))) << p << p << 2000.0 << 2.0;
    // From a resistance position back to off, and to the two positions that do not exist.
    QTest::newRow("off") << 0 << 0 << 1E30 << 0.0;
    QTest::newRow("7 does not exist") << 7 << 11 << 2000.0 << 2.0;
    QTest::newRow("8 does not exist") << 8 << 11 << 2000.0 << 2.0;
}

void TestMultimeter::switchPositionsMakeTheElement() {
    QFETCH(int, position);
    QFETCH(int, reached);
    QFETCH(double, resistance);
    QFETCH(double, emf);
    TMeterFixture f;
    QVERIFY(f.ShowWindow());
    TPriborPanel* panel = f.NewPanel();
    TMultimeter* element = panel->Element();
    QCOMPARE(element->Resistance, 1E30);
    QVERIFY(element->BreaksLoops());
    panel->SwitchTo(11);
    f.Seams.Sounds.clear();
    f.Board->CircuitChanged = false;

    TMouse mouse(&f.Window);
    mouse.Click(f.InWindow(panel->PriborImage, PrintedPosition(position)));
    QCOMPARE(panel->Position, reached);
    QCOMPARE(element->Resistance, resistance);
    QCOMPARE(element->Emf, emf);
    QCOMPARE(element->GetEmf(), emf);
    QCOMPARE(element->BreaksLoops(), resistance >= 1E30);
    const bool turned = reached == position && position != 11;
    QCOMPARE(f.Seams.Sounds, turned ? QStringList{"Sound1"} : QStringList());
    QCOMPARE(f.Board->CircuitChanged, turned);
}

void TestMultimeter::turningToTheSamePositionDoesNothing() {
    TMeterFixture f;
    QVERIFY(f.ShowWindow());
    TPriborPanel* panel = f.NewPanel();
    f.ClickSwitch(panel, 17);
    QCOMPARE(panel->Position, 17);
    f.Seams.Sounds.clear();
    f.Board->CircuitChanged = false;
    const QImage before = panel->Canvas;
    f.ClickSwitch(panel, 17);
    QVERIFY(f.Seams.Sounds.isEmpty());
    QVERIFY(!f.Board->CircuitChanged);
    QCOMPARE(panel->Canvas, before);
}

void TestMultimeter::handCursorOverWhatCanBeTurned() {
    // Positions 7 and 8 leave the cursor as it was; outside every region it is the arrow.
    TMeterFixture f;
    QVERIFY(f.ShowWindow());
    TPriborPanel* panel = f.NewPanel();
    TMouse mouse(&f.Window);
    auto moveTo = [&](QPoint p) {
        mouse.Move(f.InWindow(panel->PriborImage, p));
        return panel->PriborImage->cursor().shape();
    };
    const QPoint outside(3, 140); // on the holster, left of the ranges
    QCOMPARE(TPriborPanel::RegionAt(outside), -1);
    QCOMPARE(moveTo(outside), Qt::ArrowCursor);
    QCOMPARE(moveTo(PrintedPosition(7)), Qt::ArrowCursor);
    QCOMPARE(moveTo(PrintedPosition(6)), Qt::PointingHandCursor);
    QCOMPARE(moveTo(PrintedPosition(8)), Qt::PointingHandCursor);
    QCOMPARE(moveTo(TPriborPanel::RegionCentre(21)), Qt::PointingHandCursor); // the 10 A socket
    QCOMPARE(moveTo(outside), Qt::ArrowCursor);
    QCOMPARE(moveTo(TPriborPanel::RegionCentre(20)), Qt::ArrowCursor);
    QCOMPARE(moveTo(PrintedPosition(0)), Qt::PointingHandCursor);
}

// --- The panels
// -----------------------------------------------------------------------------------

void TestMultimeter::secondMeterTakesTheSecondSlot() {
    TMeterFixture f;
    const int leads = int(TestLeads.size());
    TPriborPanel* first = f.NewPanel();
    QVERIFY(first);
    QCOMPARE(MultimeterPanels[0].data(), first);
    QCOMPARE(first->Element()->Number, 1);
    QVERIFY(first->label1->isVisibleTo(first) && !first->label2->isVisibleTo(first));
    QVERIFY(!MultimeterSlotsTaken());
    QVERIFY(f.ButtonStates.isEmpty());

    TPriborPanel* second = f.NewPanel();
    QCOMPARE(MultimeterPanels[1].data(), second);
    QCOMPARE(second->Element()->Number, 2);
    QCOMPARE(second->Element()->RedLead->InputNumber, 2);
    QVERIFY(second->label2->isVisibleTo(second) && !second->label1->isVisibleTo(second));
    QCOMPARE(second->pos(), QPoint(0, 80));
    QCOMPARE(second->PriborImage->size(), QSize(152, 274));
    QVERIFY(MultimeterSlotsTaken());
    QCOMPARE(f.ButtonStates, QList<bool>{false});
    QVERIFY(!f.NewPanel()); // never a third

    // Closing the first, whose red lead was in the circuit, takes its leads along and has the
    // circuit solved again without it.
    TNode* node = (*f.Board)(1, 4);
    first->Element()->RedLead->SetNode(node);
    f.Board->CircuitChanged = false;
    first->close();
    FlushDeletes();
    QVERIFY(!MultimeterPanels[0]);
    QCOMPARE(f.ButtonStates, (QList<bool>{false, true}));
    QCOMPARE(int(TestLeads.size()), leads + 2);
    QVERIFY(node->Elements.isEmpty());
    QVERIFY(f.Board->CircuitChanged);
    TPriborPanel* again = f.NewPanel();
    QCOMPARE(MultimeterPanels[0].data(), again);
    QCOMPARE(again->Element()->Number, 1);
    QCOMPARE(again->Element()->BlackLead->parentWidget(), again->PriborImage);
}

void TestMultimeter::panelMovesByItsDisplay() {
    TMeterFixture f;
    QVERIFY(f.ShowWindow());
    TPriborPanel* panel = f.NewPanel();
    const QPoint start = panel->pos();
    TMouse mouse(&f.Window);
    const QPoint display = f.InWindow(panel->PriborImage, TPriborPanel::RegionCentre(20));
    mouse.Drag(display, display + QPoint(-40, 25), 4);
    QCOMPARE(panel->pos(), start + QPoint(-40, 25));
    QCOMPARE(panel->size(), QSize(154, 289));
    // A drag that starts on the switch turns it and does not move the meter.
    const QPoint knob = f.InWindow(panel->PriborImage, TPriborPanel::RegionCentre(15));
    mouse.Drag(knob, knob + QPoint(-30, 0), 4);
    QCOMPARE(panel->pos(), start + QPoint(-40, 25));
    QCOMPARE(panel->Position, 15);
}

void TestMultimeter::selfTestTurnsTheDialAndTellsWhoMadeIt() {
    TMeterFixture f;
    QVERIFY(f.ShowWindow());
    TPriborPanel* panel = f.NewPanel();
    panel->SwitchTo(12);
    panel->Element()->SetCurrent(0);
    const QString shown = panel->Display.Text();
    const double value = panel->ShownValue;
    f.Seams.Waits.clear();
    f.ClickSwitch(panel, 24);

    QCOMPARE(f.Seams.Messages.size(), 1);
    const TMessageRequest& about = f.Seams.Messages.first();
    QCOMPARE(about.Caption, QString("About Multimeter"));
    QCOMPARE(about.Icon, TMsgIcon::Information);
    QVERIFY(about.Text.startsWith("Multimeter is need for measure current,voltage and resistanse\n"
                                  "There it is a digital device\n"));
    QCOMPARE(f.Seams.Waits.count(66), 60);
    QCOMPARE(f.Seams.Waits.count(1), 128);
    QCOMPARE(panel->Position, 12);
    QCOMPARE(panel->ShownValue, value);
    QCOMPARE(panel->Display.Text(), shown);
    QCOMPARE(panel->Element()->Resistance, 2000.0);
    QCOMPARE(panel->Element()->Emf, 2.0);
}

void TestMultimeter::pictureStartupReportsMissingPictures() {
    TMeterFixture f;
    TPriborPanel::PictureCleanup();
    QVERIFY(!TPriborPanel::PicturesLoaded());
    Q_CLEANUP_RESOURCE(art);
    const bool withoutPictures = TPriborPanel::PictureStartup();
    Q_INIT_RESOURCE(art);
    QVERIFY(!withoutPictures);
    QVERIFY(TPriborPanel::PictureStartup());
    TPriborPanel::PictureCleanup();
    // A panel made while the pictures are gone loads them itself.
    TPriborPanel* panel = f.NewPanel();
    QVERIFY(TPriborPanel::PicturesLoaded());
    QVERIFY(f.ProgramEnds.isEmpty());
    QVERIFY(panel->Canvas.pixel(75, 2) != panel->Canvas.pixel(75, 138)); // holster, knob
}

// --- A measurement with the mouse ---------------------------------------------------------------

void TestMultimeter::measuresTheVoltageAcrossAResistor() {
    // A 4.5 V battery with 0.5 Ω inside, wired in a square with a 220 Ω resistor:
    //   (2,1) -wire- (2,2)
    //     |cell       |resistor
    //   (3,1) -wire- (3,2)
    // The battery's second terminal (3,1) is its plus, so the resistor's lower end is positive.
    TMeterFixture f;
    QVERIFY(f.ShowWindow());
    auto* cell = new TTestPart(0.5, 4.5);
    Place(cell, 2, 1, 3, 1);
    auto* resistor = new TResistor;
    resistor->SetResistance(220);
    Place(resistor, 2, 2, 3, 2);
    auto* top = new TWire;
    Place(top, 2, 1, 2, 2);
    auto* bottom = new TWire;
    Place(bottom, 3, 1, 3, 2);

    TPriborPanel* panel = f.NewPanel();
    TMultimeter* element = panel->Element();
    f.DragLead(element->RedLead, f.NodeInWindow(3, 2));
    f.DragLead(element->BlackLead, f.NodeInWindow(2, 2) + QPoint(-6, 4));
    QCOMPARE(element->FirstNode, (*f.Board)(3, 2));
    QCOMPARE(element->SecondNode, (*f.Board)(2, 2));
    f.ClickSwitch(panel, 17); // DC volts, 20 V range
    QCOMPARE(panel->Position, 17);
    f.Board->Tick();

    // The meter's 2 MΩ lies across the resistor.
    const double across = 1 / (1 / resistor->Resistance + 1 / MeterVoltResistance);
    const double volts =
        4.5 * across / (cell->Resistance + top->Resistance + bottom->Resistance + across);
    const double hundredths = std::floor(volts * 100);
    const QString expected =
        QString("  %1.%2").arg(int(hundredths) / 100).arg(int(hundredths) % 100, 2, 10, QChar('0'));
    QCOMPARE(panel->Display.Text(), expected);
    QVERIFY(!panel->Display.HighVolt);

    // The leads the other way round read the same with the minus sign.
    // The black lead goes home first: the red one, dropped on it, would lie on top of it.
    f.DragLead(element->BlackLead, QPoint(30, f.Window.height() - 20));
    f.DragLead(element->RedLead, f.NodeInWindow(2, 2));
    f.DragLead(element->BlackLead, f.NodeInWindow(3, 2));
    QCOMPARE(element->FirstNode, (*f.Board)(2, 2));
    QCOMPARE(element->SecondNode, (*f.Board)(3, 2));
    f.Board->Tick();
    QCOMPARE(panel->Display.Text(), "-" + expected.mid(1));
}

QTEST_MAIN(TestMultimeter)
#include "tst_multimeter.moc"
