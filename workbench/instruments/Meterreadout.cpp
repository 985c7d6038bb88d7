#include "instruments/Meterreadout.h"

#include <QByteArray>
#include <cmath>
#include <cstdio>

namespace {

// Current ranges are a near-perfect short (1 µΩ); voltage ranges draw 0.5 µA per volt (2 MΩ);
// the ohmmeter drives 2 V through 2 kΩ and works the resistance out from the current.
constexpr TRange Ranges[20] = {
    {TReads::Nothing, 1E30, 0, 1, 0, 0, 0},       // 0  off
    {TReads::AcVolts, 2E6, 0, 1, 750, 1, 4},      // 1  V~ 750
    {TReads::AcVolts, 2E6, 0, 1, 200, 0.1, 3},    // 2  V~ 200
    {TReads::DcAmps, 1E-6, 0, 1E6, 2000, 1, 4},   // 3  2000 µA
    {TReads::DcAmps, 1E-6, 0, 1000, 20, 0.01, 2}, // 4  20 mA
    {TReads::DcAmps, 1E-6, 0, 1000, 200, 0.1, 3}, // 5  200 mA
    {TReads::DcAmps, 1E-6, 0, 1, 10, 0.01, 2},    // 6  10 A
    {TReads::Nothing, 1E30, 0, 1, 0, 0, 0},       // 7  (no such position)
    {TReads::Nothing, 1E30, 0, 1, 0, 0, 0},       // 8  (no such position)
    {TReads::Ohms, 2000, -2, 1, 200, 0.1, 3},     // 9  200 Ω with the beeper
    {TReads::Ohms, 2000, -2, 1, 200, 0.1, 3},     // 10 200 Ω
    {TReads::Ohms, 2000, -2, 1, 2000, 1, 4},      // 11 2000 Ω
    {TReads::Ohms, 2000, -2, 0.001, 20, 0.01, 2}, // 12 20 kΩ
    {TReads::Ohms, 2000, -2, 0.001, 200, 0.1, 3}, // 13 200 kΩ
    {TReads::Ohms, 2000, -2, 0.001, 2000, 1, 4},  // 14 2000 kΩ
    {TReads::DcVolts, 2E6, 0, 1000, 200, 0.1, 3}, // 15 200 mV
    {TReads::DcVolts, 2E6, 0, 1000, 2000, 1, 4},  // 16 2000 mV
    {TReads::DcVolts, 2E6, 0, 1, 20, 0.01, 2},    // 17 20 V
    {TReads::DcVolts, 2E6, 0, 1, 200, 0.1, 3},    // 18 200 V
    {TReads::DcVolts, 2E6, 0, 1, 1000, 1, 4},     // 19 1000 V
};

void Blank(TMeterDisplay& d) {
    for (int p = 1; p <= 4; ++p)
        d.Digit[p] = TMeterDisplay::Blank;
    for (bool& point : d.Point)
        point = false;
}

} // namespace

const TRange& MeterRange(int position) {
    return Ranges[position >= 0 && position < 20 ? position : 0];
}

bool MeterPositionSelectable(int position) {
    return position >= 0 && position < 20 && position != 7 && position != 8;
}

TMeterDisplay MeterZero(TMeterDisplay shown) {
    Blank(shown);
    shown.Minus = false;
    shown.Digit[4] = 0;
    return shown;
}

TMeterDisplay MeterOverload(TMeterDisplay shown) {
    Blank(shown);
    shown.Minus = true;
    shown.Digit[1] = 1;
    return shown;
}

TMeterReadout MeterReadout(int position, double x) {
    TMeterReadout out;
    TMeterDisplay& d = out.Display;
    const TRange& range = MeterRange(position);
    const double v = std::fabs(x) * range.Scale;
    if (range.Reads == TReads::Nothing) return out; // all blank

    d.HighVolt = position == 1 || position == 19;
    // The beeper decides before the range does: 0 Ω beeps, and so does an overload below 70 Ω
    // (there is none: every resistance range reaches past it).
    if (position == 9) out.Beeper = v < MeterBeepBelow;
    // A value that is no number at all (a failed solve) is as far off the scale as it gets.
    if (!std::isfinite(v)) return {MeterOverload(d), out.Beeper};
    if (v != 0) {
        if (v >= range.Overload) return {MeterOverload(d), out.Beeper};
        if (v < range.ZeroBelow) return {MeterZero(d), out.Beeper};
    }
    d.Minus = x < 0;

    int n = range.Digits;
    if (n <= 3) d.Point[n] = true;
    if (v >= 1) {
        // Fewer integer digits than the range has room for start further right.
        double f = 1;
        while (!(f <= v && v < 10 * f)) {
            f *= 10;
            --n;
        }
        if (n < 1) n = 1;
    }

    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%31.15f", v);
    QByteArray text(buffer);
    text.replace(" ", "");
    if (text.contains('.')) {
        while (text.endsWith('0'))
            text.chop(1);
        if (text.endsWith('.')) text += '0';
    }
    // The digits run on from position n; whatever does not fit is cut off, never rounded. The
    // half digit at position 1 can only show 1.
    qsizetype i = 0;
    for (int p = n; p <= 4;) {
        if (i < text.size()) {
            const char c = text[i++];
            if (c < '0' || c > '9') continue;
            d.Digit[p] = p == 1 ? 1 : c - '0';
        } else {
            d.Digit[p] = p == 1 ? 1 : 0;
        }
        ++p;
    }
    return out;
}
