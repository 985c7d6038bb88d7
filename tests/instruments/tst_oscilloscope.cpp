// The oscilloscope: the trace points it computes from a channel's voltage, the trigger and its
// unlocked copies, the mains figure, the slider every fine control is made of, the screen's
// frames in both drawing modes and on both refresh paths, the controls and labels of the panel,
// the main window's button, and a real RC circuit measured with leads dragged by the mouse.

#include "MeterFixture.h"
#include "board/Host.h"
#include "shell/Wiring.h"
#include "support/TestParts.h"

#include "components/Condensator.h"
#include "components/Generator.h"
#include "components/Iron.h"
#include "components/Kinds.h"
#include "components/Resistor.h"
#include "components/Wire.h"
#include "instruments/Oscpanel.h"
#include "instruments/Percentscroller.h"
#include "shell/Global.h"
#include "shell/Workshop.h"

#include <QComboBox>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <cmath>
#include <limits>

namespace {
constexpr double Pi = 3.14159265358979323846;
constexpr double Mains = 2 * Pi * 50;
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// A board with an oscilloscope made as its button makes it; the button's state is recorded.
struct TScopeFixture : TMeterFixture {
    TScopeFixture() {
        BenchHost.EnableOscilloscopeButton = [this](bool enabled) { ScopeButton.append(enabled); };
        Panel = ShowNewOscilloscope(&Window);
    }
    ~TScopeFixture() {
        delete OscilloscopePanel.data();
        BenchHost.EnableOscilloscopeButton = nullptr;
    }

    // The voltage the solver would leave on a channel's 10 MΩ input.
    void Feed(int channel, TComplex volts, double omega, bool ac) {
        CircuitOmega = omega;
        TOscillograph* input = channel == 1 ? Panel->ChannelA() : Panel->ChannelB();
        input->AcDriven = ac;
        input->SetCurrent(volts / TOscillograph::InputResistance);
    }
    void Gain(int channel, int item) {
        QComboBox* list = channel == 1 ? Panel->ComboBox1 : Panel->ComboBox2;
        list->setCurrentIndex(item);
    }

    TOscillographPanel* Panel = nullptr;
    QList<bool> ScopeButton;
};

int Beam(const QImage& screen, int x, int y) {
    return screen.rect().contains(x, y) ? qGreen(screen.pixel(x, y)) : -1;
}
} // namespace

class TestOscilloscope : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    // The traces.
    void directCurrentIsALevelLine_data();
    void directCurrentIsALevelLine();
    void alternatingCurrentShowsItsPeak_data();
    void alternatingCurrentShowsItsPeak();
    void triggerStartsTheTraceOnItsSlope_data();
    void triggerStartsTheTraceOnItsSlope();
    void channelPhase_data();
    void channelPhase();
    void ghostCount_data();
    void ghostCount();
    void isTriggered_data();
    void isTriggered();
    void levelPastTheAmplitudeUnlocks();
    void gainOfTheSyncChannelRedrawsBoth();
    void mainsDrawsALissajousFigure();
    void nothingUnboundedReachesTheScreen_data();
    void nothingUnboundedReachesTheScreen();
    void frequencyChangeReachesTheChannels();

    // The slider.
    void scrollerSetters_data();
    void scrollerSetters();
    void scrollerFollowsTheMouseWithinItsTrack();

    // The screen.
    void realScanningSegments_data();
    void realScanningSegments();
    void framesOfEachDrawingMode();
    void brightness_data();
    void brightness();
    void separateDisplayDrawsOnTheUserInterfaceThread();

    // The panel.
    void panelStartsAsItsButtonLeavesIt();
    void labelsAndMarksResetTheirControls();
    void popupMenuAndScreenDrag();
    void closingRemovesBothInputs();
    void mainWindowButton();
    void measuresAnRcCircuitWithTheMouse();
};

void TestOscilloscope::initTestCase() {
    RegisterPartKinds();
    TIron::ExecuteStartups();
}

