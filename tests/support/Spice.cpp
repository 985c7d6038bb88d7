#include "Spice.h"

#include "board/Node.h"

#include <QProcess>
#include <deque>
#include <QRegularExpression>
#include <QTemporaryFile>

std::optional<QMap<int, TComplex>> RunNgspice(const QString& netlist, const QList<int>& elements) {
    QString deck = netlist;
    deck.chop(QStringLiteral(".end\n").size());
    // A linear circuit needs no operating point before the AC analysis; leaving it out keeps
    // pieces joined only through capacitors from making the matrix singular. Pivoting on the
    // largest entry (pivrel=1) costs ngspice speed but spares it digits next to tiny wires.
    QString control = ".options noopac pivrel=1\n.control\nset numdgt=16\nrun\n";
    for (int k : elements) control += QStringLiteral("print i(vm%1)\n").arg(k);
    control += ".endc\n.end\n";
    deck += control;

    QTemporaryFile file;
    if (!file.open()) return std::nullopt;
    file.write(deck.toUtf8());
    file.close();

    QProcess spice;
    spice.start("ngspice", {"-b", file.fileName()});
    if (!spice.waitForFinished(60000)) return std::nullopt;
    const QString output = QString::fromUtf8(spice.readAllStandardOutput() + spice.readAllStandardError());
    if (output.contains("singular matrix", Qt::CaseInsensitive) || output.contains("Transient op"))
        return std::nullopt;

    QMap<int, TComplex> currents;
    static const QRegularExpression line(R"(i\(vm(\d+)\)\s*=\s*([-+0-9.eE]+)(?:\s*,\s*([-+0-9.eE]+))?)");
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
    for (TComplex s : sums) nodeError = std::max(nodeError, std::abs(s));

    // A spanning forest of the elements ngspice solved; every other element closes one loop.
    QMap<TNode*, QList<int>> around;
    for (int k : spice.keys()) {
        around[CircuitElements[k]->FirstNode] << k;
        around[CircuitElements[k]->SecondNode] << k;
    }
    QMap<TNode*, int> via;      // the tree element a node was reached by (-1 at a root)
    QMap<TNode*, TNode*> parent;
    QMap<TNode*, int> depth;
    QSet<int> tree;
    for (TNode* root : around.keys()) {
        if (via.contains(root)) continue;
        via[root] = -1;
        depth[root] = 0;
        std::deque<TNode*> queue{root};
        while (!queue.empty()) {
            TNode* v = queue.front();
            queue.pop_front();
            for (int k : around[v]) {
                TIron0* e = CircuitElements[k];
                TNode* w = e->FirstNode == v ? e->SecondNode : e->FirstNode;
                if (via.contains(w)) continue;
                via[w] = k;
                parent[w] = v;
                depth[w] = depth[v] + 1;
                tree.insert(k);
                queue.push_back(w);
            }
        }
    }
    QMap<int, double> loopError;
    for (int chord : spice.keys()) {
        if (tree.contains(chord)) continue;
        // Walk the loop: the chord from its first node to its second, back along the tree.
        QList<QPair<int, bool>> loop{{chord, true}};
        TNode* a = CircuitElements[chord]->FirstNode;
        TNode* b = CircuitElements[chord]->SecondNode;
        while (a != b) {
            if (depth[b] >= depth[a]) {
                const int k = via[b];
                loop << qMakePair(k, CircuitElements[k]->FirstNode == b);
                b = parent[b];
            } else {
                const int k = via[a];
                loop << qMakePair(k, CircuitElements[k]->SecondNode == a);
                a = parent[a];
            }
        }
        TComplex residual;
        double impedance = 0;
        for (const auto& [k, forward] : loop) {
            TIron0* e = CircuitElements[k];
            const TComplex drop = e->GetImpedance() * spice.value(k) - e->GetEmf();
            residual += forward ? drop : -drop;
            impedance += std::abs(e->GetImpedance());
        }
        const double error = std::abs(residual) / std::max(impedance, 1e-300);
        for (const auto& step : loop) loopError[step.first] = std::max(loopError.value(step.first), error);
    }

    // An element left out for its huge impedance carries at most what all the sources together
    // drive through that impedance alone, and so does every element in a loop with it.
    double sources = 0;
    for (TIron0* e : CircuitElements) sources += std::fabs(e->GetEmf());
    QMap<int, double> tolerance;
    for (int k = 0; k < CircuitElements.size(); ++k) {
        tolerance[k] = 1e-5 * std::abs(spice.value(k)) + 1e-8 * largest + 2 * nodeError + 2 * loopError.value(k);
        tolerance[k] += 2 * sources / 1E30;
    }
    return tolerance;
}
