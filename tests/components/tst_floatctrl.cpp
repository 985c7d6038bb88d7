// The parameters panel and its value editors, driven with the keyboard and the mouse as a student
// drives them; what counts is what the selected part receives. Also the part-state window.

#include "support/Board.h"

#include "board/Frmwork.h"
#include "components/Battery.h"
#include "components/Conductor.h"
#include "components/Floatctrl.h"
#include "components/Generator.h"
#include "components/Ironstateform.h"
#include "components/Kinds.h"
#include "components/Lamp.h"
#include "components/Resistor.h"
#include "components/Switch.h"
#include "document/Scheme.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <cmath>

namespace {
struct TPanelFixture : TBoardFixture {
    TFloatControlPanel* Panel;
    TIronState* State;
    TPanelFixture() {
        Window.resize(1000, 700);
        Board->move(400, 50);
        Panel = new TFloatControlPanel(&Window);
        Panel->OnApply = ApplyPanelValues;
        Panel->OnReadBack = SelectedPanelValues;
        FloatControlPanel = Panel;
        State = new TIronState(&Window);
        State->move(Panel->width(), 0);
        IronStateForm = State;
        Window.show();
        Panel->show();
        State->show();
        SchemeSaved = true;
    }
    ~TPanelFixture() {
        DestroyAllParts();
        delete Panel;
        delete State;
    }
    // A part of the kind on the board between (1, 1) and (1, 2), selected.
    template <class T = TIron> T* Take(quint8 kind) {
        TIron* part = CreatePart(kind);
        part->ConnectNodes((*Board)(1, 1), (*Board)(1, 2));
        part->show();
        Select(part);
        return static_cast<T*>(part);
    }
};

void Type(TValueCtrlSet* e, const QString& keys) {
    QTest::keyClicks(e->ValueList, keys);
}
void Enter(TValueCtrlSet* e) {
    QTest::keyClick(e->ValueList, Qt::Key_Return);
}
QString Text(TValueCtrlSet* e) {
    return e->ValueList->currentText();
}
QString Unit(TValueCtrlSet* e) {
    return e->PressedUnit() < 0 ? QString() : e->UnitButtons[e->PressedUnit()]->text();
}

// Opens the list and clicks the entry with that text.
void Pick(TValueCtrlSet* e, const QString& entry) {
    QComboBox* list = e->ValueList;
    const int index = list->findText(entry);
    QVERIFY2(index >= 0, qPrintable(entry));
    list->showPopup();
    QAbstractItemView* view = list->view();
    QVERIFY(QTest::qWaitForWindowExposed(view->window()));
    const QModelIndex item = view->model()->index(index, 0);
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    QTRY_VERIFY(!view->isVisible());
}

void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

bool Near(double a, double b, double relative = 1e-9) {
    return std::fabs(a - b) <= relative * std::fabs(b);
}
} // namespace

class TestFloatCtrl : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void editorShowsValues_data();
    void editorShowsValues();
    void pickingFromTheListApplies();
    void typedValueTakenByEnterInOrder_data();
    void typedValueTakenByEnterInOrder();
    void keysThatTypeNoNumberAreIgnored();
    void textThatIsNoNumberShowsWhatThePartTook();
    void unitOutsideTheRangeIsRefused_data();
    void unitOutsideTheRangeIsRefused();
    void hiddenDrawLandsInARange();
    void hiddenPartKeepsItsValueUntilApply();
    void generatorAmplitudeAndEffectiveValue();
    void lampPowerGivesCurrent();
    void conductorHidesOneValueAtMost();
    void materialListKeepsItsEntryOnEnter();
    void switchPage();
    void batteryModeAndPolarity();
    void burntPartShowsWhatItHas();
    void wirePageEasterEgg();
    void pagesFollowTheSelection();
    void stateWindow();
    void changedValuesSurviveAFile();
};

