#pragma once
// The multimeter's display arithmetic: what the 3½-digit display shows for a value in a switch
// position. No window and no sound here: the panel paints the display this returns and starts
// or stops its beeper as told.

#include "instruments/Meterdisplay.h"

#include <optional>

enum class TReads { Nothing, AcVolts, DcAmps, Ohms, DcVolts };

// One switch position: what the meter's element is made of, what is read, and how it is shown.
struct TRange {
    TReads Reads;
    double Resistance; // ohms: the meter's internal resistance in this position
    double Emf;        // volts, as handed to SetEmf: the ohmmeter's internal source
    double Scale;      // from volts, amperes or ohms into the unit on the face
    double Overload;   // shown values at or above this overload the range
    double ZeroBelow;  // shown values below this are too small for the range
    int Digits;        // digits before the point
};

// The twenty switch positions, 0 (off) to 19; 7 and 8 cannot be selected.
const TRange& MeterRange(int position);
bool MeterPositionSelectable(int position);

// The continuity beeper of position 9 sounds below this many ohms.
constexpr double MeterBeepBelow = 70;

struct TMeterReadout {
    TMeterDisplay Display;
    // Position 9 only: whether the continuity beeper sounds. Elsewhere it is left as it is.
    std::optional<bool> Beeper;
};

// The display for x (volts, amperes or ohms; its sign shows as the minus) in `position`. Digits
// that do not fit are cut off, never rounded; a value too large (or no number at all) shows the
// overload pattern, a value too small for the range the lone 0.
TMeterReadout MeterReadout(int position, double x);

// The lone 0 at the last position, every other digit, point and the minus off; the high-voltage
// sign stays as it was.
TMeterDisplay MeterZero(TMeterDisplay shown);
// The minus sign with the half digit 1, every point off; the high-voltage sign stays.
TMeterDisplay MeterOverload(TMeterDisplay shown);
