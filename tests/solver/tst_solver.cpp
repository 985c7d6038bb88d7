// The circuit solver: loops and their groups, the equations, burn-out, the log, failures, and
// agreement with ngspice on generated circuits.

#include "support/Board.h"
#include "support/Circuits.h"
#include "support/Spice.h"
#include "support/TestParts.h"

#include "board/Frmwork.h"
#include "board/Node.h"
#include "document/Circuit.h"
#include "solver/Calculate.h"
#include "solver/Netlist.h"
#include "solver/Topology.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTest>
#include <functional>
#include <memory>

namespace {

// The solver's tests share the board fixture.
struct TBench : TBoardFixture {};

TTestPart* Part(double r, double emf, int r1, int c1, int r2, int c2) {
    auto* p = new TTestPart(r, emf);
    Place(p, r1, c1, r2, c2);
    return p;
}

bool Solve() {
    return SolveBoard();
}

bool Near(TComplex a, TComplex b, double tolerance = 1e-12) {
    return std::abs(a - b) <= tolerance * std::max(1.0, std::abs(b));
}

} // namespace

class TestSolver : public QObject {
    Q_OBJECT

private slots:
    void loopsOfSmallCircuits_data();
    void loopsOfSmallCircuits();
    void loopsRunThroughTheirLowestElementForward();
    void loopSearchFindsWhatAFullSearchFinds();
    void openSwitchBreaksItsLoops();
    void loopsSharingANodeAreSeparateGroups();
    void groupsNeverShareAnElement();
    void batteryAndResistor();
    void workedExampleLog();
    void unchangedSolveTouchesNoElementButLogs();
    void burnOutOrder_data();
    void burnOutOrder();
    void burntPartStillOverloadedIsNotBurntAgain();
    void singularSystem();
    void passiveLoopBehindHugeImpedances_data();
    void passiveLoopBehindHugeImpedances();
    void noLoopMeansNoCurrentAndNoLog();
    void acMarksFollowTheAlternatingSource();
    void elementsBeyondSixtyFour_data();
    void elementsBeyondSixtyFour();
    void densestBoardFallsBackToSpanningTrees();
    void logStaysBounded();
    void logThatCannotBeMovedStops();
    void matchesNgspiceOnGeneratedCircuits();
    void matchesNgspiceWithHugeBranchesAroundPassiveLoops();
};

// --- Loops ------------------------------------------------------------------------------------

void TestSolver::loopsOfSmallCircuits_data() {
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("loops");
    // Each layout: parts as r1 c1 r2 c2 groups separated by ';'.
    QTest::newRow("single part") << "0 0 0 1" << 0;
    QTest::newRow("open chain") << "0 0 0 1;0 1 0 2;0 2 1 2" << 0;
    QTest::newRow("two on one edge") << "2 2 2 3;2 2 2 3" << 1;
    QTest::newRow("three on one edge") << "2 2 2 3;2 2 2 3;2 2 2 3" << 3;
    QTest::newRow("both ends on one node") << "1 1 1 1;1 1 1 2;1 1 1 2" << 1;
    QTest::newRow("square") << "0 0 0 1;0 1 1 1;1 0 1 1;0 0 1 0" << 1;
    QTest::newRow("two squares side by side")
        << "0 0 0 1;0 1 0 2;1 0 1 1;1 1 1 2;0 0 1 0;0 1 1 1;0 2 1 2" << 3;
}

void TestSolver::loopsOfSmallCircuits() {
    QFETCH(QString, layout);
    QFETCH(int, loops);
    TBench bench;
    for (const QString& part : layout.split(';')) {
        const QStringList n = part.split(' ');
        Part(1, 0, n[0].toInt(), n[1].toInt(), n[2].toInt(), n[3].toInt());
    }
    QVERIFY(FindCircles(BoardCircuit()));
    QCOMPARE(int(Circles.size()), loops);
    for (const TCircle& c : Circles) {
        QCOMPARE(c.ElementCount(), int(c.NodePath.size()));
        QCOMPARE(c.PartMask.Count(), c.ElementCount());
    }
    // A part with both ends on one node lies in no loop.
    if (QString(QTest::currentDataTag()) == "both ends on one node") QVERIFY(!LoopUnion.Test(0));
}