void TestFloatCtrl::initTestCase() {
    QVERIFY(LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/English.lng"));
    RegisterPartKinds();
    TIron::ExecuteStartups();
    SeedPartRandom(13);
}

void TestFloatCtrl::init() {
    QVERIFY(LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/English.lng"));
}

void TestFloatCtrl::editorShowsValues_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("editor"); // index in the panel's Editors
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("unit"); // "" when the controls are disabled
    const QString k = GetText(174), M = GetText(175), ohm = GetText(162);
    QTest::newRow("4700 Ω") << int(KindResistor) << 0 << 4700.0 << "4.7" << k + ohm;
    QTest::newRow("0.5 Ω") << int(KindResistor) << 0 << 0.5 << "0.5" << ohm;
    QTest::newRow("5E9 Ω: no GΩ button") << int(KindResistor) << 0 << 5E9 << "5000.0" << M + ohm;
    QTest::newRow("beyond the range") << int(KindResistor) << 0 << 1E13 << "1000000.0" << M + ohm;
    QTest::newRow("zero") << int(KindResistor) << 0 << 0.0 << GetText(1230) << "";
    QTest::newRow("infinite") << int(KindResistor) << 0 << 1E30 << GetText(1231) << "";
    QTest::newRow("750 µF") << int(KindCondensator) << 2 << 0.00075 << "750.0"
                            << GetText(172) + GetText(161);
    QTest::newRow("2 mA") << int(KindLamp) << 13 << 0.002 << "2.0" << GetText(173) + GetText(160);
    QTest::newRow("below the range")
        << int(KindLamp) << 13 << 0.0005 << "1.0" << GetText(173) + GetText(160);
}

void TestFloatCtrl::editorShowsValues() {
    QFETCH(int, kind);
    QFETCH(int, editor);
    QFETCH(double, value);
    QFETCH(QString, text);
    QFETCH(QString, unit);
    TPanelFixture f;
    f.Take(quint8(kind));
    TValueCtrlSet* e = f.Panel->Editors[editor];
    QVERIFY(f.Panel->ActiveEditors.contains(e));
    e->SetValue(value);
    QCOMPARE(Text(e), text);
    QCOMPARE(e->ValueList->isEnabled(), !unit.isEmpty());
    if (!unit.isEmpty()) {
        QCOMPARE(Unit(e), unit);
        QCOMPARE(e->UnitLabel->text(), unit);
    }
}

void TestFloatCtrl::pickingFromTheListApplies() {
    TPanelFixture f;
    auto* r = f.Take<TResistor>(KindResistor);
    QCOMPARE(Text(f.Panel->ResistorValue), "1.0");
    QCOMPARE(Unit(f.Panel->ResistorValue), GetText(174) + GetText(162));
    f.Board->CircuitChanged = false;
    Pick(f.Panel->ResistorValue, "4.7");
    QCOMPARE(r->Resistance, 4700.0);
    QCOMPARE(r->MaxPower, 0.5);
    QVERIFY(f.Board->CircuitChanged);
    QVERIFY(!SchemeSaved);
    Pick(f.Panel->ResistorPower, "2.0");
    QCOMPARE(r->MaxPower, 2.0);
    QCOMPARE(r->Resistance, 4700.0);
    // Another unit scales the mantissa shown.
    Click(f.Panel->ResistorValue->UnitButtons[7]);
    QCOMPARE(r->Resistance, 4.7E6);
}

void TestFloatCtrl::typedValueTakenByEnterInOrder_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<double>("ohms");
    QTest::newRow("new entry") << "22"
                               << "22.0" << 22000.0;
    QTest::newRow("between two entries") << "15.5"
                                         << "15.5" << 15500.0;
    QTest::newRow("entry already listed") << "15"
                                          << "15.0" << 15000.0;
    QTest::newRow("rounded to the list's digits") << "4.7001"
                                                  << "4.7" << 4700.0;
    QTest::newRow("exponent") << "1.2e1"
                              << "12.0" << 12000.0;
}

void TestFloatCtrl::typedValueTakenByEnterInOrder() {
    QFETCH(QString, typed);
    QFETCH(QString, entry);
    QFETCH(double, ohms);
    TPanelFixture f;
    auto* r = f.Take<TResistor>(KindResistor);
    TValueCtrlSet* e = f.Panel->ResistorValue;
    const int entries = e->ValueList->count();
    e->ValueList->lineEdit()->selectAll();
    Type(e, typed);
    QCOMPARE(r->Resistance, 1000.0); // nothing is taken before Enter
    Enter(e);
    QCOMPARE(r->Resistance, ohms);
    QCOMPARE(e->ValueList->currentText(), entry);
    QCOMPARE(e->ValueList->itemText(e->ValueList->currentIndex()), entry);
    // The list holds each value once, in ascending order.
    QStringList listed;
    double previous = 0;
    for (int i = 0; i < e->ValueList->count(); ++i) {
        const double v = TValueCtrlSet::ReadNumber(e->ValueList->itemText(i));
        QVERIFY2(v > previous, qPrintable(e->ValueList->itemText(i)));
        previous = v;
    }
    QVERIFY(e->ValueList->count() - entries <= 1);
    // A pick from the list right after Enter counts.
    Pick(e, "3.3");
    QCOMPARE(r->Resistance, 3300.0);
}

