// Our circuit solver beside ngspice on the same netlists, in one process.
//
// Each case is built on a real board (test parts, a board with recording seams, no log file) and
// solved by SolveBoard(), the whole pipeline: reading the board, the loop search or the
// spanning trees, the equations, the elimination, handing the currents to the elements (which,
// on a board solved before, find them unchanged and keep them). Ours is timed twice: solved
// again with its wiring unchanged (the loops of the last solve kept, as when the workbench
// solves after a value changes; ngspice's timed run likewise works on a circuit it has already
// set up), and as the first solve of its wiring, the loops found anew. The board's SPICE netlist is
// loaded into libngspice once; a timed ngspice run is one "op" or "ac lin 1 f f" command on the
// loaded circuit. Its currents are checked once against ours, and after every timed run the
// result it left is checked (untimed) before its plot is destroyed, so that no timed run can
// have done nothing.
//
// The worked example and the densest boards run under Google Benchmark; the random boards are a
// plain loop, one timed solve per side and board (the fastest of a few). A summary table follows.
//
// The boards of few loops (1 to 10, 30 to 58 parts, random kinds) take the other path, the loops
// listed: a search among them for the slowest to solve, beside the fixed cases built for it.
//
// The full boards (a random part on each of the 84 edges, as a scheme file may hold) are the
// largest legal boards, solved by spanning trees.
//
// Options: --boards=N (random boards, default 2000), --few-loop-boards=N (default 500),
// --full-boards=N (default 200),
// --reps=N (timed runs per board and side,
// default 5), --seed=N, --show=N (print random board N, ours beside ngspice, and time nothing),
// --profile=<case name> --solves=N [--first=1] (solve one case N times, each as the first solve
// of its wiring with --first=1, and nothing else; it prints the mean and the fastest batch of
// 100, the steadier figure for comparing two builds on a shared machine), --fingerprint=1
// [--dump=FILE] (fold every current of several families of circuits into one number per family);
// the rest goes to Google Benchmark (--benchmark_filter=... and so on).

#include "support/Board.h"
#include "support/Circuits.h"
#include "support/Spice.h"
#include "support/TestParts.h"

#include "board/Frmwork.h"
#include "board/Node.h"
#include "components/Iron.h"
#include "components/Kinds.h"
#include "document/Circuit.h"
#include "document/Scheme.h"
#include "solver/Calculate.h"
#include "solver/Netlist.h"

#include <benchmark/benchmark.h>
#include <ngspice/sharedspice.h>

#include <QApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <numbers>
#include <optional>
#include <random>
#include <string>
#include <time.h>
#include <vector>

#include <malloc.h>
#include <unistd.h>

namespace {

// The CPU time this thread has used, in seconds. Timings are taken as thread CPU time: the
// machine is shared with compilers, and wall time counts their turns on the processor too.
// libngspice runs its analysis in the calling thread (one OpenMP thread), so both sides are
// measured alike.
double ThreadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// --- Boards -----------------------------------------------------------------------------------

std::unique_ptr<TBoardFixture> Fixture; // the one board, for the whole run

void ClearBoard() {
    while (!Parts.isEmpty())
        delete Parts.first();
    CircuitOmega = 0;
    // The board posts a circuit-changed event for every change; let them go.
    QCoreApplication::processEvents();
}

TTestPart* Part(double r, double emf, int r1, int c1, int r2, int c2, quint8 kind = KindResistor) {
    auto* p = new TTestPart(r, emf, kind);
    Place(p, r1, c1, r2, c2);
    return p;
}

// The worked example: a 9 V battery with 100 ohms inside and a 1000 ohm resistor on one edge.
void BuildWorkedExample() {
    Part(100, 9, 3, 3, 4, 3, KindBattery);
    Part(1000, 0, 3, 3, 4, 3);
}

// Every edge of a 6 x 6 block of nodes: 60 parts, 25 independent loops (the most the parts box
// gives); with `side` 7, every edge of the board: 84 parts, 36 loops (the most a scheme file
// holds). Direct current: resistors and a few batteries. Alternating: the same places, the
// sources are generators and the other parts resistors, coils and capacitors.
void BuildDensest(bool alternating, int side = 6) {
    QRandomGenerator random(7);
    int k = 0;
    auto add = [&](int r1, int c1, int r2, int c2) {
        const double r = 1 + random.bounded(100);
        const double emf = (k % 7 == 0) ? 3 : (k % 5 == 0) ? 2 : 0;
        ++k;
        TTestPart* p = Part(r, emf, r1, c1, r2, c2,
                            emf != 0 ? (alternating ? KindGenerator : KindBattery) : KindResistor);
        if (!alternating) return;
        if (emf != 0) {
            p->AcSource = true;
            return;
        }
        switch (random.bounded(3)) {
        case 0:
            break;
        case 1:
            p->Reactance = 1 + random.bounded(1000);
            break; // a coil
        default:
            p->Reactance = -(1 + random.bounded(1000));
            break; // a capacitor
        }
    };
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c) {
            if (c < side - 1) add(r, c, r, c + 1);
            if (r < side - 1) add(r, c, r + 1, c);
        }
    CircuitOmega = alternating ? 2 * std::numbers::pi * 50 : 0;
}

// A random part on the edge from (r1, c1) to (r2, c2): a resistor, wire, battery or generator,
// and, with alternating current, a coil or capacitor (a resistor otherwise).
void RandomPart(QRandomGenerator& random, bool alternating, int r1, int c1, int r2, int c2) {
    auto logUniform = [&](double lo, double hi) {
        return lo * std::pow(hi / lo, random.generateDouble());
    };
    if (random.bounded(2)) {
        std::swap(r1, r2);
        std::swap(c1, c2);
    }
    double resistance, emf = 0, reactance = 0;
    quint8 kind = KindResistor;
    const int draw = random.bounded(10);
    if (draw < 4) {
        resistance = logUniform(0.1, 1e5);
    } else if (draw < 5) {
        resistance = 1e-6; // a wire
        kind = KindWire;
    } else if (draw < 7) {
        resistance = logUniform(0.1, 50);
        emf = logUniform(1, 24);
        kind = alternating ? KindGenerator : KindBattery;
    } else if (alternating) {
        resistance = logUniform(0.01, 100);
        const bool coil = random.bounded(2);
        reactance = (coil ? 1 : -1) * logUniform(1, 1e4);
        kind = coil ? KindInductance : KindCondensator;
    } else {
        resistance = logUniform(1, 1e4);
    }
    auto* p = new TTestPart(resistance, emf, kind);
    p->Reactance = reactance;
    p->AcSource = kind == KindGenerator;
    Place(p, r1, c1, r2, c2);
}

// The lattice's 84 edges, each as (r1, c1, r2, c2): the 42 horizontal ones, then the vertical.
std::vector<std::array<int, 4>> LatticeEdges() {
    std::vector<std::array<int, 4>> edges;
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 6; ++c)
            edges.push_back({r, c, r, c + 1});
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 7; ++c)
            edges.push_back({r, c, r + 1, c});
    return edges;
}

// The random boards' seed unless another is given.
constexpr quint32 DefaultSeed = 20260301;

