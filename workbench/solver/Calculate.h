#pragma once
// The circuit solver. Every circuit element gets one complex current by the branch-current
// method: Kirchhoff's current law at the nodes of each loop group, the voltage law around a set
// of independent loops, and current 0 for every element outside all loops; the system is solved
// by Gaussian elimination with complete pivoting. Direct and alternating sources are solved
// together at the circuit's one angular frequency, all with phase 0, as effective values.
// Before the elimination the equations are regrouped by the size of the impedances (current
// law over pieces of the circuit, loops kept apart by class), so that huge impedances (1E60
// ohms for a capacitor on direct current or a burnt part) neither make the system singular nor
// drown the faint currents beside them.
//
// The solver reads elements and nodes only. It reports failures through Global's seams (sound,
// message box) and never touches a window itself.

#include "solver/ElementMask.h"

#include <QString>
#include <vector>

class TNode;
class TIron0;

// One closed loop, oriented by the order of ElementPath; ElementPath[i] leaves NodePath[i].
class TCircle {
public:
    TElementMask PartMask;
    TElementMask DirectionMask; // bit k: the loop runs through element k from first to second node
    std::vector<TNode*> NodePath;
    std::vector<TIron0*> ElementPath;
    std::vector<int> Numbers; // the element numbers of ElementPath, in its order

    int ElementCount() const { return int(ElementPath.size()); }

    // The solve: currents for every element, overload and burn-out, the log. Never throws.
    // True when overloaded parts burnt out: the circuit has changed and must be solved again.
    static bool Circle();
};

// The loops of the last search, by descending size and mask, the covering subset first.
extern std::vector<TCircle> Circles;
extern TElementMask LoopUnion;

// Rebuilds Circles and LoopUnion from the board. Returns false, with Circles empty, when the
// circuit has too many loops to list them all: the solve then works from a spanning tree.
bool FindCircles();

// Tunables and what the last solve did, for the program's tools and the tests.
namespace Solver {
// The log file appended to by every successful solve; empty: no log.
extern QString LogPath;
// Above this size the log is moved to <LogPath>.1 and begun anew.
extern qint64 LogLimit;
// The loop search lists loops one by one only while the circuit has at most this many
// independent loops and the search takes at most this many steps.
extern int MaxListedLoops;
extern long SearchStepBudget;

enum class TLoopSource {
    Listed,         // the loops the full search listed
    TooManyLoops,   // spanning trees: the circuit has too many loops to list them
    SearchTooLong,  // spanning trees: the search ran out of steps
    NoProgress,     // spanning trees: every listed loop left was refused
    RanOutOfLoops,  // spanning trees: the listed loops were not enough
    Dependent,      // spanning trees: the listed loops chosen depend on each other
    Singular,       // spanning trees: the listed loops gave a singular system
};

struct TLastSolve {
    TLoopSource Source = TLoopSource::Listed;
    bool Failed = false;      // a thrown text ended the solve
    int Equations = 0;
    long SearchSteps = 0;     // steps the loop search took (0 when it did not run)
};
extern TLastSolve LastSolve;
} // namespace Solver