void TestOscilloscope::init() {
    QVERIFY(LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/Russian.lng"));
}

// --- The traces ----------------------------------------------------------------------------------

void TestOscilloscope::directCurrentIsALevelLine_data() {
    QTest::addColumn<int>("channel");
    QTest::addColumn<double>("volts");
    QTest::addColumn<int>("gainItem"); // 15 is 1 V/div, 16 is 2 V/div
    QTest::addColumn<double>("shift");
    QTest::addColumn<int>("row");
    // Rows are axis - trunc(divisions × 21): A's axis is row 47, B's row 131.
    QTest::newRow("A, 1 V at 2 V/div") << 1 << 1.0 << 16 << 0.0 << 47 - 10;
    QTest::newRow("A, 1 V at 2 V/div, shifted up 1") << 1 << 1.0 << 16 << 1.0 << 47 - 31;
    QTest::newRow("B, -3 V at 2 V/div") << 2 << -3.0 << 16 << 0.0 << 131 + 31;
    QTest::newRow("A, leads in their sockets, shifted down 1") << 1 << 0.0 << 15 << -1.0 << 47 + 21;
    QTest::newRow("B, far off the scale is held at the edge") << 2 << 500.0 << 15 << 0.0 << -1;
}

void TestOscilloscope::directCurrentIsALevelLine() {
    QFETCH(int, channel);
    QFETCH(double, volts);
    QFETCH(int, gainItem);
    QFETCH(double, shift);
    QFETCH(int, row);
    TScopeFixture f;
    f.Gain(channel, gainItem);
    (channel == 1 ? f.Panel->ShiftA : f.Panel->ShiftB)->SetValue(shift);
    f.Feed(channel, volts, 0, false);
    QVERIFY(f.Panel->IsTriggered());
    const TScopeModel& m = f.Panel->Model;
    for (int j = 0; j < m.Width(); ++j)
        QCOMPARE(m.Trace(channel - 1)[size_t(j)], QPoint(m.Column(j), row));
}

void TestOscilloscope::alternatingCurrentShowsItsPeak_data() {
    QTest::addColumn<int>("channel");
    QTest::addColumn<double>("effective");
    QTest::addColumn<int>("gainItem");
    QTest::addColumn<double>("peakDivisions");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("bottom");
    // 5 ms/div shows a 50 Hz period in 84 columns; peak = √2 × effective.
    QTest::newRow("A, 0.5 V at 0.5 V/div") << 1 << 0.5 << 14 << 1.41421356 << 47 - 29 << 47 + 29;
    QTest::newRow("B, 1 V at 1 V/div") << 2 << 1.0 << 15 << 1.41421356 << 131 - 29 << 131 + 29;
    QTest::newRow("B, 10 V at 10 V/div") << 2 << 10.0 << 18 << 1.41421356 << 131 - 29 << 131 + 29;
    QTest::newRow("A, 10 V at 2 V/div: 7.07 divisions")
        << 1 << 10.0 << 16 << 7.0710678 << -1 << 178;
}

void TestOscilloscope::alternatingCurrentShowsItsPeak() {
    QFETCH(int, channel);
    QFETCH(double, effective);
    QFETCH(int, gainItem);
    QFETCH(double, peakDivisions);
    QFETCH(int, top);
    QFETCH(int, bottom);
    TScopeFixture f;
    f.Panel->ComboBox3->setCurrentIndex(23); // 5 ms/div
    f.Gain(channel, gainItem);
    f.Panel->SetSyncSource(channel - 1);
    f.Feed(channel, TComplex(0, effective), Mains, true);
    const TScopeChannel& c = f.Panel->Model.Channel[channel - 1];
    QVERIFY(c.IsAc);
    QVERIFY(std::fabs(c.AmplitudeDiv - peakDivisions) < 1e-6);
    int high = 1000, low = -1000;
    for (const QPoint& p : f.Panel->Model.Trace(channel - 1)) {
        high = std::min(high, p.y());
        low = std::max(low, p.y());
    }
    QCOMPARE(high, top);
    QCOMPARE(low, bottom);
}

void TestOscilloscope::triggerStartsTheTraceOnItsSlope_data() {
    QTest::addColumn<double>("levelPercent");
    QTest::addColumn<bool>("rising");
    QTest::newRow("75 %: rising zero crossing") << 75.0 << true;
    QTest::newRow("25 %: falling zero crossing") << 25.0 << false;
}

void TestOscilloscope::triggerStartsTheTraceOnItsSlope() {
    QFETCH(double, levelPercent);
    QFETCH(bool, rising);
    TScopeFixture f;
    f.Panel->ComboBox3->setCurrentIndex(23);
    f.Gain(1, 15);
    f.Gain(2, 15);
    f.Panel->LevelSlider->SetPercent(levelPercent);
    // A at an arbitrary phase, B 60 degrees behind it.
    const TComplex a = std::polar(1.0, 2.0), b = std::polar(0.5, 2.0 - Pi / 3);
    f.Feed(1, a, Mains, true);
    f.Feed(2, b, Mains, true);
    const TScopeModel& m = f.Panel->Model;
    QVERIFY(f.Panel->IsTriggered());
    QCOMPARE(m.Trace(0)[0], QPoint(0, 47));
    QCOMPARE(m.Trace(0)[3].y() < 47, rising); // rows grow downwards
    // B keeps its lag behind A: it starts at sin(-60°) on its own rising or falling sine.
    const double bStart = std::sqrt(2.0) * 0.5 * std::sin(-Pi / 3 + (rising ? 0 : Pi));
    QCOMPARE(m.Trace(1)[0].y(), 131 - int(std::trunc(bStart * 21)));
}

void TestOscilloscope::channelPhase_data() {
    QTest::addColumn<double>("re");
    QTest::addColumn<double>("im");
    QTest::addColumn<double>("phase");
    QTest::newRow("positive real") << 1.0 << 0.0 << 0.0;
    QTest::newRow("first quadrant") << 1.0 << 1.0 << Pi / 4;
    QTest::newRow("negative real") << -2.0 << 0.0 << Pi;
    QTest::newRow("third quadrant") << -1.0 << -1.0 << 5 * Pi / 4;
    QTest::newRow("fourth quadrant") << 1.0 << -1.0 << 7 * Pi / 4;
    QTest::newRow("real part below 1e-15") << 1e-16 << 1.0 << 0.0;
    QTest::newRow("not a number") << NaN << 1.0 << 0.0;
    QTest::newRow("infinite both ways") << Inf << Inf << 0.0;
}

void TestOscilloscope::channelPhase() {
    QFETCH(double, re);
    QFETCH(double, im);
    QFETCH(double, phase);
    QVERIFY(std::fabs(ChannelPhase(re, im) - phase) < 1e-12);
}

void TestOscilloscope::ghostCount_data() {
    QTest::addColumn<double>("amplitude");
    QTest::addColumn<double>("advance");
    QTest::addColumn<int>("count");
    const double a = 1;
    QTest::newRow("slow: 0.2") << a << 0.2 << 20;
    QTest::newRow("0.25") << a << 0.25 << 19;
    QTest::newRow("0.4") << a << 0.4 << 16;
    QTest::newRow("0.45") << a << 0.45 << 15;
    QTest::newRow("0.6") << a << 0.6 << 14;
    QTest::newRow("0.65") << a << 0.65 << 13;
    QTest::newRow("0.8") << a << 0.8 << 12;
    QTest::newRow("0.9") << a << 0.9 << 11;
    QTest::newRow("1") << a << 1.0 << 10;
    QTest::newRow("1.5") << a << 1.5 << 9;
    QTest::newRow("3") << a << 3.0 << 8;
    QTest::newRow("4") << a << 4.0 << 7;
    QTest::newRow("5") << a << 5.0 << 4;
    QTest::newRow("fast: 5.01") << a << 5.01 << 3;
    QTest::newRow("small signal, slow") << 0.19 << 0.1 << 4;
    QTest::newRow("small signal, fast") << 0.0 << 9.0 << 4;
    QTest::newRow("0.2 divisions") << 0.2 << 9.0 << 10;
    QTest::newRow("0.69 divisions") << 0.69 << 0.1 << 10;
    QTest::newRow("0.7 divisions keeps the speed's count") << 0.7 << 9.0 << 3;
}

void TestOscilloscope::ghostCount() {
    QFETCH(double, amplitude);
    QFETCH(double, advance);
    QFETCH(int, count);
    QCOMPARE(GhostCount(amplitude, advance), count);
}

void TestOscilloscope::isTriggered_data() {
    QTest::addColumn<int>("source");
    QTest::addColumn<bool>("ac");
    QTest::addColumn<double>("amplitudeDiv");
    QTest::addColumn<double>("level");
    QTest::addColumn<bool>("locked");
    QTest::newRow("mains") << 2 << true << 0.0 << 4.0 << true;
    QTest::newRow("DC sync channel") << 0 << false << 0.0 << 4.0 << true;
    QTest::newRow("AC, no signal") << 0 << true << 0.0 << 2.0 << false;
    QTest::newRow("AC, below 1e-5 division") << 1 << true << 5e-6 << 2.0 << false;
    QTest::newRow("AC, level 0 within 1 division") << 1 << true << 1.0 << 2.0 << true;
    QTest::newRow("AC, level at the peak") << 0 << true << 2.0 << 4.0 << true;
    QTest::newRow("AC, level past the peak") << 0 << true << 1.0 << 4.0 << false;
    QTest::newRow("AC, falling level past the peak") << 0 << true << 1.9 << -4.0 << false;
    QTest::newRow("AC, negative amplitude") << 0 << true << -1.0 << 2.5 << true;
}

void TestOscilloscope::isTriggered() {
    QFETCH(int, source);
    QFETCH(bool, ac);
    QFETCH(double, amplitudeDiv);
    QFETCH(double, level);
    QFETCH(bool, locked);
    TScopeModel m;
    for (TScopeChannel& c : m.Channel) {
        c.IsAc = ac;
        c.AmplitudeDiv = amplitudeDiv;
    }
    m.SetTriggerLevel(level);
    m.SetSyncSource(source);
    QCOMPARE(m.IsTriggered(), locked);
}

void TestOscilloscope::levelPastTheAmplitudeUnlocks() {
    TScopeFixture f;
    f.Panel->ComboBox3->setCurrentIndex(23);
    f.Gain(1, 15);
    f.Feed(1, TComplex(0.5 / std::sqrt(2.0), 0), Mains, true); // 0.5 V peak: 0.5 division
    f.Panel->LevelSlider->SetPercent(100);
    QVERIFY(!f.Panel->IsTriggered());
    const TScopeModel& m = f.Panel->Model;
    QCOMPARE(m.GhostTraces(0), 10);
    // The copies lie 2π/10 apart: their first points differ.
    QVERIFY(m.Ghost(0, 0)[0].y() != m.Ghost(0, 3)[0].y());
    // Each whole-trace frame moves every copy 7 columns to the right.
    const std::vector<QPoint> before = m.Ghost(0, 1);
    f.Panel->DrawWholeTrace();
    const std::vector<QPoint>& after = m.Ghost(0, 1);
    for (int j = 0; j + 7 < m.Width(); ++j)
        QCOMPARE(after[size_t(j + 7)], QPoint(m.Column(j + 7), before[size_t(j)].y()));
    // Back within the amplitude, the picture locks again.
    f.Panel->Label6DblClick();
    QVERIFY(f.Panel->IsTriggered());
}

void TestOscilloscope::gainOfTheSyncChannelRedrawsBoth() {
    // B's start phase hangs on A's amplitude through the trigger level: a new gain on A must
    // leave no stale trace of B behind.
    TScopeFixture f;
    f.Gain(1, 15);
    f.Gain(2, 15);
    f.Panel->LevelSlider->SetPercent(90);
    f.Feed(1, std::polar(2 / std::sqrt(2.0), 1.0), Mains, true);
    f.Feed(2, std::polar(1 / std::sqrt(2.0), 0.2), Mains, true);
    const std::vector<QPoint> before = f.Panel->Model.Trace(1);
    f.Gain(1, 14); // 0.5 V/div: A's amplitude doubles, the level's angle halves
    QVERIFY(f.Panel->IsTriggered());
    const std::vector<QPoint> shown = f.Panel->Model.Trace(1);
    QVERIFY(shown != before);
    f.Panel->Model.ComputeTrace(1);
    QCOMPARE(shown, f.Panel->Model.Trace(1));
}

void TestOscilloscope::mainsDrawsALissajousFigure() {
    TScopeFixture f;
    f.Gain(1, 15);
    f.Feed(1, TComplex(1, 0), Mains, true);
    f.Panel->SyncBtnNet->click();
    QCOMPARE(f.Panel->SyncSource(), 2);
    const TScopeModel& m = f.Panel->Model;
    double t = 0;
    for (int j = 0; j < m.Width(); ++j, t += m.ColumnStep()) {
        const QPoint p = m.Trace(0)[size_t(j)];
        QCOMPARE(p.x(), int(std::trunc(2 * std::cos(t) / m.ColumnStep())) + 140);
        QVERIFY(p.x() >= 140 - 42 && p.x() <= 140 + 42);
    }
}

void TestOscilloscope::nothingUnboundedReachesTheScreen_data() {
    QTest::addColumn<double>("voltsPerDiv");
    QTest::addColumn<TComplex>("volts");
    QTest::addColumn<double>("omega");
    QTest::addColumn<bool>("ac");
    QTest::addColumn<int>("source");
    QTest::newRow("no gain, AC") << 0.0 << TComplex(1, 1) << Mains << true << 1;
    QTest::newRow("no gain, DC zero") << 0.0 << TComplex(0, 0) << 0.0 << false << 0;
    QTest::newRow("infinite voltage") << 1.0 << TComplex(Inf, 0) << Mains << true << 0;
    QTest::newRow("not a number, DC") << 1.0 << TComplex(NaN, NaN) << 0.0 << false << 0;
    QTest::newRow("not a number, mains") << 1.0 << TComplex(NaN, 0) << Mains << true << 2;
    QTest::newRow("infinite frequency") << 1.0 << TComplex(1, 0) << Inf << true << 1;
}

void TestOscilloscope::nothingUnboundedReachesTheScreen() {
    QFETCH(double, voltsPerDiv);
    QFETCH(TComplex, volts);
    QFETCH(double, omega);
    QFETCH(bool, ac);
    QFETCH(int, source);
    TScopeFixture f;
    f.Panel->SetSyncSource(source);
    f.Panel->FineGainA->SetRange(voltsPerDiv, voltsPerDiv);
    f.Feed(1, volts, omega, ac);
    f.Panel->LevelSlider->SetPercent(100);
    const TScopeModel& m = f.Panel->Model;
    auto inBounds = [&](const std::vector<QPoint>& trace) {
        for (const QPoint& p : trace)
            if (p.x() < -1 || p.x() > m.Width() || p.y() < -1 || p.y() > m.Height()) return false;
        return true;
    };
    QVERIFY(inBounds(m.Trace(0)));
    for (int k = 0; k < TScopeModel::MaxGhosts; ++k)
        QVERIFY(inBounds(m.Ghost(0, k)));
    f.Panel->DrawWholeTrace();
    f.Panel->SetConstantRay(false);
    f.Panel->DrawMovingBeam();
}

void TestOscilloscope::frequencyChangeReachesTheChannels() {
    TScopeFixture f;
    f.Feed(1, TComplex(1, 0), Mains, true);
    QCOMPARE(f.Panel->Model.Channel[0].Omega, Mains);
    // A generator's new frequency reaches the screen at once, without a solve.
    auto* generator = new TGenerator;
    generator->SetFrequency(2 * Pi * 1000);
    QCOMPARE(f.Panel->Model.Channel[0].Omega, 2 * Pi * 1000);
    QCOMPARE(f.Panel->Model.Channel[1].Omega, 2 * Pi * 1000);
    delete generator;
    QCOMPARE(f.Panel->Model.Channel[0].Omega, 0.0);
}

// --- The slider ----------------------------------------------------------------------------------

void TestOscilloscope::scrollerSetters_data() {
    // Each step: 'r' SetRange(a, b), 'v' SetValue(a), 'p' SetPercent(a); then what it shows.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("percent");
    QTest::addColumn<int>("thumb");
    QTest::newRow("value in range") << "v 5" << 5.0 << 50.0 << 50;
    QTest::newRow("value below min") << "v -3" << 0.0 << 0.0 << 0;
    QTest::newRow("value above max") << "v 30" << 10.0 << 100.0 << 100;
    QTest::newRow("percent over 100") << "p 150" << 10.0 << 100.0 << 100;
    QTest::newRow("percent below 0") << "p -5" << 0.0 << 0.0 << 0;
    QTest::newRow("thumb from whole percent") << "p 33.9" << 3.39 << 33.9 << 33;
    QTest::newRow("new range keeps the percentage") << "p 30;r 10 20" << 13.0 << 30.0 << 30;
    QTest::newRow("value then range") << "v 2.5;r -8 8" << -4.0 << 25.0 << 25;
    QTest::newRow("empty range") << "r 4 4;v 7" << 4.0 << 0.0 << 0;
}

void TestOscilloscope::scrollerSetters() {
    QFETCH(QString, steps);
    QFETCH(double, value);
    QFETCH(double, percent);
    QFETCH(int, thumb);
    QWidget parent;
    double first = -1, second = -1;
    TPercentScroller s(&parent, 0, 0, 0, 10, &first, &second, 100);
    int changes = 0;
    s.OnChange = [&](TPercentScroller*) { ++changes; };
    const QStringList list = steps.split(';');
    for (const QString& step : list) {
        const QStringList w = step.split(' ');
        if (w[0] == "r") s.SetRange(w[1].toDouble(), w[2].toDouble());
        if (w[0] == "v") s.SetValue(w[1].toDouble());
        if (w[0] == "p") s.SetPercent(w[1].toDouble());
    }
    QVERIFY(std::fabs(s.Value - value) < 1e-12);
    QVERIFY(std::fabs(s.Percent - percent) < 1e-12);
    QCOMPARE(s.ThumbPos, thumb);
    QCOMPARE(first, s.Value);
    QCOMPARE(second, s.Value);
    QCOMPARE(changes, list.size());
    QCOMPARE(s.size(), QSize(110, 13));
}

void TestOscilloscope::scrollerFollowsTheMouseWithinItsTrack() {
    QWidget parent;
    parent.resize(200, 40);
    TPercentScroller s(&parent, 10, 10, -4, 4, nullptr, nullptr, 100);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    // A press on the track puts the thumb there at once.
    QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(30, 6));
    QCOMPARE(s.ThumbPos, 25);
    QCOMPARE(s.Value, -2.0);
    // Dragged past either end, it stays at that end.
    QTest::mouseMove(&s, QPoint(150, 6));
    QCOMPARE(s.ThumbPos, 100);
    QCOMPARE(s.Value, 4.0);
    QTest::mouseMove(&s, QPoint(-40, 6));
    QCOMPARE(s.ThumbPos, 0);
    QCOMPARE(s.Value, -4.0);
    QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(-40, 6));
    QVERIFY(!s.Dragging());
    QTest::mouseMove(&s, QPoint(80, 6));
    QCOMPARE(s.Value, -4.0);
}

