// The solver's linear algebra: the elimination that works on the entries that are not zero must
// give what eliminating the full matrix gives, bit for bit; the inline complex quotient must be
// the runtime's; the duplicate-row test must say what comparing every entry says.

#include "solver/Equations.h"

#include <QRandomGenerator>
#include <QTest>
#include <cfloat>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <tuple>

namespace {

// Equal bits, except that a zero may carry either sign (the full elimination leaves -0 where it
// subtracted a zero product or divided a zero that the sparse one skips), and any NaN equals any
// NaN.
bool SameBits(double a, double b, bool zeroSignFree) {
    if (std::isnan(a) && std::isnan(b)) return true;
    if (zeroSignFree && a == 0 && b == 0) return true;
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool Same(const std::vector<TComplex>& a, const std::vector<TComplex>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!SameBits(a[i].real(), b[i].real(), true) || !SameBits(a[i].imag(), b[i].imag(), true))
            return false;
    return true;
}

// A random sparse system, written the same way into each equations object given.
struct TSystem {
    int N;
    std::vector<std::tuple<int, int, TComplex>> Entries;
    std::vector<int> RowClass, ColumnClass;
    std::vector<double> Scale;

    void WriteInto(TEquations& eq) const {
        for (const auto& [r, c, v] : Entries)
            eq.At(r, c) = v;
        eq.RowClass = RowClass;
        eq.ColumnClass = ColumnClass;
        eq.ScaleColumns(Scale);
    }
};

TSystem RandomSystem(QRandomGenerator& random, bool real, int smallest, int largest) {
    TSystem s;
    s.N = smallest + random.bounded(largest - smallest + 1);
    const int classes = random.bounded(3) == 0 ? 1 + random.bounded(3) : 1;
    auto value = [&]() -> TComplex {
        // Whole numbers of a few sizes tie often, as the current-law rows' 1 and -1 do.
        switch (random.bounded(4)) {
        case 0:
            return {random.bounded(2) ? 1.0 : -1.0, 0};
        case 1:
            return {random.bounded(2) ? 2.0 : -2.0, real ? 0 : double(random.bounded(3)) - 1};
        default: {
            const double size = std::pow(10.0, random.bounded(16) - 8.0);
            return {size * (random.generateDouble() - 0.5),
                    real ? 0 : size * (random.generateDouble() - 0.5)};
        }
        }
    };
    for (int r = 0; r < s.N; ++r) {
        // A diagonal entry keeps most systems solvable; a few more entries per row.
        if (random.bounded(30)) s.Entries.push_back({r, r, value()});
        for (int i = random.bounded(5); i > 0; --i)
            s.Entries.push_back({r, random.bounded(s.N), value()});
        if (random.bounded(2)) s.Entries.push_back({r, s.N, value()});
        s.RowClass.push_back(random.bounded(classes));
        s.ColumnClass.push_back(random.bounded(classes));
        s.Scale.push_back(random.bounded(3) ? 1.0 : std::pow(10.0, random.bounded(12)));
    }
    return s;
}

// Runs `solve` on a fresh equations object holding the system; nothing when it is singular.
std::optional<std::vector<TComplex>>
Run(const TSystem& s, const std::function<std::vector<TComplex>(TEquations&)>& solve) {
    TEquations eq(s.N);
    s.WriteInto(eq);
    try {
        return solve(eq);
    } catch (const ESingular&) {
        return std::nullopt;
    }
}

} // namespace

class TestEquations : public QObject {
    Q_OBJECT

private slots:
    void quotientIsTheRuntimes_data();
    void quotientIsTheRuntimes();
    void sparseEliminationEqualsFull_data();
    void sparseEliminationEqualsFull();
    void singularSystemIsSingular();
    void duplicateRowsAsEveryEntrySays();
};

void TestEquations::quotientIsTheRuntimes_data() {
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("c");
    QTest::addColumn<double>("d");
    const double inf = std::numeric_limits<double>::infinity(),
                 nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("ordinary") << 3.0 << -4.0 << 0.5 << 2.0;
    QTest::newRow("real divisor") << 3.0 << -4.0 << 0.5 << 0.0;
    QTest::newRow("imaginary divisor") << 3.0 << -4.0 << 0.0 << -7.0;
    QTest::newRow("tiny divisor, scaled up") << 1.0 << 1.0 << 1e-300 << 3e-301;
    QTest::newRow("huge divisor, scaled down") << 1e300 << 1.0 << 1e308 << 1.7e308;
    QTest::newRow("subnormal ratio") << 1.0 << 2.0 << 1.0 << 1e-310;
    QTest::newRow("subnormal numerator") << 4e-320 << 1e-300 << 2.0 << 3.0;
    QTest::newRow("zero by zero") << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("finite by zero") << 1.0 << -1.0 << 0.0 << 0.0;
    QTest::newRow("infinite by finite") << inf << 1.0 << 2.0 << 3.0;
    QTest::newRow("finite by infinite") << 1.0 << 2.0 << inf << -inf;
    QTest::newRow("NaN") << nan << 1.0 << 2.0 << 3.0;
}

