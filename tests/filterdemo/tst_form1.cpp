// The calculator's window driven as the student drives it: keys on the lists and the scroll bar,
// the mouse on the scroll bar's thumb, and the window's own loading.
#include "Filtercalc.h"
#include "Form1.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

namespace {

template <typename T = QWidget> T* Control(QWidget& form, const char* name) {
    T* w = form.findChild<T*>(QString::fromLatin1(name));
    if (!w) qFatal("no control %s", name);
    return w;
}

QString Text(QWidget& form, const char* name) {
    if (auto* label = form.findChild<QLabel*>(QString::fromLatin1(name))) return label->text();
    return Control<QLineEdit>(form, name)->text();
}

// C1, its unit, C2, its unit, as the window shows them.
QStringList Results(QWidget& form) {
    return {Text(form, "Text1"), Text(form, "Label4"), Text(form, "Text2"), Text(form, "Label5")};
}

// The same for a scroll bar number with the opening units, hertz and 22 kOhm.
QStringList ResultsAt(int number) {
    const TCapacitors c = FilterCapacitors(CutoffHertz(number, QStringLiteral("Гц")), 22e3);
    const TShownValue c1 = ShowMicrofarads(c.C1), c2 = ShowMicrofarads(c.C2);
    return {c1.Text, c1.Unit, c2.Text, c2.Unit};
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void opening();
    void inputs_data();
    void inputs();
    void everyScrollStepRecalculates_data();
    void everyScrollStepRecalculates();
    void draggingRecalculatesAtEveryStep();
    void loadingCalculatesOnceWhenLoaded();
    void controlsFitTheirText();
    void scrollBarTakesTheKeyboard();
    void noteIsShownWhole();
};

void TestForm1::opening() {
    Form1 form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Расчёт filterdemo"));
    QCOMPARE(Text(form, "Label3"), QStringLiteral("440"));
    QCOMPARE(Results(form), (QStringList{"23,2", "нф", "11,6", "нф"}));
    QVERIFY(Control<QPlainTextEdit>(form, "Text3")->toPlainText().startsWith("В качестве"));

    const QList<QStringList> lists = {FrequencyUnits(), ResistorValues(), ResistanceUnits()};
    const QStringList current = {"Гц", "22", "кОм"};
    for (int i = 0; i < 3; ++i) {
        auto* combo = Control<QComboBox>(form, qPrintable(QStringLiteral("Combo%1").arg(i + 1)));
        QCOMPARE(combo->count(), lists[i].size());
        for (int k = 0; k < combo->count(); ++k)
            QCOMPARE(combo->itemText(k), lists[i][k]);
        QCOMPARE(combo->currentText(), current[i]);
    }
}

void TestForm1::inputs_data() {
    // Keys on the scroll bar, then Down (positive) or Up (negative) presses on each list.
    QTest::addColumn<QList<int>>("scrollKeys");
    QTest::addColumn<QList<int>>("listSteps");
    QTest::addColumn<QString>("label3");
    QTest::addColumn<QStringList>("results");

    using K = QList<int>;
    using L = QStringList;
    QTest::newRow("1 kHz 10 kOhm")
        << K{Qt::Key_Home} << K{1, -8, 0} << "1" << L{"22,5", "нф", "11,2", "нф"};
    QTest::newRow("1 Hz 1 Ohm") << K{Qt::Key_Home} << K{0, -31, -1} << "1"
                                << L{"225079", "мкф", "112539,5", "мкф"};
    QTest::newRow("999 GHz 910 GOhm")
        << K{Qt::Key_End} << K{3, 39, 2} << "999" << L{"0", "пф", "0", "пф"};
    QTest::newRow("arrows") << K{Qt::Key_Right, Qt::Key_Right, Qt::Key_Left} << K{0, 0, 0} << "441"
                            << L{"23,1", "нф", "11,5", "нф"};
}

void TestForm1::inputs() {
    QFETCH(QList<int>, scrollKeys);
    QFETCH(QList<int>, listSteps);

    Form1 form;
    for (int key : scrollKeys)
        QTest::keyClick(Control(form, "HScroll1"), Qt::Key(key));
    for (int i = 0; i < 3; ++i) {
        QWidget* combo = Control(form, qPrintable(QStringLiteral("Combo%1").arg(i + 1)));
        for (int k = 0; k < qAbs(listSteps[i]); ++k)
            QTest::keyClick(combo, listSteps[i] < 0 ? Qt::Key_Up : Qt::Key_Down);
    }
    QTEST(Text(form, "Label3"), "label3");
    QTEST(Results(form), "results");
}

void TestForm1::everyScrollStepRecalculates_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("step");

    QTest::newRow("right arrow") << int(Qt::Key_Right) << 1;
    QTest::newRow("left arrow") << int(Qt::Key_Left) << -1;
    QTest::newRow("page down") << int(Qt::Key_PageDown) << 10;
    QTest::newRow("page up") << int(Qt::Key_PageUp) << -10;
}

void TestForm1::everyScrollStepRecalculates() {
    QFETCH(int, key);
    QFETCH(int, step);

    Form1 form;
    QSignalSpy recalculated(&form, &Form1::Recalculated);
    for (int i = 1; i <= 6; ++i) {
        QTest::keyClick(Control(form, "HScroll1"), Qt::Key(key));
        QCOMPARE(recalculated.count(), i);
        QCOMPARE(Text(form, "Label3"), QString::number(440 + i * step));
        QCOMPARE(Results(form), ResultsAt(440 + i * step));
    }
}