// --- The screen ----------------------------------------------------------------------------------

void TestOscilloscope::realScanningSegments_data() {
    QTest::addColumn<int>("timeItem");
    QTest::addColumn<double>("fine"); // percent of the fine time slider
    QTest::addColumn<bool>("constant");
    QTest::addColumn<int>("length");
    QTest::newRow("0.5 ms/div: whole trace") << 20 << 0.0 << true << 0;
    QTest::newRow("1 ms/div") << 21 << 0.0 << false << 140;
    QTest::newRow("2 ms/div") << 22 << 0.0 << false << 139;
    QTest::newRow("500 ms/div") << 29 << 0.0 << false << 70;
    QTest::newRow("999 ms/div") << 29 << 99.8 << false << 2;
    QTest::newRow("2 s/div") << 31 << 50.0 << false << 2;
}

void TestOscilloscope::realScanningSegments() {
    QFETCH(int, timeItem);
    QFETCH(double, fine);
    QFETCH(bool, constant);
    QFETCH(int, length);
    TScopeFixture f;
    f.Panel->SetRealScanning(true);
    f.Panel->ComboBox3->setCurrentIndex(timeItem);
    f.Panel->FineTime->SetPercent(fine);
    QCOMPARE(f.Panel->ConstantRay(), constant);
    QCOMPARE(f.Panel->mnuIsConstRay->isChecked(), constant);
    if (!constant) {
        QCOMPARE(f.Panel->SegmentLength, length);
        QCOMPARE(f.Panel->SegmentStep, length - 1);
    }
    // Without real scanning the time base leaves the drawing mode alone.
    f.Panel->SetRealScanning(false);
    f.Panel->SetConstantRay(true);
    f.Panel->ComboBox3->setCurrentIndex(29);
    QVERIFY(f.Panel->ConstantRay());
}

