#include "solver/Calculate.h"

#include "solver/Equations.h"
#include "solver/Topology.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <numeric>

std::vector<TCircle> Circles;
TElementMask LoopUnion;

namespace Solver {
QString LogPath = QStringLiteral("LOG.LOG");
qint64 LogLimit = 4 * 1024 * 1024;
int MaxListedLoops = 10;
TLastSolve LastSolve;
} // namespace Solver

// --- Reading the view -------------------------------------------------------------------------

TCircuitGraph TCircuitGraph::Of(TCircuitView& view) {
    TCircuitGraph g;
    g.View = &view;
    g.NodeCount = view.NodeCount;
    const size_t n = view.Elements.size();
    g.First.resize(n);
    g.Second.resize(n);
    g.Breaks.resize(n);
    g.AttachedStart.assign(size_t(view.NodeCount) + 1, 0);
    for (size_t k = 0; k < n; ++k) {
        const TCircuitElement& e = view.Elements[k];
        if (e.First < -1 || e.First >= view.NodeCount || e.Second < -1 ||
            e.Second >= view.NodeCount)
            throw ESolveFailure{TSolveProblem::Failed, QStringLiteral("No Nodes in Array !")};
        g.First[k] = e.First;
        g.Second[k] = e.Second;
        g.Breaks[k] = e.BreaksLoops;
        if (e.First >= 0) ++g.AttachedStart[size_t(e.First)];
        if (e.Second >= 0 && e.Second != e.First) ++g.AttachedStart[size_t(e.Second)];
    }
    // Counts summed up to each node's end; filled from the back, each start falls into place.
    for (size_t q = 1; q < g.AttachedStart.size(); ++q)
        g.AttachedStart[q] += g.AttachedStart[q - 1];
    g.AttachedList.resize(size_t(g.AttachedStart.back()));
    for (size_t k = n; k-- > 0;) {
        const int first = g.First[k], second = g.Second[k];
        if (first >= 0) g.AttachedList[size_t(--g.AttachedStart[size_t(first)])] = int(k);
        if (second >= 0 && second != first)
            g.AttachedList[size_t(--g.AttachedStart[size_t(second)])] = int(k);
    }
    return g;
}

// --- Topology ----------------------------------------------------------

std::vector<int> NodesOf(const TCircuitGraph& g, const TElementMask& elements) {
    TElementMask seen(g.NodeCount); // a mask of elements serves as well for nodes
    elements.ForEach([&](int e) {
        seen.Set(g.First[size_t(e)]);
        seen.Set(g.Second[size_t(e)]);
    });
    std::vector<int> nodes;
    nodes.reserve(size_t(seen.Count()));
    seen.ForEach([&](int q) { nodes.push_back(q); });
    return nodes;
}

void CollectLoopElements(const TCircuitGraph& g, const TElementMask& loops, TTopology& t) {
    TElementMask nodeSeen(g.NodeCount);
    t.LoopElements.reserve(size_t(loops.Count()));
    t.LoopNodes.reserve(size_t(g.NodeCount)); // one allocation, not one per doubling
    loops.ForEach([&](int e) {
        t.LoopElements.push_back(e);
        for (int q : {g.First[size_t(e)], g.Second[size_t(e)]}) {
            if (nodeSeen.Test(q)) continue;
            nodeSeen.Set(q);
            t.LoopNodes.push_back(q);
        }
    });
}

void MarkAcDriven(const TCircuitGraph& g, const TTopology& t) {
    std::vector<TCircuitElement>& elements = g.View->Elements;
    for (TCircuitElement& e : elements)
        e.AcDriven = false;
    if (g.View->Omega == 0) return;
    for (const TLoopGroup& group : t.Groups) {
        bool driven = false;
        group.Elements.ForEach(
            [&](int e) { driven = driven || elements[size_t(e)].AlternatingSource; });
        if (driven) group.Elements.ForEach([&](int e) { elements[size_t(e)].AcDriven = true; });
    }
}

