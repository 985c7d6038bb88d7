#include "Spice.h"

#include "board/Node.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryFile>
#include <algorithm>
#include <deque>

std::optional<QMap<int, TComplex>> RunNgspice(const QString& netlist, const QList<int>& elements) {
    QString deck = netlist;
    deck.chop(QStringLiteral(".end\n").size());
    // A linear circuit needs no operating point before the AC analysis; leaving it out keeps
    // pieces joined only through capacitors from making the matrix singular. Pivoting on the
    // largest entry (pivrel=1) costs ngspice speed but spares it digits next to tiny wires.
    QString control = ".options noopac pivrel=1\n.control\nset numdgt=16\nrun\n";
    for (int k : elements)
        control += QStringLiteral("print i(vm%1)\n").arg(k);
    control += ".endc\n.end\n";
    deck += control;

    QTemporaryFile file;
    if (!file.open()) return std::nullopt;
    file.write(deck.toUtf8());
    file.close();

    QProcess spice;
    spice.start("ngspice", {"-b", file.fileName()});
    if (!spice.waitForFinished(60000)) return std::nullopt;
    const QString output =
        QString::fromUtf8(spice.readAllStandardOutput() + spice.readAllStandardError());
    if (output.contains("singular matrix", Qt::CaseInsensitive) || output.contains("Transient op"))
        return std::nullopt;

    QMap<int, TComplex> currents;
    static const QRegularExpression line(
        R"(i\(vm(\d+)\)\s*=\s*([-+0-9.eE]+)(?:\s*,\s*([-+0-9.eE]+))?)");
    auto it = line.globalMatch(output);
    while (it.hasNext()) {
        const auto m = it.next();
        const double re = m.captured(2).toDouble();
        const double im = m.captured(3).isEmpty() ? 0 : m.captured(3).toDouble();
        currents.insert(m.captured(1).toInt(), {re, im});
    }
    if (currents.size() != elements.size()) return std::nullopt;
    return currents;
}

namespace {

// A spanning forest of the elements ngspice solved, grown from the elements in the given order
// (each joins the forest when it reaches a node not yet reached from its piece's root).
struct TForest {
    QMap<TNode*, int> Via; // the tree element a node was reached by (-1 at a root)
    QMap<TNode*, TNode*> Parent;
    QMap<TNode*, int> Depth;
    QSet<int> Tree;
    QList<TNode*> Order; // nodes, parents before children

    // The chord's loop: the chord from its first node to its second, back along the tree; each
    // step an element and whether the loop runs through it from its first node to its second.
    QList<QPair<int, bool>> Loop(int chord) const {
        QList<QPair<int, bool>> loop{{chord, true}};
        TNode* a = CircuitElements[chord]->FirstNode;
        TNode* b = CircuitElements[chord]->SecondNode;
        while (a != b) {
            if (Depth[b] >= Depth[a]) {
                const int k = Via[b];
                loop << qMakePair(k, CircuitElements[k]->FirstNode == b);
                b = Parent[b];
            } else {
                const int k = Via[a];
                loop << qMakePair(k, CircuitElements[k]->SecondNode == a);
                a = Parent[a];
            }
        }
        return loop;
    }
};

// Breadth first from each piece's first node, or (byImpedance) the forest of the smallest
// impedances, whose chords close their loops through the smallest impedances there are.
TForest Grow(const QList<int>& elements, bool byImpedance) {
    QMap<TNode*, QList<int>> around;
    for (int k : elements) {
        around[CircuitElements[k]->FirstNode] << k;
        around[CircuitElements[k]->SecondNode] << k;
    }
    if (byImpedance) {
        QList<int> sorted = elements;
        std::stable_sort(sorted.begin(), sorted.end(), [](int a, int b) {
            return std::abs(CircuitElements[a]->GetImpedance()) <
                   std::abs(CircuitElements[b]->GetImpedance());
        });
        QMap<TNode*, TNode*> piece;
        auto find = [&](TNode* v) {
            while (piece.value(v, v) != v)
                v = piece[v];
            return v;
        };
        QMap<TNode*, QList<int>> treeAround;
        for (int k : sorted) {
            TNode* a = find(CircuitElements[k]->FirstNode);
            TNode* b = find(CircuitElements[k]->SecondNode);
            if (a == b) continue;
            piece[a] = b;
            treeAround[CircuitElements[k]->FirstNode] << k;
            treeAround[CircuitElements[k]->SecondNode] << k;
        }
        for (TNode* v : around.keys())
            around[v] = treeAround.value(v);
    }
    TForest f;
    for (TNode* root : around.keys()) {
        if (f.Via.contains(root)) continue;
        f.Via[root] = -1;
        f.Depth[root] = 0;
        std::deque<TNode*> queue{root};
        while (!queue.empty()) {
            TNode* v = queue.front();
            queue.pop_front();
            f.Order << v;
            for (int k : around[v]) {
                TIron0* e = CircuitElements[k];
                TNode* w = e->FirstNode == v ? e->SecondNode : e->FirstNode;
                if (f.Via.contains(w)) continue;
                f.Via[w] = k;
                f.Parent[w] = v;
                f.Depth[w] = f.Depth[v] + 1;
                f.Tree.insert(k);
                queue.push_back(w);
            }
        }
    }
    return f;
}

} // namespace