void TestOscilloscope::framesOfEachDrawingMode() {
    TScopeFixture f;
    f.Panel->Timer->stop();
    f.Gain(1, 15);
    f.Feed(1, TComplex(2, 0), 0, false); // 2 divisions up: row 47 - 42 = 5
    const int row = 5;
    const TScopeModel& m = f.Panel->Model;
    auto lit = [&](int point) { return Beam(f.Panel->Screen, m.Column(point), row) == 255; };
    auto litAt = [&](int column) { return Beam(f.Panel->Screen, column, row) == 255; };

    // Whole trace, locked: the same still picture frame after frame.
    f.Panel->DrawWholeTrace();
    const QImage first = f.Panel->Screen;
    QVERIFY(lit(0) && lit(279));
    f.Panel->DrawWholeTrace();
    QCOMPARE(f.Panel->Screen, first);

    // Moving beam: ℓ + 1 points from s, then s moves on by δ; at the right edge it restarts.
    f.Panel->SetConstantRay(false);
    f.Panel->SetSegmentLength(100);
    f.Panel->SetSegmentStep(99);
    QCOMPARE(f.Panel->SegmentStart, 0);
    f.Panel->DrawMovingBeam();
    QVERIFY(lit(0) && lit(100) && !litAt(m.Column(100) + 1));
    QCOMPARE(f.Panel->SegmentStart, 99);
    f.Panel->DrawMovingBeam();
    QVERIFY(!litAt(m.Column(99) - 1) && lit(99) && lit(199) && !litAt(m.Column(199) + 1));
    QCOMPARE(f.Panel->SegmentStart, 198);
    f.Panel->DrawMovingBeam(); // 198 .. 279, cut at the edge
    QVERIFY(!litAt(m.Column(198) - 1) && lit(279));
    QCOMPARE(f.Panel->SegmentStart, 0);

    // Unlocked with the moving beam: every copy drawn where it is, none moving.
    f.Feed(1, TComplex(0.5, 0), Mains, true);
    f.Panel->LevelSlider->SetPercent(100);
    QVERIFY(!f.Panel->IsTriggered());
    const std::vector<QPoint> ghost = f.Panel->Model.Ghost(0, 0);
    f.Panel->DrawMovingBeam();
    QCOMPARE(f.Panel->Model.Ghost(0, 0), ghost);
    const QPoint p = ghost[50];
    QCOMPARE(Beam(f.Panel->Screen, p.x(), p.y()), 255);
}