// --- The equations ------------------------------------------------------------------------------

namespace {

// Raised inside the solve when the chosen loops do not give a solvable system; the solve then
// starts again from the spanning trees.
struct ENeedSpanningTrees {
    Solver::TLoopSource Why;
};

// What the equations need of each element, asked once per solve (after the AC marks are set,
// which the impedances of coils and capacitors depend on).
struct TValues {
    std::vector<TComplex> Z;  // impedance
    std::vector<double> Size; // its modulus
    std::vector<double> Emf;

    void Read(const TCircuitGraph& g) {
        const size_t n = size_t(g.ElementCount());
        Z.resize(n);
        Size.resize(n);
        Emf.resize(n);
        for (size_t e = 0; e < n; ++e) {
            const TCircuitElement& element = g.View->Elements[e];
            Z[e] = element.Z();
            Size[e] = Modulus(Z[e]);
            Emf[e] = element.Emf;
        }
    }
};

// The equations' working space, kept from one solve to the next (as the loop listing's and the
// matrix's are): once a circuit of its size has been solved, a solve allocates little here.
// Nothing in the writing of the equations calls out of the solver, so no solve can start while
// another is using it.
struct TEquationScratch {
    TValues Values;
    std::vector<int> ByImpedance; // see ScaleClasses
    std::vector<int> Classes, PieceOf, NextNode, Head, Tail, Size, Elements, Start;
    std::vector<std::pair<double, int>> Sizes;
    std::vector<size_t> Taken, Pool;
    std::vector<double> ColumnScale, Dense;
};
TEquationScratch Scratch;

// Current-law rows: per group, every node but the highest; +1 where the element leaves the node.
int WriteCurrentLawRows(const TCircuitGraph& g, const TTopology& t, TEquations& eq) {
    int k = 0;
    for (const TLoopGroup& group : t.Groups) {
        for (size_t i = 0; i + 1 < group.Nodes.size(); ++i, ++k) {
            const int v = group.Nodes[i];
            eq.ClearRow(k);
            for (int e : g.AttachedTo(v))
                if (group.Elements.Test(e)) eq.At(k, e) = g.First[size_t(e)] == v ? 1.0 : -1.0;
            eq.NoteUnitRow(k);
        }
    }
    return k;
}

// The number of current-law rows: per group, its nodes but one.
int CurrentLawRowCount(const TTopology& t) {
    int k = 0;
    for (const TLoopGroup& group : t.Groups)
        k += int(group.Nodes.size()) - 1;
    return k;
}

// Impedances this many times larger than the next smaller one start a new scale class: their
// currents, weighed against that one's in a current-law row, keep fewer than four of the
// sixteen digits a double holds.
constexpr double ClassGap = 1e12;

// The scale class of every element: the loop elements sorted by impedance (taken as at least 1
// ohm, since the equations weigh smaller ones alike), a new class at every gap of ClassGap.
// Elements outside the loops are of class 0. Leaves the loop elements by rising impedance,
// equal ones in element order, in Scratch.ByImpedance (empty when an impedance is NaN: it
// compares with none).
void ScaleClasses(const TCircuitGraph& g, const TTopology& t, const TValues& values,
                  std::vector<int>& classes) {
    classes.assign(size_t(g.ElementCount()), 0);
    bool comparable = true;
    for (int e : t.LoopElements)
        comparable = comparable && !std::isnan(values.Size[size_t(e)]);
    // Sorted by the impedance itself, the sizes taken as at least 1 ohm still rise: the classes
    // come out as they would sorted by those.
    std::vector<std::pair<double, int>>& sizes = Scratch.Sizes;
    sizes.clear();
    for (int e : t.LoopElements) {
        const double size = values.Size[size_t(e)];
        sizes.push_back({comparable ? size : std::max(1.0, size), e});
    }
    std::sort(sizes.begin(), sizes.end());
    std::vector<int>& order = Scratch.ByImpedance;
    order.clear();
    int level = 0;
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (i > 0 && std::max(1.0, sizes[i].first) > ClassGap * std::max(1.0, sizes[i - 1].first))
            ++level;
        classes[size_t(sizes[i].second)] = level;
        if (comparable) order.push_back(sizes[i].second);
    }
}