void TestSolver::loopsRunThroughTheirLowestElementForward() {
    TBench bench;
    // A ladder of two meshes with parts in mixed orientations and a parallel pair.
    Part(1, 0, 1, 1, 1, 2);
    Part(1, 0, 1, 2, 2, 2);
    Part(1, 0, 2, 1, 2, 2);
    Part(1, 0, 1, 1, 2, 1);
    Part(1, 0, 1, 2, 1, 3);
    Part(1, 0, 1, 3, 2, 3);
    Part(1, 0, 2, 2, 2, 3);
    Part(1, 0, 2, 2, 2, 3);
    QVERIFY(FindCircles(BoardCircuit()));
    QVERIFY(Circles.size() >= 4);
    for (const TCircle& c : Circles) {
        int lowest = -1;
        c.PartMask.ForEach([&](int e) {
            if (lowest < 0) lowest = e;
        });
        QVERIFY2(c.DirectionMask.Test(lowest),
                 "a loop must run through its lowest element forward");
        QCOMPARE(c.Numbers.front(), lowest);
        QCOMPARE(c.NodePath.front(), int(Nodes.indexOf(CircuitElements[lowest]->FirstNode)));
    }
    // The covering subset comes first: some prefix of the list already holds every loop
    // element, and every loop after it lies wholly inside that prefix's elements.
    TElementMask prefix(CircuitElements.size());
    size_t covering = 0;
    while (!(prefix == LoopUnion))
        prefix |= Circles[covering++].PartMask;
    QVERIFY(covering < Circles.size());
    for (size_t i = covering; i < Circles.size(); ++i)
        QCOMPARE(prefix | Circles[i].PartMask, prefix);
}

namespace {
// Every loop of the board as a search through every element from every element finds it:
// each loop with the path and direction of its first find, keyed by its element set.
QMap<QString, QString> FullSearchLoops() {
    QMap<QString, QString> loops;
    QList<TIron0*> path;
    QList<TNode*> nodes;
    std::function<void(TNode*, TIron0*)> step = [&](TNode* node, TIron0* e) {
        if (!e->FirstNode || !e->SecondNode || e->FirstNode == e->SecondNode) return;
        TNode* far = e->FirstNode == node ? e->SecondNode : e->FirstNode;
        path << e;
        nodes << node;
        if (path.size() > 1 && far == nodes.front()) {
            QList<int> members;
            QString walk;
            for (int i = 0; i < path.size(); ++i) {
                members << int(CircuitElements.indexOf(path[i]));
                walk += QString("%1%2 ")
                            .arg(CircuitElements.indexOf(path[i]))
                            .arg(path[i]->FirstNode == nodes[i] ? '+' : '-');
            }
            std::sort(members.begin(), members.end());
            QString key;
            for (int m : members)
                key += QString::number(m) + " ";
            if (!loops.contains(key)) loops.insert(key, walk);
        } else if (!nodes.contains(far)) {
            for (TIron0* next : far->Elements)
                if (next != e) step(far, next);
        }
        path.removeLast();
        nodes.removeLast();
    };
    for (TIron0* e : CircuitElements)
        if (e->FirstNode && e->SecondNode) step(e->FirstNode, e);
    return loops;
}
} // namespace

void TestSolver::loopSearchFindsWhatAFullSearchFinds() {
    QRandomGenerator random(5151);
    int boards = 0;
    long steps = 0;
    for (int round = 0; round < 400 && boards < 120; ++round) {
        TBench bench;
        // Up to 24 parts on a 4 x 4 block of nodes, some on one edge, some dangling.
        const int parts = 4 + random.bounded(21);
        for (int i = 0; i < parts; ++i) {
            const int r = random.bounded(4), c = random.bounded(3);
            const bool vertical = random.bounded(2);
            TTestPart* p = vertical ? Part(1, 0, c, r, c + 1, r) : Part(1, 0, r, c, r, c + 1);
            p->Open = random.bounded(8) == 0;
        }
        if (!FindCircles(BoardCircuit())) continue; // more loops than are listed
        ++boards;
        steps += Solver::LastSolve.SearchSteps;
        QMap<QString, QString> found;
        for (const TCircle& c : Circles) {
            QList<int> members;
            QString walk;
            for (int i = 0; i < c.ElementCount(); ++i) {
                const int e = c.Numbers[size_t(i)];
                members << e;
                walk += QString("%1%2 ").arg(e).arg(
                    CircuitElements[e]->FirstNode == Nodes[c.NodePath[size_t(i)]] ? '+' : '-');
            }
            std::sort(members.begin(), members.end());
            QString key;
            for (int m : members)
                key += QString::number(m) + " ";
            found.insert(key, walk);
        }
        QCOMPARE(found, FullSearchLoops());
    }
    QVERIFY(boards >= 100);
    qInfo("%d boards, %ld search steps in all", boards, steps);
}

