#pragma once
// What the solver derives from the circuit before it writes an equation: the circuit as numbered
// elements and nodes, its loops, the elements and nodes that lie in loops, and the loop groups.

#include "solver/Calculate.h"

#include <algorithm>
#include <span>
#include <vector>

// The view read once per solve: elements by number, nodes by number.
struct TCircuitGraph {
    TCircuitView* View = nullptr; // the element values, and where the marks go
    int NodeCount = 0;
    std::vector<int> First, Second; // node numbers, -1 where the terminal is free
    std::vector<char> Breaks;       // open switch or switched-off meter

    int ElementCount() const { return int(First.size()); }
    // The elements with a terminal on node q, ascending.
    std::span<const int> AttachedTo(int q) const {
        return {AttachedList.data() + AttachedStart[size_t(q)],
                size_t(AttachedStart[size_t(q) + 1] - AttachedStart[size_t(q)])};
    }
    // A branch a loop can run through: both terminals on different nodes.
    bool Joins(int e) const { return First[e] >= 0 && Second[e] >= 0 && First[e] != Second[e]; }

    // Throws ESolveFailure for a node number outside the view.
    static TCircuitGraph Of(TCircuitView& view);

private:
    // Every node's elements in one list, node q's from AttachedStart[q] (one allocation each,
    // however many nodes).
    std::vector<int> AttachedStart, AttachedList;
};

// Loops sharing elements form a group; its nodes get current-law rows.
struct TLoopGroup {
    TElementMask Elements;
    std::vector<int> Nodes; // ascending node numbers
};

struct TTopology {
    std::vector<int> LoopElements; // registry order (B of them)
    std::vector<int> LoopNodes;    // in the order the loop elements meet them (N of them)
    std::vector<TLoopGroup> Groups;
};

// The nodes of a set of elements, ascending.
std::vector<int> NodesOf(const TCircuitGraph& g, const TElementMask& elements);
// Fills the loop elements (those of `loops`, in registry order) and the loop nodes.
void CollectLoopElements(const TCircuitGraph& g, const TElementMask& loops, TTopology& t);

// Connected pieces of nodes, merged as elements join them. Each piece is named by its lowest
// node.
class TNodePieces {
public:
    explicit TNodePieces(size_t nodes) : Parent(nodes) {
        for (size_t q = 0; q < nodes; ++q)
            Parent[q] = int(q);
    }
    int Find(int q) {
        while (Parent[size_t(q)] != q)
            q = Parent[size_t(q)] = Parent[size_t(Parent[size_t(q)])];
        return q;
    }
    // False when the two were one piece already (the element closes a loop).
    bool Join(int a, int b) {
        a = Find(a);
        b = Find(b);
        if (a == b) return false;
        Parent[size_t(std::max(a, b))] = std::min(a, b);
        return true;
    }

private:
    std::vector<int> Parent;
};

// A closed loop as the solve keeps it: its elements and how many, and, once walked (or as the
// spanning trees give it), the order it runs through them and the direction of each.
struct TLoop {
    TLoop() = default;
    // Made in place from its elements' words, without first clearing the whole of it (nor
    // moving a mask just written: read whole right after being written in halves, it waits).
    TLoop(const uint64_t* words, size_t wordCount, int count)
        : Elements(TElementMask::FromWords(words, wordCount)), Count(count) {}

    TElementMask Elements;
    int Count = 0;
    int PathAt = -1;         // where its path starts in the list's Paths; -1 until walked
    TElementMask Directions; // bit k: it runs through element k from first to second node
};

// The loops of the last search (or the spanning trees' loops), in Circles order.
struct TLoopList {
    std::vector<TLoop> Loops;
    std::vector<int> Paths; // element numbers; loop i's Count of them from its PathAt

    // Counts every change to the list other than the walking of paths, so that what was
    // derived from one list is known to go with it.
    unsigned Version = 0;

    void Clear() {
        Loops.clear();
        Paths.clear();
        ++Version;
    }
    // Gives loop i its path unless it has one: from its lowest element's first node, through
    // that element first (the way the search found it).
    void Walk(const TCircuitGraph& g, size_t i);
    const int* PathOf(size_t i) const { return &Paths[size_t(Loops[i].PathAt)]; }
    // Appends a loop with the path given as (element, node it leaves) steps.
    void Add(const TCircuitGraph& g, const std::vector<std::pair<int, int>>& steps);
    // Loop i as a TCircle (its path walked first).
    TCircle Circle(const TCircuitGraph& g, size_t i);
};

// The loops the solve works with: those of the last ListLoops, or the spanning trees'.
extern TLoopList ListedLoops;

// Lists every loop of the circuit into ListedLoops, in the order FindCircles gives Circles, and
// sets LoopUnion. False, with the list empty, when the circuit has more than MaxListedLoops
// independent loops.
bool ListLoops(const TCircuitGraph& g);

// The topology of the listed loops, after those through an open switch or a switched-off meter
// are taken out (and LoopUnion with them); sets the elements' AcDriven marks. Follows ListLoops
// of the same graph.
TTopology PrepareFromLoops(const TCircuitGraph& g);

// The same facts from the graph's biconnected blocks, independent of any choice of loops, and
// one independent loop per chord of a spanning tree of each block (put into ListedLoops).
TTopology PrepareFromSpanningTrees(const TCircuitGraph& g);

// Sets AcDriven on exactly the elements of the groups that hold an alternating source.
void MarkAcDriven(const TCircuitGraph& g, const TTopology& t);

// Appends the solve's record to the log file (header, one record per element). Tells the sink
// when the log had to stop.
void AppendSolveLog(const TCircuitGraph& g, TCircuitSink& sink);
