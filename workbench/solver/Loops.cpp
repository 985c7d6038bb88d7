// Every closed loop of a circuit of few independent loops, listed from its loop space instead of
// by walking every path.
//
// The loops of a circuit are exactly the sets of elements that are sums (each element taken an
// odd number of times) of the fundamental loops of a spanning forest, one per element outside
// the forest, and that form one simple cycle: every node met twice, all of one piece. With c
// independent loops there are 2^c - 1 such sums, at most 1023 for the 10 that are listed; the
// loops come out of them one set of elements after the other, and a loop's path is walked only
// when the solve writes its row. A chain of elements through nodes that join only two of them
// lies wholly in a loop or not at all, so the sums are taken over chains (one bit each) and a
// node is checked only where four or more chains meet.
//
// This finds the same loops as a search along every path from every element, each once, with
// the orientation that search gives it: through its lowest element from that element's first
// node.

#include "solver/Topology.h"

#include <algorithm>
#include <bit>

TLoopList ListedLoops;

void TLoopList::Walk(const TCircuitGraph& g, size_t i) {
    TLoop& loop = Loops[i];
    if (loop.PathAt >= 0) return;
    loop.PathAt = int(Paths.size());
    loop.Directions = TElementMask(g.ElementCount());
    int e = loop.Elements.Lowest();
    const int start = g.First[size_t(e)];
    for (int node = start;;) {
        Paths.push_back(e);
        if (g.First[size_t(e)] == node) loop.Directions.Set(e);
        const int far = g.First[size_t(e)] == node ? g.Second[size_t(e)] : g.First[size_t(e)];
        if (far == start) break;
        // The loop's other element at the far node.
        int next = -1;
        for (int f : g.AttachedTo(far))
            if (f != e && loop.Elements.Test(f)) {
                next = f;
                break;
            }
        node = far;
        e = next;
    }
}

void TLoopList::Add(const TCircuitGraph& g, const std::vector<std::pair<int, int>>& steps) {
    // Made in place; its masks widen as elements are set.
    TLoop& loop = Loops.emplace_back();
    loop.Count = int(steps.size());
    loop.PathAt = int(Paths.size());
    for (const auto& [e, leaves] : steps) {
        loop.Elements.Set(e);
        if (g.First[size_t(e)] == leaves) loop.Directions.Set(e);
        Paths.push_back(e);
    }
}

TCircle TLoopList::Circle(const TCircuitGraph& g, size_t i) {
    Walk(g, i);
    const TLoop& loop = Loops[i];
    TCircle c;
    c.PartMask = loop.Elements;
    c.DirectionMask = loop.Directions;
    const int* path = PathOf(i);
    for (int k = 0; k < loop.Count; ++k) {
        const int e = path[k];
        const int leaves = loop.Directions.Test(e) ? g.First[size_t(e)] : g.Second[size_t(e)];
        c.NodePath.push_back(leaves);
        c.Numbers.push_back(e);
    }
    return c;
}