// Sixty random parts on random edges of the 7 x 7 lattice (an edge may take several, in either
// direction).
void BuildRandomBoard(QRandomGenerator& random, bool alternating) {
    static const std::vector<std::array<int, 4>> edges = LatticeEdges();
    for (int i = 0; i < 60; ++i) {
        const auto& e = edges[size_t(random.bounded(84))];
        RandomPart(random, alternating, e[0], e[1], e[2], e[3]);
    }
    CircuitOmega = alternating ? 2 * std::numbers::pi * 50 : 0;
}

// A random part on every edge of the lattice: 84 parts, the most a scheme file holds.
void BuildFullBoard(QRandomGenerator& random, bool alternating) {
    for (const auto& e : LatticeEdges())
        RandomPart(random, alternating, e[0], e[1], e[2], e[3]);
    CircuitOmega = alternating ? 2 * std::numbers::pi * 50 : 0;
}

// Of `edges`, in their order, those that join two pieces of the lattice or close one of `loops`
// loops, up to `parts` in all: `place` is called with each edge kept.
template <class F>
void KeepEdges(const std::vector<std::array<int, 4>>& edges, int loops, int parts, F place) {
    std::vector<int> piece(49);
    for (int q = 0; q < 49; ++q)
        piece[size_t(q)] = q;
    auto find = [&](int q) {
        while (piece[size_t(q)] != q)
            q = piece[size_t(q)];
        return q;
    };
    int closed = 0, kept = 0;
    for (const auto& e : edges) {
        if (kept == parts) break;
        const int a = find(e[0] * 7 + e[1]), b = find(e[2] * 7 + e[3]);
        if (a == b) {
            if (closed == loops) continue;
            ++closed;
        } else if (kept - closed == parts - loops) {
            continue; // the pieces joined as often as they may be: only loops still to close
        }
        piece[size_t(a)] = b;
        place(e);
        ++kept;
    }
}

// Random parts on 30 to 58 edges of the lattice with 1 to 10 independent loops, so that the loops
// are listed: the edges taken in random order.
void BuildFewLoopsBoard(QRandomGenerator& random, bool alternating) {
    std::vector<std::array<int, 4>> edges = LatticeEdges();
    std::shuffle(edges.begin(), edges.end(), std::mt19937(random.generate()));
    const int loops = 1 + int(random.bounded(10)), parts = 30 + int(random.bounded(29));
    KeepEdges(edges, loops, parts, [&](const std::array<int, 4>& e) {
        RandomPart(random, alternating, e[0], e[1], e[2], e[3]);
    });
    CircuitOmega = alternating ? 2 * std::numbers::pi * 50 : 0;
}

// --- ngspice ----------------------------------------------------------------------------------

std::string SpiceOutput;      // what ngspice printed since the last Load, while kept
bool KeepSpiceOutput = false; // off while timing

int SpicePrint(char* text, int, void*) {
    if (KeepSpiceOutput && text) SpiceOutput.append(text).append("\n");
    return 0;
}
int SpiceStatus(char*, int, void*) {
    return 0;
}
int SpiceExit(int, NG_BOOL, NG_BOOL, int, void*) {
    return 0;
}
int SpiceThread(NG_BOOL, int, void*) {
    return 0;
}

int SpiceCommand(const std::string& command) {
    std::string buffer = command;
    return ngSpice_Command(buffer.data());
}

// The lean netlist: one SPICE node per board node and nothing else, as one would write the
// circuit for ngspice by hand. An element of impedance Z and EMF E carries I = (V1 - V2 + E) / Z
// from its first node to its second, so it is its admittance Y = 1 / Z between its nodes beside
// a current source of E * Y from first node to second (the source's Norton form); at one
// frequency Y is a conductance in parallel with a capacitance (B > 0) or an inductance (B < 0).
// No ammeter source and no inner node: the currents are worked out afterwards from the node
// voltages. The elements left out and the grounds are those of the ammeter netlist.
struct TLeanElement {
    int Element;
    std::string First, Second; // SPICE node names, "0" for a ground
    TComplex Impedance;        // as the netlist models it
    double Emf;
};

QString LeanNetlist(std::vector<TLeanElement>& elements) {
    const double omega = CircuitOmega;
    QHash<const TNode*, int> number;
    for (int q = 0; q < Nodes.size(); ++q)
        number.insert(Nodes[q], q);
    std::vector<int> carried;
    for (int k = 0; k < CircuitElements.size(); ++k)
        if (InSpiceNetlist(BoardCircuit(), k)) carried.push_back(k);
    std::vector<int> piece(size_t(Nodes.size())); // each node's piece, named by its lowest node
    for (size_t q = 0; q < piece.size(); ++q)
        piece[q] = int(q);
    auto find = [&](int q) {
        while (piece[size_t(q)] != q)
            q = piece[size_t(q)];
        return q;
    };
    for (int k : carried) {
        const int a = find(number.value(CircuitElements[k]->FirstNode));
        const int b = find(number.value(CircuitElements[k]->SecondNode));
        piece[size_t(std::max(a, b))] = std::min(a, b);
    }
    auto node = [&](const TNode* v) {
        const int q = number.value(v);
        return find(q) == q ? std::string("0") : "n" + std::to_string(q);
    };
    auto exact = [](double v) { return ExactNumber(v).toStdString(); };

    std::string text = "* vexilo bench, lean\n";
    elements.clear();
    for (int k : carried) {
        TIron0* e = CircuitElements[k];
        // As the ammeter netlist has it: the reactance only on alternating current, and a
        // resistance of 1E-12 ohms for an element of no impedance at all.
        TComplex z = e->GetImpedance();
        if (omega == 0) z = {z.real(), 0};
        if (z == TComplex()) z = {1e-12, 0};
        const TLeanElement element{k, node(e->FirstNode), node(e->SecondNode), z, e->GetEmf()};
        const std::string ends = " " + element.First + " " + element.Second + " ";
        const TComplex y = 1.0 / z;
        if (y.real() != 0) text += "r" + std::to_string(k) + ends + exact(1 / y.real()) + "\n";
        if (y.imag() > 0) text += "c" + std::to_string(k) + ends + exact(y.imag() / omega) + "\n";
        if (y.imag() < 0)
            text += "l" + std::to_string(k) + ends + exact(-1 / (omega * y.imag())) + "\n";
        if (element.Emf != 0) {
            const TComplex j = element.Emf * y;
            if (omega == 0)
                text += "i" + std::to_string(k) + ends + "DC " + exact(j.real()) + "\n";
            else
                text += "i" + std::to_string(k) + ends + "AC " + exact(std::abs(j)) + " " +
                        exact(std::arg(j) * 180 / std::numbers::pi) + "\n";
        }
        elements.push_back(element);
    }
    if (omega == 0) {
        text += ".op\n";
    } else {
        const double f = omega / (2 * std::numbers::pi);
        text += ".ac lin 1 " + exact(f) + " " + exact(f) + "\n";
    }
    text += ".end\n";
    return QString::fromStdString(text);
}