void TestSolver::openSwitchBreaksItsLoops() {
    TBench bench;
    TTestPart* battery = Part(1, 3, 3, 3, 4, 3);
    TTestPart* lamp = Part(10, 0, 3, 3, 4, 3);
    TTestPart* knife = Part(1e-6, 0, 3, 3, 4, 3);
    knife->Open = true;
    // The knife switch is open: only the loop of battery and lamp carries current.
    Solve();
    QVERIFY(Near(battery->Current, 3.0 / 11));
    QCOMPARE(knife->Current, TComplex(0));
    knife->Open = false; // closed: it shorts the battery
    Solve();
    QVERIFY(std::abs(knife->Current) > 2.99); // nearly all of 3 V over the 1-ohm battery
    lamp->Open = true;
    knife->Open = true;
    Solve();
    QCOMPARE(battery->Current, TComplex(0));
}

void TestSolver::loopsSharingANodeAreSeparateGroups() {
    TBench bench;
    // Two loops meet only at node (3, 3); each has its own battery.
    TTestPart* b1 = Part(1, 2, 2, 3, 3, 3);
    Part(3, 0, 2, 3, 3, 3);
    TTestPart* b2 = Part(2, 5, 3, 3, 4, 3);
    Part(8, 0, 3, 3, 4, 3);
    Solve();
    QVERIFY(Near(std::abs(b1->Current), 2.0 / 4));
    QVERIFY(Near(std::abs(b2->Current), 5.0 / 10));
    TCircuitView view = BoardCircuit();
    QVERIFY(FindCircles(view));
    const TTopology t = PrepareFromLoops(TCircuitGraph::Of(view));
    QCOMPARE(int(t.Groups.size()), 2);
    // Each group holds its loops whole, the group of the first loop first; an open switch in
    // the first loop leaves the other group alone.
    QCOMPARE(int(Circles.size()), 2);
    QVERIFY(t.Groups[0].Elements == Circles[0].PartMask);
    QVERIFY(t.Groups[1].Elements == Circles[1].PartMask);
    QCOMPARE(t.Groups[0].Nodes.size(), size_t(2));
    view.Elements[size_t(Circles[0].Numbers[0])].BreaksLoops = true;
    QVERIFY(FindCircles(view));
    const TTopology broken = PrepareFromLoops(TCircuitGraph::Of(view));
    QCOMPARE(int(broken.Groups.size()), 1);
    QVERIFY(broken.Groups[0].Elements == Circles[1].PartMask);
}

void TestSolver::groupsNeverShareAnElement() {
    TBench bench;
    // Loops that only meet through loops found later: a one-pass merge would split them.
    Part(1, 0, 0, 0, 0, 1);
    Part(1, 0, 0, 1, 0, 2);
    Part(1, 0, 0, 2, 1, 2);
    Part(1, 0, 1, 1, 1, 2);
    Part(1, 0, 1, 0, 1, 1);
    Part(1, 0, 0, 0, 1, 0);
    Part(1, 0, 0, 1, 1, 1);
    Part(1, 0, 1, 1, 2, 1);
    Part(1, 0, 2, 1, 2, 2);
    Part(1, 0, 1, 2, 2, 2);
    Part(1, 0, 1, 0, 2, 0);
    Part(1, 0, 2, 0, 2, 1);
    TCircuitView view = BoardCircuit();
    QVERIFY(FindCircles(view));
    const TTopology t = PrepareFromLoops(TCircuitGraph::Of(view));
    for (size_t i = 0; i < t.Groups.size(); ++i)
        for (size_t j = i + 1; j < t.Groups.size(); ++j)
            QVERIFY(!t.Groups[i].Elements.Intersects(t.Groups[j].Elements));
    QCOMPARE(int(t.Groups.size()), 1);
}

