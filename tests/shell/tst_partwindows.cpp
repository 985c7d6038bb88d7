// The parameters panel and the part-state window in the main window: where start-up puts them,
// how the student and the teacher bring them up and put them away, and a value set on the panel
// as the multimeter then measures it.

#include "shell/Wiring.h"
#include "support/Mouse.h"
#include "support/Seams.h"

#include "board/Frmwork.h"
#include "components/Battery.h"
#include "components/Blackbug.h"
#include "components/Floatctrl.h"
#include "components/Iron.h"
#include "components/Ironstateform.h"
#include "components/Kinds.h"
#include "components/Vresistor.h"
#include "document/Scheme.h"
#include "instruments/Pribor.h"
#include "shell/Partwindows.h"
#include "shell/Workshop.h"
#include "solver/Calculate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <cmath>

namespace {
struct TWindow {
    TTestSeams Seams;
    TWorkshopForm Form;
    TMouse Mouse{&Form};

    TWindow() {
        Form.resize(1024, 768);
        Form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&Form));
        Form.TimerCat->stop(); // the tests tick by hand
        Solver::LogPath = Seams.Dir.filePath("LOG.LOG");
        JoinWindows(&Form);
        CreatePartWindows(&Form);
    }
    ~TWindow() {
        for (auto& panel : MultimeterPanels)
            delete panel.data();
    }
    TFloatControlPanel* Panel() const { return FloatControlForm; }
    QPoint Centre(QWidget* w) { return w->mapTo(&Form, w->rect().center()); }
    TIron* Put(quint8 kind, int r1, int c1, int r2, int c2) {
        TIron* part = CreatePart(kind);
        part->ConnectNodes((*Form.Board)(r1, c1), (*Form.Board)(r2, c2));
        part->show();
        return part;
    }
};

// A double click as the window system delivers it: press and release, then the second press
// comes as a double click, and its release.
void DoubleClick(QWidget* w) {
    const QPoint at = w->rect().center();
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
    QTest::mouseDClick(w, Qt::LeftButton, {}, at);
    QTest::mouseRelease(w, Qt::LeftButton, {}, at);
}

void Pick(QComboBox* list, const QString& entry) {
    const int index = list->findText(entry);
    QVERIFY(index >= 0);
    list->showPopup();
    QAbstractItemView* view = list->view();
    QVERIFY(QTest::qWaitForWindowExposed(view->window()));
    const QModelIndex item = view->model()->index(index, 0);
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    QTRY_VERIFY(!view->isVisible());
}
} // namespace

class TestPartWindows : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void bothWindowsWaitHiddenUnderTheToolBar();
    void doubleClickShowsThePanel();
    void buttonsShowAndHideTheirWindows();
    void clickOnTheBenchDeselects();
    void meterReadsTheValueSetOnThePanel();
    void keysReachTheVariablePartAfterThePanel();
    void blackBoxNamesItsContentToTheTeacher();
    void metersOpenClearOfTheToolBarAndStayOnScreen();
};