QMap<int, double> SpiceTolerances(const QMap<int, TComplex>& spice) {
    double largest = 0;
    QMap<TNode*, TComplex> sums;
    for (auto it = spice.begin(); it != spice.end(); ++it) {
        largest = std::max(largest, std::abs(it.value()));
        TIron0* e = CircuitElements[it.key()];
        sums[e->FirstNode] += it.value();
        sums[e->SecondNode] -= it.value();
    }
    double nodeError = 0;
    for (TComplex s : sums)
        nodeError = std::max(nodeError, std::abs(s));

    // The voltage law around the loops of two spanning forests: the voltage error of a loop
    // drives its share of current round the loop. The forest of the smallest impedances finds
    // the loops of wires, where a tiny voltage error is a large current error.
    QMap<int, double> loopError;
    // The current law across the cuts of that forest: what ngspice's currents break it by at
    // the nodes on one side, summed, is how far the cut's current is off. A bridge's cut is the
    // bridge alone, whose current is 0 whatever the rest does.
    QMap<int, double> cutError;
    const QList<int> elements = spice.keys();
    for (bool byImpedance : {false, true}) {
        const TForest forest = Grow(elements, byImpedance);
        QMap<TNode*, TComplex> below = sums; // each node's residual and those of its subtree
        for (auto v = forest.Order.rbegin(); v != forest.Order.rend(); ++v)
            if (forest.Via[*v] >= 0) below[forest.Parent[*v]] += below[*v];
        for (auto v = forest.Order.begin(); v != forest.Order.end(); ++v)
            if (forest.Via[*v] >= 0)
                cutError[forest.Via[*v]] =
                    std::max(cutError.value(forest.Via[*v]), 2 * std::abs(below[*v]));
        for (int chord : elements) {
            if (forest.Tree.contains(chord)) continue;
            const auto loop = forest.Loop(chord);
            TComplex residual;
            double impedance = 0;
            for (const auto& [k, forward] : loop) {
                TIron0* e = CircuitElements[k];
                const TComplex drop = e->GetImpedance() * spice.value(k) - e->GetEmf();
                residual += forward ? drop : -drop;
                impedance += std::abs(e->GetImpedance());
            }
            const double error = std::abs(residual) / std::max(impedance, 1e-300);
            for (const auto& step : loop)
                loopError[step.first] = std::max(loopError.value(step.first), error);
        }
    }

    // An element left out for its huge impedance carries at most what all the sources together
    // drive through that impedance alone, and so does every element in a loop with it.
    double sources = 0;
    for (TIron0* e : CircuitElements)
        sources += std::fabs(e->GetEmf());
    QMap<int, double> tolerance;
    for (int k = 0; k < CircuitElements.size(); ++k) {
        tolerance[k] = 1e-5 * std::abs(spice.value(k)) + 1e-8 * largest + 2 * nodeError +
                       2 * loopError.value(k) + cutError.value(k);
        tolerance[k] += 2 * sources / 1E30;
    }
    return tolerance;
}