namespace {

// A maximal run of loop elements through nodes that join only two of them, between two nodes
// where more meet (or, for a loop standing alone, from one of its nodes round to it again).
struct TChain {
    int Lowest = -1, Highest = -1; // its lowest and highest elements
    int A = -1, B = -1;            // its end nodes, as numbers among the nodes chains end at
};

// A loop as the sum found it: its chains (bit j for chain j), how many elements, and where its
// elements' words start in the scratch's FoundWords.
struct TFound {
    uint64_t Chains = 0;
    int Count = 0;
    int WordsAt = 0;
};

// The listing's working space, kept from one solve to the next: a solve allocates nothing here
// once a circuit of its size has been listed.
struct TListScratch {
    std::vector<int> Piece, Chords, Up, Parent, Depth, Queue, Degree, EndIndex, Ends, Block, Start,
        Across; // per chain: its two end numbers, xor'ed (the one end from the other)
    std::vector<uint64_t> AcrossAt; // per chain: the At of its two ends, xor'ed
    std::vector<char> InTree, Chained, Kept;
    std::vector<TElementMask> Fundamental;
    std::vector<TChain> Chains;
    std::vector<uint64_t> At, Round, FundamentalChains, Before;
    std::vector<uint64_t> Four;                         // At of the nodes of four chain ends
    std::vector<std::pair<uint64_t, uint64_t>> Crowded; // At and Round of those of more
    std::vector<uint64_t> FundamentalWords, SumWords, FoundWords; // element masks, word by word
    std::vector<int> Members;                                     // fundamental loops of one block
    std::vector<TFound> Found, Sorted;
    // The loop groups of the last listing, when no loop is taken out: per block, the elements
    // of its fundamental loops (those of all its loops), in the order of each block's first
    // loop in the list.
    std::vector<TElementMask> BlockGroups;
};
TListScratch Scratch;

// The chains numbered by their highest element, so that bit j of a loop's chains stands above
// every bit below it as the loop's elements do: loops then compare by their chains as they do by
// their elements (chains share no element, and a loop holds each of its chains whole).
void NumberChainsByHighest() {
    TListScratch& s = Scratch;
    std::sort(s.Chains.begin(), s.Chains.end(),
              [](const TChain& a, const TChain& b) { return a.Highest < b.Highest; });
}

// The found loops in the order of Circles (by descending size and, within one size, descending
// elements; then the covering subset moved first) into ListedLoops, with their elements.
void ListInCirclesOrder(std::vector<TFound>& found, int elementCount, size_t words) {
    TListScratch& s = Scratch;
    // By size (counting), then by chains within each size.
    s.Start.assign(size_t(elementCount) + 2, 0);
    for (const TFound& loop : found)
        ++s.Start[size_t(elementCount - loop.Count + 1)];
    for (size_t i = 1; i < s.Start.size(); ++i)
        s.Start[i] += s.Start[i - 1];
    s.Sorted.resize(found.size());
    for (const TFound& loop : found)
        s.Sorted[size_t(s.Start[size_t(elementCount - loop.Count)]++)] = loop;
    found.swap(s.Sorted);
    for (size_t from = 0; from < found.size();) {
        size_t to = from + 1;
        while (to < found.size() && found[to].Count == found[from].Count)
            ++to;
        std::sort(found.begin() + std::ptrdiff_t(from), found.begin() + std::ptrdiff_t(to),
                  [](const TFound& a, const TFound& b) { return a.Chains > b.Chains; });
        from = to;
    }

    // The covering subset: walking from the last loop back, a loop whose elements all lie in
    // the other loops still there moves behind those kept. The loops before it are all still
    // there; behind it, those kept.
    s.Kept.assign(found.size(), 1);
    if (found.size() > 2) {
        s.Before.resize(found.size());
        s.Before[0] = 0;
        for (size_t i = 1; i < found.size(); ++i)
            s.Before[i] = s.Before[i - 1] | found[i - 1].Chains;
        uint64_t keptBehind = 0;
        for (size_t i = found.size(); i-- > 0;) {
            if ((found[i].Chains & ~(s.Before[i] | keptBehind)) == 0) {
                s.Kept[i] = 0;
                continue;
            }
            keptBehind |= found[i].Chains;
        }
    }
    std::vector<TLoop>& loops = ListedLoops.Loops;
    loops.reserve(found.size());
    for (char pass : {1, 0})
        for (size_t i = 0; i < found.size(); ++i) {
            if (s.Kept[i] != pass) continue;
            loops.emplace_back(&s.FoundWords[size_t(found[i].WordsAt)], words, found[i].Count);
        }
}

} // namespace

