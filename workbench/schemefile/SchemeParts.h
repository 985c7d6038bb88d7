#pragma once
// A scheme file's circuit without the parts' windows, for programs that show nothing
// (schemetool): each record read into plain values by the rules its kind applies when it loads
// itself on the board, the circuit view built from them, the kinds' overload and burn-out rules
// for the solves that settle the circuit, and the file written again in version 1.2. The
// workbench itself loads the parts; the tests hold the two to the same results and the same
// bytes for every kind.

#include "schemefile/SchemeIO.h"
#include "solver/Circuit.h"

#include <functional>
#include <vector>

struct TSchemePart {
    quint8 Kind = 0;
    // The common record as the part keeps it once loaded.
    double Resistance = 0, Inductance = 0, Capacitance = 0, Emf = 0;
    bool Burnt = false, Hidden = false;
    int First = -1, Second = -1; // board nodes, row * 7 + column; first above or left of second

    // The kinds' own records.
    double Rating = 0; // resistor: power, capacitor: voltage, fuse: current it stands
    double RatedVoltage = 0, RatedCurrent = 0, RatedPower = 0; // lamp and heater
    double MaxValue = 0;                                       // variable resistor, capacitor
    int HandlePosition = 15;                                   // their slider, 1..20
    double Section = 0, Length = 0, Resistivity = 0;           // conductor
    bool On = false;                                           // switch
    double Capacity = 360, NominalEmf = 1.5, NominalResistance = 0.3; // battery
    bool Discharging = false, Reversed = false;
    quint8 Variant = 1; // black box content

    // What the last solve left.
    bool AcDriven = false;
    TComplex Current, Voltage;
    double Power = 0, Load = 0;

    const char* ClassName() const;
    TComplex ImpedanceWhen(bool acDriven, double omega) const;
    TComplex Impedance(double omega) const { return ImpedanceWhen(AcDriven, omega); }
    double SignedEmf() const { return Kind == KindBattery && Reversed ? -Emf : Emf; }
    bool IsAlternatingSource() const;
    bool BreaksLoops() const { return Kind == KindSwitch && !On; }
};

struct TSchemeFile {
    double Omega = 0;
    std::vector<TSchemePart> Parts; // in the order of the file
};

// Reads a scheme file of any version as the workbench loads it; throws ESchemeIO for a file
// the workbench refuses, for the same reason.
TSchemeFile ReadSchemeFile(QIODevice& file);
// Writes the circuit in version 1.2, as the workbench saves the loaded board; throws ESchemeIO.
void WriteSchemeFile(QIODevice& file, const TSchemeFile& scheme);

// The circuit view of the parts, elements in file order, nodes numbered as on the board.
TCircuitView CircuitOf(const TSchemeFile& scheme);

// Solves until no part burns out any more, as the board's tick does; the solves' problems go to
// `report`. False when the circuit has not settled after 21 solves; Solver::LastSolve says
// whether the last one failed.
bool SettleScheme(TSchemeFile& scheme,
                  const std::function<void(TSolveProblem, const QString&)>& report);