// The board's netlist loaded into libngspice, with the command that solves it: the ammeter
// netlist of the solver's tests, or the lean one.
class TSpiceCircuit {
public:
    explicit TSpiceCircuit(bool lean = false) : Lean(lean) {
        if (lean) {
            Netlist = LeanNetlist(Elements);
            for (const TLeanElement& e : Elements)
                Carried.push_back(e.Element);
        } else {
            for (int e = 0; e < CircuitElements.size(); ++e)
                if (InSpiceNetlist(BoardCircuit(), e)) Carried.push_back(e);
            Netlist = SpiceNetlist(BoardCircuit(), QStringLiteral("vexilo bench"));
        }
        std::vector<std::string> lines;
        for (const QString& line : Netlist.split('\n', Qt::SkipEmptyParts)) {
            const std::string l = line.toStdString();
            if (l.rfind(".op", 0) == 0 || l.rfind(".ac", 0) == 0) Command = l.substr(1);
            if (l == ".end") continue;
            lines.push_back(l);
        }
        // A linear circuit needs no operating point before its AC analysis; without one, pieces
        // joined only through capacitors do not make the matrix singular.
        if (CircuitOmega != 0) lines.push_back(".options noopac");
        lines.push_back(".end");
        std::vector<char*> deck;
        for (std::string& l : lines)
            deck.push_back(l.data());
        deck.push_back(nullptr);
        SpiceOutput.clear();
        KeepSpiceOutput = true;
        Loaded = ngSpice_Circ(deck.data()) == 0 && !Command.empty();
        KeepSpiceOutput = false;
    }
    ~TSpiceCircuit() {
        SpiceCommand("destroy all");
        SpiceCommand("remcirc");
    }

    // One timed run, the seconds it took.
    double TimedRun() const {
        const double t0 = ThreadSeconds();
        ngSpice_Command(const_cast<char*>(Command.c_str()));
        return ThreadSeconds() - t0;
    }

    // The first run: its currents against ours, within what the solver's tests allow. False, with
    // Problem set, when ngspice failed or (Disagrees) solved otherwise than we did. After a run
    // that solved, leaves the reference value the later runs are checked by.
    bool RunAndCheck() {
        if (!Loaded) return Fail("ngspice did not load the netlist");
        if (Carried.empty()) return Fail("no element in the netlist");
        SpiceOutput.clear();
        KeepSpiceOutput = true;
        SpiceCommand(Command);
        KeepSpiceOutput = false;
        for (int e : Carried) {
            const auto i = Current(e);
            if (!i)
                return Fail("no current for element " + std::to_string(e) + " after \"" + Command +
                            "\"");
            Currents.insert(e, *i);
        }
        Tolerance = SpiceTolerances(Currents);
        int off = 0;
        std::string first;
        for (int e = 0; e < CircuitElements.size(); ++e) {
            const TComplex ours = CircuitElements[e]->Current;
            const TComplex theirs = Currents.value(e, TComplex());
            if (std::abs(ours - theirs) <= Tolerance.value(e)) continue;
            if (off++ == 0) {
                char text[200];
                std::snprintf(text, sizeof text, "element %d: ours %.6g%+.6gi, ngspice %.6g%+.6gi",
                              e, ours.real(), ours.imag(), theirs.real(), theirs.imag());
                first = text;
            }
        }
        Reference = Currents.value(Carried.front());
        SpiceCommand("destroy all");
        if (off > 0) {
            Disagrees = true;
            Problem = std::to_string(off) + " element(s) off, first " + first;
            return false;
        }
        return true;
    }

    // After a timed run: whether it left a fresh result equal to the first run's; then its plot
    // is destroyed, so the next run must make its own.
    bool Produced() {
        const auto i = Current(Carried.front());
        SpiceCommand("destroy all");
        return i && *i == Reference;
    }

    std::string Command;
    std::string Problem;
    bool Disagrees = false; // ngspice solved, but not as we did
    QString Netlist;
    QMap<int, TComplex> Currents; // ngspice's, of the first run
    QMap<int, double> Tolerance;  // how far ours may be off them

private:
    bool Fail(const std::string& why) {
        Problem = why;
        if (!SpiceOutput.empty()) Problem += "\n" + SpiceOutput;
        return false;
    }

    static std::optional<TComplex> Vector(const std::string& name) {
        std::string buffer = name;
        const pvector_info v = ngGet_Vec_Info(buffer.data());
        if (!v || v->v_length < 1) return std::nullopt;
        if (v->v_compdata) return TComplex(v->v_compdata[0].cx_real, v->v_compdata[0].cx_imag);
        if (v->v_realdata) return TComplex(v->v_realdata[0], 0);
        return std::nullopt;
    }

    // The current of element k in the present plot: its ammeter's, or (lean) what its node
    // voltages drive through it.
    std::optional<TComplex> Current(int k) const {
        if (!Lean) return Vector("vm" + std::to_string(k) + "#branch");
        const auto e = std::find_if(Elements.begin(), Elements.end(),
                                    [&](const TLeanElement& l) { return l.Element == k; });
        if (e == Elements.end()) return std::nullopt;
        auto voltage = [](const std::string& node) {
            return node == "0" ? std::optional<TComplex>(TComplex()) : Vector(node);
        };
        const auto v1 = voltage(e->First), v2 = voltage(e->Second);
        if (!v1 || !v2) return std::nullopt;
        return (*v1 - *v2 + e->Emf) / e->Impedance;
    }

    const bool Lean;
    std::vector<TLeanElement> Elements; // lean: how each element's current is worked out
    std::vector<int> Carried;
    bool Loaded = false;
    TComplex Reference;
};

// --- The fixed cases under Google Benchmark -----------------------------------------------------

struct TCase {
    const char* Name;
    std::function<void()> Build;
    bool Log = false; // solved with LOG.LOG written, as the workbench solves
};

// Every edge of a 4 x 4 block of nodes: 24 parts, 9 independent loops, so the full loop search
// lists every loop (boards of up to 10 loops take that path). Resistors and two batteries.
void BuildBlock4() {
    QRandomGenerator random(11);
    int k = 0;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            if (c < 3) Part(1 + random.bounded(1000), k++ == 0 ? 9 : 0, r, c, r, c + 1);
            if (r < 3) Part(1 + random.bounded(1000), k++ == 13 ? 4.5 : 0, r, c, r + 1, c);
        }
}

// A board of 58 parts with exactly 10 independent loops: a random spanning tree of the whole
// lattice (48 parts) and 10 more parts on other edges. Among such boards these take the full
// loop search longest: the ten extra parts close long loops that cross each other.
void BuildTenLoops(quint32 seed) {
    QRandomGenerator random(seed);
    std::vector<std::array<int, 4>> edges;
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c) {
            if (c < 6) edges.push_back({r, c, r, c + 1});
            if (r < 6) edges.push_back({r, c, r + 1, c});
        }
    std::shuffle(edges.begin(), edges.end(), std::mt19937(seed));
    int k = 0;
    KeepEdges(edges, 10, std::numeric_limits<int>::max(), [&](const std::array<int, 4>& e) {
        Part(1 + random.bounded(1000), k++ % 9 == 0 ? 6 : 0, e[0], e[1], e[2], e[3]);
    });
}

// Board `n` of a family as the random boards' loop builds it from `seed` (each board drawn after
// the ones before it, half DC, half AC).
void BuildNthBoard(void (*build)(QRandomGenerator&, bool), quint32 seed, int n) {
    QRandomGenerator random(seed);
    for (int board = 0; board <= n; ++board) {
        ClearBoard();
        build(random, board % 2);
    }
}

