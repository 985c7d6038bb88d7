#include "solver/Netlist.h"

#include "solver/Topology.h"

#include <QStringList>
#include <QTextStream>
#include <cmath>
#include <numbers>

namespace {
bool Carries(const TCircuitGraph& g, int k) {
    if (!g.Joins(k) || g.Breaks[size_t(k)]) return false;
    return std::abs(g.View->Elements[size_t(k)].Z()) < 1E30;
}

} // namespace

QString ExactNumber(double v) {
    return QString::asprintf("%.17g", v);
}

bool InSpiceNetlist(const TCircuitView& view, int k) {
    TCircuitView copy = view;
    const TCircuitGraph g = TCircuitGraph::Of(copy);
    return k >= 0 && k < g.ElementCount() && Carries(g, k);
}

QString SpiceNetlist(const TCircuitView& view, const QString& title) {
    TCircuitView copy = view;
    const TCircuitGraph g = TCircuitGraph::Of(copy);
    const double omega = view.Omega;

    // One ground per connected piece: its lowest node is called 0.
    TNodePieces pieces(size_t(g.NodeCount));
    for (int k = 0; k < g.ElementCount(); ++k)
        if (Carries(g, k)) pieces.Join(g.First[size_t(k)], g.Second[size_t(k)]);
    auto node = [&](int q) {
        return pieces.Find(q) == q ? QStringLiteral("0") : QStringLiteral("n%1").arg(q);
    };

    QString text;
    QTextStream out(&text);
    out << "* " << title << "\n";
    for (int k = 0; k < g.ElementCount(); ++k) {
        const TCircuitElement& e = view.Elements[size_t(k)];
        out << "* element " << k << " " << e.Kind << "\n";
        if (!Carries(g, k)) continue;
        const TComplex z = e.Z();
        const double emf = e.Emf;
        // vm<k>, then resistance, reactance and source in series, from first to second node.
        QString at = QStringLiteral("e%1a").arg(k);
        out << "vm" << k << " " << node(g.First[size_t(k)]) << " " << at << " 0\n";
        QStringList parts;
        if (z.real() != 0) parts << "r";
        if (z.imag() != 0 && omega != 0) parts << (z.imag() > 0 ? "l" : "c");
        if (emf != 0) parts << "v";
        if (parts.isEmpty()) parts << "r0";
        for (int i = 0; i < parts.size(); ++i) {
            const QString to = i + 1 == parts.size()
                                   ? node(g.Second[size_t(k)])
                                   : QStringLiteral("e%1%2").arg(k).arg(QChar('b' + i));
            const QString& p = parts[i];
            if (p == "r")
                out << "r" << k << " " << at << " " << to << " " << ExactNumber(z.real()) << "\n";
            else if (p == "r0")
                out << "r" << k << " " << at << " " << to << " 1e-12\n";
            else if (p == "l")
                out << "l" << k << " " << at << " " << to << " " << ExactNumber(z.imag() / omega)
                    << "\n";
            else if (p == "c")
                out << "c" << k << " " << at << " " << to << " "
                    << ExactNumber(-1 / (omega * z.imag())) << "\n";
            else // the source's positive terminal faces the second node
                out << "v" << k << " " << to << " " << at << " DC " << ExactNumber(emf) << " AC "
                    << ExactNumber(emf) << "\n";
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