// Sorts elements given in rising order by rising `size`, equal sizes in element order, where a
// size may be NaN (the case ScaleClasses leaves no order for): an insertion, each element
// stopping behind the first that is not larger, so that a NaN stays where it stands and nothing
// passes it.
void SortByImpedance(std::vector<int>& elements, const std::vector<double>& size) {
    for (size_t i = 1; i < elements.size(); ++i) {
        const int e = elements[i];
        size_t j = i;
        for (; j > 0 && size[size_t(e)] < size[size_t(elements[j - 1])]; --j)
            elements[j] = elements[j - 1];
        elements[j] = e;
    }
}

// Rewrites each group's current-law rows as the currents leaving pieces of the group instead of
// single nodes. The pieces are those met while the group's elements join its nodes in order of
// rising impedance (the lowest first): every join of two pieces gives the row of the smaller
// one. Such a row is the sum of its nodes' rows, so the system is the same; but it holds only
// the elements that leave the piece, all of them at least as large as the one that made the
// join. Written node by node, a node row puts the current of a capacitor on direct current
// (1E60 ohms) beside a resistor's at a weight of 1E-60 against 1, and the elimination loses it:
// a part of the circuit joined to the rest only through such elements is then left without an
// equation for how the voltage divides over them, and the system comes out singular. Each row
// takes the scale class of the element that made its join.
void WriteCurrentLawRowsAsCuts(const TCircuitGraph& g, const TTopology& t,
                               const std::vector<int>& classes, const TValues& values,
                               TEquations& eq) {
    // Each piece is a chain of nodes: its first node (which names it), its last, its size, and
    // per node the next one in its piece (-1 at the end).
    const size_t nodeCount = size_t(g.NodeCount);
    std::vector<int>& pieceOf = Scratch.PieceOf;
    std::vector<int>& nextNode = Scratch.NextNode;
    std::vector<int>& head = Scratch.Head;
    std::vector<int>& tail = Scratch.Tail;
    std::vector<int>& size = Scratch.Size;
    std::vector<int>& elements = Scratch.Elements;
    pieceOf.assign(nodeCount, -1);
    nextNode.assign(nodeCount, -1);
    int k = 0;
    for (const TLoopGroup& group : t.Groups) {
        // By rising impedance, equal ones in element order.
        elements.clear();
        if (!Scratch.ByImpedance.empty()) {
            for (const int e : Scratch.ByImpedance)
                if (group.Elements.Test(e)) elements.push_back(e);
        } else {
            group.Elements.ForEach([&](int e) { elements.push_back(e); });
            SortByImpedance(elements, values.Size);
        }

        head = tail = group.Nodes;
        size.assign(group.Nodes.size(), 1);
        for (size_t i = 0; i < group.Nodes.size(); ++i) {
            pieceOf[size_t(group.Nodes[i])] = int(i);
            nextNode[size_t(group.Nodes[i])] = -1;
        }
        for (int e : elements) {
            int a = pieceOf[size_t(g.First[size_t(e)])];
            int b = pieceOf[size_t(g.Second[size_t(e)])];
            if (a == b) continue; // closes a loop inside one piece
            if (size[size_t(a)] > size[size_t(b)] ||
                (size[size_t(a)] == size[size_t(b)] && head[size_t(a)] > head[size_t(b)]))
                std::swap(a, b);
            // Row k: the current leaving piece a, through the group's elements with one end in it.
            eq.ClearRow(k);
            for (int v = head[size_t(a)]; v >= 0; v = nextNode[size_t(v)])
                for (int f : g.AttachedTo(v)) {
                    if (!group.Elements.Test(f)) continue;
                    const bool from = pieceOf[size_t(g.First[size_t(f)])] == a;
                    const bool to = pieceOf[size_t(g.Second[size_t(f)])] == a;
                    if (from != to) eq.At(k, f) = from ? 1.0 : -1.0;
                }
            eq.RowClass[size_t(k)] = classes[size_t(e)];
            ++k;
            for (int v = head[size_t(a)]; v >= 0; v = nextNode[size_t(v)])
                pieceOf[size_t(v)] = b;
            nextNode[size_t(tail[size_t(b)])] = head[size_t(a)];
            tail[size_t(b)] = tail[size_t(a)];
            size[size_t(b)] += size[size_t(a)];
        }
    }
}