// A lab scheme as the student opens it.
void LoadLab(int n) {
    QFile file(QStringLiteral(VEXILO_BIN_DIR "/Labs/lab%1.workbench").arg(n));
    if (!file.open(QIODevice::ReadOnly) || LoadSchemeFrom(file) != TLoadResult::Loaded)
        std::fprintf(stderr, "lab %d could not be loaded\n", n);
}

const std::vector<TCase>& Cases() {
    static const std::vector<TCase> cases{
        {"worked example (2 parts, DC)", BuildWorkedExample},
        {"worked example, LOG.LOG written", BuildWorkedExample, true},
        {"densest board DC (60 parts)", [] { BuildDensest(false); }},
        {"densest board AC (60 parts)", [] { BuildDensest(true); }},
        {"every edge, DC (84 parts, from a file)", [] { BuildDensest(false, 7); }},
        {"every edge, AC (84 parts, from a file)", [] { BuildDensest(true, 7); }},
        {"full 4 x 4 block (24 parts, 9 loops)", BuildBlock4},
        // The full board slowest to solve for the first time against ngspice, run after run.
        {"full board 134 (84 random parts, DC)",
         [] { BuildNthBoard(BuildFullBoard, DefaultSeed + 2, 134); }},
        {"58 parts, 10 loops (a)", [] { BuildTenLoops(3); }},
        {"58 parts, 10 loops (b)", [] { BuildTenLoops(17); }},
        {"lab 1", [] { LoadLab(1); }},
        {"lab 2", [] { LoadLab(2); }},
        {"lab 3", [] { LoadLab(3); }},
        {"lab 4", [] { LoadLab(4); }},
        {"lab 5", [] { LoadLab(5); }},
    };
    return cases;
}

const char* SourceName(Solver::TLoopSource s) {
    switch (s) {
    case Solver::TLoopSource::Listed:
        return "listed loops";
    case Solver::TLoopSource::TooManyLoops:
        return "spanning trees (too many loops)";
    case Solver::TLoopSource::NoProgress:
        return "spanning trees (no progress)";
    case Solver::TLoopSource::RanOutOfLoops:
        return "spanning trees (ran out of loops)";
    case Solver::TLoopSource::Dependent:
        return "spanning trees (dependent loops)";
    case Solver::TLoopSource::Singular:
        return "spanning trees (singular)";
    }
    return "?";
}

// The number the fingerprint takes in for each loop source. The sources keep the numbers they
// had when the fingerprints were first taken (2 went with the loop search's step budget), so
// that a fingerprint from then still compares with one from now.
int FingerprintCode(Solver::TLoopSource s) {
    switch (s) {
    case Solver::TLoopSource::Listed:
        return 0;
    case Solver::TLoopSource::TooManyLoops:
        return 1;
    case Solver::TLoopSource::NoProgress:
        return 3;
    case Solver::TLoopSource::RanOutOfLoops:
        return 4;
    case Solver::TLoopSource::Dependent:
        return 5;
    case Solver::TLoopSource::Singular:
        return 6;
    }
    return -1;
}

// Builds the case and solves it once, untimed, so that the elements carry their currents.
bool Prepare(benchmark::State& state, const TCase& c) {
    ClearBoard();
    c.Build();
    SolveBoard();
    if (Solver::LastSolve.Failed) {
        state.SkipWithError("our solve failed");
        return false;
    }
    return true;
}

// `first`: every solve as the first of its wiring, its loops found anew (as after a part is
// placed or moved); else as the workbench solves a board again (a value changed, a battery
// running down), with the loops of the last solve.
void OursCase(benchmark::State& state, const TCase& c, bool first) {
    if (!Prepare(state, c)) return;
    const QString logFile = QStringLiteral("bench-LOG.LOG");
    if (c.Log) Solver::LogPath = logFile;
    for (auto _ : state) {
        if (first) Solver::ForgetWiring();
        SolveBoard();
    }
    Solver::LogPath.clear();
    QFile::remove(logFile);
    QFile::remove(logFile + ".1");
    if (Solver::LastSolve.Failed) state.SkipWithError("our solve failed");
    state.counters["equations"] = Solver::LastSolve.Equations;
    state.counters["search steps"] = double(Solver::LastSolve.SearchSteps);
    state.SetLabel(SourceName(Solver::LastSolve.Source));
    ClearBoard();
}

void SpiceCase(benchmark::State& state, const TCase& c, bool lean) {
    if (!Prepare(state, c)) return;
    TSpiceCircuit spice(lean);
    if (!spice.RunAndCheck()) {
        std::fprintf(stderr, "ngspice%s, %s: %s\n", lean ? " (lean)" : "", c.Name,
                     spice.Problem.c_str());
        state.SkipWithError("ngspice disagrees with our solve or failed");
        return;
    }
    for (auto _ : state) {
        state.SetIterationTime(spice.TimedRun());
        if (!spice.Produced()) {
            state.SkipWithError("a timed ngspice run left no result");
            break;
        }
    }
    state.SetLabel(spice.Command);
}

// Keeps the fastest repetition of every benchmark, and prints Google Benchmark's own table.
class TReporter : public benchmark::ConsoleReporter {
public:
    explicit TReporter(bool color) : ConsoleReporter(color ? OO_ColorTabular : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "min" && !r.error_occurred)
                // Given in microseconds: ngspice's runs report their thread CPU time as manual
                // time, ours the thread CPU time Google Benchmark measures.
                Fastest[r.run_name.function_name] =
                    (r.run_name.function_name.rfind("ngspice", 0) == 0 ? r.GetAdjustedRealTime()
                                                                       : r.GetAdjustedCPUTime()) *
                    1e-6;
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Fastest; // seconds
};

// --- The random boards --------------------------------------------------------------------------

struct TBoardTimes {
    int Board;
    bool Alternating;
    double Ours, First, Spice, Lean; // seconds, the fastest of the repetitions
};

struct TRandomResult {
    std::vector<TBoardTimes> Boards;
    int OursFailed = 0, SpiceFailed = 0, Disagreed = 0, LostRuns = 0;
    std::map<Solver::TLoopSource, int> Sources;
    std::vector<std::string> Problems; // "board n: what"
};

// Board `show` of the sequence in full: the netlist, and per element our current, ngspice's and
// how far they may differ.
void ShowBoard(int board, TSpiceCircuit& spice) {
    std::printf("Board %d (%s, our loop source: %s)\n%s\n", board, CircuitOmega != 0 ? "AC" : "DC",
                SourceName(Solver::LastSolve.Source), spice.Netlist.toStdString().c_str());
    const bool ran = spice.RunAndCheck() || spice.Disagrees;
    std::printf("%s\n\n%8s %28s %28s %12s\n", ran ? "" : spice.Problem.c_str(), "element", "ours",
                "ngspice", "tolerance");
    for (int e = 0; e < CircuitElements.size(); ++e) {
        const TComplex ours = CircuitElements[e]->Current;
        const TComplex theirs = spice.Currents.value(e);
        const double allowed = spice.Tolerance.value(e);
        std::printf("%8d %14.6g%+13.6gi %14.6g%+13.6gi %12.3g%s\n", e, ours.real(), ours.imag(),
                    theirs.real(), theirs.imag(), allowed,
                    std::abs(ours - theirs) > allowed ? "  <- off" : "");
    }
}

