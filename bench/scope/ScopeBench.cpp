// How much of one core the open oscilloscope takes while it draws.
//
// The panel is made as the main window's button makes it, on a board in a shown window, and
// left to run its own event loop for a while in each case; the process's CPU time over that
// wall time is the share of one core it took. The cases: an idle screen (both leads in their
// sockets), two locked 50 Hz traces, and twenty drifting copies on each channel (level past the
// amplitude, 0.5 ms/div), all with the 25 ms timer (40 frames a second), then the copies with
// the separate display, which draws as often as the screen refreshes. Frames are counted, so a
// case that drew nothing cannot pass for a cheap one. Last, one frame's cost on its own.
//
// Options: --seconds=S per case (default 6). The platform is Qt's (offscreen under make bench;
// run it under a display to include the window system's side of painting in this process).

#include "support/Board.h"

#include "instruments/Oscpanel.h"
#include "instruments/Percentscroller.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>

namespace {

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct TResult {
    double CpuShare = 0; // of one core
    double FramesPerSecond = 0;
};

// Runs the event loop for `seconds` and measures what it cost.
TResult Watch(TOscillographPanel* panel, double seconds) {
    long frames = 0;
    panel->FrameObserver = [&] { ++frames; };
    QElapsedTimer wall;
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    const double cpu0 = CpuSeconds();
    wall.start();
    loop.exec();
    const double elapsed = wall.nsecsElapsed() * 1e-9;
    const double cpu = CpuSeconds() - cpu0;
    panel->FrameObserver = nullptr;
    return {cpu / elapsed, frames / elapsed};
}

// The voltage the solver would leave on a channel's 10 MΩ input (effective values).
void Feed(TOscillographPanel* panel, int channel, TComplex volts) {
    CircuitOmega = 2 * 3.14159265358979323846 * 50;
    TOscillograph* input = channel == 1 ? panel->ChannelA() : panel->ChannelB();
    input->AcDriven = true;
    input->SetCurrent(volts / TOscillograph::InputResistance);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    double seconds = 6;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--seconds=", 10) == 0) seconds = std::atof(argv[i] + 10);

    TBoardFixture board;
    board.Window.resize(800, 700);
    board.Window.show();
    TOscillographPanel* panel = ShowNewOscilloscope(&board.Window);
    if (!panel) {
        std::fprintf(stderr, "scope_bench: no oscilloscope panel\n");
        return 1;
    }
    panel->move(20, 480);
    QApplication::processEvents();

    std::printf("Oscilloscope drawing, %s platform, %.0f s per case\n",
                qPrintable(QGuiApplication::platformName()), seconds);
    std::printf("%-46s %10s %10s\n", "case", "frames/s", "CPU share");
    bool ok = true;
    auto report = [&](const char* name, const TResult& r, double minFps) {
        std::printf("%-46s %10.1f %9.2f %%\n", name, r.FramesPerSecond, 100 * r.CpuShare);
        std::fflush(stdout);
        if (r.FramesPerSecond < minFps) {
            std::fprintf(stderr, "scope_bench: %s drew only %.1f frames a second\n", name,
                         r.FramesPerSecond);
            ok = false;
        }
    };

    report("timer, idle screen (leads in their sockets)", Watch(panel, seconds), 30);

    // Two locked traces: 220 V at 100 V/div and the capacitor's 150 V behind it, 5 ms/div.
    panel->ComboBox1->setCurrentIndex(21);
    panel->ComboBox2->setCurrentIndex(21);
    panel->ComboBox3->setCurrentIndex(23);
    Feed(panel, 1, TComplex(220, 0));
    Feed(panel, 2, std::polar(152.0, -0.8));
    if (!panel->IsTriggered()) {
        std::fprintf(stderr, "scope_bench: the two traces are not locked\n");
        return 1;
    }
    report("timer, two locked traces", Watch(panel, seconds), 30);

    // Twenty copies each: about one division on both channels, the level past it, and a time
    // base slow enough for twenty (0.5 ms/div at 50 Hz).
    panel->ComboBox1->setCurrentIndex(23);
    panel->ComboBox2->setCurrentIndex(23);
    panel->ComboBox3->setCurrentIndex(20);
    Feed(panel, 1, TComplex(500 / std::sqrt(2.0), 0));
    Feed(panel, 2, std::polar(450 / std::sqrt(2.0), -0.8));
    panel->LevelSlider->SetPercent(100);
    if (panel->IsTriggered() || panel->Model.GhostTraces(0) != 20 ||
        panel->Model.GhostTraces(1) != 20) {
        std::fprintf(stderr, "scope_bench: expected 2 x 20 drifting copies, have %d + %d\n",
                     panel->Model.GhostTraces(0), panel->Model.GhostTraces(1));
        return 1;
    }
    report("timer, 2 x 20 drifting copies", Watch(panel, seconds), 30);

    panel->SetThreadedDisplay(true);
    report("separate display, 2 x 20 drifting copies", Watch(panel, seconds), 30);
    panel->SetThreadedDisplay(false);

    // One frame on its own, called directly.
    const int n = 2000;
    const double cpu0 = CpuSeconds();
    for (int i = 0; i < n; ++i)
        panel->DrawWholeTrace();
    const double ghostFrame = (CpuSeconds() - cpu0) / n;
    panel->Label6DblClick(); // level back within the amplitude: locked
    const double cpu1 = CpuSeconds();
    for (int i = 0; i < n; ++i)
        panel->DrawWholeTrace();
    const double lockedFrame = (CpuSeconds() - cpu1) / n;
    std::printf("one frame (screen picture only): locked %.1f µs, 2 x 20 copies %.1f µs\n",
                lockedFrame * 1e6, ghostFrame * 1e6);
    std::printf("goal: under 5 %% of one core at 40 frames a second\n");
    delete panel;
    return ok ? 0 : 1;
}
