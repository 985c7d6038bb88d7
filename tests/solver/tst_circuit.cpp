// The solver on its own: circuits written as views, results taken by a sink that records what
// it is told. No board, no part and no QApplication of widgets (this test links Qt Core alone).

#include "solver/Calculate.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <functional>
#include <stdexcept>
#include <utility>

namespace {

TCircuitElement Element(int first, int second, TComplex z, double emf = 0) {
    TCircuitElement e;
    e.First = first;
    e.Second = second;
    e.Impedance = e.DrivenImpedance = z;
    e.Emf = emf;
    e.Kind = "TTest";
    return e;
}

// Plays the parts: voltage from the current, load from a rating given per element, a burnt
// element an open circuit. Records every call in order.
class TRecordingSink : public TCircuitSink {
public:
    std::vector<double> Rating; // amperes; 0: never overloaded
    QStringList Calls;
    QList<QPair<TSolveProblem, QString>> Problems;
    int FailAtCurrent = -1;          // the element whose TakeCurrent throws, once
    bool RuntimeError = false;       // it throws what the runtime would, not a solve failure
    bool ReportFails = false;        // and being told of it, the sink fails once more
    std::function<void()> OnCurrent; // run once, as the first element takes its current

    void TakeAcMarks(const TCircuitView&) override { Calls << "marks"; }
    void TakeCurrent(TCircuitView& view, int e) override {
        Calls << QString("current %1").arg(e);
        if (OnCurrent) std::exchange(OnCurrent, nullptr)();
        if (e == FailAtCurrent) {
            FailAtCurrent = -1;
            if (RuntimeError) throw std::runtime_error("the part ran out of memory");
            throw ESolveFailure{TSolveProblem::Failed, "the part refused"};
        }
        TCircuitElement& element = view.Elements[size_t(e)];
        element.Voltage = element.Current * element.Z();
        const double rating = size_t(e) < Rating.size() ? Rating[size_t(e)] : 0;
        element.Load = rating > 0 ? std::abs(element.Current) / rating : 0;
    }
    void BurnOut(TCircuitView& view, int e) override {
        Calls << QString("burn %1").arg(e);
        TCircuitElement& element = view.Elements[size_t(e)];
        element.Burnt = true;
        element.Impedance = element.DrivenImpedance = 1E60;
    }
    void Report(TSolveProblem problem, const QString& text) override {
        Problems.append({problem, text});
        if (ReportFails) throw ESolveFailure{TSolveProblem::Failed, "told twice"};
    }
};

bool Near(TComplex a, TComplex b) {
    return std::abs(a - b) <= 1e-12 * std::max(1.0, std::abs(b));
}

} // namespace

Q_DECLARE_METATYPE(TCircuitView)

class TestCircuit : public QObject {
    Q_OBJECT

private slots:
    void init() { Solver::LogPath.clear(); }

    void seriesLoopAndItsDirections();
    void acMarksOnlyWhereAGeneratorDrives();
    void noLoopClearsEveryElement();
    void sameWiringSolvedAgainAsAfresh();
    void mostOverloadedBurnsAndABurntPartNeverAgain();
    void failures_data();
    void failures();
};

void TestCircuit::seriesLoopAndItsDirections() {
    // A 4.5 V source of 0.5 ohms and a 4 ohm resistor, the resistor turned the other way and a
    // dangling resistor beside them.
    TCircuitView view;
    view.NodeCount = 3;
    view.Elements = {Element(0, 1, 0.5, 4.5), Element(1, 0, 4), Element(1, 2, 7)};
    TRecordingSink sink;
    QVERIFY(!SolveCircuit(view, sink));
    QVERIFY(!Solver::LastSolve.Failed);
    // A positive EMF drives current through its element from the first terminal to the second.
    QVERIFY(Near(view.Elements[0].Current, 1.0));
    QVERIFY(Near(view.Elements[1].Current, 1.0));
    QCOMPARE(view.Elements[2].Current, TComplex());
    QVERIFY(Near(view.Elements[1].Voltage, 4.0));
    // The marks come before any current (a part's voltage depends on them); an element whose
    // current did not change is not told.
    QCOMPARE(sink.Calls, QStringList({"marks", "current 0", "current 1"}));
    sink.Calls.clear();
    SolveCircuit(view, sink);
    QCOMPARE(sink.Calls, QStringList({"marks"}));
    QVERIFY(sink.Problems.isEmpty());
}