// Checks ngspice's solution of the present board (ammeter or lean netlist) against ours and
// times it; NAN when ngspice failed, or a timed run left no result.
double TimeSpice(bool lean, int board, int reps, TRandomResult& result) {
    TSpiceCircuit spice(lean);
    const std::string which = lean ? " lean" : "";
    if (!spice.RunAndCheck()) {
        ++(spice.Disagrees ? result.Disagreed : result.SpiceFailed);
        result.Problems.push_back("board " + std::to_string(board) +
                                  (CircuitOmega != 0 ? " (AC" : " (DC") + which +
                                  "): " + spice.Problem);
        // ngspice solved it, only not within the tests' tolerance of us: timed all the same.
        if (!spice.Disagrees) return NAN;
    }
    double fastest = INFINITY;
    bool lost = false;
    for (int i = 0; i < reps; ++i) {
        fastest = std::min(fastest, spice.TimedRun());
        lost = lost || !spice.Produced();
    }
    if (lost) {
        ++result.LostRuns;
        return NAN;
    }
    return fastest;
}

TRandomResult RunRandomBoards(int count, int reps, quint32 seed, int show = -1, bool lean = false,
                              void (*build)(QRandomGenerator&, bool) = BuildRandomBoard) {
    TRandomResult result;
    QRandomGenerator random(seed);
    for (int board = 0; board < count; ++board) {
        const bool alternating = board % 2;
        ClearBoard();
        build(random, alternating);
        SolveBoard(); // untimed: the currents reach the elements
        if (Solver::LastSolve.Failed) {
            ++result.OursFailed;
            result.Problems.push_back("board " + std::to_string(board) + ": our solve failed");
            continue;
        }
        ++result.Sources[Solver::LastSolve.Source];
        if (board == show) {
            TSpiceCircuit spice(lean);
            ShowBoard(board, spice);
            break;
        }
        if (show >= 0) continue;
        double ours = INFINITY, first = INFINITY;
        for (int i = 0; i < reps; ++i) {
            double t0 = ThreadSeconds();
            SolveBoard();
            ours = std::min(ours, ThreadSeconds() - t0);
            Solver::ForgetWiring();
            t0 = ThreadSeconds();
            SolveBoard();
            first = std::min(first, ThreadSeconds() - t0);
        }
        const double spice = TimeSpice(false, board, reps, result);
        const double leanSpice = TimeSpice(true, board, reps, result);
        if (std::isnan(spice) || std::isnan(leanSpice)) continue;
        result.Boards.push_back({board, alternating, ours, first, spice, leanSpice});
    }
    ClearBoard();
    return result;
}

double Quantile(std::vector<double> v, double q) {
    if (v.empty()) return NAN;
    std::sort(v.begin(), v.end());
    if (q == 0.5) {
        const size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
    // Nearest rank.
    const size_t rank = size_t(std::ceil(q * double(v.size())));
    return v[std::clamp<size_t>(rank, 1, v.size()) - 1];
}

// --- The table ---------------------------------------------------------------------------------

std::string Time(double seconds) {
    char text[32];
    if (!std::isfinite(seconds)) return "-";
    if (seconds < 1e-3)
        std::snprintf(text, sizeof text, "%.2f us", seconds * 1e6);
    else
        std::snprintf(text, sizeof text, "%.3f ms", seconds * 1e3);
    return text;
}

std::string Ratio(double r) {
    char text[32];
    if (!std::isfinite(r)) return "-";
    std::snprintf(text, sizeof text, "%.3f", r);
    return text;
}

void Row(const std::string& name, const std::string& ours, const std::string& first,
         const std::string& spice, const std::string& lean, const std::string& ratio,
         const std::string& leanRatio, const std::string& firstRatio) {
    std::printf("  %-44s %11s %11s %11s %11s %9s %9s %10s\n", name.c_str(), ours.c_str(),
                first.c_str(), spice.c_str(), lean.c_str(), ratio.c_str(), leanRatio.c_str(),
                firstRatio.c_str());
}

void Row(const std::string& name, double ours, double first, double spice, double lean) {
    Row(name, Time(ours), Time(first), Time(spice), Time(lean), Ratio(ours / spice),
        Ratio(ours / lean), Ratio(first / lean));
}

void Rule() {
    std::printf("  %s\n", std::string(44 + 5 * 12 + 3 * 10 - 2, '-').c_str());
}

// Median and 99th percentile of each column apart, and the board whose ratio to the lean
// ngspice is the worst. Returns that ratio.
double RandomRows(const std::string& what, const std::vector<TBoardTimes>& boards) {
    std::vector<double> ours, first, theirs, lean, ratio, leanRatio, firstRatio;
    for (const TBoardTimes& b : boards) {
        ours.push_back(b.Ours);
        first.push_back(b.First);
        theirs.push_back(b.Spice);
        lean.push_back(b.Lean);
        ratio.push_back(b.Ours / b.Spice);
        leanRatio.push_back(b.Ours / b.Lean);
        firstRatio.push_back(b.First / b.Lean);
    }
    for (double q : {0.5, 0.99})
        Row(what + (q == 0.5 ? ", median" : ", 99th percentile"), Time(Quantile(ours, q)),
            Time(Quantile(first, q)), Time(Quantile(theirs, q)), Time(Quantile(lean, q)),
            Ratio(Quantile(ratio, q)), Ratio(Quantile(leanRatio, q)),
            Ratio(Quantile(firstRatio, q)));
    if (boards.empty()) return NAN;
    const TBoardTimes& worst = *std::max_element(boards.begin(), boards.end(),
                                                 [](const TBoardTimes& a, const TBoardTimes& b) {
                                                     return a.Ours / a.Lean < b.Ours / b.Lean;
                                                 });
    Row(what + ", worst: board " + std::to_string(worst.Board), worst.Ours, worst.First,
        worst.Spice, worst.Lean);
    const TBoardTimes& worstFirst = *std::max_element(
        boards.begin(), boards.end(), [](const TBoardTimes& a, const TBoardTimes& b) {
            return a.First / a.Lean < b.First / b.Lean;
        });
    Row(what + ", worst first: board " + std::to_string(worstFirst.Board), worstFirst.Ours,
        worstFirst.First, worstFirst.Spice, worstFirst.Lean);
    return worst.Ours / worst.Lean;
}

// The 1, 5 and 15 minute load averages.
std::string LoadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly)) return "unknown";
    const QList<QByteArray> fields = file.readAll().split(' ');
    if (fields.size() < 3) return "unknown";
    return (fields[0] + " " + fields[1] + " " + fields[2] + " (1, 5, 15 min; " +
            QByteArray::number(QThread::idealThreadCount()) + " cores)")
        .toStdString();
}

std::string TakeText(int& argc, char** argv, const char* name, const std::string& fallback) {
    const std::string prefix = std::string("--") + name + "=";
    std::string value = fallback;
    for (int i = 1; i < argc;) {
        if (std::string(argv[i]).rfind(prefix, 0) == 0) {
            value = argv[i] + prefix.size();
            for (int j = i; j < argc; ++j)
                argv[j] = argv[j + 1];
            --argc;
        } else {
            ++i;
        }
    }
    return value;
}

int TakeOption(int& argc, char** argv, const char* name, int fallback) {
    const std::string text = TakeText(argc, argv, name, "");
    return text.empty() ? fallback : std::atoi(text.c_str());
}