bool ListLoops(const TCircuitGraph& g) {
    TListScratch& s = Scratch;
    ListedLoops.Clear();
    s.BlockGroups.clear();
    const int n = g.ElementCount();
    LoopUnion = TElementMask(n);
    const size_t nodeCount = size_t(g.NodeCount);

    // A spanning forest of the branches in element order; the others close its loops.
    s.Piece.resize(nodeCount);
    for (size_t q = 0; q < nodeCount; ++q)
        s.Piece[q] = int(q);
    auto pieceOf = [&](int q) {
        while (s.Piece[size_t(q)] != q)
            q = s.Piece[size_t(q)] = s.Piece[size_t(s.Piece[size_t(q)])];
        return q;
    };
    s.Chords.clear();
    s.InTree.assign(size_t(n), 0);
    for (int e = 0; e < n; ++e) {
        if (!g.Joins(e)) continue;
        const int a = pieceOf(g.First[size_t(e)]), b = pieceOf(g.Second[size_t(e)]);
        if (a != b) {
            s.Piece[size_t(std::max(a, b))] = std::min(a, b);
            s.InTree[size_t(e)] = 1;
        } else {
            s.Chords.push_back(e);
        }
    }
    // 2^c - 1 sums to look at: beyond 20 the list would be too long to be of use.
    if (int(s.Chords.size()) > std::min(Solver::MaxListedLoops, 20)) {
        Solver::LastSolve.Source = Solver::TLoopSource::TooManyLoops;
        return false;
    }
    if (s.Chords.empty()) return true;

    // The forest rooted, each node knowing the tree element to its parent.
    s.Up.assign(nodeCount, -1);
    s.Parent.assign(nodeCount, -1);
    s.Depth.assign(nodeCount, -1);
    for (size_t root = 0; root < nodeCount; ++root) {
        if (s.Depth[root] >= 0 || g.AttachedTo(int(root)).empty()) continue;
        s.Depth[root] = 0;
        s.Queue.assign(1, int(root));
        for (size_t at = 0; at < s.Queue.size(); ++at) {
            const int v = s.Queue[at];
            for (int e : g.AttachedTo(v)) {
                if (!s.InTree[size_t(e)]) continue;
                const int w = g.First[size_t(e)] ^ g.Second[size_t(e)] ^ v;
                if (s.Depth[size_t(w)] >= 0) continue;
                s.Depth[size_t(w)] = s.Depth[size_t(v)] + 1;
                s.Up[size_t(w)] = e;
                s.Parent[size_t(w)] = v;
                s.Queue.push_back(w);
            }
        }
    }
    // Each chord's loop with the tree, and so the elements that lie in loops.
    const size_t c = s.Chords.size();
    s.Fundamental.assign(c, TElementMask(n));
    TElementMask inLoops(n);
    for (size_t i = 0; i < c; ++i) {
        const int chord = s.Chords[i];
        TElementMask& loop = s.Fundamental[i];
        loop.Set(chord);
        int a = g.First[size_t(chord)], b = g.Second[size_t(chord)];
        while (a != b) {
            int& deeper = s.Depth[size_t(a)] >= s.Depth[size_t(b)] ? a : b;
            loop.Set(s.Up[size_t(deeper)]);
            deeper = s.Parent[size_t(deeper)];
        }
        inLoops |= loop;
    }

    // The chains, and the nodes they end at.
    s.Degree.assign(nodeCount, 0);
    inLoops.ForEach([&](int e) {
        ++s.Degree[size_t(g.First[size_t(e)])];
        ++s.Degree[size_t(g.Second[size_t(e)])];
    });
    s.EndIndex.assign(nodeCount, -1); // node -> its number among the chain ends
    s.Ends.clear();                   // chain-end number -> node
    auto endOf = [&](int v) {
        if (s.EndIndex[size_t(v)] < 0) {
            s.EndIndex[size_t(v)] = int(s.Ends.size());
            s.Ends.push_back(v);
        }
        return s.EndIndex[size_t(v)];
    };
    s.Chains.clear();
    s.Chained.assign(size_t(n), 0);
    // From `from` through element e and on through nodes of two loop elements.
    auto follow = [&](int from, int e) {
        TChain chain;
        chain.Lowest = chain.Highest = e;
        chain.A = endOf(from);
        int node = from;
        for (;;) {
            chain.Lowest = std::min(chain.Lowest, e);
            chain.Highest = std::max(chain.Highest, e);
            s.Chained[size_t(e)] = 1;
            node = g.First[size_t(e)] ^ g.Second[size_t(e)] ^ node;
            if (s.Degree[size_t(node)] != 2 || node == from) break;
            int next = -1;
            for (int f : g.AttachedTo(node))
                if (f != e && inLoops.Test(f)) {
                    next = f;
                    break;
                }
            e = next;
        }
        chain.B = endOf(node);
        s.Chains.push_back(chain);
    };
    for (size_t v = 0; v < nodeCount; ++v) {
        if (s.Degree[v] < 3) continue;
        for (int e : g.AttachedTo(v))
            if (inLoops.Test(e) && !s.Chained[size_t(e)]) follow(int(v), e);
    }
    // Loops standing alone, each one chain from a node round to it.
    inLoops.ForEach([&](int e) {
        if (!s.Chained[size_t(e)]) follow(g.First[size_t(e)], e);
    });
    // At most 3 per independent loop; 20 loops give at most 60.
    if (s.Chains.size() > 64) {
        Solver::LastSolve.Source = Solver::TLoopSource::TooManyLoops;
        return false;
    }
    NumberChainsByHighest();

    // Per chain end: the chains that end there (a chain round to one node counted at both of its
    // ends, so twice); the nodes of four or more chains are the ones to check.
    s.At.assign(s.Ends.size(), 0);
    s.Round.assign(s.Ends.size(), 0);
    for (size_t j = 0; j < s.Chains.size(); ++j) {
        const uint64_t bit = uint64_t(1) << j;
        s.At[size_t(s.Chains[j].A)] |= bit;
        s.At[size_t(s.Chains[j].B)] |= bit;
        if (s.Chains[j].A == s.Chains[j].B) s.Round[size_t(s.Chains[j].A)] |= bit;
    }
    s.Four.clear();
    s.Crowded.clear();
    for (size_t v = 0; v < s.Ends.size(); ++v) {
        const int degree = s.Degree[size_t(s.Ends[v])];
        if (degree == 4)
            s.Four.push_back(s.At[v]);
        else if (degree > 4)
            s.Crowded.emplace_back(s.At[v], s.Round[v]);
    }
    s.Across.resize(s.Chains.size());
    s.AcrossAt.resize(s.Chains.size());
    for (size_t j = 0; j < s.Chains.size(); ++j) {
        s.Across[j] = s.Chains[j].A ^ s.Chains[j].B;
        s.AcrossAt[j] = s.At[size_t(s.Chains[j].A)] ^ s.At[size_t(s.Chains[j].B)];
    }
    s.FundamentalChains.assign(c, 0);
    for (size_t i = 0; i < c; ++i)
        for (size_t j = 0; j < s.Chains.size(); ++j)
            if (s.Fundamental[i].Test(s.Chains[j].Lowest))
                s.FundamentalChains[i] |= uint64_t(1) << j;

    // A loop lies within one block of the circuit (a piece that no single node cuts in two), and
    // so do the fundamental loops it is the sum of; fundamental loops of one block are joined by
    // shared elements, those of different blocks share none. Each block's sums are taken apart.
    s.Block.resize(c);
    for (size_t i = 0; i < c; ++i)
        s.Block[i] = int(i);
    auto blockOf = [&](int i) {
        while (s.Block[size_t(i)] != i)
            i = s.Block[size_t(i)];
        return i;
    };
    for (size_t i = 0; i < c; ++i)
        for (size_t j = 0; j < i; ++j)
            if (s.FundamentalChains[i] & s.FundamentalChains[j])
                s.Block[size_t(blockOf(int(i)))] = blockOf(int(j));
    // The fundamental loops' elements word by word, for the sums' elements to be kept alongside
    // their chains at little cost.
    const size_t words = size_t(n + 63) / 64;
    s.FundamentalWords.resize(c * words);
    for (size_t i = 0; i < c; ++i)
        for (size_t w = 0; w < words; ++w)
            s.FundamentalWords[i * words + w] = s.Fundamental[i].Word(w);
    long looked = 0;
    s.Found.clear();
    s.FoundWords.clear();
    for (size_t root = 0; root < c; ++root) {
        if (blockOf(int(root)) != int(root)) continue;
        s.Members.clear();
        for (size_t i = 0; i < c; ++i)
            if (blockOf(int(i)) == int(root)) s.Members.push_back(int(i));

        // Every sum of them, one changed at a time (Gray code), as chains.
        const uint32_t sums = uint32_t(1) << s.Members.size();
        looked += sums - 1;
        uint64_t sum = 0;
        s.SumWords.assign(words, 0);
        for (uint32_t i = 1; i < sums; ++i) {
            const size_t changed = size_t(s.Members[size_t(std::countr_zero(i))]);
            sum ^= s.FundamentalChains[changed];
            for (size_t w = 0; w < words; ++w)
                s.SumWords[w] ^= s.FundamentalWords[changed * words + w];
            // A sum of loops meets every node an even number of times, so at a node of four chain
            // ends (every crowded node of a board: the lattice has four edges at a node) it is
            // not simple exactly when it takes all four.
            bool simple = true;
            for (const uint64_t at : s.Four)
                if ((sum & at) == at) {
                    simple = false;
                    break;
                }
            if (!simple) continue;
            for (const auto& [at, round] : s.Crowded) {
                // At most two chain ends here: two chains, or one chain round to this node.
                const uint64_t meeting = sum & at, second = meeting & (meeting - 1);
                if (((second & (second - 1)) | ((sum & round) != 0 ? second : 0)) != 0) {
                    simple = false;
                    break;
                }
            }
            if (!simple) continue;
            // Every node met twice or not at all: one cycle when a walk round it takes every chain.
            // The walk goes both ways from the lowest chain at once, two steps that do not wait on
            // each other, until the two ends meet at a node or take the same last chain. (A sum is
            // never empty, and at every node reached on the way another chain goes on.) Each end
            // carries its node's chains, the next found from the last by one look-up (a chain's
            // far end has the chains of both ends but those of the near one); its node, needed
            // only to see the ends meet, follows alongside.
            const int first = __builtin_ctzll(sum);
            uint64_t left = sum & (sum - 1);
            int ahead = s.Chains[size_t(first)].B, behind = s.Chains[size_t(first)].A;
            uint64_t atAhead = s.At[size_t(ahead)], atBehind = s.At[size_t(behind)];
            while (ahead != behind) {
                const int a = __builtin_ctzll(left & atAhead);
                const int b = __builtin_ctzll(left & atBehind);
                left &= ~((uint64_t(1) << a) | (uint64_t(1) << b));
                if (a == b) break;
                atAhead ^= s.AcrossAt[size_t(a)];
                atBehind ^= s.AcrossAt[size_t(b)];
                ahead ^= s.Across[size_t(a)];
                behind ^= s.Across[size_t(b)];
            }
            if (left != 0) continue;
            int count = 0;
            for (size_t w = 0; w < words; ++w)
                count += BitCount(s.SumWords[w]);
            s.Found.push_back({sum, count, int(s.FoundWords.size())});
            for (size_t w = 0; w < words; ++w)
                s.FoundWords.push_back(s.SumWords[w]);
        }
    }
    Solver::LastSolve.SearchSteps = looked;

    ListInCirclesOrder(s.Found, n, words);
    for (const TLoop& loop : ListedLoops.Loops)
        LoopUnion |= loop.Elements;

    // Each block's elements, and the blocks in the order their first loops come. (Loops share
    // an element only within a block: these are the groups.)
    TElementMask grouped(n);
    for (const TLoop& loop : ListedLoops.Loops) {
        const int lowest = loop.Elements.Lowest();
        if (grouped.Test(lowest)) continue;
        size_t root = 0;
        while (!s.Fundamental[root].Test(lowest))
            ++root;
        root = size_t(blockOf(int(root)));
        TElementMask& elements = s.BlockGroups.emplace_back(n);
        for (size_t i = 0; i < c; ++i)
            if (blockOf(int(i)) == int(root)) elements |= s.Fundamental[i];
        grouped |= elements;
    }
    return true;
}