void TestCircuit::acMarksOnlyWhereAGeneratorDrives() {
    // Two separate loops, each a source and a capacitor: a generator in one, a battery in the
    // other. The capacitor counts its reactance only where the generator drives it.
    TCircuitView view;
    view.NodeCount = 4;
    view.Omega = 100;
    view.Elements = {Element(0, 1, 1, 10), Element(1, 0, 1E60), Element(2, 3, 1, 5),
                     Element(3, 2, 1E60)};
    view.Elements[0].AlternatingSource = true;
    view.Elements[1].DrivenImpedance = view.Elements[3].DrivenImpedance = TComplex(0, -100);
    TRecordingSink sink;
    SolveCircuit(view, sink);
    const std::vector<bool> driven = {true, true, false, false};
    for (size_t e = 0; e < driven.size(); ++e)
        QCOMPARE(view.Elements[e].AcDriven, driven[e]);
    QVERIFY(Near(view.Elements[0].Current, 10.0 / TComplex(1, -100)));
    QVERIFY(std::abs(view.Elements[2].Current) < 1e-50);

    // On direct current nothing is driven, whatever the generator flag says.
    view.Omega = 0;
    SolveCircuit(view, sink);
    for (const TCircuitElement& e : view.Elements)
        QVERIFY(!e.AcDriven);
}

void TestCircuit::sameWiringSolvedAgainAsAfresh() {
    // Two loops sharing a resistor, a switch in one, a capacitor in the other. The view is
    // changed as a student would change the board, and solved after every change both as it
    // stands and with the loops forgotten: the two must agree to the bit. A solve that kept the
    // loops of the last one runs no search.
    TCircuitView view;
    view.NodeCount = 5;
    view.Elements = {Element(0, 1, 0.5, 9), Element(1, 2, 100),  Element(2, 0, 47),
                     Element(2, 3, 220),    Element(3, 0, 1E60), Element(1, 4, 10),
                     Element(4, 2, 0.01)};
    view.Elements[4].DrivenImpedance = TComplex(0, -300);
    view.Elements[6].Kind = "TSwitch";
    TRecordingSink sink;
    auto solvedAfresh = [&](bool keptLoops) {
        TCircuitView fresh = view;
        SolveCircuit(view, sink);
        if (keptLoops != (Solver::LastSolve.SearchSteps == 0) || Solver::LastSolve.Failed)
            return false;
        TRecordingSink freshSink;
        Solver::ForgetWiring();
        SolveCircuit(fresh, freshSink);
        for (size_t e = 0; e < view.Elements.size(); ++e)
            if (view.Elements[e].Current != fresh.Elements[e].Current ||
                view.Elements[e].AcDriven != fresh.Elements[e].AcDriven)
                return false;
        return !Solver::LastSolve.Failed;
    };
    SolveCircuit(view, sink);
    QVERIFY(Solver::LastSolve.SearchSteps > 0);

    view.Elements[1].Impedance = view.Elements[1].DrivenImpedance = 330; // a value
    QVERIFY(solvedAfresh(true));
    view.Elements[6].BreaksLoops = true; // the switch opened
    QVERIFY(solvedAfresh(false));
    QVERIFY(solvedAfresh(true));
    view.Elements[5].First = 0; // a part moved
    QVERIFY(solvedAfresh(false));
    view.Elements[0].AlternatingSource = true; // the battery swapped for a generator
    view.Omega = 314;
    QVERIFY(solvedAfresh(true));
    QVERIFY(view.Elements[4].AcDriven);

    // Another circuit's loops listed in between (a tool asking for them).
    TCircuitView other;
    other.NodeCount = 2;
    other.Elements = {Element(0, 1, 1, 1), Element(1, 0, 1)};
    QVERIFY(FindCircles(other));
    QVERIFY(solvedAfresh(false));

    // A part that, taking its current, has another circuit solved: each circuit comes out as
    // solved alone, and the next solve of the first still finds its loops kept.
    view.Elements[1].Impedance = view.Elements[1].DrivenImpedance = 470;
    const TCircuitView before = view;
    TRecordingSink otherSink;
    sink.OnCurrent = [&] { SolveCircuit(other, otherSink); };
    const QString log = QDir::temp().filePath("tst_circuit-nested-LOG.LOG");
    QFile::remove(log);
    Solver::LogPath = log;
    SolveCircuit(view, sink);
    Solver::LogPath.clear();
    QVERIFY(!sink.OnCurrent);
    QFile written(log);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray records = written.readAll(); // the inner solve's record, then the outer's
    QCOMPARE(records.count("TTest:"), 2 + 6);
    QCOMPARE(records.count("TSwitch:"), 1);
    written.remove();
    QVERIFY(Near(other.Elements[0].Current, 0.5));
    TCircuitView alone = before;
    TRecordingSink aloneSink;
    Solver::ForgetWiring();
    SolveCircuit(alone, aloneSink);
    for (size_t e = 0; e < view.Elements.size(); ++e)
        QCOMPARE(view.Elements[e].Current, alone.Elements[e].Current);
    QVERIFY(solvedAfresh(true));
}

