#include "solver/Netlist.h"

#include "components/Iron0.h"
#include "solver/Topology.h"

#include <QTextStream>
#include <cmath>
#include <numbers>

namespace {
bool Carries(const TCircuitGraph& g, int k) {
    if (!g.Joins(k) || g.Breaks[size_t(k)]) return false;
    return std::abs(g.Elements[size_t(k)]->GetImpedance()) < 1E30;
}

} // namespace

QString ExactNumber(double v) { return QString::asprintf("%.17g", v); }

bool InSpiceNetlist(int k) {
    const TCircuitGraph g = TCircuitGraph::ReadBoard();
    return k >= 0 && k < g.ElementCount() && Carries(g, k);
}

QString SpiceNetlist(const QString& title) {
    const TCircuitGraph g = TCircuitGraph::ReadBoard();
    const double omega = CircuitOmega;

    // One ground per connected piece: its lowest node is called 0.
    TNodePieces pieces(g.NodeList.size());
    for (int k = 0; k < g.ElementCount(); ++k)
        if (Carries(g, k)) pieces.Join(g.First[size_t(k)], g.Second[size_t(k)]);
    auto node = [&](int q) { return pieces.Find(q) == q ? QStringLiteral("0") : QStringLiteral("n%1").arg(q); };

    QString text;
    QTextStream out(&text);
    out << "* " << title << "\n";
    for (int k = 0; k < g.ElementCount(); ++k) {
        TIron0* e = g.Elements[size_t(k)];
        out << "* element " << k << " " << e->metaObject()->className() << "\n";
        if (!Carries(g, k)) continue;
        const TComplex z = e->GetImpedance();
        const double emf = e->GetEmf();
        // vm<k>, then resistance, reactance and source in series, from first to second node.
        QString at = QStringLiteral("e%1a").arg(k);
        out << "vm" << k << " " << node(g.First[size_t(k)]) << " " << at << " 0\n";
        QStringList parts;
        if (z.real() != 0) parts << "r";
        if (z.imag() != 0 && omega != 0) parts << (z.imag() > 0 ? "l" : "c");
        if (emf != 0) parts << "v";
        if (parts.isEmpty()) parts << "r0";
        for (int i = 0; i < parts.size(); ++i) {
            const QString to = i + 1 == parts.size() ? node(g.Second[size_t(k)]) : QStringLiteral("e%1%2").arg(k).arg(QChar('b' + i));
            const QString& p = parts[i];
            if (p == "r")
                out << "r" << k << " " << at << " " << to << " " << ExactNumber(z.real()) << "\n";
            else if (p == "r0")
                out << "r" << k << " " << at << " " << to << " 1e-12\n";
            else if (p == "l")
                out << "l" << k << " " << at << " " << to << " " << ExactNumber(z.imag() / omega) << "\n";
            else if (p == "c")
                out << "c" << k << " " << at << " " << to << " " << ExactNumber(-1 / (omega * z.imag())) << "\n";
            else // the source's positive terminal faces the second node
                out << "v" << k << " " << to << " " << at << " DC " << ExactNumber(emf) << " AC " << ExactNumber(emf) << "\n";
            at = to;
        }
    }
    if (omega == 0) {
        out << ".op\n";
    } else {
        const double f = omega / (2 * std::numbers::pi);
        out << ".ac lin 1 " << ExactNumber(f) << " " << ExactNumber(f) << "\n";
    }
    out << ".end\n";
    return text;
}