void TestForm1::draggingRecalculatesAtEveryStep() {
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* bar = Control<QScrollBar>(form, "HScroll1");

    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.orientation = Qt::Horizontal;
    opt.state |= QStyle::State_Horizontal;
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = opt.sliderValue = bar->value();
    opt.pageStep = bar->pageStep();
    const QPoint thumb =
        bar->style()
            ->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, bar)
            .center();

    QSignalSpy recalculated(&form, &Form1::Recalculated);
    QTest::mousePress(bar, Qt::LeftButton, {}, thumb);
    QVERIFY(bar->isSliderDown());
    int steps = 0, last = bar->sliderPosition();
    for (int dx = 1; dx <= 12; ++dx) {
        QTest::mouseMove(bar, thumb + QPoint(dx, 0));
        if (bar->sliderPosition() != last) {
            ++steps;
            last = bar->sliderPosition();
        }
        QCOMPARE(recalculated.count(), steps);
        QCOMPARE(Text(form, "Label3"), QString::number(last));
        QCOMPARE(Results(form), ResultsAt(last));
    }
    QVERIFY2(steps >= 5 && last > 440, "the thumb did not follow the mouse");

    QTest::mouseRelease(bar, Qt::LeftButton, {}, thumb + QPoint(12, 0));
    QCOMPARE(bar->value(), last);
    QCOMPARE(Text(form, "Label3"), QString::number(last));
    QCOMPARE(Results(form), ResultsAt(last));
}

void TestForm1::loadingCalculatesOnceWhenLoaded() {
    Form1 form;
    // Move every input away from its opening value, so that loading again changes each of them.
    for (const char* name : {"HScroll1", "Combo1", "Combo2", "Combo3"})
        QTest::keyClick(Control(form, name), Qt::Key_Down);
    QCOMPARE(Text(form, "Label3"), QStringLiteral("441"));

    QStringList seen; // the inputs each calculation found
    connect(&form, &Form1::Recalculated, this, [&] {
        seen << Text(form, "Label3") + " " + Control<QComboBox>(form, "Combo1")->currentText() +
                    " " + Control<QComboBox>(form, "Combo2")->currentText() + " " +
                    Control<QComboBox>(form, "Combo3")->currentText();
    });
    form.Form_Load();
    QCOMPARE(seen, QStringList{"440 Гц 22 кОм"});
    QCOMPARE(Results(form), (QStringList{"23,2", "нф", "11,6", "нф"}));
}

void TestForm1::controlsFitTheirText() {
    // With the longest texts the controls can show, no text is clipped and no control runs out
    // of its frame or into a neighbour.
    Form1 form;
    for (const char* name : {"Combo1", "Combo2", "Combo3"}) {
        auto* combo = Control<QComboBox>(form, name);
        combo->setCurrentIndex(combo->count() - 1);
    }
    Control<QLabel>(form, "Label4")->setText(QStringLiteral("мкф"));
    Control<QLabel>(form, "Label3")->setText(QStringLiteral("999"));

    const QList<QWidget*> controls = form.findChildren<QWidget*>(
        QRegularExpression(QStringLiteral("^(Frame|Label|Text|Combo|HScroll|Image)\\d$")));
    QCOMPARE(controls.size(), 17);
    for (QWidget* w : controls) {
        const QByteArray name = w->objectName().toLatin1();
        QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), name);
        const QSize need = qobject_cast<QLabel*>(w)      ? w->sizeHint()
                           : qobject_cast<QComboBox*>(w) ? w->minimumSizeHint()
                                                         : QSize(0, 0);
        QVERIFY2(need.width() <= w->width() && need.height() <= w->height(), name);
        for (QWidget* other : controls)
            if (other != w && other->parentWidget() == w->parentWidget())
                QVERIFY2(!w->geometry().intersects(other->geometry()),
                         name + " overlaps " + other->objectName().toLatin1());
    }
}

void TestForm1::scrollBarTakesTheKeyboard() {
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto* bar = Control<QScrollBar>(form, "HScroll1");
    // By a click on the bar's track, then arrow keys to the focused widget
    const int before = bar->value();
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 30, bar->height() / 2));
    QVERIFY(bar->hasFocus());
    const int clicked = bar->value();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QCOMPARE(bar->value(), clicked + 1);
    QVERIFY(clicked != before);
    // and by Tab, going round the window from the results
    Control(form, "Text1")->setFocus();
    for (int i = 0; i < 12 && !bar->hasFocus(); ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(bar->hasFocus());
}

void TestForm1::noteIsShownWhole() {
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* note = Control<QPlainTextEdit>(form, "Text3");
    // Nothing below the box's edge,
    QCOMPARE(note->verticalScrollBar()->maximum(), 0);
    // and every line ends between two words.
    const QString text = note->toPlainText();
    QTextLayout* layout = note->document()->firstBlock().layout();
    QVERIFY(layout->lineCount() > 1);
    for (int i = 0; i + 1 < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        const int end = line.textStart() + line.textLength();
        QVERIFY2(text.at(end - 1).isSpace() || text.at(end).isSpace(),
                 qPrintable(text.mid(line.textStart(), line.textLength())));
    }
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
