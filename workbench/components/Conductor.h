#pragma once
// A real conductor: a piece of wire of a chosen material, length and cross-section. Its
// resistance is resistivity x length / section; a zero section is an open circuit.

#include "components/Iron.h"

class TConductor : public TIron {
    Q_OBJECT
public:
    TConductor();

    double Section = 0;     // mm²
    double Length = 0;      // m
    double Resistivity = 0; // ohm·mm²/m
    bool LengthHidden = false;
    bool SectionHidden = false;
    bool ResistivityHidden = false;

    void SetSection(double value);
    void SetLength(double value);
    void SetResistivity(double value);
    void SetLengthHidden(bool hidden);
    void SetSectionHidden(bool hidden);
    void SetResistivityHidden(bool hidden);

    void SaveToFile(QIODevice& file) override;
    void LoadFromFile(QIODevice& file) override;
    QString GetHint() override;
    void FillPanel(TPanelValues& values) override;
    void TakePanel(const TPanelValues& values) override;

    static void ClassStartup();
    static void ClassExit();

private:
    void UpdateResistance();
};
