#pragma once
// The fuse: a near-perfect conductor until the current through it exceeds its rating; then it
// blows, once and for all, and opens the circuit.

#include "components/Iron.h"

class TProtector : public TIron {
    Q_OBJECT
public:
    TProtector();

    double MaxCurrent = 0; // amperes, the rated current

    // A lower rating sends the circuit-changed message, so the overload check runs again.
    void SetMaxCurrent(double value);
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