void TestFloatCtrl::keysThatTypeNoNumberAreIgnored() {
    TPanelFixture f;
    f.Take(KindResistor);
    TValueCtrlSet* e = f.Panel->ResistorValue;
    e->ValueList->lineEdit()->selectAll();
    Type(e, "4,7 k");
    // Letters of other alphabets, as on a Russian keyboard.
    for (const QString& letter : {QString("Ω"), QString("к")})
        QTest::sendKeyEvent(QTest::Click, e->ValueList, Qt::Key_unknown, letter, {});
    Type(e, "+x.5");
    QCOMPARE(Text(e), "47+.5");
    // Keys that move through the text pass.
    QTest::keyClick(e->ValueList, Qt::Key_Home);
    QTest::keyClick(e->ValueList, Qt::Key_Delete);
    QCOMPARE(Text(e), "7+.5");
}

void TestFloatCtrl::textThatIsNoNumberShowsWhatThePartTook() {
    TPanelFixture f;
    auto* r = f.Take<TResistor>(KindResistor);
    TValueCtrlSet* e = f.Panel->ResistorValue;
    const int entries = e->ValueList->count();
    e->ValueList->lineEdit()->selectAll();
    Type(e, "-");
    Enter(e);
    QCOMPARE(e->ValueList->count(), entries); // nothing is added to the list
    QCOMPARE(r->Resistance, 0.001);
    QCOMPARE(e->Value, 0.001);
    QCOMPARE(Text(e), "0.001");
    QCOMPARE(Unit(e), GetText(162));
}

void TestFloatCtrl::unitOutsideTheRangeIsRefused_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("editor");
    QTest::addColumn<QString>("mantissa");
    QTest::addColumn<int>("press");
    QTest::addColumn<int>("unit");
    QTest::addColumn<double>("value");
    QTest::newRow("6 kV above a 5 kV heater") << int(KindHeater) << 23 << "6" << 6 << 5 << 6.0;
    QTest::newRow("5 kV heater") << int(KindHeater) << 23 << "5" << 6 << 6 << 5000.0;
    QTest::newRow("500 MΩ") << int(KindResistor) << 0 << "500" << 7 << 7 << 5E8;
    QTest::newRow("0.5 kW rating") << int(KindResistor) << 1 << "0.5" << 6 << 6 << 500.0;
}

void TestFloatCtrl::unitOutsideTheRangeIsRefused() {
    QFETCH(int, kind);
    QFETCH(int, editor);
    QFETCH(QString, mantissa);
    QFETCH(int, press);
    QFETCH(int, unit);
    QFETCH(double, value);
    TPanelFixture f;
    f.Take(quint8(kind));
    TValueCtrlSet* e = f.Panel->Editors[editor];
    e->ValueList->lineEdit()->selectAll();
    Type(e, mantissa);
    Enter(e);
    Click(e->UnitButtons[press]);
    QCOMPARE(e->PressedUnit(), unit);
    QCOMPARE(e->UnitLabel->text(), e->UnitButtons[unit]->text());
    QVERIFY(Near(e->Value, value));
    TPanelValues held;
    QVERIFY(SelectedPanelValues(held));
    QVERIFY(Near(held.Values[e->Slot], value));
}

void TestFloatCtrl::hiddenDrawLandsInARange() {
    TPanelFixture f;
    auto* r = f.Take<TResistor>(KindResistor);
    QAbstractButton* hide = f.Panel->ResistorValue->HideButton;
    int low = 0, high = 0;
    for (int i = 0; i < 200; ++i) {
        Click(hide);
        QVERIFY(r->Hidden);
        QCOMPARE(Text(f.Panel->ResistorValue), "???");
        QVERIFY(!f.Panel->ResistorValue->ValueList->isEnabled());
        QVERIFY(r->Resistance >= 100 && r->Resistance <= 100000);
        (r->Resistance <= 1000 ? low : high)++;
        Click(hide);
        QVERIFY(!r->Hidden);
        QVERIFY(f.Panel->ResistorValue->ValueList->isEnabled());
        // Shown again, the list holds the value the resistor has.
        QVERIFY(Near(f.Panel->ResistorValue->Value, r->Resistance));
    }
    // Each range comes about half the time.
    QVERIFY2(low > 70 && high > 70, qPrintable(QString("%1 %2").arg(low).arg(high)));
}