// Voltage-law row of loop i of ListedLoops: -Z and -EMF where the loop runs from first to
// second terminal, in the order of its path.
void WriteLoopRow(const TCircuitGraph& g, size_t i, const TValues& values, TEquations& eq, int k) {
    ListedLoops.Walk(g, i);
    const TLoop& loop = ListedLoops.Loops[i];
    const int* path = ListedLoops.PathOf(i);
    eq.ClearRow(k);
    for (int step = 0; step < loop.Count; ++step) {
        const int e = path[step];
        const TComplex z = values.Z[size_t(e)];
        const double u = values.Emf[size_t(e)];
        if (loop.Directions.Test(e)) {
            eq.At(k, e) = -z;
            eq.Rhs(k) -= u;
        } else {
            eq.At(k, e) = z;
            eq.Rhs(k) += u;
        }
    }
}

// Whether the loops' signed element vectors are linearly independent. Loops that pass the
// duplicate test can still depend on each other; their system would be singular.
bool Independent(const std::vector<size_t>& loops, int n) {
    const size_t rows = loops.size();
    std::vector<double>& m = Scratch.Dense;
    m.assign(rows * size_t(n), 0.0);
    for (size_t r = 0; r < rows; ++r) {
        const TLoop& loop = ListedLoops.Loops[loops[r]];
        const int* path = ListedLoops.PathOf(loops[r]);
        for (int step = 0; step < loop.Count; ++step)
            m[r * size_t(n) + size_t(path[step])] = loop.Directions.Test(path[step]) ? 1.0 : -1.0;
    }
    size_t rank = 0;
    for (int c = 0; c < n && rank < rows; ++c) {
        size_t best = rank;
        for (size_t r = rank; r < rows; ++r)
            if (std::fabs(m[r * size_t(n) + size_t(c)]) >
                std::fabs(m[best * size_t(n) + size_t(c)]))
                best = r;
        if (std::fabs(m[best * size_t(n) + size_t(c)]) < 1e-9) continue;
        for (int j = 0; j < n; ++j)
            std::swap(m[rank * size_t(n) + size_t(j)], m[best * size_t(n) + size_t(j)]);
        for (size_t r = rank + 1; r < rows; ++r) {
            const double f = m[r * size_t(n) + size_t(c)] / m[rank * size_t(n) + size_t(c)];
            if (f == 0) continue;
            for (int j = c; j < n; ++j)
                m[r * size_t(n) + size_t(j)] -= f * m[rank * size_t(n) + size_t(j)];
        }
        ++rank;
    }
    return rank == rows;
}

