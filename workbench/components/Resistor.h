#pragma once
// The resistor: a resistance with a rated power. Overloaded, it burns out and becomes an open
// circuit. Its body carries its value, as the colour bands would on a real one.

#include "components/Iron.h"

class TResistor : public TIron {
    Q_OBJECT
public:
    TResistor();

    double MaxPower = 0; // watts

    void SetResistance(double value) override;
    // A lower rating sends the circuit-changed message, so the overload check runs again.
    void SetMaxPower(double value);
    void BurnOut(bool burn) override;
    void UpdateState() override;
    void SaveToFile(QIODevice& file) override;
    void LoadFromFile(QIODevice& file) override;
    QString GetHint() override;
    void FillPanel(TPanelValues& values) override;
    void TakePanel(const TPanelValues& values) override;

    // The value printed on the body: 470.0, 4к7, 2М2.
    static QString ValueLabel(double resistance);

    static void ClassStartup();
    static void ClassExit();

protected:
    void paintEvent(QPaintEvent* e) override;
};
