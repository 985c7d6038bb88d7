#include "instruments/Scopemodel.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double Pi = 3.14159265358979323846;
constexpr double Mantissas[3] = {1, 2, 5};
} // namespace

// --- The channel ------------------------------------------------------------------------------

void TScopeChannel::RecomputeAmplitude() {
    AmplitudeDiv = VoltsPerDiv == 0 ? 1E30 : SignalValue / VoltsPerDiv;
}

// The sync channel starts at the phase where its sine equals the level, on the rising slope for
// a non-negative level and on the falling one for a negative level; the other channel keeps its
// phase relative to it.
void TScopeChannel::RecomputeStartPhase() {
    double a = 0;
    if (std::fabs(SyncAmplitude) >= 1E-15) {
        const double q = LevelOffset / SyncAmplitude;
        if (q >= -1 && q <= 1) a = std::asin(q);
    }
    StartPhase = Phase - SyncPhase + a + SlopePhase;
}

double ChannelPhase(double re, double im) {
    if (!(std::fabs(re) >= 1E-15)) return 0;
    double phase = std::atan(im / re);
    if (re < 0)
        phase += Pi;
    else if (im < 0)
        phase += 2 * Pi;
    // A phase that cannot be worked out (an infinite voltage) stays 0, as a failed one does.
    return std::isfinite(phase) ? phase : 0;
}

int GhostCount(double amplitudeDiv, double phasePerDiv) {
    // The faster the phase runs across the screen, the fewer copies can be told apart.
    struct TStep {
        double UpTo;
        int Count;
    };
    static constexpr TStep Steps[] = {{0.2, 20}, {0.3, 19}, {0.4, 16}, {0.5, 15}, {0.6, 14},
                                      {0.7, 13}, {0.8, 12}, {0.9, 11}, {1, 10},   {2, 9},
                                      {3, 8},    {4, 7},    {5, 4}};
    int count = 3;
    for (const TStep& step : Steps)
        if (phasePerDiv <= step.UpTo) {
            count = step.Count;
            break;
        }
    // A small signal shows few copies whatever its speed.
    if (amplitudeDiv < 0.2) return 4;
    if (amplitudeDiv < 0.7) return 10;
    return count;
}

namespace ScopeTables {
double VoltsPerDiv(int i) {
    return Mantissas[i % 3] * std::pow(10.0, i / 3 - 5);
}
double VoltsDivisor(int i) {
    return i <= 5 ? 1E-6 : i <= 14 ? 1E-3 : i <= 23 ? 1 : 1000;
}
double SecondsPerDiv(int i) {
    return Mantissas[i % 3] * std::pow(10.0, i / 3 - 10);
}
double SecondsDivisor(int i) {
    return i <= 11 ? 1E-9 : i <= 20 ? 1E-6 : i <= 29 ? 1E-3 : 1;
}
} // namespace ScopeTables

// --- The model --------------------------------------------------------------------------------

TScopeModel::TScopeModel() {
    Layout(280, 178);
}

void TScopeModel::Layout(int width, int height) {
    N = std::max(width, 1);
    H = std::max(height, 1);
    Cx = N / 2;
    Cy = H / 2;
    // The channels' zero lines lie a whole number of ticks above and below the middle.
    const int k = ((Cy / TickSpacing) / 2) * TickSpacing;
    AxisA = Cy - k;
    AxisB = Cy + k;
    B = 1.0 / (TicksPerDivision * TickSpacing);
    Times.assign(size_t(N), 0);
    Columns.assign(size_t(N), 0);
    double t = 0;
    for (int j = 0; j < N; ++j) {
        Times[size_t(j)] = t;
        Columns[size_t(j)] = int(std::trunc(t / B));
        t += B;
    }
    for (int c = 0; c < 2; ++c) {
        Single[c].assign(size_t(N), QPoint(0, Axis(c)));
        for (auto& ghost : GhostPoints[c])
            ghost.assign(size_t(N), QPoint(0, Axis(c)));
        Ghosts[c] = 0;
    }
}

int TScopeModel::Pixel(double p, int size) {
    if (std::isnan(p)) return size;
    return int(std::clamp(p, -1.0, double(size)));
}

void TScopeModel::SetChannelSignal(int channel, double re, double im, double omega, bool isAc) {
    TScopeChannel& c = Channel[channel];
    c.Omega = omega;
    c.IsAc = isAc;
    if (isAc) {
        c.SignalValue = std::sqrt(re * re + im * im);
        c.DcValue = 0;
    } else {
        c.SignalValue = re;
        c.DcValue = re;
    }
    c.RecomputeAmplitude();
    c.Phase = ChannelPhase(re, im);
    c.RecomputeStartPhase();
    UpdateSyncAmplitude();
    SetSyncSource(SyncSource);
}

