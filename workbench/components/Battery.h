#pragma once
// The battery: a direct-voltage source with an internal resistance. An eternal battery keeps its
// emf for ever; a discharging one runs down with the charge that flows through it, its emf
// falling linearly to three quarters of the nominal value and then to almost nothing when empty.

#include "components/Iron.h"

#include <functional>

class TBattery : public TIron {
    Q_OBJECT
public:
    TBattery();
    ~TBattery() override;

    bool Reversed = false;          // the terminals are swapped
    bool Discharging = false;       // runs down under load; otherwise eternal
    double Capacity = 360;          // coulombs (ampere-seconds) when full; 360 = 100 mA·h
    double Charge = 360;            // coulombs left, 0 .. Capacity
    double NominalEmf = 1.5;        // volts, of the full battery
    double NominalResistance = 0.3; // ohms, internal
    double LastTime = 0;            // days: when the discharge step last ran
    bool EmfHidden = false;
    bool ResistanceHidden = false;

    // How many batteries exist: while there is one, the parts box offers no generator.
    static int BatteryCount;

    // The battery's values come only from its own operations: the generic setters of the base
    // (and with them the common part of the file record) leave it alone.
    void SetResistance(double) override {}
    void SetEmf(double) override {}
    void SetHidden(bool) override {}
    TComplex ImpedanceWhen(bool) override;
    double GetEmf() override;

    void SetReversed(bool reversed);
    void TurnEndForEnd() override;
    // Switching between eternal and discharging always starts from a full battery.
    void SetDischarging(bool discharging);
    void SetEmfHidden(bool hidden);
    void SetResistanceHidden(bool hidden);
    // A full battery: nominal emf and resistance, full charge, the clock starts now.
    void Refill();

    void TimerTick() override;
    void SaveToFile(QIODevice& file) override;
    void LoadFromFile(QIODevice& file) override;
    QString GetHint() override;
    void FillPanel(TPanelValues& values) override;
    void TakePanel(const TPanelValues& values) override;
    bool StateShowsEmf() const override { return true; }
    bool DischargingNow() const override { return Discharging; }

    static void ClassStartup();
    static void ClassExit();
};

// The battery's clock: the present moment as a count of days, the fraction being the time of
// day. Tests set a clock of their own; nullptr restores the system clock.
double BatteryNow();
void SetBatteryClock(std::function<double()> clock);