void TestCircuit::noLoopClearsEveryElement() {
    TCircuitView view;
    view.NodeCount = 3;
    view.Elements = {Element(0, 1, 1, 2), Element(1, -1, 1), Element(2, 2, 1)};
    for (TCircuitElement& e : view.Elements) {
        e.Current = 0.25; // stale
        e.AcDriven = true;
    }
    const QString log = QDir::temp().filePath("tst_circuit-LOG.LOG");
    QFile::remove(log);
    Solver::LogPath = log;
    TRecordingSink sink;
    QVERIFY(!SolveCircuit(view, sink));
    for (const TCircuitElement& e : view.Elements) {
        QCOMPARE(e.Current, TComplex());
        QVERIFY(!e.AcDriven);
    }
    QCOMPARE(sink.Calls, QStringList({"marks", "current 0", "current 1", "current 2"}));
    QVERIFY(!QFile::exists(log)); // nothing solved, nothing logged
}

void TestCircuit::mostOverloadedBurnsAndABurntPartNeverAgain() {
    // 10 V over 1 + 4 + 4 ohms, 1.11 A through parts rated for a third and a half of it; beside
    // them a loop of its own with a part burnt before, still taking 2.5 times its rating. Parts
    // burn the most overloaded first, by lot one or more at a time, but never a burnt one: here
    // exactly the first resistor.
    TCircuitView view;
    view.NodeCount = 5;
    view.Elements = {Element(0, 1, 1, 10), Element(1, 2, 4), Element(2, 0, 4), Element(3, 4, 1, 1),
                     Element(4, 3, 1)};
    view.Elements[4].Burnt = true;
    TRecordingSink sink;
    sink.Rating = {0, 10 / 9.0 / 3, 10 / 9.0 / 2, 0, 0.5 / 2.5};
    QVERIFY(SolveCircuit(view, sink));
    QCOMPARE(sink.Calls.filter("burn"), QStringList({"burn 1"}));
    QVERIFY(Near(view.Elements[1].Load, 3));
    sink.Calls.clear();
    SolveCircuit(view, sink); // the first loop is open now
    QVERIFY(sink.Calls.filter("burn").isEmpty());
    QVERIFY(std::abs(view.Elements[0].Current) < 1e-50);
}

void TestCircuit::failures_data() {
    QTest::addColumn<TCircuitView>("view");
    QTest::addColumn<int>("failAtCurrent");
    QTest::addColumn<bool>("runtimeError");
    QTest::addColumn<bool>("reportFails");
    QTest::addColumn<int>("problem");
    QTest::addColumn<QString>("text");

    TCircuitView resonance; // a coil and a capacitor that cancel, nothing else in their loop
    resonance.NodeCount = 4;
    resonance.Elements = {Element(0, 1, TComplex(0, 50), 1), Element(0, 1, TComplex(0, -50)),
                          Element(2, 3, 1, 1)};
    resonance.Elements[2].Current = 0.5; // a stale current elsewhere
    QTest::newRow("singular") << resonance << -1 << false << false << int(TSolveProblem::Singular)
                              << QString();
    QTest::newRow("the sink fails as it is told")
        << resonance << -1 << false << true << int(TSolveProblem::Singular) << QString();

    TCircuitView offTheView;
    offTheView.NodeCount = 2;
    offTheView.Elements = {Element(0, 1, 1, 1), Element(1, 2, 1)};
    offTheView.Elements[0].Current = 0.5;
    QTest::newRow("node outside the view") << offTheView << -1 << false << false
                                           << int(TSolveProblem::Failed) << "No Nodes in Array !";

    TCircuitView loop;
    loop.NodeCount = 2;
    loop.Elements = {Element(0, 1, 1, 1), Element(0, 1, 1), Element(0, 1, 3)};
    QTest::newRow("a part refuses its current")
        << loop << 1 << false << false << int(TSolveProblem::Failed) << "the part refused";
    QTest::newRow("a runtime error in a part")
        << loop << 1 << true << false << int(TSolveProblem::Unexpected)
        << "the part ran out of memory";
}

void TestCircuit::failures() {
    QFETCH(TCircuitView, view);
    QFETCH(int, failAtCurrent);
    QFETCH(bool, runtimeError);
    QFETCH(bool, reportFails);
    QFETCH(int, problem);
    QFETCH(QString, text);
    TRecordingSink sink;
    sink.FailAtCurrent = failAtCurrent;
    sink.RuntimeError = runtimeError;
    sink.ReportFails = reportFails;
    QVERIFY(!SolveCircuit(view, sink));
    QVERIFY(Solver::LastSolve.Failed);
    QCOMPARE(sink.Problems.size(), 1);
    QCOMPARE(int(sink.Problems[0].first), problem);
    QCOMPARE(sink.Problems[0].second, text);
    // After a failure no element is left with a current.
    for (const TCircuitElement& e : view.Elements)
        QCOMPARE(e.Current, TComplex());
}

QTEST_GUILESS_MAIN(TestCircuit)
#include "tst_circuit.moc"