void TestFloatCtrl::hiddenPartKeepsItsValueUntilApply() {
    TPanelFixture f;
    auto* r = f.Take<TResistor>(KindResistor);
    r->SetResistance(330);
    r->SetHidden(true);
    Select(nullptr);
    Select(r);
    QCOMPARE(Text(f.Panel->ResistorValue), "???");
    QVERIFY(!f.Panel->ResistorValue->ValueList->isEnabled());
    QCOMPARE(r->Resistance, 330.0);
    // Changing the rating leaves the hidden value alone.
    Pick(f.Panel->ResistorPower, "1.0");
    QCOMPARE(r->Resistance, 330.0);
    QVERIFY(r->Hidden);
    Click(f.Panel->ApplyBtn);
    QVERIFY(r->Hidden);
    QCOMPARE(r->Resistance, f.Panel->ResistorValue->Value);
    QCOMPARE(Text(f.Panel->ResistorValue), "???");
}

void TestFloatCtrl::generatorAmplitudeAndEffectiveValue() {
    TPanelFixture f;
    auto* g = f.Take<TGenerator>(KindGenerator);
    TFloatControlPanel* p = f.Panel;
    QCOMPARE(Text(p->GeneratorEffective), "220.0");
    QCOMPARE(Text(p->GeneratorAmplitude), "311.127");
    QCOMPARE(p->Label23->text(), "w = 314.159");
    p->GeneratorAmplitude->ValueList->lineEdit()->selectAll();
    Type(p->GeneratorAmplitude, "10");
    Enter(p->GeneratorAmplitude);
    QCOMPARE(Text(p->GeneratorEffective), "7.071");
    QVERIFY(Near(g->Emf, 7.0710678118654755));
    Pick(p->GeneratorFrequency, "1.0");
    Click(p->GeneratorFrequency->UnitButtons[6]);
    QVERIFY(Near(CircuitOmega, 2000 * 3.141592653589793));
    QCOMPARE(p->Label23->text(), "w = 6.283");
    // A typed effective value with Apply carries the amplitude along.
    p->GeneratorEffective->ValueList->lineEdit()->selectAll();
    Type(p->GeneratorEffective, "220");
    Click(p->ApplyBtn);
    QCOMPARE(g->Emf, 220.0);
    QCOMPARE(Text(p->GeneratorAmplitude), "311.127");
    // Hiding the effective value hides the amplitude it gives.
    Click(p->GeneratorEffective->HideButton);
    QVERIFY(g->AmplitudeHidden);
    QVERIFY(g->Emf >= 1 && g->Emf <= 100);
    QCOMPARE(Text(p->GeneratorAmplitude), "???");
    QVERIFY(!p->GeneratorAmplitude->ValueList->isEnabled());
    QCOMPARE(p->AmplitudeLabel->text(), GetText(1222));
    Click(p->ApplyBtn);
    QCOMPARE(Text(p->GeneratorAmplitude), "???");
    QVERIFY(g->Emf >= 1 && g->Emf <= 100);
    Click(p->GeneratorEffective->HideButton);
    QVERIFY(!g->AmplitudeHidden);
    QVERIFY(Near(p->GeneratorAmplitude->Value, g->Emf * std::sqrt(2.0)));
    QCOMPARE(p->AmplitudeLabel->text(), GetText(1223));
    // The frequency's "?" takes the angular frequency's text with it.
    Click(p->GeneratorFrequency->HideButton);
    QVERIFY(TGenerator::FrequencyHidden);
    QVERIFY(p->Label23->isHidden());
}