void TestEquations::quotientIsTheRuntimes() {
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, c);
    QFETCH(double, d);
    // volatile: the compiler must not fold the runtime's division away.
    volatile double vc = c;
    const TComplex expected = TComplex(a, b) / TComplex(vc, d);
    const TComplex got = Quotient({a, b}, {c, d});
    QVERIFY2(SameBits(got.real(), expected.real(), false) &&
                 SameBits(got.imag(), expected.imag(), false),
             qPrintable(QString::asprintf("%a%+ai against %a%+ai", got.real(), got.imag(),
                                          expected.real(), expected.imag())));

    // And on random values of every size.
    QRandomGenerator random(uint(a * 1000 + c));
    auto any = [&] {
        return std::ldexp(random.generateDouble() - 0.5, random.bounded(2000) - 1000);
    };
    for (int i = 0; i < 20000; ++i) {
        const TComplex x(any(), any()), y(any(), any());
        const TComplex runtime = x / y, inline_ = Quotient(x, y);
        QVERIFY(SameBits(runtime.real(), inline_.real(), false) &&
                SameBits(runtime.imag(), inline_.imag(), false));
    }
}

void TestEquations::sparseEliminationEqualsFull_data() {
    QTest::addColumn<bool>("real");
    QTest::addColumn<uint>("seed");
    QTest::addColumn<int>("smallest");
    QTest::addColumn<int>("largest");
    QTest::addColumn<int>("systems");
    QTest::newRow("complex") << false << 71u << 1 << 40 << 1500;
    QTest::newRow("real") << true << 72u << 1 << 40 << 1500;
    // Systems of 64 unknowns or more keep their sets of rows and columns in two words or more
    // (most of these are singular: a row in thirty lacks its diagonal entry).
    QTest::newRow("complex, wide") << false << 73u << 60 << 140 << 400;
    QTest::newRow("real, wide") << true << 74u << 60 << 140 << 400;
}

void TestEquations::sparseEliminationEqualsFull() {
    QFETCH(bool, real);
    QFETCH(uint, seed);
    QFETCH(int, smallest);
    QFETCH(int, largest);
    QFETCH(int, systems);
    QRandomGenerator random(seed);
    int solved = 0, singular = 0;
    for (int i = 0; i < systems; ++i) {
        const TSystem s = RandomSystem(random, real, smallest, largest);
        const auto sparse = Run(s, [](TEquations& eq) { return eq.Solve(); });
        const auto full = Run(s, [](TEquations& eq) { return eq.SolveDense(); });
        QCOMPARE(sparse.has_value(), full.has_value());
        if (!sparse) {
            ++singular;
            continue;
        }
        QVERIFY2(Same(*sparse, *full),
                 qPrintable(QString("system %1 of %2 equations").arg(i).arg(s.N)));
        ++solved;
    }
    qInfo("%d solved, %d singular", solved, singular);
    QVERIFY(solved > systems / 5 && singular > 0);
}

void TestEquations::singularSystemIsSingular() {
    // Two equal rows: whichever way the pivots fall, a zero pivot is left.
    TEquations eq(3);
    eq.At(0, 0) = 1;
    eq.At(0, 1) = 2;
    eq.At(1, 0) = 1;
    eq.At(1, 1) = 2;
    eq.At(2, 2) = 5;
    eq.Rhs(2) = 1;
    QVERIFY_THROWS_EXCEPTION(ESingular, eq.Solve());
}

void TestEquations::duplicateRowsAsEveryEntrySays() {
    QRandomGenerator random(73);
    int duplicates = 0;
    for (int i = 0; i < 400; ++i) {
        const int n = 2 + random.bounded(12), rows = 2 + random.bounded(std::min(n - 1, 6));
        TEquations eq(n);
        for (int r = 0; r < rows; ++r) {
            // Rows of a few shapes, some of them multiples of others.
            const int shape = random.bounded(3);
            for (int c = 0; c < n; ++c) {
                if ((c + shape) % 3 == 0)
                    eq.At(r, c) = TComplex(c + 1, shape) * double(r % 2 ? 2 : -3);
                if (random.bounded(10) == 0) eq.At(r, c) = TComplex(random.bounded(3), 0);
            }
            eq.Rhs(r) = r; // takes no part
        }
        const int k = rows - 1;
        // The definition: row k duplicates row r when the moduli of the differences of the
        // scaled element entries sum to 0.
        bool expected = false;
        for (int r = 0; r < k && !expected; ++r) {
            const double mk = eq.RowMax(k, n), mr = eq.RowMax(r, n);
            double d = 0;
            for (int c = 0; c < n; ++c)
                d += std::abs(eq.Get(k, c) / mk - eq.Get(r, c) / mr);
            expected = d == 0;
        }
        QCOMPARE(eq.DuplicatesEarlierRow(k), expected);
        duplicates += expected;
    }
    QVERIFY(duplicates > 20);

    // An entry so small beside its row's largest that the division leaves 0: the row says the
    // same as one without that entry, though their columns differ.
    TEquations eq(3);
    eq.At(0, 0) = 1e300;
    eq.At(0, 1) = 1e-30;
    eq.At(1, 2) = 4;
    eq.At(2, 0) = 2;
    QVERIFY(eq.DuplicatesEarlierRow(2));
    eq.At(2, 1) = 1;
    QVERIFY(!eq.DuplicatesEarlierRow(2));

    // Current-law rows, noted as such when written, against loop rows.
    TEquations units(70); // past one word of columns
    units.At(0, 3) = 1;
    units.At(0, 65) = -1;
    units.NoteUnitRow(0);
    units.At(1, 4) = -1;
    units.NoteUnitRow(1);
    units.At(2, 3) = 2.5;
    units.At(2, 65) = -2.5;
    QVERIFY(units.DuplicatesEarlierRow(2));
    units.At(2, 65) = 2.5;
    QVERIFY(!units.DuplicatesEarlierRow(2));
}

QTEST_GUILESS_MAIN(TestEquations)
#include "tst_equations.moc"