// Voltage-law rows from the listed loops: loops are taken smallest first, each only when it
// brings in its share of elements not yet covered, and never when it repeats an earlier row.
// `taken`: the loops whose rows were written, in row order.
int WriteListedLoopRows(const TCircuitGraph& g, const TTopology& t, const TValues& values,
                        TEquations& eq, int k, std::vector<size_t>& taken) {
    const std::vector<TLoop>& loops = ListedLoops.Loops;
    // The loops by size, smallest first, in their order within one size.
    std::vector<size_t>& pool = Scratch.Pool;
    pool.resize(loops.size());
    {
        std::vector<int>& start = Scratch.Start;
        start.assign(size_t(g.ElementCount()) + 2, 0);
        for (const TLoop& loop : loops)
            ++start[size_t(loop.Count + 1)];
        for (size_t c = 1; c < start.size(); ++c)
            start[c] += start[c - 1];
        for (size_t i = 0; i < loops.size(); ++i)
            pool[size_t(start[size_t(loops[i].Count)]++)] = i;
    }
    const int b = int(t.LoopElements.size());
    const int nodes = int(t.LoopNodes.size());
    if (b == 0 && nodes == 0) return k;
    if (pool.empty())
        throw ESolveFailure{TSolveProblem::Failed,
                            QStringLiteral("TCircle::Circle exception: no circles")};

    TElementMask covered(g.ElementCount());
    size_t j = 0;
    size_t refusedInARow = 0;
    while (k < b) {
        if (pool.empty()) throw ENeedSpanningTrees{Solver::TLoopSource::RanOutOfLoops};
        if (j >= pool.size()) j = 0;
        const TLoop& loop = loops[pool[j]];
        const int need = b * (k - nodes + 2) / (b - nodes + 1);
        const int have = loop.Elements.UnionCount(covered);
        if (have < need) {
            ++j;
            // Every loop left has been refused: the search would go round for ever.
            if (++refusedInARow > pool.size())
                throw ENeedSpanningTrees{Solver::TLoopSource::NoProgress};
            continue;
        }
        refusedInARow = 0;
        WriteLoopRow(g, pool[j], values, eq, k);
        eq.ScaleRow(k);
        const bool duplicate = eq.DuplicatesEarlierRow(k);
        const size_t chosen = pool[j];
        pool.erase(pool.begin() + std::ptrdiff_t(j));
        j = 1;
        if (!duplicate) {
            covered |= loop.Elements;
            taken.push_back(chosen);
            ++k;
        }
    }
    if (!Independent(taken, g.ElementCount()))
        throw ENeedSpanningTrees{Solver::TLoopSource::Dependent};
    return k;
}

int WriteSpanningTreeLoopRows(const TCircuitGraph& g, const TValues& values, TEquations& eq, int k,
                              std::vector<size_t>& taken) {
    for (size_t i = 0; i < ListedLoops.Loops.size(); ++i) {
        WriteLoopRow(g, i, values, eq, k++);
        taken.push_back(i);
    }
    return k;
}

