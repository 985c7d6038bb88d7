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
// The solver reads a circuit view (solver/Circuit.h) and hands its results to the view's sink;
// it knows no part, node object or window.

#include "solver/Circuit.h"
#include "solver/ElementMask.h"

#include <QString>
#include <vector>

// One closed loop, oriented by the order of Numbers; element Numbers[i] leaves node NodePath[i].
class TCircle {
public:
    TElementMask PartMask;
    TElementMask DirectionMask; // bit k: the loop runs through element k from first to second node
    std::vector<int> NodePath;  // node numbers
    std::vector<int> Numbers;   // element numbers, in the loop's order

    int ElementCount() const { return int(Numbers.size()); }
};

// The loops of the last FindCircles(), by descending size and mask, the covering subset first.
// (The solve keeps its loops in a list of its own and writes out a loop's path only when it
// takes the loop.)
extern std::vector<TCircle> Circles;
// The elements of the loops the last solve or FindCircles() kept.
extern TElementMask LoopUnion;

// Rebuilds Circles and LoopUnion from the circuit. Returns false, with Circles empty, when the
// circuit has too many loops to list them all: the solve then works from a spanning tree.
bool FindCircles(const TCircuitView& view);

// Tunables and what the last solve did, for the program's tools and the tests.
namespace Solver {
// The log file appended to by every successful solve; empty: no log.
extern QString LogPath;
// Above this size the log is moved to <LogPath>.1 and begun anew.
extern qint64 LogLimit;
// The loops are listed one by one only while the circuit has at most this many independent
// loops (2^n - 1 sums of them are looked at; above 20 the spanning trees are taken anyway).
extern int MaxListedLoops;

enum class TLoopSource {
    Listed,        // the loops the full search listed
    TooManyLoops,  // spanning trees: the circuit has too many loops to list them
    NoProgress,    // spanning trees: every listed loop left was refused
    RanOutOfLoops, // spanning trees: the listed loops were not enough
    Dependent,     // spanning trees: the listed loops chosen depend on each other
    Singular,      // spanning trees: the listed loops gave a singular system
};

struct TLastSolve {
    TLoopSource Source = TLoopSource::Listed;
    bool Failed = false; // a thrown text ended the solve
    int Equations = 0;
    long SearchSteps = 0; // sums of independent loops the search looked at (0 when it did not run)
};
extern TLastSolve LastSolve;

// A solve keeps the loops of the circuit it solved, for the next solve of the same wiring; this
// lets them go, so that the next solve finds its loops anew (for the benchmark's first solves).
void ForgetWiring();
} // namespace Solver