void TestOscilloscope::brightness_data() {
    QTest::addColumn<double>("percent");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("green");
    QTest::newRow("full") << 100.0 << "Яркость:100%" << 255;
    QTest::newRow("half") << 50.0 << "Яркость:50%" << 127;
    QTest::newRow("off: black on black") << 0.0 << "Яркость:0%" << 0;
}

void TestOscilloscope::brightness() {
    QFETCH(double, percent);
    QFETCH(QString, label);
    QFETCH(int, green);
    TScopeFixture f;
    f.Gain(1, 15);
    f.Feed(1, TComplex(1, 0), 0, false); // row 26, a grid line: the beam covers it
    f.Panel->BrightnessSlider->SetPercent(percent);
    QCOMPARE(f.Panel->Label7->text(), label);
    QCOMPARE(f.Panel->BeamColour, QColor(0, green, 0));
    f.Panel->DrawWholeTrace();
    QCOMPARE(f.Panel->Screen.pixel(70, 26), QColor(0, green, 0).rgb());
}

void TestOscilloscope::separateDisplayDrawsOnTheUserInterfaceThread() {
    auto* f = new TScopeFixture;
    QList<QThread*> threads;
    f->Panel->FrameObserver = [&] { threads << QThread::currentThread(); };
    f->Panel->SetThreadedDisplay(true);
    QVERIFY(!f->Panel->Timer->isActive());
    QTRY_VERIFY(threads.size() >= 5);
    for (QThread* t : threads)
        QCOMPARE(t, qApp->thread());
    // Back to the timer: the thread asks for nothing more.
    f->Panel->SetThreadedDisplay(false);
    QVERIFY(f->Panel->Timer->isActive());
    f->Panel->Timer->stop();
    QCoreApplication::processEvents();
    const qsizetype suspended = threads.size();
    QTest::qWait(80);
    QCOMPARE(threads.size(), suspended);
    // Running again, then the panel goes: its thread is joined, no frame follows.
    f->Panel->SetThreadedDisplay(true);
    QTRY_VERIFY(threads.size() >= suspended + 3);
    const auto* thread = f->Panel->findChild<TOscillographDrawThread*>();
    QVERIFY(thread && thread->isRunning());
    delete f;
    const qsizetype gone = threads.size();
    QTest::qWait(80);
    QCOMPARE(threads.size(), gone);
}