// Rewrites the voltage-law rows from `first` on, one per loop of `loops`, as integer
// combinations of those loops (the same equations, summed), such that the elements of each
// scale class above the lowest appear in as few rows as they must: from the highest class
// down, each of its elements is kept in one row and taken out of every row not yet kept. What
// is left at the end runs through elements of the lowest class alone: the loops inside the
// pieces that the huge elements join. Without this, such a piece's own loop could be written
// only as the difference of two loops through huge elements and the sources.
void SeparateLoopsByClass(const TCircuitGraph& g, const std::vector<size_t>& loops,
                          const std::vector<int>& classes, const TValues& values, TEquations& eq,
                          int first) {
    const int n = g.ElementCount();
    const int top = *std::max_element(classes.begin(), classes.end());
    if (top == 0 || loops.empty()) return;
    // Each loop as how often it runs through each element forward (first node to second).
    std::vector<std::vector<long long>> runs(loops.size(), std::vector<long long>(size_t(n), 0));
    for (size_t i = 0; i < loops.size(); ++i) {
        const TLoop& loop = ListedLoops.Loops[loops[i]];
        const int* path = ListedLoops.PathOf(loops[i]);
        for (int step = 0; step < loop.Count; ++step)
            runs[i][size_t(path[step])] = loop.Directions.Test(path[step]) ? 1 : -1;
    }
    std::vector<char> kept(loops.size(), 0);
    for (int c = top; c >= 1; --c)
        for (int e = 0; e < n; ++e) {
            if (classes[size_t(e)] != c) continue;
            size_t pivot = loops.size();
            for (size_t i = 0; i < loops.size() && pivot == loops.size(); ++i)
                if (!kept[i] && runs[i][size_t(e)] != 0) pivot = i;
            if (pivot == loops.size()) continue;
            kept[pivot] = 1;
            for (size_t j = 0; j < loops.size(); ++j) {
                if (kept[j] || runs[j][size_t(e)] == 0) continue;
                const long long divisor = std::gcd(runs[pivot][size_t(e)], runs[j][size_t(e)]);
                const long long a = runs[pivot][size_t(e)] / divisor,
                                b = runs[j][size_t(e)] / divisor;
                long long common = 0;
                for (int f = 0; f < n; ++f) {
                    runs[j][size_t(f)] = a * runs[j][size_t(f)] - b * runs[pivot][size_t(f)];
                    common = std::gcd(common, runs[j][size_t(f)]);
                }
                if (common > 1)
                    for (long long& x : runs[j])
                        x /= common;
            }
        }
    for (size_t i = 0; i < loops.size(); ++i) {
        const int k = first + int(i);
        eq.ClearRow(k);
        for (int e = 0; e < n; ++e) {
            const long long times = runs[i][size_t(e)];
            if (times == 0) continue;
            eq.At(k, e) = -double(times) * values.Z[size_t(e)];
            eq.Rhs(k) -= double(times) * values.Emf[size_t(e)];
        }
    }
}

// Elements outside every loop carry no current.
void WriteZeroCurrentRows(const TCircuitGraph& g, const TTopology& t, TEquations& eq, int k) {
    TElementMask inLoop(g.ElementCount());
    for (int e : t.LoopElements)
        inLoop.Set(e);
    for (int e = 0; e < g.ElementCount(); ++e) {
        if (inLoop.Test(e)) continue;
        eq.ClearRow(k);
        eq.At(k, e) = 3.14E-9;
        ++k;
    }
}

std::vector<TComplex> SolveEquations(const TCircuitGraph& g, const TTopology& t, bool listed) {
    TValues& values = Scratch.Values;
    values.Read(g);
    TEquations eq(g.ElementCount());
    // The node rows are written only for the duplicate test of the listed loops; the cuts
    // below replace them.
    const int currentLawRows = listed ? WriteCurrentLawRows(g, t, eq) : CurrentLawRowCount(t);
    std::vector<size_t>& taken = Scratch.Taken;
    taken.clear();
    int k = listed ? WriteListedLoopRows(g, t, values, eq, currentLawRows, taken)
                   : WriteSpanningTreeLoopRows(g, values, eq, currentLawRows, taken);
    WriteZeroCurrentRows(g, t, eq, k);
    std::vector<int>& classes = Scratch.Classes;
    ScaleClasses(g, t, values, classes);
    WriteCurrentLawRowsAsCuts(g, t, classes, values, eq);
    SeparateLoopsByClass(g, taken, classes, values, eq, currentLawRows);
    // A loop's class is that of its largest element; columns are their elements'.
    for (int r = currentLawRows; r < eq.N; ++r)
        eq.ForEachColumn(r, [&](int c) {
            if (c < eq.N && eq.Get(r, c) != TComplex())
                eq.RowClass[size_t(r)] = std::max(eq.RowClass[size_t(r)], classes[size_t(c)]);
        });
    eq.ColumnClass = classes;
    std::vector<double>& columnScale = Scratch.ColumnScale;
    columnScale.assign(size_t(eq.N), 1.0);
    for (int e = 0; e < eq.N; ++e)
        if (values.Size[size_t(e)] > 1) columnScale[size_t(e)] = values.Size[size_t(e)];
    eq.ScaleColumnsAndRows(columnScale);
    Solver::LastSolve.Equations = eq.N;
    try {
        return eq.Solve();
    } catch (const ESingular&) {
        if (listed) throw ENeedSpanningTrees{Solver::TLoopSource::Singular};
        throw ESolveFailure{TSolveProblem::Singular, QString()};
    }
}