// --- The fingerprint of our results -----------------------------------------------------------

// Every current of every element after each solve of several families of circuits, folded into
// one number per family: a change that is meant to make the solver faster, not different, must
// leave every family's number as it was. A negative zero counts as zero. With a dump file, each
// current is also written out in full (hexadecimal bits), to find the circuit that differs.
class TFingerprint {
public:
    explicit TFingerprint(const std::string& dumpPath) {
        if (!dumpPath.empty()) Dump = std::fopen(dumpPath.c_str(), "w");
    }
    ~TFingerprint() {
        if (Dump) std::fclose(Dump);
    }

    // Solves the present board twice (the second solve starts from the first one's currents and
    // loops) and takes in what each left.
    void Solve(const char* family, int circuit) {
        for (int pass = 0; pass < 2; ++pass) {
            SolveBoard();
            Take(family, circuit, Solver::LastSolve.Failed,
                 FingerprintCode(Solver::LastSolve.Source), Solver::LastSolve.Equations);
            if (Dump)
                std::fprintf(Dump, "%s %d %d solve %d %d %s\n", family, circuit, pass,
                             Solver::LastSolve.Failed, Solver::LastSolve.Equations,
                             SourceName(Solver::LastSolve.Source));
            for (int e = 0; e < CircuitElements.size(); ++e) {
                const TComplex i = CircuitElements[e]->Current;
                Take(family, circuit, i.real() + 0.0, i.imag() + 0.0); // + 0.0: -0 is 0
                if (Dump)
                    std::fprintf(Dump, "%s %d %d %d %a %a\n", family, circuit, pass, e, i.real(),
                                 i.imag());
            }
            Failed += Solver::LastSolve.Failed;
        }
        ++Circuits;
    }

    // The family's line, and a fresh start for the next family.
    void Print(const char* family) {
        std::printf("  %-44s %6d circuits, %4d failed solves, %016llx\n", family, Circuits, Failed,
                    static_cast<unsigned long long>(Hash));
        std::fflush(stdout);
        Circuits = Failed = 0;
        Hash = Seed;
    }

private:
    template <class... T> void Take(const char*, int, T... values) { (Mix(values), ...); }
    void Mix(double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        Mix(bits);
    }
    void Mix(int v) { Mix(uint64_t(uint32_t(v))); }
    void Mix(bool v) { Mix(uint64_t(v)); }
    void Mix(uint64_t v) {
        for (int i = 0; i < 8; ++i)
            Hash = (Hash ^ ((v >> (8 * i)) & 0xff)) * 1099511628211ull;
    }

    static constexpr uint64_t Seed = 1469598103934665603ull;
    uint64_t Hash = Seed;
    int Circuits = 0, Failed = 0;
    std::FILE* Dump = nullptr;
};

// The families: the circuits of the solver's tests against ngspice (the same random sequences),
// the benchmark's cases and random boards, boards with exactly ten loops, and small boards on a
// 4 x 4 block with parts side by side and open switches (the full loop search).
void Fingerprint(const std::string& dumpPath, int boards) {
    TFingerprint print(dumpPath);
    std::printf(
        "Fingerprint of our currents (FNV-1a over every current's bits, two solves per circuit)\n");
    {
        QRandomGenerator random(20261209);
        for (int circuit = 0; circuit < 330; ++circuit) {
            TBoardFixture board;
            Solver::LogPath.clear();
            const bool alternating = circuit % 2;
            BuildRandomCircuit(random, alternating);
            CircuitOmega = alternating ? 2 * M_PI * (50 + random.bounded(5000)) : 0;
            print.Solve("tests", circuit);
        }
        print.Print("the tests' 330 generated circuits");
    }
    {
        QRandomGenerator random(20260318);
        for (int circuit = 0; circuit < 5000; ++circuit) {
            TBoardFixture board;
            Solver::LogPath.clear();
            const bool alternating = circuit % 2;
            BuildRegionsJoinedByHugeBranches(random, alternating);
            CircuitOmega = alternating ? 2 * M_PI * (50 + random.bounded(5000)) : 0;
            print.Solve("huge", circuit);
        }
        print.Print("the tests' 5000 regions joined by huge parts");
    }
    {
        TBoardFixture board;
        Solver::LogPath.clear();
        int circuit = 0;
        for (const TCase& c : Cases()) {
            ClearBoard();
            c.Build();
            print.Solve("cases", circuit++);
        }
        ClearBoard();
        print.Print("the benchmark's cases");
    }
    for (const auto& [family, build, count, seed] :
         {std::tuple{"random boards", &BuildRandomBoard, boards, DefaultSeed},
          {"boards of few loops", &BuildFewLoopsBoard, 500, DefaultSeed + 1},
          {"full boards", &BuildFullBoard, 200, DefaultSeed + 2}}) {
        TBoardFixture board;
        Solver::LogPath.clear();
        QRandomGenerator random(seed);
        for (int circuit = 0; circuit < count; ++circuit) {
            ClearBoard();
            build(random, circuit % 2);
            print.Solve(family, circuit);
        }
        ClearBoard();
        print.Print(("the benchmark's " + std::to_string(count) + " " + family).c_str());
    }
    {
        TBoardFixture board;
        Solver::LogPath.clear();
        for (int circuit = 0; circuit < 300; ++circuit) {
            ClearBoard();
            BuildTenLoops(quint32(circuit));
            print.Solve("ten", circuit);
        }
        ClearBoard();
        print.Print("300 boards of 58 parts with ten loops");
    }
    {
        QRandomGenerator random(5151);
        for (int circuit = 0; circuit < 1000; ++circuit) {
            TBoardFixture board;
            Solver::LogPath.clear();
            const int parts = 4 + random.bounded(21);
            for (int i = 0; i < parts; ++i) {
                const int r = random.bounded(4), c = random.bounded(3);
                const bool vertical = random.bounded(2);
                auto* p = new TTestPart(std::pow(10.0, random.bounded(7) - 3.0),
                                        random.bounded(4) == 0 ? 1.5 : 0);
                if (random.bounded(6) == 0) p->SetResistance(1E60);
                p->Reactance = random.bounded(3) == 0 ? 50.0 * (random.bounded(2) ? 1 : -1) : 0;
                p->AcSource = p->Emf != 0;
                p->Open = random.bounded(8) == 0;
                if (vertical)
                    Place(p, c, r, c + 1, r);
                else
                    Place(p, r, c, r, c + 1);
            }
            CircuitOmega = circuit % 2 ? 2 * M_PI * 50 : 0;
            print.Solve("block", circuit);
        }
        print.Print("1000 small boards on a 4 x 4 block");
    }
}

