#pragma once
// What the solver derives from the circuit before it writes an equation: the circuit as numbered
// elements and nodes, its loops, the elements and nodes that lie in loops, and the loop groups.

#include "solver/Calculate.h"

#include <algorithm>
#include <vector>

// The view read once per solve: elements by number, nodes by number.
struct TCircuitGraph {
    TCircuitView* View = nullptr;              // the element values, and where the marks go
    int NodeCount = 0;
    std::vector<int> First, Second;            // node numbers, -1 where the terminal is free
    std::vector<std::vector<int>> Attached;    // per node: its elements, ascending
    std::vector<char> Breaks;                  // open switch or switched-off meter

    int ElementCount() const { return int(First.size()); }
    // A branch a loop can run through: both terminals on different nodes.
    bool Joins(int e) const { return First[e] >= 0 && Second[e] >= 0 && First[e] != Second[e]; }

    // Throws ESolveFailure for a node number outside the view.
    static TCircuitGraph Of(TCircuitView& view);
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
        for (size_t q = 0; q < nodes; ++q) Parent[q] = int(q);
    }
    int Find(int q) {
        while (Parent[size_t(q)] != q) q = Parent[size_t(q)] = Parent[size_t(Parent[size_t(q)])];
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

// The topology of the loops now in Circles; sets the elements' AcDriven marks.
TTopology PrepareFromLoops(const TCircuitGraph& g);

// The same facts from the graph's biconnected blocks, independent of any choice of loops, and
// one independent loop per chord of a spanning tree of each block (put into Circles).
TTopology PrepareFromSpanningTrees(const TCircuitGraph& g);

// Per element: whether it lies in some closed loop of the board (a block of two or more
// branches), open switches and switched-off meters counted as branches.
std::vector<char> ElementsInLoops(const TCircuitGraph& g);

// Sets AcDriven on exactly the elements of the groups that hold an alternating source.
void MarkAcDriven(const TCircuitGraph& g, const TTopology& t);

// Appends the solve's record to the log file (header, one record per element). Tells the sink
// when the log had to stop.
void AppendSolveLog(const TCircuitGraph& g, TCircuitSink& sink);