// --- Equations and results ---------------------------------------------------------------------

void TestSolver::batteryAndResistor() {
    TBench bench;
    TTestPart* battery = Part(100, 9, 3, 3, 4, 3);
    TTestPart* resistor = Part(1000, 0, 3, 3, 4, 3);
    TTestPart* outside = Part(5, 0, 0, 0, 0, 1);
    Solve();
    // Current leaves the battery's positive (second) terminal and comes back through the
    // resistor from its second node to its first.
    QVERIFY(Near(battery->Current, 9.0 / 1100));
    QVERIFY(Near(resistor->Current, -9.0 / 1100));
    QCOMPARE(outside->Current, TComplex(0));
    QVERIFY(Near(resistor->Voltage, -9000.0 / 1100));
    QVERIFY(Near(TComplex(resistor->Power), TComplex(1000 * std::pow(9.0 / 1100, 2))));
}

void TestSolver::workedExampleLog() {
    TBench bench;
    TTestPart* battery = Part(100, 9, 3, 3, 4, 3);
    TTestPart* resistor = Part(1000, 0, 3, 3, 4, 3);
    resistor->MaxPower = 0.5;
    Solve();
    QCOMPARE(QString::number(std::abs(resistor->Current) * 1000, 'f', 2), QString("8.18"));
    QCOMPARE(QString::number(resistor->Power * 1000, 'f', 1), QString("66.9"));
    QCOMPARE(QString::number(resistor->Load, 'f', 3), QString("0.134"));
    QCOMPARE(resistor->BurnOuts, 0);
    QCOMPARE(battery->Burnt, false);
    const QByteArray expected =
        QStringEncoder("windows-1251")
            .encode(QString("\nЗначения на деталях:"
                            "\nTTestPart: z=      100+0i I=0.00818182+0i V= 0.818182+0i"
                            "\nTTestPart: z=     1000+0i I=-0.00818182+0i V= -8.18182+0i"));
    QCOMPARE(bench.Log(), expected);
}

void TestSolver::unchangedSolveTouchesNoElementButLogs() {
    TBench bench;
    Part(100, 9, 3, 3, 4, 3);
    TTestPart* resistor = Part(1000, 0, 3, 3, 4, 3);
    Solve();
    const int logged = bench.Log().size();
    resistor->Load = 42; // SetCurrent would recompute it
    Solve();
    QCOMPARE(resistor->Load, 42.0);
    QCOMPARE(bench.Log().size(), 2 * logged);
}

void TestSolver::burnOutOrder_data() {
    QTest::addColumn<int>("overloaded");
    QTest::newRow("two") << 2;
    QTest::newRow("three") << 3;
}

void TestSolver::burnOutOrder() {
    QFETCH(int, overloaded);
    // Repeated, because how many burn at once is drawn by lot.
    for (int round = 0; round < 12; ++round) {
        TBench bench;
        Part(0.1, 10, 3, 0, 3, 1);
        // Parallel resistors on one battery: all carry 10 V, ratings differ.
        QList<TTestPart*> loads;
        for (int i = 0; i < overloaded; ++i) {
            TTestPart* r = Part(10, 0, 3, 0, 3, 1);
            r->MaxPower = 1.0 + i; // the first is the most overloaded
            loads << r;
        }
        QVERIFY(Solve()); // something burnt: solve again
        int burnt = 0;
        for (TTestPart* r : loads)
            burnt += r->Burnt;
        QVERIFY(burnt >= 1);
        QVERIFY(burnt <= std::max(1, overloaded - 1));
        QVERIFY(loads.first()->Burnt); // the most overloaded goes first
        for (int i = 1; i < overloaded; ++i)
            if (loads[i]->Burnt) QVERIFY(loads[i - 1]->Burnt);
        QVERIFY(bench.Seams.Sounds.contains("wavOnBurnOut"));
    }
}

void TestSolver::burntPartStillOverloadedIsNotBurntAgain() {
    TBench bench;
    Part(0.1, 10, 3, 0, 3, 1);
    TTestPart* r = Part(10, 0, 3, 0, 3, 1);
    r->MaxPower = 1;
    Solve();
    QVERIFY(r->Burnt);
    r->Resistance = 10; // it goes on drawing current, as if it had not burnt
    r->Current = 0;
    Solve();
    QCOMPARE(r->BurnOuts, 1);
    QVERIFY(r->Load > 1);
    QVERIFY(!Solver::LastSolve.Failed);
    QVERIFY(bench.Seams.Messages.isEmpty());
}