// --- The panel -----------------------------------------------------------------------------------

void TestOscilloscope::panelStartsAsItsButtonLeavesIt() {
    TScopeFixture f;
    TOscillographPanel* p = f.Panel;
    QVERIFY(p && !p->isHidden());
    QCOMPARE(OscilloscopePanel.data(), p);
    QCOMPARE(f.ScopeButton, QList<bool>{false});
    QCOMPARE(p->windowTitle(), QString("Осциллограф"));
    QCOMPARE(p->Label1->text(), QString("Усиление:200.000 В/дел."));
    QCOMPARE(p->Label5->text(), QString("Длительность:  2.000 мс/дел."));
    QCOMPARE(p->ComboBox1->count(), 26);
    QCOMPARE(p->ComboBox3->count(), 32);
    QCOMPARE(p->ComboBox1->itemText(0), QString("10 µВ/дел."));
    QCOMPARE(p->ComboBox1->itemText(25), QString("2 кВ/дел."));
    QCOMPARE(p->ComboBox3->itemText(0), QString("0.1 нс/дел."));
    QCOMPARE(p->ComboBox3->itemText(14), QString("5 µс/дел."));
    QCOMPARE(p->ComboBox3->itemText(31), QString("2 с/дел."));
    QCOMPARE(p->Model.Channel[0].VoltsPerDiv, 200.0);
    QCOMPARE(p->Model.Channel[1].SecondsPerDiv, 0.002);
    QCOMPARE(p->Model.Channel[0].TriggerLevel, 2.0);
    QCOMPARE(p->SyncSource(), 0);
    QVERIFY(p->SyncBtnA->isChecked());
    QVERIFY(p->ConstantRay() && !p->ThreadedDisplay() && !p->RealScanning());
    QVERIFY(p->Timer->isActive());
    QCOMPARE(p->Timer->interval(), 25);
    // The leads rest in their channels' sockets, B's 12 pixels left of its jacks.
    QCOMPARE(p->ChannelA()->RedLead->parentWidget(), p->GroupBox1);
    QCOMPARE(p->ChannelA()->BlackLead->pos(), QPoint(p->Image3->x(), 64));
    QCOMPARE(p->ChannelB()->RedLead->parentWidget(), p->GroupBox3);
    QCOMPARE(p->ChannelB()->RedLead->pos(), QPoint(p->Image5->x() - 12, 64));
    QCOMPARE(p->ChannelB()->BlackLead->InputNumber, 4);
    QCOMPARE(p->ChannelA()->Resistance, 1E7);
    QVERIFY(!p->ChannelA()->BreaksLoops());
    // The level's marks lie over its quarter and three-quarter ticks.
    const int quarter = p->LevelSlider->x() + p->LevelSlider->TrackLength / 4 + 5;
    QVERIFY(std::abs(p->Image9->geometry().center().x() - quarter) <= 3);
}