void TestPartWindows::initTestCase() {
    QVERIFY(LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/English.lng"));
    RegisterPartKinds();
    TIron::ExecuteStartups();
    QVERIFY(TPriborPanel::PictureStartup());
}

void TestPartWindows::bothWindowsWaitHiddenUnderTheToolBar() {
    TWindow w;
    TFloatControlPanel* panel = w.Panel();
    QVERIFY(panel);
    QCOMPARE(FloatControlPanel, panel);
    QCOMPARE(IronStateForm, IronStateWindow);
    QVERIFY(panel->isHidden());
    QVERIFY(IronStateWindow->isHidden());
    const int top = w.Form.ControlBar->geometry().bottom() + 1;
    QCOMPARE(panel->pos(), QPoint(0, top));
    QCOMPARE(IronStateWindow->pos(), QPoint(panel->width(), top));
    QCOMPARE(panel->parentWidget(), &w.Form);
    QVERIFY(w.Form.btnFloatControl->isEnabled());
    QVERIFY(w.Form.btnIronState->isEnabled());
    QVERIFY(!w.Form.btnFloatControl->isChecked());
    QCOMPARE(panel->PageType, 0);
}

void TestPartWindows::doubleClickShowsThePanel() {
    TWindow w;
    TIron* part = w.Put(KindResistor, 2, 2, 2, 3);
    DoubleClick(part);
    QCOMPARE(SelectedPart, part);
    QVERIFY(w.Panel()->isVisible());
    QCOMPARE(w.Panel()->PageType, 1);
    QCOMPARE(w.Panel()->DetailPageControl->tabText(0), GetText(1238));
    QVERIFY(w.Form.btnFloatControl->isChecked());
    // Another part's double click turns the panel to its page.
    TIron* capacitor = w.Put(KindCondensator, 4, 4, 4, 5);
    DoubleClick(capacitor);
    QCOMPARE(w.Panel()->PageType, 2);
    ClearBoard();
}

void TestPartWindows::buttonsShowAndHideTheirWindows() {
    TWindow w;
    QToolButton* button = w.Form.btnFloatControl;
    w.Mouse.Click(w.Centre(button));
    QVERIFY(w.Panel()->isVisible());
    QVERIFY(button->isChecked());
    QVERIFY(w.Seams.Sounds.contains("wavComeOn"));
    // Held for one tick, so that a double press does not hide what it just showed.
    QVERIFY(!button->isEnabled());
    w.Form.OnTimer();
    QVERIFY(button->isEnabled());
    w.Mouse.Click(w.Centre(button));
    QVERIFY(w.Panel()->isHidden());
    QVERIFY(!button->isChecked());
    w.Form.OnTimer();
    // The close box hides the panel as well and releases the button.
    w.Mouse.Click(w.Centre(button));
    QVERIFY(w.Panel()->isVisible());
    w.Mouse.Click(w.Panel()->mapTo(&w.Form, w.Panel()->CloseBox().center()));
    QVERIFY(w.Panel()->isHidden());
    QVERIFY(!button->isChecked());

    QToolButton* state = w.Form.btnIronState;
    w.Form.OnTimer();
    w.Mouse.Click(w.Centre(state));
    QVERIFY(IronStateWindow->isVisible());
    QVERIFY(state->isChecked());
    w.Form.OnTimer();
    w.Mouse.Click(w.Centre(state));
    QVERIFY(IronStateWindow->isHidden());
    QVERIFY(!state->isChecked());
}

void TestPartWindows::clickOnTheBenchDeselects() {
    TWindow w;
    TIron* part = w.Put(KindResistor, 2, 2, 2, 3);
    w.Mouse.Click(w.Centre(part));
    QCOMPARE(SelectedPart, part);
    QCOMPARE(w.Panel()->PageType, 1);
    QVERIFY(!IronStateWindow->Cell(1, 1).isEmpty());
    w.Mouse.Click(QPoint(300, 600));
    QVERIFY(!SelectedPart);
    QCOMPARE(w.Panel()->PageType, 0);
    QVERIFY(IronStateWindow->Cell(1, 1).isEmpty());
    ClearBoard();
}

void TestPartWindows::meterReadsTheValueSetOnThePanel() {
    TWindow w;
    // A 1.5 V battery, a fixed 1 kΩ and the resistor the student sets, in one loop.
    auto* battery = static_cast<TBattery*>(w.Put(KindBattery, 1, 1, 2, 1));
    TIron* fixed = w.Put(KindResistor, 1, 1, 1, 2);
    TIron* chosen = w.Put(KindResistor, 1, 2, 2, 2);
    TIron* wire = w.Put(KindWire, 2, 1, 2, 2);
    w.Form.Windows.CreateMultimeter();
    TPriborPanel* meter = MultimeterPanels[0];
    QVERIFY(meter);
    meter->Element()->ConnectNodes((*w.Form.Board)(2, 2), (*w.Form.Board)(1, 2));
    meter->SwitchTo(17); // direct volts, 20 V range

    DoubleClick(chosen);
    QVERIFY(w.Panel()->isVisible());
    Pick(w.Panel()->ResistorValue->ValueList, "4.7");
    QCOMPARE(chosen->Resistance, 4700.0);
    w.Form.Board->Tick();
    const double across = 1 / (1 / 4700.0 + 1 / 2E6);
    const double volts = battery->GetEmf() * across /
                         (battery->Resistance + fixed->Resistance + wire->Resistance + across);
    QCOMPARE(std::floor(meter->ShownValue * 100), std::floor(volts * 100));
    QCOMPARE(meter->Display.Text(), QString("  1.23"));

    // Typed on the list: 22 of the unit shown.
    QComboBox* list = w.Panel()->ResistorValue->ValueList;
    list->setFocus();
    list->lineEdit()->selectAll();
    QTest::keyClicks(list, "22");
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(chosen->Resistance, 22000.0);
    w.Form.Board->Tick();
    QCOMPARE(meter->Display.Text(), QString("  1.43"));
    ClearBoard();
}

void TestPartWindows::keysReachTheVariablePartAfterThePanel() {
    TWindow w;
    auto* rheostat = static_cast<TVResistor*>(w.Put(KindVResistor, 2, 2, 2, 3));
    DoubleClick(rheostat); // on the body, beside the slider
    QCOMPARE(w.Panel()->PageType, 12);
    QComboBox* list = w.Panel()->VarResistorValue->ValueList;
    Pick(list, "2.0");
    QCOMPARE(rheostat->MaxResistance, 2000.0);
    QCOMPARE(rheostat->Resistance, 1500.0); // the slider kept its step
    list->setFocus();
    QTest::keyClick(list, 'R'); // into the list: swallowed there
    QCOMPARE(rheostat->HandlePosition, 15);
    // A press on the part gives the keys back to the bench.
    QTest::mouseClick(rheostat, Qt::LeftButton, {}, QPoint(30, 40));
    QTest::keyClick(QApplication::focusWidget(), 'R');
    QTest::keyClick(QApplication::focusWidget(), 'R');
    QCOMPARE(rheostat->HandlePosition, 17);
    QTest::keyClick(QApplication::focusWidget(), 'r');
    QCOMPARE(rheostat->HandlePosition, 16);
    QCOMPARE(rheostat->Resistance, 1600.0);
    ClearBoard();
}

void TestPartWindows::blackBoxNamesItsContentToTheTeacher() {
    TWindow w;
    for (TBoxItem* item : w.Form.BoxItems)
        QVERIFY(item->isEnabled());
    auto* box = new TBlackBug(TBlackBug::Coil);
    box->ConnectNodes((*w.Form.Board)(2, 2), (*w.Form.Board)(2, 3));
    box->show();
    w.Form.btnIronState->setVisible(false);
    QCOMPARE(box->GetHint(), GetText(502));
    w.Form.btnIronState->setVisible(true);
    QVERIFY(box->GetHint().startsWith(GetText(233)));
    // Its double click shows the panel without a page.
    DoubleClick(box);
    QVERIFY(w.Panel()->isVisible());
    QCOMPARE(w.Panel()->PageType, 0);
    // A battery box closes the generators' compartment of the parts box.
    box->SetVariant(TBlackBug::Battery);
    for (TBoxItem* item : w.Form.BoxItems)
        if (item->Tag == KindGenerator) QVERIFY(!item->isEnabled());
    ClearBoard();
    for (TBoxItem* item : w.Form.BoxItems)
        QVERIFY(item->isEnabled());
}

namespace {
// Drags a widget by the point `from` (its own coordinates) by `by`, as the mouse would.
void DragBy(QWidget* w, QPoint from, QPoint by) {
    const QPoint to = from + by;
    QMouseEvent press(QEvent::MouseButtonPress, from, w->mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, {});
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent move(QEvent::MouseMove, to, w->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(w, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, w->mapToGlobal(to), Qt::LeftButton,
                        Qt::NoButton, {});
    QCoreApplication::sendEvent(w, &release);
}
} // namespace

void TestPartWindows::metersOpenClearOfTheToolBarAndStayOnScreen() {
    TWindow w;
    w.Form.Windows.CreateMultimeter();
    w.Form.Windows.CreateMultimeter();
    QVERIFY(MultimeterPanels[0] && MultimeterPanels[1]);
    for (TPriborPanel* meter : {MultimeterPanels[0].data(), MultimeterPanels[1].data()}) {
        for (QToolButton* button : w.Form.findChildren<QToolButton*>()) {
            if (!button->isVisible()) continue;
            const QRect at(button->mapTo(&w.Form, QPoint(0, 0)), button->size());
            QVERIFY2(!meter->geometry().intersects(at), qPrintable(button->objectName()));
        }
    }
    // Thrown towards every corner by its caption, a meter keeps its caption and close box on
    // the screen.
    TPriborPanel* meter = MultimeterPanels[1];
    const QRect screen = w.Form.rect();
    for (QPoint by :
         {QPoint(-3000, -3000), QPoint(3000, 3000), QPoint(-3000, 3000), QPoint(3000, -3000)}) {
        DragBy(meter, QPoint(40, 6), by);
        QVERIFY(screen.contains(QRect(meter->pos(), QSize(meter->width(), 15))));
    }
    // and dragged by its face (the display) as well
    DragBy(meter->PriborImage, TPriborPanel::RegionCentre(20), QPoint(-3000, -3000));
    QCOMPARE(meter->pos(), QPoint(0, 0));
}

QTEST_MAIN(TestPartWindows)
#include "tst_partwindows.moc"
