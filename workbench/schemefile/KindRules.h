#pragma once
// The electrical rules of the part kinds, in one place for the parts on the board and for the
// records read without them (SchemeParts.h): what a kind's values make of its impedance, and
// which black box contents drive their loops with alternating current.

#include <QtGlobal>
#include <complex>

// An element with resistance, inductance and capacitance in series, at angular frequency w.
inline std::complex<double> SeriesImpedance(double r, double l, double c, double w) {
    if (w * c == 0) return {r, w * l};
    return {r, w * l - (1 / w) / c};
}

// A capacitor blocks direct current; it counts its reactance only where a generator drives it.
inline std::complex<double> CapacitorImpedance(double c, bool acDriven, double w) {
    const double wc = w * c;
    if (acDriven && wc != 0) return {0, -1 / wc};
    return {1E60, 0};
}

// A coil is a wire on direct current.
inline std::complex<double> CoilImpedance(double l, bool acDriven, double w) {
    if (acDriven) return {0, w * l};
    return {1E-6, 0};
}

// The black box's contents that drive their loops with alternating current, as a file may carry
// them.
inline bool AlternatingVariant(quint8 variant) {
    switch (variant) {
    case 5:
    case 9:
    case 10:
    case 11:
    case 15:
    case 16:
    case 17:
        return true;
    default:
        return false;
    }
}