void TestOscilloscope::labelsAndMarksResetTheirControls() {
    TScopeFixture f;
    TOscillographPanel* p = f.Panel;
    f.ShowWindow();
    p->ShiftA->SetValue(3);
    p->ShiftB->SetValue(-5);
    p->CoarseShift->SetValue(4);
    p->FineShift->SetValue(0.3);
    p->BrightnessSlider->SetPercent(10);
    p->LevelSlider->SetPercent(90);
    p->ComboBox1->setCurrentIndex(3);
    p->FineGainB->SetPercent(60);
    QVERIFY(std::fabs(p->Model.Channel[0].HorizontalShift - 4.3) < 1e-12);

    QTest::mouseClick(p->Label3, Qt::LeftButton);
    QTest::mouseClick(p->Label4, Qt::LeftButton);
    QCOMPARE(p->Model.Channel[0].VerticalShift, 0.0);
    QCOMPARE(p->Model.Channel[1].VerticalShift, 0.0);
    QTest::mouseDClick(p->Label8, Qt::LeftButton);
    QTest::mouseDClick(p->Label10, Qt::LeftButton);
    QCOMPARE(p->Model.Channel[1].HorizontalShift, 0.0);
    QTest::mouseDClick(p->Label7, Qt::LeftButton);
    QCOMPARE(p->Brightness, 255.0);
    QTest::mouseDClick(p->Label1, Qt::LeftButton);
    QCOMPARE(p->ComboBox1->currentIndex(), 15);
    QCOMPARE(p->Model.Channel[0].VoltsPerDiv, 1.0);
    QCOMPARE(p->Label1->text(), QString("Усиление:  1.000 В/дел."));
    QTest::mouseClick(p->Label2, Qt::LeftButton);
    QCOMPARE(p->Model.Channel[1].VoltsPerDiv, 1.0);
    QTest::mouseDClick(p->Label5, Qt::LeftButton);
    QCOMPARE(p->ComboBox3->currentIndex(), 30);
    QCOMPARE(p->Model.Channel[0].SecondsPerDiv, 1.0);
    QTest::mouseClick(p->Image9, Qt::LeftButton);
    QCOMPARE(p->Model.Channel[0].TriggerLevel, -2.0);
    QTest::mouseClick(p->Image6, Qt::LeftButton);
    QCOMPARE(p->Model.Channel[0].TriggerLevel, 2.0);
    p->LevelSlider->SetPercent(10);
    QTest::mouseDClick(p->Label6, Qt::LeftButton);
    QCOMPARE(p->LevelSlider->Percent, 75.0);

    // The about box hides in a small spot of channel A's caption, for the right button.
    QTest::mouseClick(p->GroupBox1, Qt::RightButton, {}, QPoint(20, 10));
    QTest::mouseClick(p->GroupBox1, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseClick(p->GroupBox1, Qt::RightButton, {}, QPoint(40, 10));
    QCOMPARE(f.Seams.Messages.size(), 1);
    QCOMPARE(f.Seams.Messages[0].Caption, QString("About Oscillograph"));
    QCOMPARE(f.Seams.Messages[0].Icon, TMsgIcon::Information);
}

void TestOscilloscope::popupMenuAndScreenDrag() {
    TScopeFixture f;
    TOscillographPanel* p = f.Panel;
    f.ShowWindow();
    p->mnuIsConstRay->trigger();
    QVERIFY(!p->ConstantRay() && !p->mnuIsConstRay->isChecked());
    p->mnuRealScanning->trigger();
    QVERIFY(p->RealScanning());
    p->mnuIsThreadedDisplay->trigger();
    QVERIFY(p->ThreadedDisplay() && !p->Timer->isActive());
    p->mnuIsThreadedDisplay->trigger();
    QVERIFY(!p->ThreadedDisplay() && p->Timer->isActive());

    const QPoint start = p->pos();
    TMouse mouse(&f.Window);
    const QPoint grip = f.InWindow(p->Image1, QPoint(100, 100));
    mouse.Drag(grip, grip + QPoint(-60, -40));
    QCOMPARE(p->pos(), start + QPoint(-60, -40));
}

void TestOscilloscope::closingRemovesBothInputs() {
    const qsizetype elements = CircuitElements.size();
    TScopeFixture f;
    QCOMPARE(CircuitElements.size(), elements + 2);
    QCOMPARE(TestLeads.size(), 4);
    f.Panel->ChannelA()->ConnectNodes((*f.Board)(1, 1), (*f.Board)(1, 2));
    f.Board->CircuitChanged = false;
    f.Panel->close();
    FlushDeletes();
    QVERIFY(!OscilloscopePanel);
    QCOMPARE(CircuitElements.size(), elements);
    QVERIFY(TestLeads.isEmpty());
    QVERIFY((*f.Board)(1, 1)->Elements.isEmpty());
    QVERIFY(f.Board->CircuitChanged);
    QCOMPARE(f.ScopeButton, (QList<bool>{false, true}));
    // The slot is free again.
    QVERIFY(ShowNewOscilloscope(&f.Window));
}

void TestOscilloscope::mainWindowButton() {
    TTestSeams seams;
    TWorkshopForm form;
    form.resize(1024, 768);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.TimerCat->stop();
    JoinWindows(&form);
    QVERIFY(form.btnOscillograph->isEnabled());
    QTest::mouseClick(form.btnOscillograph, Qt::LeftButton);
    TOscillographPanel* panel = OscilloscopePanel;
    QVERIFY(panel && panel->isVisible());
    QVERIFY(!form.btnOscillograph->isEnabled());
    // Between the parts box and the status line.
    QCOMPARE(panel->geometry().right() + 1, form.imgToolBar->x());
    QCOMPARE(panel->geometry().bottom() + 1, form.StatusBar->y());
    panel->close();
    FlushDeletes();
    QVERIFY(form.btnOscillograph->isEnabled());
}

void TestOscilloscope::measuresAnRcCircuitWithTheMouse() {
    // 220 V, 50 Hz over 33 kΩ and 0.1 µF in series (Xc = 31.8 kΩ): the capacitor's voltage
    // lags the generator's by atan(R / Xc), about 46 degrees.
    TScopeFixture f;
    f.Window.resize(1100, 700);
    f.Panel->move(400, 500);
    QVERIFY(f.ShowWindow());
    auto* generator = new TGenerator;
    Place(generator, 2, 1, 3, 1);
    auto* resistor = new TResistor;
    resistor->SetResistance(33000);
    resistor->SetMaxPower(10);
    Place(resistor, 2, 1, 2, 2);
    auto* capacitor = new TCondensator;
    capacitor->SetCapacitance(1E-7);
    capacitor->SetMaxVoltage(1000);
    Place(capacitor, 2, 2, 3, 2);
    Place(new TWire, 3, 1, 3, 2);

    f.DragLead(f.Panel->ChannelA()->RedLead, f.NodeInWindow(2, 1));
    f.DragLead(f.Panel->ChannelA()->BlackLead, f.NodeInWindow(3, 1));
    f.DragLead(f.Panel->ChannelB()->RedLead, f.NodeInWindow(2, 2));
    f.DragLead(f.Panel->ChannelB()->BlackLead, f.NodeInWindow(3, 2));
    QCOMPARE(f.Panel->ChannelB()->SecondNode, (*f.Board)(3, 2));
    f.Gain(1, 21); // 100 V/div
    f.Gain(2, 21);
    f.Panel->ComboBox3->setCurrentIndex(23); // 5 ms/div
    f.Board->CircuitChanged = true;
    f.Board->Tick();

    const TScopeChannel& a = f.Panel->Model.Channel[0];
    const TScopeChannel& b = f.Panel->Model.Channel[1];
    QVERIFY(a.IsAc && b.IsAc);
    QVERIFY(std::fabs(a.AmplitudeDiv - 220 * std::sqrt(2.0) / 100) < 0.01);
    const double xc = 1 / (Mains * 1E-7);
    const double vc = 220 * xc / std::hypot(33000, xc);
    QVERIFY(std::fabs(b.AmplitudeDiv - vc * std::sqrt(2.0) / 100) < 0.01);
    double lag = std::remainder(a.Phase - b.Phase, 2 * Pi);
    QVERIFY(std::fabs(lag - std::atan(33000 / xc)) < 0.01);
    QVERIFY(!resistor->Burnt && !capacitor->Burnt);

    // On the screen A starts at its rising zero crossing; B crosses upwards later by the lag.
    const TScopeModel& m = f.Panel->Model;
    QCOMPARE(m.Trace(0)[0].y(), 47);
    int crossing = 1;
    while (crossing < m.Width() &&
           !(m.Trace(1)[size_t(crossing - 1)].y() > 131 && m.Trace(1)[size_t(crossing)].y() <= 131))
        ++crossing;
    const double columnsPerRadian = 21 / (Mains * 0.005);
    QVERIFY(std::fabs(crossing - lag * columnsPerRadian) <= 2);
}

QTEST_MAIN(TestOscilloscope)
#include "tst_oscilloscope.moc"