void TestSolver::singularSystem() {
    TBench bench;
    // A loop whose impedances cancel: a coil and a capacitor at resonance, nothing else.
    LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/English.lng");
    TTestPart* coil = Part(0, 1, 3, 3, 4, 3);
    coil->Reactance = 50;
    TTestPart* capacitor = Part(0, 0, 3, 3, 4, 3);
    capacitor->Reactance = -50;
    TTestPart* other = Part(1, 1, 0, 0, 0, 1);
    other->Current = 0.5; // a stale current from before
    Solve();
    QVERIFY(Solver::LastSolve.Failed);
    QCOMPARE(bench.Seams.Messages.size(), 1);
    QCOMPARE(bench.Seams.Messages[0].Text, GetText(712));
    QCOMPARE(bench.Seams.Messages[0].Caption, GetText(711));
    QVERIFY(bench.Seams.Sounds.contains("wavOnError"));
    QCOMPARE(coil->Current, TComplex(0));
    QCOMPARE(other->Current, TComplex(0));
    QVERIFY(bench.Log().isEmpty());
    UnloadLanguage();
}

void TestSolver::passiveLoopBehindHugeImpedances_data() {
    QTest::addColumn<QString>("ring");
    QTest::addColumn<QString>("links");
    // A battery's square on nodes (0,0) (0,1) (1,1) (1,0), first the battery (1 ohm, 9 V), then
    // three resistances; a ring of four parts on (0,2) (0,3) (1,3) (1,2), joined to the square
    // only by the two links (0,1)-(0,2) and (1,1)-(1,2). Parts: "R r1 c1 r2 c2", 1e-6 a wire.
    // links: "C" 1E60 ohms (a capacitor on direct current, a burnt part), "S" an open switch.
    const QString wires = "1 0 0 0 1;295 0 1 1 1;408 1 0 1 1;461 0 0 1 0;"
                          "45 0 3 0 2;1e-6 0 3 1 3;1e-6 1 3 1 2;1e-6 1 2 0 2";
    const QString mixed = "1 1 0 1 1;1e-6 0 1 0 0;785 1 1 0 1;237 0 0 1 0;"
                          "1e-6 0 2 0 3;6 1 3 0 3;1e-6 1 2 1 3;770 1 2 0 2";
    const QString resistors = "1 0 1 0 0;569 0 1 1 1;925 1 0 1 1;935 1 0 0 0;"
                              "698 0 3 0 2;87 0 3 1 3;628 1 2 1 3;588 0 2 1 2";
    QTest::newRow("ring with three wires, two capacitors") << wires << "C C";
    QTest::newRow("ring with two wires, two capacitors") << mixed << "C C";
    QTest::newRow("ring of resistors, two capacitors") << resistors << "C C";
    QTest::newRow("ring of resistors, capacitor and open switch") << resistors << "C S";
    QTest::newRow("ring of resistors, two open switches") << resistors << "S S";
}

void TestSolver::passiveLoopBehindHugeImpedances() {
    QFETCH(QString, ring);
    QFETCH(QString, links);
    TBench bench;
    QList<TTestPart*> parts;
    double squareResistance = 0;
    for (const QString& text : ring.split(';')) {
        const QStringList v = text.split(' ');
        parts << Part(v[0].toDouble(), parts.isEmpty() ? 9 : 0, v[1].toInt(), v[2].toInt(),
                      v[3].toInt(), v[4].toInt());
        if (parts.size() <= 4) squareResistance += v[0].toDouble();
    }
    const QStringList linkKinds = links.split(' ');
    parts << Part(linkKinds[0] == "C" ? 1E60 : 1e-6, 0, 0, 2, 0, 1);
    parts.back()->Open = linkKinds[0] == "S";
    parts << Part(linkKinds[1] == "C" ? 1E60 : 1e-6, 0, 1, 1, 1, 2);
    parts.back()->Open = linkKinds[1] == "S";

    Solve();
    QVERIFY2(!Solver::LastSolve.Failed, qPrintable(bench.Seams.MessageTexts().join('\n')));
    QVERIFY(bench.Seams.Messages.isEmpty());
    for (int i = 0; i < 4; ++i)
        QVERIFY(Near(TComplex(std::abs(parts[i]->Current)), 9.0 / squareResistance));
    // The ring and its links carry what 9 V drive through 1E60 ohms: nothing a meter could show
    // beside the battery's current.
    for (int i = 4; i < parts.size(); ++i)
        QVERIFY(std::abs(parts[i]->Current) < 1e-12 * 9.0 / squareResistance);
}