// Solves the first case whose name holds `name` `solves` times (each as the first solve of its
// wiring, with `first`) and prints our thread CPU time per solve: nothing else runs, so that a
// profiler (callgrind counts instructions repeatably) sees our solve alone.
int Profile(const std::string& name, int solves, bool first) {
    const auto c = std::find_if(Cases().begin(), Cases().end(), [&](const TCase& c) {
        return std::string(c.Name).find(name) != std::string::npos;
    });
    if (c == Cases().end()) {
        std::fprintf(stderr, "no case named like \"%s\"\n", name.c_str());
        return 1;
    }
    ClearBoard();
    c->Build();
    if (c->Log) Solver::LogPath = QStringLiteral("bench-LOG.LOG");
    SolveBoard();
    // Also timed in batches of 100: on a shared machine the fastest batch is the steadier
    // figure for comparing two builds.
    constexpr int Batch = 100;
    double fastestBatch = HUGE_VAL;
    const double t0 = ThreadSeconds();
    for (int done = 0; done < solves;) {
        const int batch = std::min(Batch, solves - done);
        const double b0 = ThreadSeconds();
        for (int i = 0; i < batch; ++i) {
            if (first) Solver::ForgetWiring();
            SolveBoard();
        }
        if (batch == Batch) fastestBatch = std::min(fastestBatch, (ThreadSeconds() - b0) / Batch);
        done += batch;
    }
    const double each = (ThreadSeconds() - t0) / std::max(1, solves);
    std::printf("%s: %d solves, %s each (%s), %d equations, %ld search steps", c->Name, solves,
                Time(each).c_str(), SourceName(Solver::LastSolve.Source),
                Solver::LastSolve.Equations, Solver::LastSolve.SearchSteps);
    if (FindCircles(BoardCircuit())) std::printf(", %zu loops", Circles.size());
    if (fastestBatch < HUGE_VAL)
        std::printf("; fastest batch of %d: %s each", Batch, Time(fastestBatch).c_str());
    std::printf("\n");
    Solver::LogPath.clear();
    QFile::remove(QStringLiteral("bench-LOG.LOG"));
    ClearBoard();
    return Solver::LastSolve.Failed ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int boards = TakeOption(argc, argv, "boards", 2000);
    const int fewLoopBoards = TakeOption(argc, argv, "few-loop-boards", 500);
    const int fullBoards = TakeOption(argc, argv, "full-boards", 200);
    const int reps = std::max(1, TakeOption(argc, argv, "reps", 5));
    const int seed = TakeOption(argc, argv, "seed", int(DefaultSeed));
    const int show = TakeOption(argc, argv, "show", -1);
    const bool showLean = TakeOption(argc, argv, "lean", 0) != 0;
    const int caseReps = std::max(1, TakeOption(argc, argv, "case-reps", 10));
    const double minTime = std::max(1, TakeOption(argc, argv, "case-ms", 200)) * 1e-3;
    const std::string profile = TakeText(argc, argv, "profile", "");
    const int solves = std::max(1, TakeOption(argc, argv, "solves", 1000));
    const bool fingerprint = TakeOption(argc, argv, "fingerprint", 0) != 0;
    const std::string dump = TakeText(argc, argv, "dump", "");

    // Keep freed memory in the process: otherwise glibc hands ngspice's large per-analysis blocks
    // back to the system after every run and takes them again on the next, and the page faults
    // and system calls that costs (for an AC analysis often more than the analysis, and very
    // unsteady) would be counted as ngspice's. Both sides run under the same allocator settings.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_TOP_PAD, 64 << 20);
    mallopt(M_MMAP_THRESHOLD, 256 << 20);

    QApplication app(argc, argv);
    Fixture = std::make_unique<TBoardFixture>();
    RegisterPartKinds(); // the labs are loaded with the workbench's own parts
    TIron::ExecuteStartups();
    Solver::LogPath.clear(); // no LOG.LOG
    if (fingerprint) {
        Fixture.reset(); // one board at a time, each circuit on a board of its own as in the tests
        Fingerprint(dump, boards);
        return 0;
    }
    if (!profile.empty()) {
        const int status = Profile(profile, solves, TakeOption(argc, argv, "first", 0) != 0);
        Fixture.reset();
        return status;
    }

    ngSpice_Init(SpicePrint, SpiceStatus, SpiceExit, nullptr, nullptr, SpiceThread, nullptr);
    const QByteArray threads = qgetenv("OMP_NUM_THREADS");
    std::printf("Machine load at the start: %s\nngspice's OpenMP threads: %s\nAllocator: freed "
                "memory is kept in the process (no trimming)\n\n",
                LoadAverage().c_str(),
                threads.isEmpty() ? "library default (OMP_NUM_THREADS unset)"
                                  : threads.constData());
    std::fflush(stdout);

    if (show >= 0) { // only this one board, no timing
        RunRandomBoards(show + 1, 0, quint32(seed), show, showLean);
        Fixture.reset();
        return 0;
    }

    // Colours only on a terminal, and never when --benchmark_color=false is given.
    const bool plain = std::any_of(argv + 1, argv + argc, [](const char* a) {
        return std::string(a) == "--benchmark_color=false" ||
               std::string(a) == "--benchmark_color=no";
    });
    const bool color = isatty(fileno(stdout)) && !plain;
    // The repetitions of every case, ours and ngspice's, in one shuffled order unless asked
    // otherwise: on a shared machine whose speed drifts, the fastest of each then comes from the
    // same stretch of time, and the ratios are fair.
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    if (std::none_of(argv + 1, argv + argc, [](const char* a) {
            return std::string(a).rfind("--benchmark_enable_random_interleaving", 0) == 0;
        }))
        args.push_back(interleave);
    argc = int(args.size());
    args.push_back(nullptr);
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    auto fastest = [](const std::vector<double>& v) {
        return *std::min_element(v.begin(), v.end());
    };
    for (const TCase& c : Cases()) {
        for (bool first : {false, true})
            benchmark::RegisterBenchmark(
                (std::string(first ? "ours first/" : "ours/") + c.Name).c_str(), OursCase, c, first)
                ->Unit(benchmark::kMicrosecond)
                ->MinTime(minTime)
                ->Repetitions(caseReps)
                ->DisplayAggregatesOnly(true)
                ->ComputeStatistics("min", fastest);
        for (bool lean : {false, true})
            benchmark::RegisterBenchmark(
                (std::string(lean ? "ngspice lean/" : "ngspice/") + c.Name).c_str(), SpiceCase, c,
                lean)
                ->Unit(benchmark::kMicrosecond)
                ->MinTime(minTime)
                ->Repetitions(caseReps)
                ->DisplayAggregatesOnly(true)
                ->ComputeStatistics("min", fastest)
                ->UseManualTime();
    }
    TReporter reporter(color);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf(
        "\nRandom boards: %d boards of 60 parts on the 7 x 7 lattice (half DC, half AC at 50 Hz), "
        "fastest of %d timed runs per board and side ...\n",
        boards, reps);
    std::fflush(stdout);
    const TRandomResult random = RunRandomBoards(boards, reps, quint32(seed));
    std::vector<TBoardTimes> dc, ac;
    for (const TBoardTimes& b : random.Boards)
        (b.Alternating ? ac : dc).push_back(b);
    // A family of boards built otherwise, timed likewise.
    auto family = [&](const char* what, int count, quint32 offset,
                      void (*build)(QRandomGenerator&, bool)) {
        std::printf("%s, likewise ...\n", what);
        std::fflush(stdout);
        return RunRandomBoards(count, reps, quint32(seed) + offset, -1, false, build);
    };
    const TRandomResult few = family(
        ("Boards of few loops: " + std::to_string(fewLoopBoards) +
         " boards of 30 to 58 parts with 1 to 10 independent loops (their loops listed, half DC, "
         "half AC)")
            .c_str(),
        fewLoopBoards, 1, BuildFewLoopsBoard);
    const TRandomResult full = family(
        ("Full boards: " + std::to_string(fullBoards) +
         " boards of a random part on every edge (84 parts, as a scheme file may hold; half DC, "
         "half AC)")
            .c_str(),
        fullBoards, 2, BuildFullBoard);

    std::printf(
        "\nOur solver (SolveBoard, the whole solve) beside ngspice (libngspice, one analysis "
        "command on the loaded netlist:\nthe ammeter netlist of the solver's tests, and the lean "
        "one, node voltages only). \"ours\": a board solved again with its wiring unchanged, as "
        "the\nworkbench solves it after a value changes; \"first\": the first solve of a wiring, "
        "its loops found anew.\n\n");
    Row("case", "ours", "first", "ngspice", "lean", "ours/ng", "ours/lean", "first/lean");
    Rule();
    double slowest = 0, slowestLab = 0, worstRatio = 0, worstFirstRatio = 0, slowestFirst = 0;
    std::string slowestName, slowestLabName, worstName;
    for (const TCase& c : Cases()) {
        auto get = [&](const char* side) {
            const auto it = reporter.Fastest.find(std::string(side) + c.Name);
            return it == reporter.Fastest.end() ? NAN : it->second;
        };
        const double ours = get("ours/"), first = get("ours first/"), theirs = get("ngspice/"),
                     lean = get("ngspice lean/");
        if (std::isnan(ours) && std::isnan(theirs) && std::isnan(lean)) continue; // filtered out
        Row(c.Name, ours, first, theirs, lean);
        if (first / lean > worstFirstRatio) worstFirstRatio = first / lean;
        if (first > slowestFirst) slowestFirst = first;
        if (ours > slowest) slowest = ours, slowestName = c.Name;
        if (std::string(c.Name).rfind("lab", 0) == 0 && ours > slowestLab)
            slowestLab = ours, slowestLabName = c.Name;
        if (ours / lean > worstRatio) worstRatio = ours / lean, worstName = c.Name;
    }
    Rule();
    RandomRows("random boards DC (" + std::to_string(dc.size()) + ")", dc);
    RandomRows("random boards AC (" + std::to_string(ac.size()) + ")", ac);
    const double worstRandom = RandomRows(
        "random boards, all (" + std::to_string(random.Boards.size()) + ")", random.Boards);
    const double worstFew =
        RandomRows("boards of few loops (" + std::to_string(few.Boards.size()) + ")", few.Boards);
    const double worstFull =
        RandomRows("full boards (" + std::to_string(full.Boards.size()) + ")", full.Boards);
    // Per family of boards: the worst ratio of a first solve, and the slowest solve of either.
    auto firstAndSlowest = [](const TRandomResult& r) {
        double worstFirst = 0, slowest = 0;
        for (const TBoardTimes& b : r.Boards) {
            worstFirst = std::max(worstFirst, b.First / b.Lean);
            slowest = std::max({slowest, b.Ours, b.First});
        }
        return std::pair{worstFirst, slowest};
    };
    const auto [worstFewFirst, slowestFew] = firstAndSlowest(few);
    const auto [worstFullFirst, slowestFull] = firstAndSlowest(full);
    Rule();
    std::printf("  Fixed cases: the fastest of %d Google Benchmark repetitions (each the mean of "
                "many runs), all cases' repetitions in one shuffled order.\n"
                "  Random boards: per board the fastest of %d runs per side; the ratio is taken "
                "per board.\n",
                caseReps, reps);

    std::printf("\nRandom boards: %zu compared", random.Boards.size());
    std::printf(" and timed; %d left out (our solve failed: %d, ngspice failed: %d, a timed "
                "ngspice run left no "
                "result: %d); %d times ngspice's currents differ from ours beyond the solver "
                "tests' tolerance "
                "(timed all the same)\n",
                random.OursFailed + random.SpiceFailed + random.LostRuns, random.OursFailed,
                random.SpiceFailed, random.LostRuns, random.Disagreed);
    for (size_t i = 0; i < random.Problems.size() && i < 10; ++i)
        std::printf("  %s\n", random.Problems[i].c_str());
    if (random.Problems.size() > 10)
        std::printf("  ... and %zu more\n", random.Problems.size() - 10);
    if (!random.Problems.empty())
        std::printf("  (--show=<board> prints one in full, ours beside ngspice's; with --lean=1 "
                    "the lean netlist's;\n   bench/solver/exact-check.py on that print-out solves "
                    "the netlist in 60 digits and says which side is off)\n");
    std::printf("Our loop source on the random boards:");
    for (const auto& [source, n] : random.Sources)
        std::printf("  %s: %d", SourceName(source), n);
    std::printf("\n");
    for (const auto& [what, r] : {std::pair{"Boards of few loops", &few}, {"Full boards", &full}}) {
        std::printf("%s: %zu compared and timed; %d left out; %d times ngspice's currents differ "
                    "from ours beyond the tolerance\n",
                    what, r->Boards.size(), r->OursFailed + r->SpiceFailed + r->LostRuns,
                    r->Disagreed);
        for (size_t k = 0; k < r->Problems.size() && k < 10; ++k)
            std::printf("  %s\n", r->Problems[k].c_str());
        std::printf("  our loop source:");
        for (const auto& [source, n] : r->Sources)
            std::printf("  %s: %d", SourceName(source), n);
        std::printf("\n");
    }

    std::printf("\nTargets\n");
    auto target = [](const char* what, bool met, const std::string& figure) {
        std::printf("  %-46s %-8s (%s)\n", what, met ? "met" : "MISSED", figure.c_str());
    };
    if (!worstName.empty())
        target("every case at most 1.0 x the lean ngspice:", worstRatio <= 1,
               worstName + ": " + Ratio(worstRatio));
    if (!random.Boards.empty())
        target("every random board at most 1.0 x the lean ngspice:", worstRandom <= 1,
               Ratio(worstRandom));
    if (!few.Boards.empty()) {
        target("every board of few loops at most 1.0 x the lean ngspice:",
               std::max(worstFew, worstFewFirst) <= 1,
               "same wiring " + Ratio(worstFew) + ", first solve " + Ratio(worstFewFirst));
        target("the slowest board of few loops under 300 us:", slowestFew < 300e-6,
               Time(slowestFew));
    }
    if (!full.Boards.empty()) {
        target("every full board at most 1.0 x the lean ngspice:",
               std::max(worstFull, worstFullFirst) <= 1,
               "same wiring " + Ratio(worstFull) + ", first solve " + Ratio(worstFullFirst));
        target("the slowest full board under 300 us:", slowestFull < 300e-6, Time(slowestFull));
    }
    if (!slowestName.empty())
        target("the slowest case under 300 us:", slowest < 300e-6,
               slowestName + ": " + Time(slowest));
    if (!slowestLabName.empty())
        target("every lab under 5 us:", slowestLab < 5e-6,
               slowestLabName + ": " + Time(slowestLab));
    if (!worstName.empty())
        std::printf("  First solves of a wiring: the worst case %s x the lean ngspice, the slowest "
                    "%s\n",
                    Ratio(worstFirstRatio).c_str(), Time(slowestFirst).c_str());

    std::printf("\nMachine load at the end: %s\n", LoadAverage().c_str());
    Fixture.reset();
    return 0;
}