// --- Results ------------------------------------------------------------------------------------

// Hands every element whose current changed (or every element, with `always`) its new current.
void ApplyCurrents(TCircuitView& view, TCircuitSink& sink, const std::vector<TComplex>& x,
                   bool always) {
    for (int e = 0; e < view.ElementCount(); ++e) {
        TCircuitElement& element = view.Elements[size_t(e)];
        if (!always && x[size_t(e)] == element.Current) continue;
        element.Current = x[size_t(e)];
        sink.TakeCurrent(view, e);
    }
}

// Overloaded parts burn out, the most overloaded first; how many at once is drawn by lot, so
// that a chain of overloads settles over the next solves. True when the circuit must be solved
// again (something was overloaded).
bool BurnOverloaded(TCircuitView& view, TCircuitSink& sink) {
    const std::vector<TCircuitElement>& elements = view.Elements;
    double worst = 1;
    for (const TCircuitElement& e : elements)
        worst = std::max(worst, std::fabs(e.Load));
    if (!(worst > 1)) return false;
    std::vector<int> overloaded;
    for (int e = 0; e < view.ElementCount(); ++e) {
        const double load = elements[size_t(e)].Load;
        if (!(std::fabs(load) > 1)) continue;
        auto at = std::find_if(overloaded.begin(), overloaded.end(),
                               [&](int listed) { return elements[size_t(listed)].Load < load; });
        overloaded.insert(at, e);
    }
    std::srand(unsigned(std::time(nullptr)));
    int burn = std::rand() % int(overloaded.size());
    if (burn == 0) burn = 1;
    for (int i = 0; i < burn; ++i)
        if (!elements[size_t(overloaded[size_t(i)])].Burnt)
            sink.BurnOut(view, overloaded[size_t(i)]);
    return true;
}

// No current anywhere: every element, or only those that carry one.
void ZeroCurrents(TCircuitView& view, TCircuitSink& sink, bool always) {
    ApplyCurrents(view, sink, std::vector<TComplex>(view.Elements.size()), always);
}

// The wiring of the last solve, and what the solve derived from the wiring alone: its loops (in
// ListedLoops) and their groups. A board is solved again and again with its wiring unchanged
// (a value changed, a battery running down, a part burnt out); such a solve takes them as they
// are instead of finding them anew. The impedances, sources and AC marks are read every time.
class TWiringMemo {
public:
    // The remembered graph, now reading this view, when the view is wired as the remembered one
    // and the loop list is still as that solve left it; then the loop source of that solve is
    // restored, and no search has run. Null otherwise.
    const TCircuitGraph* Recall(TCircuitView& view) {
        if (!Valid || ListedLoops.Version != Version || MaxListedLoops != Solver::MaxListedLoops ||
            Graph.NodeCount != view.NodeCount || Graph.ElementCount() != view.ElementCount())
            return nullptr;
        for (size_t k = 0; k < view.Elements.size(); ++k) {
            const TCircuitElement& e = view.Elements[k];
            if (e.First != Graph.First[k] || e.Second != Graph.Second[k] ||
                char(e.BreaksLoops) != Graph.Breaks[k])
                return nullptr;
        }
        Graph.View = &view;
        Solver::LastSolve.Source = Source;
        LoopUnion = Union;
        return &Graph;
    }
    const TCircuitGraph& Remember(TCircuitGraph&& g, bool listed, TTopology&& t) {
        Valid = true;
        Version = ListedLoops.Version;
        MaxListedLoops = Solver::MaxListedLoops;
        Source = Solver::LastSolve.Source;
        Union = LoopUnion;
        Listed = listed;
        Topology = std::move(t);
        Graph = std::move(g);
        return Graph;
    }

