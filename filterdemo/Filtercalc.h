#pragma once
// The arithmetic of the filter calculator, kept apart from the window so it can be checked on its
// own: the lists the window offers, the conversion of its inputs to hertz and ohms, the two
// capacitors of the filter, and the way a capacitance is written for the student.
//
// The circuit is the unity-gain second-order low-pass filter: R1 and R2 (equal) in series from
// the input, C1 from their junction to the output, C2 from the follower's input to ground. Its
// cutoff is f = 1 / (2*pi*R*sqrt(C1*C2)) and its quality factor sqrt(C1*C2) / (2*C2); C1 = 2*C2
// makes Q = 1/sqrt(2), the maximally flat response.

#include <QString>
#include <QStringList>

// The frequency units of Combo1 and the resistor units of Combo3, in list order.
QStringList FrequencyUnits();
QStringList ResistanceUnits();

// The 71 resistor values of Combo2, written with a decimal comma: the first decade of the E24
// series without 1,6, then the whole series times ten and times a hundred.
QStringList ResistorValues();

// The cutoff frequency in hertz for the scroll bar's number and the unit shown in Combo1. An
// unknown unit counts as hertz.
double CutoffHertz(int number, const QString& unit);

// The resistance in ohms for a value of Combo2 ("4,7") and the unit shown in Combo3. An unknown
// unit counts as ohms; a text that is no number gives 0.
double ResistorOhms(const QString& number, const QString& unit);

// C1 and C2 in microfarads for the maximally flat response at the given cutoff.
struct TCapacitors {
    double C1;
    double C2;
};
TCapacitors FilterCapacitors(double hertz, double ohms);

// A capacitance as the window shows it: the number (decimal comma, at most one decimal, cut and
// not rounded, no trailing zero) and its unit "мкф", "нф" or "пф".
struct TShownValue {
    QString Text;
    QString Unit;
};
TShownValue ShowMicrofarads(double microfarads);