void TScopeModel::GainChanged(int channel) {
    Channel[channel].RecomputeAmplitude();
    UpdateSyncAmplitude();
    // The sync amplitude may have moved both the start phase of the other channel and whether
    // the picture is locked at all: both traces are drawn from it.
    ComputeTraces();
}

void TScopeModel::SetSyncSource(int source) {
    SyncSource = std::clamp(source, 0, 2);
    for (TScopeChannel& c : Channel) {
        c.SyncPhase = SyncSource < 2 ? Channel[SyncSource].Phase : 0;
        c.RecomputeStartPhase();
    }
    UpdateSyncAmplitude();
    ComputeTraces();
}

void TScopeModel::UpdateSyncAmplitude() {
    const double amplitude = SyncSource < 2 ? Channel[SyncSource].AmplitudeDiv : 1;
    for (TScopeChannel& c : Channel) {
        c.SyncAmplitude = amplitude;
        c.RecomputeStartPhase();
    }
}

void TScopeModel::SetTriggerLevel(double level) {
    for (TScopeChannel& c : Channel) {
        c.TriggerLevel = level;
        c.SlopePhase = level >= 0 ? 0 : Pi;
        c.LevelOffset = std::fabs(level) - 2;
        c.RecomputeStartPhase();
    }
}

bool TScopeModel::IsTriggered() const {
    if (SyncSource == 2) return true;
    const TScopeChannel& c = Channel[SyncSource];
    if (!c.IsAc) return true;
    if (c.SyncAmplitude == 0 || !(std::fabs(c.SyncAmplitude) >= 1E-5)) return false;
    const double q = c.LevelOffset / c.SyncAmplitude;
    return q >= -1 && q <= 1;
}

void TScopeModel::ComputeTrace(int channel) {
    const TScopeChannel& c = Channel[channel];
    const int axis = Axis(channel);
    const double w = c.SecondsPerDiv * c.Omega; // phase advance per division
    auto row = [&](double value) { return Pixel(axis - std::trunc(value / B), H); };

    if (IsTriggered() && SyncSource < 2) {
        std::vector<QPoint>& points = Single[channel];
        for (int j = 0; j < N; ++j) {
            const double t = StepTime(j);
            const double value = c.IsAc ? std::sin(w * t + c.StartPhase) * c.AmplitudeDiv +
                                              c.VerticalShift + c.DcValue
                                        : c.DcValue / c.VoltsPerDiv + c.VerticalShift;
            points[size_t(j)] =
                QPoint(Pixel(std::trunc((t + c.HorizontalShift) / B), N), row(value));
        }
        return;
    }
    if (SyncSource == 2) {
        // The mains sweep: the beam runs to and fro along a cosine of ±2 divisions about the
        // middle while the channel's sine moves it up and down, a Lissajous figure.
        std::vector<QPoint>& points = Single[channel];
        for (int j = 0; j < N; ++j) {
            const double t = StepTime(j);
            const double x = std::trunc((2 * std::cos(t) + c.HorizontalShift) / B) + Cx;
            const double value = std::sin(w * t + c.Phase) * c.AmplitudeDiv + c.VerticalShift;
            points[size_t(j)] = QPoint(Pixel(x, N), row(value));
        }
        return;
    }
    // Not locked: copies of the trace at phases spread evenly round the circle.
    const int n = GhostCount(c.AmplitudeDiv, w);
    Ghosts[channel] = n;
    for (int k = 0; k < n; ++k) {
        const double phase = c.StartPhase + k * 2 * Pi / n;
        std::vector<QPoint>& points = GhostPoints[channel][size_t(k)];
        for (int j = 0; j < N; ++j) {
            const double t = StepTime(j);
            const double value = std::sin(t * w + phase) * c.AmplitudeDiv + c.VerticalShift;
            points[size_t(j)] = QPoint(Columns[size_t(j)], row(value));
        }
    }
}

void TScopeModel::DriftGhost(int channel, int k) {
    std::vector<QPoint>& points = GhostPoints[channel][size_t(k)];
    const int shift = std::min(TickSpacing, N);
    std::rotate(points.begin(), points.end() - shift, points.end());
    for (int j = 0; j < N; ++j)
        points[size_t(j)].setX(Columns[size_t(j)]);
}