bool FindCircles(const TCircuitView& view) {
    TCircuitView copy = view; // a graph points at a view it may mark; the listing marks nothing
    const TCircuitGraph g = TCircuitGraph::Of(copy);
    Circles.clear();
    const bool listed = ListLoops(g);
    for (size_t i = 0; i < ListedLoops.Loops.size(); ++i)
        Circles.push_back(ListedLoops.Circle(g, i));
    return listed;
}

namespace {

// The listed loops in groups: loops sharing an element, merged until no two groups share one;
// in the order of each group's first loop.
std::vector<TElementMask> MergedGroups() {
    std::vector<TElementMask> groups;
    for (const TLoop& loop : ListedLoops.Loops) {
        size_t into = groups.size();
        for (size_t i = 0; i < groups.size();) {
            if (!groups[i].Intersects(loop.Elements)) {
                ++i;
                continue;
            }
            if (into == groups.size()) {
                into = i;
                groups[i] |= loop.Elements;
                ++i;
            } else {
                groups[into] |= groups[i];
                groups.erase(groups.begin() + std::ptrdiff_t(i));
            }
        }
        if (into == groups.size()) groups.push_back(loop.Elements);
    }
    return groups;
}

} // namespace

TTopology PrepareFromLoops(const TCircuitGraph& g) {
    TTopology t;
    // Loops through an open switch or a switched-off meter cannot carry current.
    TElementMask breaks(g.ElementCount());
    for (int e = 0; e < g.ElementCount(); ++e)
        if (g.Breaks[size_t(e)]) breaks.Set(e);
    ++ListedLoops.Version;
    if (breaks.Any()) { // else every loop stays, and so does their union
        std::erase_if(ListedLoops.Loops,
                      [&](const TLoop& loop) { return loop.Elements.Intersects(breaks); });
        LoopUnion = TElementMask(g.ElementCount());
        for (const TLoop& loop : ListedLoops.Loops)
            LoopUnion |= loop.Elements;
    }
    if (ListedLoops.Loops.empty()) return t;
    CollectLoopElements(g, LoopUnion, t);

    // The groups: with every loop kept, the listing's blocks.
    std::vector<TElementMask> merged;
    if (breaks.Any()) merged = MergedGroups();
    for (const TElementMask& group : breaks.Any() ? merged : Scratch.BlockGroups)
        t.Groups.push_back({group, NodesOf(g, group)});
    MarkAcDriven(g, t);
    return t;
}
