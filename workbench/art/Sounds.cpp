// The workbench's sounds, synthesised from sines and filtered noise: short, soft at the start,
// fading to silence at the end and peaking well below full scale, so none of them clicks or
// clips whatever plays them.
//   SOUND1        the detent click of the multimeter's rotary switch
//   SOUND2        the multimeter's continuity beep (repeats every half second)
//   WAVONSET      a part's leads snapping under the terminal screws
//   WAVONPULL     a soft pluck as a part is lifted off the board
//   WAVONTRASH    a part dropped into the steel waste bin: a thud, the bin's ring, a rattle
//   WAVONBURNOUT  an overloaded part pops and crackles
#include "Art.h"
#include "ArtWriter.h"
#include "Paint.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Rate = ArtWriter::SampleRate;
constexpr double Pi = 3.14159265358979323846;

using Signal = QVector<float>;

Signal Silence(double seconds) {
    return Signal(int(seconds * Rate), 0.0f);
}

// Adds `source` into `mix` from `at` seconds on.
void MixIn(Signal& mix, const Signal& source, double at, double gain = 1.0) {
    const int start = int(at * Rate);
    for (int i = 0; i < source.size() && start + i < mix.size(); ++i)
        mix[start + i] += float(gain * source[i]);
}

// An envelope with a raised-cosine attack and an exponential decay of time constant `tau`.
double Envelope(double t, double attack, double tau) {
    if (t < 0) return 0;
    const double rise = t < attack ? 0.5 - 0.5 * std::cos(Pi * t / attack) : 1.0;
    return rise * std::exp(-std::max(0.0, t - attack) / tau);
}

// Fades the last milliseconds of a piece to zero, so cutting it off does not click.
void Taper(Signal& s, double ms = 3) {
    const int n = std::min<int>(s.size(), int(ms * Rate / 1000));
    for (int i = 0; i < n; ++i)
        s[s.size() - 1 - i] *= float(0.5 - 0.5 * std::cos(Pi * i / n));
}

// A decaying sine whose frequency glides from f0 to f1 over `glide` seconds.
Signal Tone(double seconds, double f0, double f1, double glide, double attack, double tau) {
    Signal s = Silence(seconds);
    double phase = 0;
    for (int i = 0; i < s.size(); ++i) {
        const double t = i / Rate;
        const double f = t < glide ? f0 + (f1 - f0) * t / glide : f1;
        phase += 2 * Pi * f / Rate;
        s[i] = float(std::sin(phase) * Envelope(t, attack, tau));
    }
    Taper(s);
    return s;
}

// White noise shaped by a two-pole band-pass around `centre` Hz and a decay envelope.
Signal NoiseBurst(double seconds, double centre, double q, double attack, double tau,
                  uint64_t seed) {
    art::Rng rng(seed);
    Signal s = Silence(seconds);
    // Band-pass biquad, 0 dB at the centre.
    const double w = 2 * Pi * centre / Rate, alpha = std::sin(w) / (2 * q);
    const double a0 = 1 + alpha;
    const double b0 = alpha / a0, b2 = -alpha / a0, a1 = -2 * std::cos(w) / a0,
                 a2 = (1 - alpha) / a0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (int i = 0; i < s.size(); ++i) {
        const double x = rng.Signed();
        const double y = b0 * x + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        s[i] = float(y * Envelope(i / Rate, attack, tau));
    }
    Taper(s);
    return s;
}

void LowPass(Signal& s, double cutoff) {
    const double a = 1 - std::exp(-2 * Pi * cutoff / Rate);
    double y = 0;
    for (float& v : s)
        v = float(y += a * (v - y));
}

// Removes any DC and rumble below `cutoff`.
void HighPass(Signal& s, double cutoff) {
    const double a = 1 - std::exp(-2 * Pi * cutoff / Rate);
    double low = 0;
    for (float& v : s) {
        low += a * (v - low);
        v = float(v - low);
    }
}

// Scales the sound to the given peak, then fades its last milliseconds to exact silence.
Signal Finish(Signal s, double peak = 0.7, double fadeMs = 6) {
    HighPass(s, 25);
    float max = 0;
    for (float v : s)
        max = std::max(max, std::fabs(v));
    if (max > 0)
        for (float& v : s)
            v = float(v * peak / max);
    Taper(s, fadeMs);
    if (!s.isEmpty()) s[0] = 0;
    return s;
}

Signal SwitchClick() {
    Signal s = Silence(0.06);
    MixIn(s, NoiseBurst(0.02, 4200, 1.2, 0.0002, 0.0016, 1), 0.002);
    MixIn(s, Tone(0.03, 2250, 2250, 0, 0.0004, 0.006), 0.002, 0.25);
    // The detent lets go a moment later, more quietly.
    MixIn(s, NoiseBurst(0.02, 3400, 1.2, 0.0002, 0.0012, 2), 0.016, 0.55);
    MixIn(s, Tone(0.03, 1900, 1900, 0, 0.0004, 0.004), 0.016, 0.12);
    LowPass(s, 7000); // keeps the click crisp but not shrill
    return Finish(s, 0.6, 4);
}

