// Our circuit solver beside ngspice on the same netlists, in one process.
//
// Each case is built on a real board (test parts, a board with recording seams, no log file) and
// solved by TCircle::Circle(), the whole pipeline: reading the board, the loop search or the
// spanning trees, the equations, the elimination, handing the currents to the elements (which,
// on a board solved before, find them unchanged and keep them). The board's SPICE netlist is
// loaded into libngspice once; a timed ngspice run is one "op" or "ac lin 1 f f" command on the
// loaded circuit. Its currents are checked once against ours, and after every timed run the
// result it left is checked (untimed) before its plot is destroyed, so that no timed run can
// have done nothing.
//
// The worked example and the densest boards run under Google Benchmark; the random boards are a
// plain loop, one timed solve per side and board (the fastest of a few). A summary table follows.
//
// Options: --boards=N (random boards, default 2000), --reps=N (timed runs per board and side,
// default 5), --seed=N, --show=N (print random board N, ours beside ngspice, and time nothing);
// the rest goes to Google Benchmark (--benchmark_filter=... and so on).

#include "support/Board.h"
#include "support/Spice.h"
#include "support/TestParts.h"

#include "board/Frmwork.h"
#include "document/Scheme.h"
#include "components/Kinds.h"
#include "components/Iron.h"
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
#include <random>
#include <time.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <numbers>
#include <optional>
#include <string>
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
    while (!Parts.isEmpty()) delete Parts.first();
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

// Every edge of a 6 x 6 block of nodes: 60 parts, 25 independent loops. Direct current:
// resistors and a few batteries. Alternating: the same places, the sources are generators and
// the other parts resistors, coils and capacitors.
void BuildDensest(bool alternating) {
    QRandomGenerator random(7);
    int k = 0;
    auto add = [&](int r1, int c1, int r2, int c2) {
        const double r = 1 + random.bounded(100);
        const double emf = (k % 7 == 0) ? 3 : (k % 5 == 0) ? 2 : 0;
        ++k;
        TTestPart* p = Part(r, emf, r1, c1, r2, c2, emf != 0 ? (alternating ? KindGenerator : KindBattery) : KindResistor);
        if (!alternating) return;
        if (emf != 0) {
            p->AcSource = true;
            return;
        }
        switch (random.bounded(3)) {
        case 0: break;
        case 1: p->Reactance = 1 + random.bounded(1000); break;    // a coil
        default: p->Reactance = -(1 + random.bounded(1000)); break; // a capacitor
        }
    };
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 6; ++c) {
            if (c < 5) add(r, c, r, c + 1);
            if (r < 5) add(r, c, r + 1, c);
        }
    CircuitOmega = alternating ? 2 * std::numbers::pi * 50 : 0;
}