void TestFloatCtrl::lampPowerGivesCurrent() {
    TPanelFixture f;
    auto* lamp = f.Take<TLamp>(KindLamp);
    TFloatControlPanel* p = f.Panel;
    Pick(p->LampVoltage, "12.0");
    Click(p->LampPower->UnitButtons[5]);
    Pick(p->LampPower, "5.0");
    QCOMPARE(Text(p->LampCurrent), "416.667");
    QCOMPARE(Unit(p->LampCurrent), GetText(173) + GetText(160));
    QVERIFY(Near(lamp->RatedCurrent, 5.0 / 12));
    QVERIFY(Near(lamp->RatedPower, 5.0));
    Pick(p->LampCurrent, "1.0");
    QCOMPARE(Unit(p->LampCurrent), GetText(173) + GetText(160));
    QVERIFY(Near(lamp->RatedPower, 12 * 0.001));
    Click(p->LampPower->HideButton);
    QVERIFY(lamp->PowerHidden);
    QVERIFY(lamp->RatedPower >= 0.1 && lamp->RatedPower <= 10);
    QCOMPARE(Text(p->LampCurrent), "???");
    QCOMPARE(p->Label17->text(), GetText(1224));
    // Apply with the current masked keeps the lamp's rating (the "???" is no number).
    const double power = lamp->RatedPower;
    Click(p->ApplyBtn);
    QVERIFY(Near(lamp->RatedPower, power));
    QCOMPARE(Text(p->LampCurrent), "???");
    Click(p->LampPower->HideButton);
    QCOMPARE(p->Label17->text(), GetText(1225));
    QVERIFY(Near(p->LampCurrent->Value, lamp->RatedCurrent));
}

void TestFloatCtrl::conductorHidesOneValueAtMost() {
    TPanelFixture f;
    auto* c = f.Take<TConductor>(KindConductor);
    TFloatControlPanel* p = f.Panel;
    QCOMPARE(Text(p->ConductorMaterial), "Медь");
    Click(p->ConductorSection->HideButton);
    QVERIFY(c->SectionHidden);
    const double section = c->Section;
    Click(p->ConductorLength->HideButton);
    QVERIFY(c->LengthHidden);
    QVERIFY(!c->SectionHidden);
    QVERIFY(!p->ConductorSection->IsHidden());
    QVERIFY(p->ConductorSection->ValueList->isEnabled());
    QCOMPARE(c->Section, section);
    QVERIFY(Near(p->ConductorSection->Value, section));
    QCOMPARE(Text(p->ConductorLength), "???");
    // Choosing another material keeps the length hidden.
    Pick(p->ConductorMaterial, "Нихром");
    QCOMPARE(c->Resistivity, 1.0);
    QVERIFY(c->LengthHidden);
    QCOMPARE(Text(p->ConductorLength), "???");
    // A hidden resistivity shown again is no material of the table: the list says so.
    Click(p->ConductorMaterial->HideButton);
    QVERIFY(c->ResistivityHidden && !c->LengthHidden);
    Click(p->ConductorMaterial->HideButton);
    QVERIFY(!c->ResistivityHidden);
    QCOMPARE(p->ConductorMaterial->ValueList->currentIndex(), -1);
    QCOMPARE(p->ConductorMaterial->ValueList->placeholderText(), GetText(507));
}

void TestFloatCtrl::materialListKeepsItsEntryOnEnter() {
    TPanelFixture f;
    auto* c = f.Take<TConductor>(KindConductor);
    Pick(f.Panel->ConductorMaterial, "Серебро");
    QCOMPARE(c->Resistivity, 0.0162);
    QTest::keyClick(f.Panel->ConductorMaterial->ValueList, Qt::Key_Return);
    QCOMPARE(Text(f.Panel->ConductorMaterial), "Серебро");
    QCOMPARE(c->Resistivity, 0.0162);
}

void TestFloatCtrl::switchPage() {
    TPanelFixture f;
    auto* s = f.Take<TSwitch>(KindSwitch);
    TFloatControlPanel* p = f.Panel;
    QCOMPARE(p->PageType, 6);
    QVERIFY(!p->SpeedButton21->isChecked());
    QVERIFY(SchemeSaved); // showing the switch changes nothing
    Click(p->SpeedButton21);
    QVERIFY(s->On);
    QCOMPARE(p->Label8->text(), GetText(1226));
    Click(p->ApplyBtn);
    QVERIFY(s->On);
    // A double click on the switch turns it and the page follows.
    s->OnSwitchOnOff();
    QVERIFY(!p->SpeedButton21->isChecked());
    QCOMPARE(p->Label8->text(), GetText(1227));
    Click(p->ApplyBtn);
    QVERIFY(!s->On);
}

