#pragma once
// What the multimeter's liquid-crystal display shows: a 3½-digit readout. Digit position 1 is the
// half digit, which can only show "1"; positions 2 to 4 are full seven-segment digits. There are
// decimal points after positions 0 to 3 (none after the last digit), the minus sign and the
// high-voltage sign. The panel paints exactly this, so what is here is what the student sees.

#include <QString>

struct TMeterDisplay {
    static constexpr int Blank = -1;

    int Digit[5] = {Blank, Blank, Blank, Blank, Blank}; // positions 1..4 (index 0 unused)
    bool Point[4] = {false, false, false, false};       // the point after position 0..3
    bool HighVolt = false;
    bool Minus = false;

    // The readout as one line: the minus sign or a blank, then positions 1 to 4, each a digit
    // or a blank, each lit point after its position: "-1   ", " 12.34", "    0", "  0.00".
    QString Text() const {
        QString s(Minus ? '-' : ' ');
        if (Point[0]) s += '.';
        for (int p = 1; p <= 4; ++p) {
            s += Digit[p] == Blank ? QChar(' ') : QChar('0' + Digit[p]);
            if (p <= 3 && Point[p]) s += '.';
        }
        return s;
    }

    bool operator==(const TMeterDisplay&) const = default;
};
