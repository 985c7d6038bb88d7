#pragma once
// The generator: a source of sinusoidal voltage with a tiny internal resistance. Its Emf is the
// effective (root-mean-square) value; the amplitude is √2 times that. All generators share the
// circuit's one frequency, which the first of them sets and the last one takes away.

#include "components/Iron.h"

class TGenerator : public TIron {
    Q_OBJECT
public:
    TGenerator();
    ~TGenerator() override;

    bool AmplitudeHidden = false;

    // Shared by all generators: how many exist (while there is one, the parts box offers no
    // battery), and whether their common frequency is hidden from the student.
    static int GeneratorCount;
    static bool FrequencyHidden;

    void SetAmplitudeHidden(bool hidden);
    void SetFrequencyHidden(bool hidden);

    QString GetHint() override;
    void FillPanel(TPanelValues& values) override;
    void TakePanel(const TPanelValues& values) override;
    bool StateShowsEmf() const override { return true; }
    bool IsAlternatingSource() const override { return true; }

    static void ClassStartup();
    static void ClassExit();
};
