#pragma once
// The capacitor: in a loop with an alternating source, a reactance of -1/(wC); everywhere else
// it blocks direct current. Above its working voltage it burns out.

#include "components/Iron.h"

class TCondensator : public TIron {
    Q_OBJECT
public:
    TCondensator();

    double MaxVoltage = 0; // volts

    // A lower rating sends the circuit-changed message, so the overload check runs again.
    void SetMaxVoltage(double value);
    TComplex ImpedanceWhen(bool acDriven) override;
    // A capacitor blocks direct current: it conducts only in a loop with an alternating source.
    static TComplex ImpedanceOf(double capacitance, bool acDriven);
    void UpdateState() override;
    void BurnOut(bool burn) override;
    void SaveToFile(QIODevice& file) override;
    void LoadFromFile(QIODevice& file) override;
    QString GetHint() override;
    void FillPanel(TPanelValues& values) override;
    void TakePanel(const TPanelValues& values) override;

    static void ClassStartup();
    static void ClassExit();
};