void TestFloatCtrl::batteryModeAndPolarity() {
    TPanelFixture f;
    auto* b = f.Take<TBattery>(KindBattery);
    TFloatControlPanel* p = f.Panel;
    QVERIFY(!p->SpeedButton47->isChecked());
    QCOMPARE(Text(p->BatteryCapacity), GetText(1231));
    QVERIFY(!p->CapacityGroup->isEnabled());
    Click(p->SpeedButton47);
    QVERIFY(b->Discharging);
    QCOMPARE(p->SpeedButton47->text(), GetText(1228));
    QCOMPARE(Text(p->BatteryCapacity), "100.0");
    QCOMPARE(p->PanelValues.Flags & 0x18, 0x08u);
    Click(p->BatteryEmf->HideButton);
    QVERIFY(b->EmfHidden);
    Click(p->BitBtn1);
    QVERIFY(b->Reversed);
    QVERIFY(b->EmfHidden);
    QVERIFY(b->Discharging);
    // A discharging battery with reversed polarity shows its mode button down.
    Select(nullptr);
    QCOMPARE(p->PageType, 0);
    QVERIFY(!p->ApplyBtn->isEnabled());
    Select(b);
    QVERIFY(p->SpeedButton47->isChecked());
    QCOMPARE(Text(p->BatteryEmf), "???");
    Click(p->SpeedButton47);
    QVERIFY(!b->Discharging);
    QVERIFY(b->Reversed);
}

void TestFloatCtrl::burntPartShowsWhatItHas() {
    TPanelFixture f;
    auto* r = f.Take<TResistor>(KindResistor);
    r->BurnOut(true);
    Select(nullptr);
    Select(r);
    QCOMPARE(Text(f.Panel->ResistorValue), GetText(1231));
    Click(f.Panel->ApplyBtn);
    QCOMPARE(r->Resistance, 1E60);
    QCOMPARE(Text(f.Panel->ResistorValue), GetText(1231));
    Pick(f.Panel->ResistorPower, "10.0");
    QCOMPARE(r->MaxPower, 0.5);
    QCOMPARE(Text(f.Panel->ResistorPower), "0.5");
}

void TestFloatCtrl::wirePageEasterEgg() {
    TPanelFixture f;
    f.Take(KindWire);
    QCOMPARE(f.Panel->PageType, 9);
    QTest::mousePress(f.Panel->Label10, Qt::LeftButton, {}, QPoint(22, 7));
    QVERIFY(f.Seams.Messages.isEmpty());
    QTest::mousePress(f.Panel->Label10, Qt::RightButton, {}, QPoint(30, 7));
    QVERIFY(f.Seams.Messages.isEmpty());
    QTest::mousePress(f.Panel->Label10, Qt::RightButton, {}, QPoint(22, 7));
    QCOMPARE(f.Seams.Messages.size(), 1);
    QCOMPARE(f.Seams.Messages[0].Caption, "About ControlPanel");
    QVERIFY(f.Seams.Messages[0].Icon == TMsgIcon::Information);
}

void TestFloatCtrl::pagesFollowTheSelection() {
    TPanelFixture f;
    const struct {
        quint8 Kind;
        int Page;
        long Caption;
    } kinds[] = {{KindResistor, 1, 1238}, {KindCondensator, 2, 1239}, {KindInductance, 3, 1234},
                 {KindBattery, 4, 1235},  {KindSwitch, 6, 1247},      {KindLamp, 7, 1243},
                 {KindWire, 9, 1245},     {KindProtector, 10, 1237},  {KindConductor, 11, 1236},
                 {KindHeater, 14, 1241},  {KindVResistor, 12, 1242},  {KindVCondensator, 13, 1240}};
    for (const auto& k : kinds) {
        f.Take(k.Kind);
        QCOMPARE(f.Panel->PageType, k.Page);
        QCOMPARE(f.Panel->DetailPageControl->count(), 1);
        QCOMPARE(f.Panel->DetailPageControl->tabText(0), GetText(k.Caption));
        QVERIFY(f.Panel->ApplyBtn->isEnabled());
    }
    // Every page's values reach the part unchanged by Apply.
    for (TIron* part : QList<TIron*>(Parts)) {
        Select(part);
        TPanelValues before;
        QVERIFY(SelectedPanelValues(before));
        Click(f.Panel->ApplyBtn);
        TPanelValues after;
        QVERIFY(SelectedPanelValues(after));
        for (int i = 0; i < 4; ++i)
            QVERIFY2(Near(after.Values[i], before.Values[i], 1e-6) ||
                         after.Values[i] == before.Values[i],
                     qPrintable(QString("kind %1 slot %2").arg(part->Kind).arg(i)));
    }
    Select(nullptr);
    QCOMPARE(f.Panel->DetailPageControl->count(), 0);
    QVERIFY(!f.Panel->ApplyBtn->isEnabled());
}

