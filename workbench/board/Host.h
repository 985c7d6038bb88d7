#pragma once
// What the layers above lend the board, the parts and the instruments. The board, the parts and
// the instruments never include the solver, the scheme files or the main window; they call
// these instead. Everything here is installed in one place: JoinCircuit (the solver and the
// scheme document, for every program and tool) and JoinWindows (the main window's part, in the
// workbench). An empty member means nobody lends it: the call is skipped.

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>

struct TBenchHost {
    // --- For the board
    // One solve of the whole circuit; true when overloaded parts burnt out, so that the circuit
    // changed again.
    std::function<bool()> SolveCircuit;
    // The student changed the scheme (a part moved, values set): it now differs from its file.
    std::function<void()> SchemeModified;
    // The trash can a discarded part is shown on; the parts box a part can be dropped back into.
    QPointer<QWidget> TrashCan;
    QPointer<QWidget> PartsBox;

    // --- For the parts
    std::function<void()> DeleteSelectedPart;            // the popup menu's delete item
    std::function<void()> ShowParametersPanel;           // a double click on a part
    std::function<void(bool visible)> ShowLoadingWindow; // while the kinds load their pictures
    std::function<bool()> InTeacherMode;                 // a black box then names what it holds
    // The parts box offers a kind or refuses it (a battery and a generator never share the board).
    std::function<void(quint8 kind, bool enabled)> EnablePartsBoxItem;

    // --- For the instruments
    // Where the main window's parts-box picture and its status line are, in its coordinates:
    // the instruments open clear of both.
    std::function<QRect()> ToolBarImage;
    std::function<int()> StatusBarTop;
    // The multimeter button is disabled while both meters are out, the oscilloscope button
    // while the oscilloscope is.
    std::function<void(bool enabled)> EnableMultimeterButton;
    std::function<void(bool enabled)> EnableOscilloscopeButton;
};
extern TBenchHost BenchHost;

// Every change of the circuit goes through here. The board solves the circuit again at its next
// tick. A change of the scheme itself (TChange::Scheme: a part dragged, values applied from the
// parameters panel) also marks the document modified; a lead moved, a meter's switch turned, a
// switch toggled or a part burnt out change only the circuit.
enum class TChange { Circuit, Scheme };
void NotifyCircuitChanged(TChange change = TChange::Circuit);
