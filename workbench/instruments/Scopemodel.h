#pragma once
// What the oscilloscope computes, apart from any window: the two channels' signals, the
// trigger, and the points of the traces on the screen.
//
// The circuit is solved at one angular frequency, so every channel voltage is a sine (or a
// constant in a direct-current circuit). The traces are therefore computed from each channel's
// complex voltage rather than sampled, and only when a control or a signal changes; a frame
// only draws lines through the stored points.
//
// Screen units: a division is 3 ticks of 7 pixels, 21 pixels; one column is b = 1/21 division.

#include <QPoint>
#include <array>
#include <vector>

// One channel's signal and display state. Divisions are screen divisions.
struct TScopeChannel {
    double VoltsPerDiv = 1;     // gain (the fine-gain slider's value)
    double SecondsPerDiv = 1;   // time base (both channels hold the same value)
    double AmplitudeDiv = 0;    // SignalValue / VoltsPerDiv; 1e30 when VoltsPerDiv is 0
    double Omega = 0;           // the circuit's angular frequency at the last signal update
    double Phase = 0;           // phase of the channel voltage, radians in [0, 2π)
    double HorizontalShift = 0; // divisions, coarse plus fine (both channels alike)
    double VerticalShift = 0;   // divisions
    double SignalValue = 0;     // AC: amplitude in volts; DC: the signed voltage
    double TriggerLevel = 0;    // the level slider, -4 .. 4
    double SyncPhase = 0;       // Phase of the sync source channel; 0 for the mains
    double SyncAmplitude = 0;   // AmplitudeDiv of the sync source channel; 1 for the mains
    double LevelOffset = 0;     // |TriggerLevel| - 2
    double StartPhase = 0;      // the trace's phase at the left edge of the screen
    double DcValue = 0;         // DC: the signed voltage in volts; AC: 0
    double SlopePhase = 0;      // 0 for a rising slope (level >= 0), π for a falling one
    bool IsAc = false;          // the element lies in a loop driven by a generator

    void RecomputeAmplitude();
    void RecomputeStartPhase();
};

// The angle of re + j·im in [0, 2π); 0 when |re| < 1e-15 or the angle is not a number.
double ChannelPhase(double re, double im);

// How many drifting copies an unsynchronised channel shows, from its amplitude in divisions
// and its phase advance per division.
int GhostCount(double amplitudeDiv, double phasePerDiv);

// The value tables of the gain and time-base lists: {1, 2, 5} × a power of ten, and the
// divisor each value is shown with (µ, m, 1, k; n, µ, m, 1).
namespace ScopeTables {
constexpr int VoltsCount = 27;   // 1e-5 V .. 5000 V
constexpr int SecondsCount = 33; // 1e-10 s .. 5 s
double VoltsPerDiv(int index);
double VoltsDivisor(int index);
double SecondsPerDiv(int index);
double SecondsDivisor(int index);
} // namespace ScopeTables

class TScopeModel {
public:
    static constexpr int TicksPerDivision = 3;
    static constexpr int TickSpacing = 7;
    static constexpr int MaxGhosts = 20;

    TScopeModel();

    // The screen's size in pixels; the axes and the buffers follow it.
    void Layout(int width, int height);
    int Width() const { return N; }
    int Height() const { return H; }
    int CentreColumn() const { return Cx; }
    int CentreRow() const { return Cy; }
    int Axis(int channel) const { return channel == 0 ? AxisA : AxisB; }
    double ColumnStep() const { return B; }

    TScopeChannel Channel[2];
    int SyncSource = 0; // 0 channel A, 1 channel B, 2 the mains

    // A channel's new voltage (peak values for an AC channel), as its element reports it.
    void SetChannelSignal(int channel, double re, double im, double omega, bool isAc);
    // A new gain: the channel's amplitude in divisions, and what the trigger sees of it.
    void GainChanged(int channel);
    void SetSyncSource(int source);
    void SetTriggerLevel(double level);
    void UpdateSyncAmplitude();
    // Whether the display is locked: the mains always lock, a DC sync channel locks, an AC one
    // locks while the level lies within its amplitude.
    bool IsTriggered() const;

    void ComputeTrace(int channel);
    void ComputeTraces() {
        ComputeTrace(0);
        ComputeTrace(1);
    }

    // The stored points: one trace per channel while locked; GhostTraces(channel) copies while
    // not. Every trace has Width() points.
    const std::vector<QPoint>& Trace(int channel) const { return Single[channel]; }
    int GhostTraces(int channel) const { return Ghosts[channel]; }
    const std::vector<QPoint>& Ghost(int channel, int k) const { return GhostPoints[channel][k]; }
    // The unsynchronised picture drifts: every ghost's points move 7 places towards the end
    // (the last 7 become the first), their columns staying where they were.
    void DriftGhost(int channel, int k);

    // The column of point j, x_j = trunc(t_j / b) with t_j accumulated in steps of b.
    int Column(int j) const { return Columns[size_t(j)]; }

private:
    // A screen coordinate from a coordinate in pixels that may be anything: kept one pixel
    // outside the screen at most, and a point that is not a number lies below it.
    static int Pixel(double p, int size);
    double StepTime(int j) const { return Times[size_t(j)]; }

    int N = 0, H = 0, Cx = 0, Cy = 0, AxisA = 0, AxisB = 0;
    double B = 1.0 / 21;
    std::vector<double> Times; // t_j, accumulated by repeated addition of b
    std::vector<int> Columns;
    std::vector<QPoint> Single[2];
    std::array<std::vector<QPoint>, MaxGhosts> GhostPoints[2];
    int Ghosts[2] = {0, 0};
};
