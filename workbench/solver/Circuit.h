#pragma once
// The circuit as the solver sees it: numbered elements between numbered nodes, each with its
// impedance and EMF, and nothing else. Whoever owns the parts fills a view (the board's
// adapter in document/, a test, the benchmark) and takes the results back through a sink; the
// solver never sees a part, a node object or a window.

#include <QString>
#include <complex>
#include <vector>

using TComplex = std::complex<double>;

struct TCircuitElement {
    // --- Read by the solve
    int First = -1, Second = -1; // node numbers of the two terminals, -1 where one is free
    // The impedance while no alternating source drives the element, and while one does (a coil
    // or capacitor counts its reactance only in a loop group with a generator).
    TComplex Impedance;
    TComplex DrivenImpedance;
    double Emf = 0; // volts; a positive EMF drives current through the element from first to second
    bool AlternatingSource = false;
    bool BreaksLoops = false; // an open switch or a switched-off meter
    bool Burnt = false;       // a burnt part is never burnt again
    const char* Kind = "";    // the element's class, as the log names it

    // --- Present state, brought up to date by the sink as the parts take the results
    bool AcDriven = false; // lies in a loop group with an alternating source
    TComplex Current;      // amperes, from first to second terminal
    TComplex Voltage;      // Current times impedance
    double Load = 0;       // overload ratio; above 1 the part is overloaded

    TComplex Z() const { return AcDriven ? DrivenImpedance : Impedance; }
};

struct TCircuitView {
    std::vector<TCircuitElement> Elements; // by element number
    int NodeCount = 0;
    double Omega = 0; // the circuit's angular frequency, 0 on direct current

    int ElementCount() const { return int(Elements.size()); }
};

// What went wrong, for the sink to tell the student.
enum class TSolveProblem {
    Singular,   // the equations have no single solution (the text is the language file's)
    Failed,     // the solve ended with the text given
    Unexpected, // an error from the runtime, its own words
    LogStopped, // the log file could not be moved out of the way: logging ends (the text: its path)
};

// Where the results go. The solve calls it in this order: the AC marks once they are known,
// then each element whose current changed, then the burn-outs; a problem whenever one arises.
class TCircuitSink {
public:
    virtual ~TCircuitSink() = default;
    // The elements take their AcDriven marks from the view.
    virtual void TakeAcMarks(const TCircuitView& view) = 0;
    // Element e takes the current now in the view; the sink writes back what the element made
    // of it: its current, voltage and load.
    virtual void TakeCurrent(TCircuitView& view, int e) = 0;
    // Element e burns out; the sink writes back its impedances and Burnt.
    virtual void BurnOut(TCircuitView& view, int e) = 0;
    virtual void Report(TSolveProblem problem, const QString& text) = 0;
};

// Thrown by the solve, or by a sink, to end a solve as failed: the currents go to zero and the
// sink is told.
struct ESolveFailure {
    TSolveProblem Problem = TSolveProblem::Failed;
    QString Text;
};

// One solve: currents for every element, overload and burn-out, the log. Never throws.
// True when overloaded parts burnt out: the circuit has changed and must be solved again.
bool SolveCircuit(TCircuitView& view, TCircuitSink& sink);