void TestSolver::noLoopMeansNoCurrentAndNoLog() {
    TBench bench;
    TTestPart* a = Part(1, 5, 0, 0, 0, 1);
    TTestPart* b = Part(1, 0, 0, 1, 0, 2);
    a->Current = 1;
    a->AcDriven = true;
    Solve();
    QCOMPARE(a->Current, TComplex(0));
    QCOMPARE(b->Current, TComplex(0));
    QVERIFY(!a->AcDriven);
    QVERIFY(bench.Log().isEmpty());
    QVERIFY(bench.Seams.Messages.isEmpty());
}

void TestSolver::acMarksFollowTheAlternatingSource() {
    TBench bench;
    TTestPart* generator = Part(1, 10, 2, 2, 3, 2);
    generator->AcSource = true;
    TTestPart* capacitor = Part(0, 0, 2, 2, 3, 2);
    capacitor->Reactance = -100;
    TTestPart* battery = Part(1, 2, 5, 5, 6, 5);
    TTestPart* lamp = Part(4, 0, 5, 5, 6, 5);
    Solve();
    QVERIFY(!generator->AcDriven); // no frequency: direct current everywhere
    CircuitOmega = 314;
    Solve();
    QVERIFY(generator->AcDriven && capacitor->AcDriven);
    QVERIFY(!battery->AcDriven && !lamp->AcDriven);
    QVERIFY(Near(generator->Current, TComplex(10) / TComplex(1, -100)));
}

void TestSolver::elementsBeyondSixtyFour_data() {
    QTest::addColumn<int>("unconnected");
    QTest::newRow("70") << 70;
    QTest::newRow("200, past the masks' inline words") << 200;
}

void TestSolver::elementsBeyondSixtyFour() {
    QFETCH(int, unconnected);
    TBench bench;
    // Unconnected elements first, so the loops' elements are numbered from there on.
    for (int i = 0; i < unconnected; ++i)
        new TTestPart(1, 0);
    TTestPart* battery = Part(1, 6, 1, 1, 1, 2);
    TTestPart* resistor = Part(2, 0, 1, 1, 1, 2);
    TTestPart* other = Part(3, 0, 1, 1, 1, 2);
    Solve();
    QVERIFY(!Solver::LastSolve.Failed);
    QCOMPARE(Solver::LastSolve.Source, Solver::TLoopSource::Listed);
    // 6 V behind 1 ohm into 2 and 3 ohms in parallel (1.2 ohms).
    QVERIFY(Near(battery->Current, 6 / 2.2));
    QVERIFY(Near(resistor->Current, -6 / 2.2 * 0.6));
    QVERIFY(Near(other->Current, -6 / 2.2 * 0.4));
    // Three loops, the battery's first (they come by size, then by their highest element).
    QVERIFY(FindCircles(BoardCircuit()));
    QCOMPARE(int(Circles.size()), 3);
    const int first = unconnected;
    QCOMPARE(Circles[0].Numbers, (std::vector<int>{first + 1, first + 2}));
    QCOMPARE(Circles[1].Numbers, (std::vector<int>{first, first + 2}));
    QCOMPARE(Circles[2].Numbers, (std::vector<int>{first, first + 1}));
}

void TestSolver::densestBoardFallsBackToSpanningTrees() {
    TBench bench;
    // Every edge of a 6 x 6 block of nodes: 60 parts, 25 independent loops.
    QRandomGenerator random(7);
    int k = 0;
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 6; ++c) {
            if (c < 5) Part(1 + random.bounded(100), (k++ % 7 == 0) ? 3 : 0, r, c, r, c + 1);
            if (r < 5) Part(1 + random.bounded(100), (k++ % 5 == 0) ? 2 : 0, r, c, r + 1, c);
        }
    QCOMPARE(Parts.size(), 60);
    Solve();
    QCOMPARE(Solver::LastSolve.Source, Solver::TLoopSource::TooManyLoops);
    QVERIFY(!Solver::LastSolve.Failed);
    QList<int> all;
    for (int e = 0; e < CircuitElements.size(); ++e)
        all << e;
    const auto spice = RunNgspice(SpiceNetlist(BoardCircuit(), "densest"), all);
    QVERIFY(spice.has_value());
    const QMap<int, double> tolerance = SpiceTolerances(*spice);
    for (int e : all)
        QVERIFY(std::abs(CircuitElements[e]->Current - spice->value(e)) <= tolerance.value(e));
}

