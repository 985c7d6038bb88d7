// The loop set the solve falls back on when listing every loop would take too long, or when the
// listed loops do not give a solvable system: per loop group, one loop for each chord of a
// spanning tree. Those loops are independent by construction, exactly as many as the group
// has branches minus nodes plus one.
//
// The loop groups here are the biconnected blocks of the circuit without its open switches and
// switched-off meters: an element lies in a closed loop exactly when it lies in a block of two
// or more branches, and two elements share a loop exactly when they share a block.

#include "solver/Topology.h"

#include <algorithm>
#include <span>

namespace {

// The block search's working space, kept from one solve to the next.
struct TBlockScratch {
    struct TFrame {
        int Node;
        int ViaElement; // the tree branch we came in by, -1 at a root
        size_t Next;    // the next of the node's elements to look at
    };
    std::vector<int> Order, Low, EdgeStack;
    std::vector<TFrame> Stack;
    std::vector<std::vector<int>> Blocks; // the first BlockCount of them are this solve's
    size_t BlockCount = 0;
};
TBlockScratch BlockScratch;

// Blocks of two or more branches, each as its element numbers ascending; blocks ordered by
// their lowest element (the first BlockCount of the scratch's Blocks).
void FindLoopBlocks(const TCircuitGraph& g) {
    TBlockScratch& s = BlockScratch;
    const size_t nodeCount = size_t(g.NodeCount);
    // The branches a loop can run through: an open switch or a switched-off meter is none.
    auto usable = [&](int e) { return g.Joins(e) && !g.Breaks[size_t(e)]; };
    auto hasUsable = [&](int q) {
        for (int e : g.AttachedTo(q))
            if (usable(e)) return true;
        return false;
    };

    s.Order.assign(nodeCount, -1);
    s.Low.assign(nodeCount, 0);
    s.EdgeStack.clear();
    s.BlockCount = 0;
    int counter = 0;
    for (int root = 0; root < int(nodeCount); ++root) {
        if (s.Order[size_t(root)] >= 0 || !hasUsable(root)) continue;
        s.Stack.assign(1, {root, -1, 0});
        s.Order[size_t(root)] = s.Low[size_t(root)] = counter++;
        while (!s.Stack.empty()) {
            TBlockScratch::TFrame& f = s.Stack.back();
            const std::span<const int> around = g.AttachedTo(f.Node);
            if (f.Next < around.size()) {
                const int e = around[f.Next++];
                if (!usable(e) || e == f.ViaElement) continue;
                const int other = g.First[size_t(e)] ^ g.Second[size_t(e)] ^ f.Node;
                if (s.Order[size_t(other)] < 0) {
                    s.EdgeStack.push_back(e);
                    s.Order[size_t(other)] = s.Low[size_t(other)] = counter++;
                    s.Stack.push_back({other, e, 0});
                } else if (s.Order[size_t(other)] < s.Order[size_t(f.Node)]) {
                    s.EdgeStack.push_back(e); // a branch back up the tree (or a parallel one)
                    s.Low[size_t(f.Node)] = std::min(s.Low[size_t(f.Node)], s.Order[size_t(other)]);
                }
                continue;
            }
            const TBlockScratch::TFrame done = f;
            s.Stack.pop_back();
            if (s.Stack.empty()) break;
            TBlockScratch::TFrame& parent = s.Stack.back();
            s.Low[size_t(parent.Node)] =
                std::min(s.Low[size_t(parent.Node)], s.Low[size_t(done.Node)]);
            if (s.Low[size_t(done.Node)] >= s.Order[size_t(parent.Node)]) {
                // parent separates done's subtree: the branches stacked since form one block.
                if (s.Blocks.size() == s.BlockCount) s.Blocks.emplace_back();
                std::vector<int>& block = s.Blocks[s.BlockCount];
                block.clear();
                for (;;) {
                    const int e = s.EdgeStack.back();
                    s.EdgeStack.pop_back();
                    block.push_back(e);
                    if (e == done.ViaElement) break;
                }
                if (block.size() >= 2) {
                    std::sort(block.begin(), block.end());
                    ++s.BlockCount;
                }
            }
        }
    }
    std::sort(
        s.Blocks.begin(), s.Blocks.begin() + std::ptrdiff_t(s.BlockCount),
        [](const std::vector<int>& a, const std::vector<int>& b) { return a.front() < b.front(); });
}

// The chord loops' working space, kept from one solve to the next.
struct TChordScratch {
    std::vector<int> Nodes, Local, AroundStart, Around, ParentElement, Depth, Queue;
    std::vector<char> InTree;
    std::vector<std::pair<int, int>> Steps, Down;
};
TChordScratch ChordScratch;

// One loop per chord of a breadth-first spanning tree of the block, oriented so that it runs
// through its lowest-numbered element from that element's first node to its second.
void AddChordLoops(const TCircuitGraph& g, const std::vector<int>& block, TLoopList& loops) {
    TChordScratch& s = ChordScratch;
    // The block's nodes, ascending, numbered from 0 (`local`).
    std::vector<int>& nodes = s.Nodes;
    s.Local.assign(size_t(g.NodeCount), -1);
    for (int e : block)
        s.Local[size_t(g.First[size_t(e)])] = s.Local[size_t(g.Second[size_t(e)])] = 0;
    nodes.clear();
    for (int q = 0; q < g.NodeCount; ++q)
        if (s.Local[size_t(q)] == 0) {
            s.Local[size_t(q)] = int(nodes.size());
            nodes.push_back(q);
        }
    auto local = [&](int q) { return s.Local[size_t(q)]; };

    // Per local node, its block elements in block order (node v's from AroundStart[v]).
    s.AroundStart.assign(nodes.size() + 1, 0);
    for (int e : block) {
        ++s.AroundStart[size_t(local(g.First[size_t(e)])) + 1];
        ++s.AroundStart[size_t(local(g.Second[size_t(e)])) + 1];
    }
    for (size_t v = 1; v < s.AroundStart.size(); ++v)
        s.AroundStart[v] += s.AroundStart[v - 1];
    s.Around.resize(size_t(s.AroundStart.back()));
    s.Queue.assign(s.AroundStart.begin(), s.AroundStart.end() - 1); // fill positions
    for (int e : block) {
        s.Around[size_t(s.Queue[size_t(local(g.First[size_t(e)]))]++)] = e;
        s.Around[size_t(s.Queue[size_t(local(g.Second[size_t(e)]))]++)] = e;
    }

    std::vector<int>& parentElement = s.ParentElement;
    std::vector<int>& depth = s.Depth;
    parentElement.assign(nodes.size(), -2);
    depth.assign(nodes.size(), 0);
    s.InTree.assign(size_t(g.ElementCount()), 0);
    s.Queue.assign(1, 0);
    parentElement[0] = -1;
    for (size_t at = 0; at < s.Queue.size(); ++at) {
        const int v = s.Queue[at];
        for (int i = s.AroundStart[size_t(v)]; i < s.AroundStart[size_t(v) + 1]; ++i) {
            const int e = s.Around[size_t(i)];
            const int q = nodes[size_t(v)];
            const int w = local(g.First[size_t(e)] == q ? g.Second[size_t(e)] : g.First[size_t(e)]);
            if (parentElement[size_t(w)] != -2) continue;
            parentElement[size_t(w)] = e;
            depth[size_t(w)] = depth[size_t(v)] + 1;
            s.InTree[size_t(e)] = 1;
            s.Queue.push_back(w);
        }
    }
    auto up = [&](int v) {
        const int e = parentElement[size_t(v)];
        const int q = nodes[size_t(v)];
        return local(g.First[size_t(e)] == q ? g.Second[size_t(e)] : g.First[size_t(e)]);
    };

    std::vector<std::pair<int, int>>& steps = s.Steps;
    std::vector<std::pair<int, int>>& down = s.Down; // from the meeting node down to a, reversed
    for (int chord : block) {
        if (s.InTree[size_t(chord)]) continue;
        // The loop: the chord from its first node a to its second node b, then the tree
        // from b back to a. Steps are (element, node it leaves).
        steps.assign(1, {chord, g.First[size_t(chord)]});
        down.clear();
        int a = local(g.First[size_t(chord)]);
        int b = local(g.Second[size_t(chord)]);
        while (a != b) {
            if (depth[size_t(b)] >= depth[size_t(a)]) {
                steps.push_back({parentElement[size_t(b)], nodes[size_t(b)]});
                b = up(b);
            } else {
                const int next = up(a);
                down.push_back({parentElement[size_t(a)], nodes[size_t(next)]});
                a = next;
            }
        }
        steps.insert(steps.end(), down.rbegin(), down.rend());

        auto lowest = std::min_element(steps.begin(), steps.end());
        const bool forward = g.First[size_t(lowest->first)] == lowest->second;
        if (!forward) {
            // Run the other way round: each element leaves the node it entered by.
            std::reverse(steps.begin(), steps.end());
            for (auto& [e, from] : steps)
                from = g.First[size_t(e)] == from ? g.Second[size_t(e)] : g.First[size_t(e)];
        }
        loops.Add(g, steps);
    }
}

} // namespace

TTopology PrepareFromSpanningTrees(const TCircuitGraph& g) {
    TTopology t;
    ListedLoops.Clear();
    LoopUnion = TElementMask(g.ElementCount());
    FindLoopBlocks(g);
    for (size_t i = 0; i < BlockScratch.BlockCount; ++i) {
        const std::vector<int>& block = BlockScratch.Blocks[i];
        TElementMask elements(g.ElementCount());
        for (int e : block)
            elements.Set(e);
        LoopUnion |= elements;
        t.Groups.push_back({elements, NodesOf(g, elements)});
        AddChordLoops(g, block, ListedLoops);
    }
    CollectLoopElements(g, LoopUnion, t);
    MarkAcDriven(g, t);
    return t;
}