Signal ContinuityBeep() {
    // A steady 1760 Hz tone with a little third harmonic, as a piezo beeper sounds, with soft
    // edges so the repeats do not click.
    const double length = 0.18, attack = 0.004, release = 0.014;
    Signal s = Silence(length);
    for (int i = 0; i < s.size(); ++i) {
        const double t = i / Rate;
        double env = 1;
        if (t < attack)
            env = 0.5 - 0.5 * std::cos(Pi * t / attack);
        else if (t > length - release)
            env = 0.5 + 0.5 * std::cos(Pi * (t - (length - release)) / release);
        s[i] = float(env * (std::sin(2 * Pi * 1760 * t) + 0.12 * std::sin(2 * Pi * 5280 * t)));
    }
    return Finish(s, 0.32, 2);
}

Signal SnapOn() {
    // Two leads seat one after the other: two bright clicks with a short metallic ring and a
    // soft knock of the part's body on the board.
    Signal s = Silence(0.14);
    MixIn(s, NoiseBurst(0.03, 3200, 1.4, 0.0003, 0.004, 3), 0.003);
    MixIn(s, NoiseBurst(0.03, 2600, 1.4, 0.0003, 0.003, 4), 0.025, 0.6);
    MixIn(s, Tone(0.1, 1850, 1850, 0, 0.0005, 0.018), 0.003, 0.14);
    MixIn(s, Tone(0.1, 4230, 4230, 0, 0.0005, 0.010), 0.003, 0.07);
    MixIn(s, Tone(0.1, 150, 140, 0.02, 0.0012, 0.012), 0.004, 0.35);
    LowPass(s, 7000);
    return Finish(s, 0.7);
}

Signal Pluck() {
    // A round, rising "plop": a sine gliding up from 360 Hz with a touch of its octave, and a
    // breath of low noise as the leads slip out.
    Signal s = Silence(0.17);
    MixIn(s, Tone(0.16, 360, 620, 0.06, 0.003, 0.035), 0.0);
    MixIn(s, Tone(0.16, 720, 1240, 0.06, 0.003, 0.02), 0.0, 0.22);
    Signal breath = NoiseBurst(0.06, 900, 0.7, 0.002, 0.012, 5);
    LowPass(breath, 1800);
    MixIn(s, breath, 0.0, 0.5);
    return Finish(s, 0.6);
}

Signal IntoTheBin() {
    Signal s = Silence(0.5);
    // The part lands: a dull thud with a short burst of low noise.
    MixIn(s, Tone(0.3, 115, 68, 0.05, 0.002, 0.055), 0.0);
    Signal knock = NoiseBurst(0.1, 500, 0.8, 0.001, 0.02, 6);
    LowPass(knock, 1200);
    MixIn(s, knock, 0.0, 0.9);
    // The steel bin answers with a few inharmonic partials.
    const double partials[][3] = {
        {312, 0.22, 0.16}, {517, 0.16, 0.12}, {793, 0.12, 0.09}, {1131, 0.08, 0.06}};
    for (const auto& p : partials)
        MixIn(s, Tone(0.45, p[0], p[0], 0, 0.002, p[2]), 0.002, p[1]);
    // It bounces and rattles twice on the bottom.
    MixIn(s, NoiseBurst(0.03, 2600, 2.0, 0.0003, 0.005, 7), 0.075, 0.35);
    MixIn(s, NoiseBurst(0.03, 2900, 2.0, 0.0003, 0.004, 8), 0.14, 0.22);
    MixIn(s, NoiseBurst(0.03, 2400, 2.0, 0.0003, 0.004, 9), 0.185, 0.12);
    return Finish(s, 0.7, 12);
}

Signal PopAndCrackle() {
    Signal s = Silence(0.62);
    // The pop: a burst of noise and a low thump.
    Signal pop = NoiseBurst(0.1, 1400, 0.6, 0.0008, 0.016, 10);
    LowPass(pop, 2500);
    MixIn(s, pop, 0.0, 1.0);
    MixIn(s, Tone(0.2, 90, 60, 0.03, 0.0015, 0.04), 0.0, 0.6);
    // Then the crackle of charring lacquer: short sharp ticks, thinning out.
    art::Rng rng(12);
    double t = 0.04;
    for (int i = 0; t < 0.5; ++i) {
        const double fade = 1.0 - t / 0.55;
        MixIn(s,
              NoiseBurst(0.012, rng.Range(1500, 5000), 1.5, 0.0002, rng.Range(0.0012, 0.0035),
                         100 + i),
              t, rng.Range(0.2, 0.55) * fade);
        t += rng.Range(0.008, 0.045) * (1.0 + 1.5 * t);
    }
    // And a faint fizz under it all.
    Signal fizz = NoiseBurst(0.6, 6000, 0.9, 0.02, 0.14, 13);
    MixIn(s, fizz, 0.015, 0.12);
    return Finish(s, 0.7, 20);
}

} // namespace

void MakeSounds(ArtWriter& out) {
    out.Wave("SOUND1", SwitchClick());
    out.Wave("SOUND2", ContinuityBeep());
    out.Wave("WAVONSET", SnapOn());
    out.Wave("WAVONPULL", Pluck());
    out.Wave("WAVONTRASH", IntoTheBin());
    out.Wave("WAVONBURNOUT", PopAndCrackle());
}
