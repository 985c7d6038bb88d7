#include "document/Circuit.h"

#include "board/Node.h"
#include "components/Iron0.h"
#include "shell/Global.h"
#include "solver/Calculate.h"

#include <QCoreApplication>

namespace {

void ReadImpedances(TIron0* part, TCircuitElement& e) {
    e.Impedance = part->ImpedanceWhen(false);
    e.DrivenImpedance = part->ImpedanceWhen(true);
}

// What a part made of its current: a meter with both leads on one node closes its own loop.
void ReadState(TIron0* part, TCircuitElement& e) {
    e.Current = part->Current;
    e.Voltage = part->Voltage;
    e.Load = part->Load;
    e.Burnt = part->Burnt;
}

// The parts of one view, by element number; the view's results go to them.
class TBoardSink : public TCircuitSink {
public:
    explicit TBoardSink(QList<TIron0*> parts) : Parts(std::move(parts)) {}

    void TakeAcMarks(const TCircuitView& view) override {
        for (int e = 0; e < view.ElementCount(); ++e)
            Parts[e]->AcDriven = view.Elements[size_t(e)].AcDriven;
    }
    void TakeCurrent(TCircuitView& view, int e) override {
        TCircuitElement& element = view.Elements[size_t(e)];
        Guard([&] { Parts[e]->SetCurrent(element.Current); });
        ReadState(Parts[e], element);
    }
    void BurnOut(TCircuitView& view, int e) override {
        TCircuitElement& element = view.Elements[size_t(e)];
        Guard([&] { Parts[e]->BurnOut(true); });
        ReadImpedances(Parts[e], element);
        ReadState(Parts[e], element);
    }
    void Report(TSolveProblem problem, const QString& text) override {
        switch (problem) {
        case TSolveProblem::Singular:
            Fail(HasText(712) ? GetText(712) : QString());
            break;
        case TSolveProblem::Failed:
            Fail(text);
            break;
        case TSolveProblem::Unexpected:
            ShowMessage(text, QCoreApplication::applicationName(), TMsgButtons::Ok,
                        TMsgIcon::Error);
            break;
        case TSolveProblem::LogStopped:
            // Something is in the log's way: it ends for this run, and the student is told once.
            ShowMessage(GetText(713) + text, GetText(714), TMsgButtons::Ok, TMsgIcon::Warning);
            break;
        }
    }

    // A failed solve, with the error sound; no box while a part is being dragged.
    static void Fail(const QString& text) {
        PlayWaveResource("wavOnError");
        if (!DragInProgress()) ShowMessage(text, HasText(711) ? GetText(711) : QString());
    }

private:
    // A part's own failure ends the solve as the solver's failures do.
    template <class F> static void Guard(F f) {
        try {
            f();
        } catch (const EThrownText& failure) {
            throw ESolveFailure{TSolveProblem::Failed, failure.Text()};
        }
    }

    const QList<TIron0*> Parts;
};

} // namespace

TCircuitView BoardCircuit() {
    TCircuitView view;
    view.NodeCount = int(Nodes.size());
    view.Omega = CircuitOmega;
    // A node's number is its place on the lattice; a node found elsewhere is looked up.
    auto numberOf = [&](const TNode* node) {
        if (!node) return -1;
        const qsizetype q = qsizetype(node->Row) * 7 + node->Column;
        if (node->Row >= 0 && node->Column >= 0 && node->Column < 7 && q < Nodes.size() &&
            Nodes[q] == node)
            return int(q);
        return IndexOfNode(node);
    };
    view.Elements.resize(size_t(CircuitElements.size()));
    for (int k = 0; k < int(CircuitElements.size()); ++k) {
        TIron0* part = CircuitElements.at(k); // (read only: the list stays shared with the sink's)
        TCircuitElement& e = view.Elements[size_t(k)];
        e.First = numberOf(part->FirstNode);
        e.Second = numberOf(part->SecondNode);
        ReadImpedances(part, e);
        e.Emf = part->GetEmf();
        e.AlternatingSource = part->IsAlternatingSource();
        e.BreaksLoops = part->BreaksLoops();
        e.Kind = part->metaObject()->className();
        e.AcDriven = part->AcDriven;
        ReadState(part, e);
    }
    return view;
}

bool SolveBoard() {
    const QList<TIron0*> parts = CircuitElements;
    TBoardSink sink(parts);
    TCircuitView view;
    try {
        view = BoardCircuit();
    } catch (const EThrownText& failure) {
        // The board contradicts itself: a failed solve, no current anywhere.
        Solver::LastSolve = {};
        Solver::LastSolve.Failed = true;
        TBoardSink::Fail(failure.Text());
        for (TIron0* part : parts)
            if (part->Current != TComplex()) part->SetCurrent(TComplex());
        return false;
    }
    return SolveCircuit(view, sink);
}