// Sixty parts on random edges of the 7 x 7 lattice (an edge may take several, in either
// direction): resistors, wires, batteries or generators, and, with alternating current, coils
// and capacitors (resistors otherwise).
void BuildRandomBoard(QRandomGenerator& random, bool alternating) {
    auto logUniform = [&](double lo, double hi) { return lo * std::pow(hi / lo, random.generateDouble()); };
    for (int i = 0; i < 60; ++i) {
        int r1, c1, r2, c2;
        const int edge = random.bounded(84);
        if (edge < 42) { // horizontal: 7 rows of 6
            r1 = r2 = edge / 6;
            c1 = edge % 6;
            c2 = c1 + 1;
        } else { // vertical: 6 rows of 7
            r1 = (edge - 42) / 7;
            r2 = r1 + 1;
            c1 = c2 = (edge - 42) % 7;
        }
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
    CircuitOmega = alternating ? 2 * std::numbers::pi * 50 : 0;
}

// --- ngspice ----------------------------------------------------------------------------------

std::string SpiceOutput;      // what ngspice printed since the last Load, while kept
bool KeepSpiceOutput = false; // off while timing

int SpicePrint(char* text, int, void*) {
    if (KeepSpiceOutput && text) SpiceOutput.append(text).append("\n");
    return 0;
}
int SpiceStatus(char*, int, void*) { return 0; }
int SpiceExit(int, NG_BOOL, NG_BOOL, int, void*) { return 0; }
int SpiceThread(NG_BOOL, int, void*) { return 0; }

int SpiceCommand(const std::string& command) {
    std::string buffer = command;
    return ngSpice_Command(buffer.data());
}

// The board's netlist loaded into libngspice, with the command that solves it.
class TSpiceCircuit {
public:
    TSpiceCircuit() {
        for (int e = 0; e < CircuitElements.size(); ++e)
            if (InSpiceNetlist(e)) Carried.push_back(e);
        Netlist = SpiceNetlist(QStringLiteral("vexilo bench"));
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
        for (std::string& l : lines) deck.push_back(l.data());
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
            if (!i) return Fail("no current for element " + std::to_string(e) + " after \"" + Command + "\"");
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
                std::snprintf(text, sizeof text, "element %d: ours %.6g%+.6gi, ngspice %.6g%+.6gi", e, ours.real(),
                              ours.imag(), theirs.real(), theirs.imag());
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
    bool Disagrees = false;     // ngspice solved, but not as we did
    QString Netlist;
    QMap<int, TComplex> Currents; // ngspice's, of the first run
    QMap<int, double> Tolerance;  // how far ours may be off them

private:
    bool Fail(const std::string& why) {
        Problem = why;
        if (!SpiceOutput.empty()) Problem += "\n" + SpiceOutput;
        return false;
    }

    // The current of element k in the present plot.
    static std::optional<TComplex> Current(int k) {
        std::string name = "vm" + std::to_string(k) + "#branch";
        const pvector_info v = ngGet_Vec_Info(name.data());
        if (!v || v->v_length < 1) return std::nullopt;
        if (v->v_compdata) return TComplex(v->v_compdata[0].cx_real, v->v_compdata[0].cx_imag);
        if (v->v_realdata) return TComplex(v->v_realdata[0], 0);
        return std::nullopt;
    }

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
    std::vector<int> piece(49);
    for (int q = 0; q < 49; ++q) piece[size_t(q)] = q;
    auto find = [&](int q) {
        while (piece[size_t(q)] != q) q = piece[size_t(q)];
        return q;
    };
    int chords = 0, k = 0;
    for (const auto& e : edges) {
        const int a = find(e[0] * 7 + e[1]), b = find(e[2] * 7 + e[3]);
        if (a == b && chords == 10) continue;
        if (a == b) ++chords;
        piece[size_t(a)] = b;
        Part(1 + random.bounded(1000), k++ % 9 == 0 ? 6 : 0, e[0], e[1], e[2], e[3]);
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
        {"full 4 x 4 block (24 parts, 9 loops)", BuildBlock4},
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
    case Solver::TLoopSource::Listed: return "listed loops";
    case Solver::TLoopSource::TooManyLoops: return "spanning trees (too many loops)";
    case Solver::TLoopSource::SearchTooLong: return "spanning trees (search too long)";
    case Solver::TLoopSource::NoProgress: return "spanning trees (no progress)";
    case Solver::TLoopSource::RanOutOfLoops: return "spanning trees (ran out of loops)";
    case Solver::TLoopSource::Dependent: return "spanning trees (dependent loops)";
    case Solver::TLoopSource::Singular: return "spanning trees (singular)";
    }
    return "?";
}

// Builds the case and solves it once, untimed, so that the elements carry their currents.
bool Prepare(benchmark::State& state, const TCase& c) {
    ClearBoard();
    c.Build();
    TCircle::Circle();
    if (Solver::LastSolve.Failed) {
        state.SkipWithError("our solve failed");
        return false;
    }
    return true;
}

void OursCase(benchmark::State& state, const TCase& c) {
    if (!Prepare(state, c)) return;
    const QString logFile = QStringLiteral("bench-LOG.LOG");
    if (c.Log) Solver::LogPath = logFile;
    for (auto _ : state) TCircle::Circle();
    Solver::LogPath.clear();
    QFile::remove(logFile);
    QFile::remove(logFile + ".1");
    if (Solver::LastSolve.Failed) state.SkipWithError("our solve failed");
    state.counters["equations"] = Solver::LastSolve.Equations;
    state.counters["search steps"] = double(Solver::LastSolve.SearchSteps);
    state.SetLabel(SourceName(Solver::LastSolve.Source));
    ClearBoard();
}

void SpiceCase(benchmark::State& state, const TCase& c) {
    if (!Prepare(state, c)) return;
    TSpiceCircuit spice;
    if (!spice.RunAndCheck()) {
        std::fprintf(stderr, "ngspice, %s: %s\n", c.Name, spice.Problem.c_str());
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
                // Given in microseconds: ngspice's runs report their thread CPU time as manual time,
                // ours the thread CPU time Google Benchmark measures.
                Fastest[r.run_name.function_name] = (r.run_name.function_name.rfind("ngspice/", 0) == 0
                                                         ? r.GetAdjustedRealTime()
                                                         : r.GetAdjustedCPUTime()) * 1e-6;
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Fastest; // seconds
};

// --- The random boards --------------------------------------------------------------------------

struct TBoardTimes {
    bool Alternating;
    double Ours, Spice; // seconds, the fastest of the repetitions
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
    std::printf("%s\n\n%8s %28s %28s %12s\n", ran ? "" : spice.Problem.c_str(), "element", "ours", "ngspice",
                "tolerance");
    for (int e = 0; e < CircuitElements.size(); ++e) {
        const TComplex ours = CircuitElements[e]->Current;
        const TComplex theirs = spice.Currents.value(e);
        const double allowed = spice.Tolerance.value(e);
        std::printf("%8d %14.6g%+13.6gi %14.6g%+13.6gi %12.3g%s\n", e, ours.real(), ours.imag(), theirs.real(),
                    theirs.imag(), allowed, std::abs(ours - theirs) > allowed ? "  <- off" : "");
    }
}

TRandomResult RunRandomBoards(int count, int reps, quint32 seed, int show = -1) {
    TRandomResult result;
    QRandomGenerator random(seed);
    for (int board = 0; board < count; ++board) {
        const bool alternating = board % 2;
        ClearBoard();
        BuildRandomBoard(random, alternating);
        TCircle::Circle(); // untimed: the currents reach the elements
        if (Solver::LastSolve.Failed) {
            ++result.OursFailed;
            result.Problems.push_back("board " + std::to_string(board) + ": our solve failed");
            continue;
        }
        ++result.Sources[Solver::LastSolve.Source];
        TSpiceCircuit spice;
        if (board == show) {
            ShowBoard(board, spice);
            break;
        }
        if (show >= 0) continue;
        if (!spice.RunAndCheck()) {
            ++(spice.Disagrees ? result.Disagreed : result.SpiceFailed);
            result.Problems.push_back("board " + std::to_string(board) + (alternating ? " (AC)" : " (DC)") +
                                      ": " + spice.Problem);
            // ngspice solved it, only not within the tests' tolerance of us: timed all the same.
            if (!spice.Disagrees) continue;
        }
        double ours = INFINITY, theirs = INFINITY;
        for (int i = 0; i < reps; ++i) {
            const double t0 = ThreadSeconds();
            TCircle::Circle();
            ours = std::min(ours, ThreadSeconds() - t0);
        }
        bool lost = false;
        for (int i = 0; i < reps; ++i) {
            theirs = std::min(theirs, spice.TimedRun());
            lost = lost || !spice.Produced();
        }
        if (lost) {
            ++result.LostRuns;
            continue;
        }
        result.Boards.push_back({alternating, ours, theirs});
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

void Row(const std::string& name, const std::string& ours, const std::string& spice, const std::string& ratio) {
    std::printf("  %-44s %12s %12s %14s\n", name.c_str(), ours.c_str(), spice.c_str(), ratio.c_str());
}

void Row(const std::string& name, double ours, double spice, double ratio) {
    char r[32];
    if (std::isfinite(ratio))
        std::snprintf(r, sizeof r, "%.3f", ratio);
    else
        std::snprintf(r, sizeof r, "-");
    Row(name, Time(ours), Time(spice), r);
}

void Rule() { std::printf("  %s\n", std::string(44 + 12 + 12 + 14 + 3, '-').c_str()); }

void RandomRows(const std::string& what, const std::vector<TBoardTimes>& boards) {
    std::vector<double> ours, theirs, ratio;
    for (const TBoardTimes& b : boards) {
        ours.push_back(b.Ours);
        theirs.push_back(b.Spice);
        ratio.push_back(b.Ours / b.Spice);
    }
    Row(what + ", median", Quantile(ours, 0.5), Quantile(theirs, 0.5), Quantile(ratio, 0.5));
    Row(what + ", 99th percentile", Quantile(ours, 0.99), Quantile(theirs, 0.99), Quantile(ratio, 0.99));
}

// The 1, 5 and 15 minute load averages.
std::string LoadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly)) return "unknown";
    const QList<QByteArray> fields = file.readAll().split(' ');
    if (fields.size() < 3) return "unknown";
    return (fields[0] + " " + fields[1] + " " + fields[2] + " (1, 5, 15 min; " +
            QByteArray::number(QThread::idealThreadCount()) + " cores)").toStdString();
}

int TakeOption(int& argc, char** argv, const char* name, int fallback) {
    const std::string prefix = std::string("--") + name + "=";
    int value = fallback;
    for (int i = 1; i < argc;) {
        if (std::string(argv[i]).rfind(prefix, 0) == 0) {
            value = std::atoi(argv[i] + prefix.size());
            for (int j = i; j < argc; ++j) argv[j] = argv[j + 1];
            --argc;
        } else {
            ++i;
        }
    }
    return value;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int boards = TakeOption(argc, argv, "boards", 2000);
    const int reps = std::max(1, TakeOption(argc, argv, "reps", 5));
    const int seed = TakeOption(argc, argv, "seed", 20260301);
    const int show = TakeOption(argc, argv, "show", -1);

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

    ngSpice_Init(SpicePrint, SpiceStatus, SpiceExit, nullptr, nullptr, SpiceThread, nullptr);
    const QByteArray threads = qgetenv("OMP_NUM_THREADS");
    std::printf("Machine load at the start: %s\nngspice's OpenMP threads: %s\nAllocator: freed memory is kept in the process (no trimming)\n\n", LoadAverage().c_str(),
                threads.isEmpty() ? "library default (OMP_NUM_THREADS unset)" : threads.constData());
    std::fflush(stdout);

    if (show >= 0) { // only this one board, no timing
        RunRandomBoards(show + 1, 0, quint32(seed), show);
        Fixture.reset();
        return 0;
    }

    // Colours only on a terminal, and never when --benchmark_color=false is given.
    const bool plain = std::any_of(argv + 1, argv + argc, [](const char* a) {
        return std::string(a) == "--benchmark_color=false" || std::string(a) == "--benchmark_color=no";
    });
    const bool color = isatty(fileno(stdout)) && !plain;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    auto fastest = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
    for (const TCase& c : Cases()) {
        benchmark::RegisterBenchmark((std::string("ours/") + c.Name).c_str(), OursCase, c)
            ->Unit(benchmark::kMicrosecond)->MinTime(0.2)->Repetitions(10)->DisplayAggregatesOnly(true)
            ->ComputeStatistics("min", fastest);
        benchmark::RegisterBenchmark((std::string("ngspice/") + c.Name).c_str(), SpiceCase, c)
            ->Unit(benchmark::kMicrosecond)->MinTime(0.2)->Repetitions(10)->DisplayAggregatesOnly(true)
            ->ComputeStatistics("min", fastest)->UseManualTime();
    }
    TReporter reporter(color);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nRandom boards: %d boards of 60 parts on the 7 x 7 lattice (half DC, half AC at 50 Hz), "
                "fastest of %d timed runs per board and side ...\n", boards, reps);
    std::fflush(stdout);
    const TRandomResult random = RunRandomBoards(boards, reps, quint32(seed));
    std::vector<TBoardTimes> dc, ac;
    for (const TBoardTimes& b : random.Boards) (b.Alternating ? ac : dc).push_back(b);

    std::printf("\nOur solver (TCircle::Circle, the whole solve) beside ngspice (libngspice, one analysis "
                "command on the loaded netlist)\n\n");
    Row("case", "ours", "ngspice", "ours/ngspice");
    Rule();
    double densest = NAN;
    for (const TCase& c : Cases()) {
        const auto o = reporter.Fastest.find(std::string("ours/") + c.Name);
        const auto s = reporter.Fastest.find(std::string("ngspice/") + c.Name);
        const double ours = o == reporter.Fastest.end() ? NAN : o->second;
        const double theirs = s == reporter.Fastest.end() ? NAN : s->second;
        if (o == reporter.Fastest.end() && s == reporter.Fastest.end()) continue; // filtered out
        Row(c.Name, ours, theirs, ours / theirs);
        if (std::string(c.Name).rfind("densest", 0) == 0 && o != reporter.Fastest.end())
            densest = std::isnan(densest) ? ours : std::max(densest, ours);
    }
    Rule();
    RandomRows("random boards DC (" + std::to_string(dc.size()) + ")", dc);
    RandomRows("random boards AC (" + std::to_string(ac.size()) + ")", ac);
    RandomRows("random boards, all (" + std::to_string(random.Boards.size()) + ")", random.Boards);
    Rule();
    std::printf("  Fixed cases: the fastest of 10 Google Benchmark repetitions (each the mean of many runs).\n"
                "  Random boards: per board the fastest of %d runs per side; the ratio is taken per board.\n",
                reps);

    std::printf("\nRandom boards: %zu compared", random.Boards.size());
    std::printf(" and timed; %d left out (our solve failed: %d, ngspice failed: %d, a timed ngspice run left no "
                "result: %d); %d where ngspice's currents differ from ours beyond the solver tests' tolerance "
                "(timed all the same)\n",
                random.OursFailed + random.SpiceFailed + random.LostRuns, random.OursFailed, random.SpiceFailed,
                random.LostRuns, random.Disagreed);
    for (size_t i = 0; i < random.Problems.size() && i < 10; ++i) std::printf("  %s\n", random.Problems[i].c_str());
    if (random.Problems.size() > 10) std::printf("  ... and %zu more\n", random.Problems.size() - 10);
    if (!random.Problems.empty()) std::printf("  (--show=<board> prints one in full, ours beside ngspice's)\n");
    std::printf("Our loop source on the random boards:");
    for (const auto& [source, n] : random.Sources) std::printf("  %s: %d", SourceName(source), n);
    std::printf("\n");

    std::vector<double> ratios;
    for (const TBoardTimes& b : random.Boards) ratios.push_back(b.Ours / b.Spice);
    const double medianRatio = Quantile(ratios, 0.5);
    std::printf("\nTargets\n");
    if (!std::isnan(densest))
        std::printf("  densest board solved in at most 1 ms:   %-10s (%s)\n", densest <= 1e-3 ? "met" : "MISSED",
                    Time(densest).c_str());
    if (!ratios.empty())
        std::printf("  median ratio to ngspice at most 1:      %-10s (%.3f)\n", medianRatio <= 1 ? "met" : "MISSED",
                    medianRatio);

    std::printf("\nMachine load at the end: %s\n", LoadAverage().c_str());
    Fixture.reset();
    return 0;
}