void TestSolver::logStaysBounded() {
    TBench bench;
    Solver::LogLimit = 2000;
    Part(100, 9, 3, 3, 4, 3);
    Part(1000, 0, 3, 3, 4, 3);
    for (int i = 0; i < 40; ++i)
        Solve();
    QVERIFY(QFile::exists(Solver::LogPath + ".1"));
    QVERIFY(QFileInfo(Solver::LogPath).size() <= 2000 + 200);
    QVERIFY(QFileInfo(Solver::LogPath + ".1").size() > 2000);
    Solver::LogLimit = 4 * 1024 * 1024;
}

void TestSolver::logThatCannotBeMovedStops() {
    TBench bench;
    Solver::LogLimit = 2000;
    QVERIFY(QDir().mkpath(Solver::LogPath + ".1")); // a folder where the old log would go
    const QString path = Solver::LogPath;
    Part(100, 9, 3, 3, 4, 3);
    Part(1000, 0, 3, 3, 4, 3);
    for (int i = 0; i < 40; ++i)
        Solve();
    Solver::LogLimit = 4 * 1024 * 1024;
    QVERIFY(QFileInfo(path).size() <= 2000 + 200);
    QCOMPARE(bench.Seams.Messages.size(), 1); // said once, not at every solve
    QVERIFY(bench.Seams.Messages[0].Text.endsWith(path));
    QVERIFY(Solver::LogPath.isEmpty());
    QVERIFY(!Solver::LastSolve.Failed); // the circuit is solved all the same
}

// --- Against ngspice ----------------------------------------------------------------------------

namespace {
// Whether a huge branch (1E30 ohms or more) lies in a loop that the solve kept and touches a
// passive loop: a piece of ordinary parts, without a source, that closes a loop of its own.
bool HugeBranchMeetsPassiveLoop() {
    TCircuitView view = BoardCircuit();
    const TCircuitGraph g = TCircuitGraph::Of(view);
    auto huge = [&](int e) { return std::abs(view.Elements[size_t(e)].Z()) >= 1E30; };
    const size_t nodeCount = size_t(g.NodeCount);
    TNodePieces pieces(nodeCount);
    std::vector<int> branches(nodeCount, 0), nodes(nodeCount, 0);
    std::vector<char> driven(nodeCount, 0);
    for (int e = 0; e < g.ElementCount(); ++e)
        if (g.Joins(e) && !g.Breaks[size_t(e)] && !huge(e))
            pieces.Join(g.First[size_t(e)], g.Second[size_t(e)]);
    for (size_t q = 0; q < nodeCount; ++q)
        ++nodes[size_t(pieces.Find(int(q)))];
    for (int e = 0; e < g.ElementCount(); ++e) {
        if (!g.Joins(e) || g.Breaks[size_t(e)] || huge(e)) continue;
        const int piece = pieces.Find(g.First[size_t(e)]);
        ++branches[size_t(piece)];
        if (view.Elements[size_t(e)].Emf != 0) driven[size_t(piece)] = 1;
    }
    for (int e = 0; e < g.ElementCount(); ++e) {
        if (!huge(e) || !LoopUnion.Test(e)) continue;
        for (int end : {g.First[size_t(e)], g.Second[size_t(e)]}) {
            const int piece = pieces.Find(end);
            if (!driven[size_t(piece)] && branches[size_t(piece)] >= nodes[size_t(piece)])
                return true;
        }
    }
    return false;
}

// Compares every element's current after the last solve with ngspice's; false when ngspice
// could not run the circuit.
bool AgreesWithNgspice(int circuit, bool& agrees) {
    const TCircuitView view = BoardCircuit();
    QList<int> carried;
    for (int e = 0; e < CircuitElements.size(); ++e)
        if (InSpiceNetlist(view, e)) carried << e;
    const auto spice = RunNgspice(SpiceNetlist(view, QString("circuit %1").arg(circuit)), carried);
    if (!spice) return false;
    const QMap<int, double> tolerance = SpiceTolerances(*spice);
    agrees = true;
    for (int e = 0; e < CircuitElements.size() && agrees; ++e) {
        const TComplex ours = CircuitElements[e]->Current;
        const TComplex theirs = spice->value(e, TComplex());
        if (std::abs(ours - theirs) <= tolerance.value(e)) continue;
        qWarning("circuit %d element %d: ours %g%+gi, ngspice %g%+gi\n%s", circuit, e, ours.real(),
                 ours.imag(), theirs.real(), theirs.imag(),
                 qPrintable(SpiceNetlist(BoardCircuit(), "failed")));
        agrees = false;
    }
    return true;
}
} // namespace