    void Forget() { Valid = false; }

    bool Listed = false; // the loops are those the search listed (else the spanning trees')
    TTopology Topology;

private:
    bool Valid = false;
    unsigned Version = 0;
    int MaxListedLoops = 0;
    TCircuitGraph Graph; // its node numbers are the view's own
    Solver::TLoopSource Source = Solver::TLoopSource::Listed;
    TElementMask Union;
};
TWiringMemo Wiring;

// True when the circuit changed in the solve (a part burnt out) and must be solved again.
bool Solve(TCircuitView& view, TCircuitSink& sink) {
    // A solve started from within another (by a sink) neither takes the memo nor leaves one:
    // the outer solve still reads the remembered graph.
    static int depth = 0;
    struct TDepth {
        TDepth() { ++depth; }
        ~TDepth() { --depth; }
    } inSolve;
    const bool outermost = depth == 1;
    TCircuitGraph fresh;
    TTopology freshTopology;
    bool listed;
    const TCircuitGraph* recalled = outermost ? Wiring.Recall(view) : nullptr;
    const TTopology* t = &Wiring.Topology;
    if (recalled) {
        MarkAcDriven(*recalled, Wiring.Topology);
        listed = Wiring.Listed;
    } else {
        fresh = TCircuitGraph::Of(view);
        listed = ListLoops(fresh);
        freshTopology = listed ? PrepareFromLoops(fresh) : PrepareFromSpanningTrees(fresh);
        if (outermost) {
            recalled = &Wiring.Remember(std::move(fresh), listed, std::move(freshTopology));
        } else {
            recalled = &fresh;
            t = &freshTopology;
        }
    }
    const TCircuitGraph& g = *recalled;
    TTopology fallback;
    if (t->LoopElements.empty()) {
        // No closed loop: no current anywhere, nothing to log. The marks go first, as in every
        // solve: a part takes its voltage from the impedance they give.
        for (TCircuitElement& e : view.Elements)
            e.AcDriven = false;
        sink.TakeAcMarks(view);
        ZeroCurrents(view, sink, true);
        return false;
    }
    sink.TakeAcMarks(view);
    std::vector<TComplex> x;
    try {
        x = SolveEquations(g, *t, listed);
    } catch (const ENeedSpanningTrees& why) {
        // (The spanning trees replace the listed loops: the next solve lists them again.)
        Solver::LastSolve.Source = why.Why;
        listed = false;
        fallback = PrepareFromSpanningTrees(g);
        t = &fallback;
        sink.TakeAcMarks(view);
        x = SolveEquations(g, *t, false);
    }
    ApplyCurrents(view, sink, x, false);
    const bool burnt = BurnOverloaded(view, sink);
    AppendSolveLog(g, sink);
    return burnt;
}

// Ends a solve as failed: the sink is told, and no element keeps a current. A sink that fails
// again on the way changes neither; the solve never throws.
void Fail(TCircuitView& view, TCircuitSink& sink, TSolveProblem problem, const QString& text) {
    Solver::LastSolve.Failed = true;
    try {
        sink.Report(problem, text);
    } catch (const ESolveFailure&) {
    } catch (const std::exception&) {
    }
    try {
        ZeroCurrents(view, sink, false);
    } catch (const ESolveFailure&) {
    } catch (const std::exception&) {
    }
}

} // namespace

void Solver::ForgetWiring() {
    Wiring.Forget();
}

bool SolveCircuit(TCircuitView& view, TCircuitSink& sink) {
    Solver::LastSolve = {};
    try {
        return Solve(view, sink);
    } catch (const ESolveFailure& failure) {
        Fail(view, sink, failure.Problem, failure.Text);
    } catch (const std::exception& error) {
        Fail(view, sink, TSolveProblem::Unexpected, QString::fromLocal8Bit(error.what()));
    }
    return false;
}
