#pragma once
// A part with freely chosen values, for testing the solver and the board before (and besides)
// the real kinds: impedance R + jX (X given directly, whatever the frequency), an EMF, a power
// rating that sets its Load, and the switch and generator traits.

#include "components/Iron.h"

class TTestPart : public TIron {
    Q_OBJECT
public:
    explicit TTestPart(double resistance = 1, double emf = 0, quint8 kind = KindResistor);

    double Reactance = 0;
    double MaxPower = 0; // 0: never overloaded
    bool Open = false;   // an open switch
    bool AcSource = false;
    int BurnOuts = 0;

    TComplex ImpedanceWhen(bool) override;
    void UpdateState() override;
    void BurnOut(bool burn) override;
    bool BreaksLoops() const override { return Open; }
    bool IsAlternatingSource() const override { return AcSource; }
};

class TFramework;

// Puts a part on the board between nodes (r1, c1) and (r2, c2).
void Place(TIron0* part, int r1, int c1, int r2, int c2);