void TestSolver::matchesNgspiceOnGeneratedCircuits() {
    QRandomGenerator random(20261209);
    int compared = 0, invalid = 0;
    QMap<int, int> sources;
    for (int circuit = 0; circuit < 330; ++circuit) {
        TBench bench;
        const bool alternating = circuit % 2;
        BuildRandomCircuit(random, alternating);
        CircuitOmega = alternating ? 2 * M_PI * (50 + random.bounded(5000)) : 0;
        Solve();
        QVERIFY2(!Solver::LastSolve.Failed, qPrintable(QString("circuit %1 failed").arg(circuit)));
        ++sources[int(Solver::LastSolve.Source)];

        QList<int> carried;
        for (int e = 0; e < CircuitElements.size(); ++e)
            if (InSpiceNetlist(BoardCircuit(), e)) carried << e;
        const auto spice =
            RunNgspice(SpiceNetlist(BoardCircuit(), QString("circuit %1").arg(circuit)), carried);
        if (!spice) {
            ++invalid;
            continue;
        }
        const QMap<int, double> tolerance = SpiceTolerances(*spice);
        for (int e = 0; e < CircuitElements.size(); ++e) {
            const TComplex ours = CircuitElements[e]->Current;
            const TComplex theirs = spice->value(e, TComplex());
            const double allowed = tolerance.value(e);
            QVERIFY2(std::abs(ours - theirs) <= allowed,
                     qPrintable(QString::asprintf(
                                    "circuit %d element %d: ours %g%+gi, ngspice %g%+gi\n", circuit,
                                    e, ours.real(), ours.imag(), theirs.real(), theirs.imag()) +
                                SpiceNetlist(BoardCircuit(), "failed")));
        }
        ++compared;
    }
    QString by;
    for (auto it = sources.begin(); it != sources.end(); ++it)
        by += QString(" %1:%2").arg(it.key()).arg(it.value());
    qInfo("compared %d circuits with ngspice, %d invalid runs; loop sources%s", compared, invalid,
          qPrintable(by));
    QVERIFY(compared >= 300);
}

void TestSolver::matchesNgspiceWithHugeBranchesAroundPassiveLoops() {
    QRandomGenerator random(20260318);
    int compared = 0, invalid = 0;
    QList<int> failures;
    for (int circuit = 0; compared < 2000 && circuit < 5000; ++circuit) {
        TBench bench;
        const bool alternating = circuit % 2;
        BuildRegionsJoinedByHugeBranches(random, alternating);
        CircuitOmega = alternating ? 2 * M_PI * (50 + random.bounded(5000)) : 0;
        Solve();
        if (Solver::LastSolve.Failed) {
            failures << circuit;
            continue;
        }
        if (!HugeBranchMeetsPassiveLoop()) continue;
        bool agrees = false;
        if (!AgreesWithNgspice(circuit, agrees)) {
            ++invalid;
            continue;
        }
        if (!agrees) failures << circuit;
        ++compared;
    }
    qInfo("compared %d circuits with huge branches around passive loops with ngspice, %d invalid "
          "runs",
          compared, invalid);
    QVERIFY2(failures.isEmpty(), qPrintable(QString("%1 circuits disagree or fail, the first %2")
                                                .arg(failures.size())
                                                .arg(failures.value(0))));
    QCOMPARE(compared, 2000);
}

QTEST_MAIN(TestSolver)
#include "tst_solver.moc"
