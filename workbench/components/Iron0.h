#pragma once
// The circuit element: every branch the solver sees, parts and instrument inputs alike. It lies
// between two board nodes and carries one complex current, positive from its first terminal
// (upper or left node) through the element to its second terminal.

#include "board/Flatobject.h"

#include <QIODevice>
#include <complex>

class TNode;

using TComplex = std::complex<double>;

class TIron0 : public TFlatObject {
    Q_OBJECT
public:
    TIron0(QWidget* board, const QString& pictureName);
    ~TIron0() override;

    double Resistance = 0;  // ohms, stored as absolute value
    double Inductance = 0;  // henries
    double Capacitance = 0; // farads; 0 means no capacitive term
    double Emf = 0;         // volts; the sign the circuit sees comes from GetEmf
    TComplex Current;       // amperes, the last solution
    TComplex Voltage;       // volts, Current * impedance (the EMF does not enter)
    double Power = 0;       // watts, active power
    double Load = 0;        // overload ratio; above 1 the element is overloaded
    bool Burnt = false;
    TNode* FirstNode = nullptr;
    TNode* SecondNode = nullptr;
    bool AcDriven = false; // lies in a closed loop with an alternating source

    virtual void SetResistance(double value);
    virtual void SetInductance(double value);
    virtual void SetCapacitance(double value);
    // The circuit's one angular frequency; oscilloscope channels redraw when it changes.
    virtual void SetFrequency(double omega);
    // The impedance as the circuit now drives the element.
    TComplex GetImpedance() { return ImpedanceWhen(AcDriven); }
    // The impedance with and without an alternating source in the element's loops: only a coil
    // or a capacitor tells them apart.
    virtual TComplex ImpedanceWhen(bool acDriven);
    virtual double GetEmf();
    virtual void SetEmf(double value);
    // Hands the element its solved current: derives voltage and power, then UpdateState.
    virtual void SetCurrent(TComplex current);
    virtual void BurnOut(bool) {}
    virtual void UpdateState() {}
    virtual void ConnectNodes(TNode* first, TNode* second);

    // What the solver asks besides impedance and EMF: an open switch or a switched-off meter
    // breaks every loop through it; a generator drives its loops with alternating current.
    virtual bool BreaksLoops() const { return false; }
    virtual bool IsAlternatingSource() const { return false; }
    // Oscilloscope channels refresh whenever the circuit's frequency changes.
    virtual bool RedrawsOnFrequencyChange() const { return false; }
};

// Every circuit element in creation order; the position is the element's number in the solver.
extern QList<TIron0*> CircuitElements;
// The circuit's angular frequency in rad/s; 0 while no alternating source exists.
extern double CircuitOmega;

// The element's number; throws EThrownText("No Iron in Array !") for an unregistered one.
int IndexOfElement(const TIron0* element);
