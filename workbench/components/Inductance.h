#pragma once
// The inductance coil: in a loop with an alternating source, a reactance of wL; elsewhere it
// passes direct current almost unhindered.

#include "components/Iron.h"

class TInductance : public TIron {
    Q_OBJECT
public:
    TInductance();

    TComplex ImpedanceWhen(bool acDriven) override;
    // A coil is a reactance in a loop with an alternating source, a near short otherwise.
    static TComplex ImpedanceOf(double inductance, bool acDriven);
    QString GetHint() override;
    void FillPanel(TPanelValues& values) override;
    void TakePanel(const TPanelValues& values) override;

    static void ClassStartup();
    static void ClassExit();
};