void TestFloatCtrl::stateWindow() {
    TPanelFixture f;
    TIronState* s = f.State;
    QCOMPARE(s->Cell(1, 0), GetText(742));
    QCOMPARE(s->Cell(0, 2), "I" + GetText(182));
    // Battery and resistor in a loop: the state of each after a solve.
    auto* battery = f.Take<TBattery>(KindBattery);
    auto* r = CreatePart(KindResistor);
    r->ConnectNodes((*f.Board)(2, 1), (*f.Board)(2, 2));
    for (auto [a, b] : {std::pair{1, 1}, std::pair{1, 2}}) {
        TIron* wire = CreatePart(KindWire);
        wire->ConnectNodes((*f.Board)(a, b), (*f.Board)(a + 1, b));
    }
    f.Board->CircuitChanged = true;
    f.Board->Tick();
    Select(r);
    QCOMPARE(s->Cell(1, 1), FormatValue(1000) + " Ом");
    QCOMPARE(s->Cell(2, 1), "0 Ом");
    QVERIFY(s->Cell(1, 2).endsWith(" А") && s->Cell(1, 2) != "0 А");
    QCOMPARE(s->Cell(2, 4), "—");
    Select(battery);
    QCOMPARE(s->Cell(1, 3), FormatValue(1.5) + " В"); // a source shows its EMF
    // A value changed on the panel shows at once.
    Select(r);
    Pick(f.Panel->ResistorValue, "2.2");
    QCOMPARE(s->Cell(1, 1), FormatValue(2200) + " Ом");
    Select(nullptr);
    QCOMPARE(s->Cell(1, 1), QString());
    // Five equal rows, two equal value columns.
    s->SetClientSize(250, 110);
    QCOMPARE(s->ColumnWidth(1), 100);
    QCOMPARE(s->ColumnWidth(2), 100);
    QCOMPARE(s->RowHeight(), 20);
    // The close box hides it, and it keeps its values.
    bool shown = true;
    s->OnShownChanged = [&shown](bool v) { shown = v; };
    QTest::mouseClick(s, Qt::LeftButton, {}, s->CloseBox().center());
    QVERIFY(s->isHidden());
    QVERIFY(!shown);
    s->show();
    QVERIFY(shown);
    QCOMPARE(s->Cell(1, 0), GetText(742));
}

void TestFloatCtrl::changedValuesSurviveAFile() {
    TPanelFixture f;
    f.Take(KindResistor);
    Pick(f.Panel->ResistorValue, "4.7");
    Pick(f.Panel->ResistorPower, "2.0");
    auto* lamp = CreatePart(KindLamp);
    lamp->ConnectNodes((*f.Board)(3, 3), (*f.Board)(3, 4));
    Select(lamp);
    Pick(f.Panel->LampVoltage, "6.3");
    Click(f.Panel->LampCurrent->UnitButtons[5]);
    Pick(f.Panel->LampCurrent, "0.5");
    const QString path = f.Seams.Dir.filePath("panel.workbench");
    QVERIFY(SaveScheme(path));
    LoadScheme(path);
    QCOMPARE(Parts.size(), 2);
    auto* r = static_cast<TResistor*>(Parts[0]);
    QCOMPARE(r->Resistance, 4700.0);
    QCOMPARE(r->MaxPower, 2.0);
    auto* l = static_cast<TLamp*>(Parts[1]);
    QCOMPARE(l->RatedVoltage, 6.3);
    QCOMPARE(l->RatedCurrent, 0.5);
    Select(l);
    QCOMPARE(Text(f.Panel->LampCurrent), "500.0");
    QCOMPARE(Unit(f.Panel->LampCurrent), GetText(173) + GetText(160));
}

QTEST_MAIN(TestFloatCtrl)
#include "tst_floatctrl.moc"
