#include "solver/Equations.h"

#include "solver/ElementMask.h"

#include <algorithm>
#include <cfloat>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

TComplex Quotient(TComplex num, TComplex den) {
    double a = num.real(), b = num.imag(), c = den.real(), d = den.imag();
    // The runtime's constants: scaling keeps the denominator from overflowing near the largest
    // double and the quotient's digits from underflowing near the smallest.
    constexpr double Big = DBL_MAX / 2, Min = DBL_MIN, Min2 = DBL_EPSILON,
                     MinScale = 1 / DBL_EPSILON, Max2 = Big * Min2;
    auto scale = [&](double by) {
        a *= by;
        b *= by;
        c *= by;
        d *= by;
    };
    double x, y;
    if (std::fabs(c) < std::fabs(d)) {
        if (std::fabs(d) >= Big) scale(0.5);
        if (std::fabs(d) < Min2 ||
            (std::fabs(a) < Min && std::fabs(b) < Max2 && std::fabs(d) < Max2) ||
            (std::fabs(b) < Min && std::fabs(a) < Max2 && std::fabs(d) < Max2))
            scale(MinScale);
        const double ratio = c / d;
        const double denom = c * ratio + d;
        if (std::fabs(ratio) > Min) {
            x = (a * ratio + b) / denom;
            y = (b * ratio - a) / denom;
        } else {
            x = (c * (a / d) + b) / denom;
            y = (c * (b / d) - a) / denom;
        }
    } else {
        if (std::fabs(c) >= Big) scale(0.5);
        if (std::fabs(c) < Min2 ||
            (std::fabs(a) < Min && std::fabs(b) < Max2 && std::fabs(c) < Max2) ||
            (std::fabs(b) < Min && std::fabs(a) < Max2 && std::fabs(c) < Max2))
            scale(MinScale);
        const double ratio = d / c;
        const double denom = d * ratio + c;
        if (std::fabs(ratio) > Min) {
            x = (b * ratio + a) / denom;
            y = (b - a * ratio) / denom;
        } else {
            x = (a + d * (b / c)) / denom;
            y = (b - d * (a / c)) / denom;
        }
    }
    if (std::isnan(x) && std::isnan(y)) return num / den; // infinities and zeros, recovered
    return {x, y};
}

namespace {

// The arithmetic of the elimination in complex numbers, and in real ones for a system without
// imaginary parts: there a complex product, quotient and difference have the real part that
// the real operation gives (the imaginary parts are zeros, whose products and sums cannot
// change a real part), and the squared modulus is the square.
struct TComplexArithmetic {
    using T = TComplex;
    static T From(TComplex z) { return z; }
    static TComplex ToComplex(T z) { return z; }
    static double Norm(T z) { return z.real() * z.real() + z.imag() * z.imag(); } // as std::norm
    static T Divide(T a, T b) { return Quotient(a, b); }
    static bool Finite(T z) { return std::isfinite(z.real()) && std::isfinite(z.imag()); }
};
struct TRealArithmetic {
    using T = double;
    static T From(TComplex z) { return z.real(); }
    static TComplex ToComplex(T x) { return {x, 0}; }
    static double Norm(T x) { return x * x; }
    static T Divide(T a, T b) { return a / b; }
    static bool Finite(T x) { return std::isfinite(x); }
};

template <class T>
using TArithmeticOf =
    std::conditional_t<std::is_same_v<T, double>, TRealArithmetic, TComplexArithmetic>;

// An infinite or NaN value met by the sparse elimination.
struct ENotFinite {};

// One real row's elimination in the columns listed, `values` the pivot row's entries there:
// row[c] -= f * value for each; returns the largest square among the new entries (a NaN square
// counts as none: it is not larger than anything), 0 if none is larger. Two columns to an
// operation where the processor allows, each product, difference and square the one a column
// alone gives.
[[gnu::always_inline]] inline double UpdateReal(double* row, double f,
                                                const std::vector<int>& columns,
                                                const std::vector<double>& values) {
    const size_t count = columns.size();
    const int* c = columns.data();
    const double* v = values.data();
    double after = 0;
    size_t j = 0;
#ifdef __SSE2__
    const __m128d factor = _mm_set1_pd(f);
    __m128d news = _mm_setzero_pd();
    // Entries j and j + 1, at a and b and held in `old`, changed; their squares weighed (each
    // lane's square where it is larger, else what the lane held: NaN is not larger).
    auto update = [&](double* a, double* b, __m128d old, size_t j) {
        const __m128d entries = _mm_sub_pd(old, _mm_mul_pd(factor, _mm_loadu_pd(v + j)));
        _mm_store_sd(a, entries);
        _mm_storeh_pd(b, entries);
        news = _mm_max_pd(_mm_mul_pd(entries, entries), news);
    };
    // Four at a time, all four read before any is written: read after the writes, the entries
    // waited for them on the processors measured, though they never lie in the same place.
    for (; j + 4 <= count; j += 4) {
        double *a = row + c[j], *b = row + c[j + 1], *d = row + c[j + 2], *e = row + c[j + 3];
        const __m128d old = _mm_loadh_pd(_mm_load_sd(a), b);
        const __m128d later = _mm_loadh_pd(_mm_load_sd(d), e);
        update(a, b, old, j);
        update(d, e, later, j + 2);
    }
    if (j + 2 <= count) {
        double *a = row + c[j], *b = row + c[j + 1];
        update(a, b, _mm_loadh_pd(_mm_load_sd(a), b), j);
        j += 2;
    }
    const double low = _mm_cvtsd_f64(news), high = _mm_cvtsd_f64(_mm_unpackhi_pd(news, news));
    after = high > low ? high : low;
#endif
    for (; j < count; ++j) {
        double& x = row[c[j]];
        x -= f * v[j];
        if (x * x > after) after = x * x;
    }
    return after;
}

// The largest of `count` values, none a NaN, and -1 if none is larger.
double LargestOf(const double* values, size_t count) {
    double best = -1;
    size_t j = 0;
#ifdef __SSE2__
    __m128d lanes = _mm_set1_pd(-1);
    for (; j + 2 <= count; j += 2)
        lanes = _mm_max_pd(_mm_loadu_pd(values + j), lanes);
    best = std::max(_mm_cvtsd_f64(lanes), _mm_cvtsd_f64(_mm_unpackhi_pd(lanes, lanes)));
#endif
    for (; j < count; ++j)
        best = std::max(best, values[j]);
    return best;
}

// The place of the first of `count` values equal to `value`, or `count` if none is.
size_t FirstOf(const double* values, size_t count, double value) {
    size_t j = 0;
#ifdef __SSE2__
    const __m128d wanted = _mm_set1_pd(value);
    for (; j + 2 <= count; j += 2)
        if (const int equal = _mm_movemask_pd(_mm_cmpeq_pd(_mm_loadu_pd(values + j), wanted)))
            return j + (equal & 1 ? 0 : 1);
#endif
    for (; j < count; ++j)
        if (values[j] == value) return j;
    return count;
}

} // namespace

// The matrix and the elimination's working space, kept from one solve to the next (a solve
// allocates nothing once the largest circuit has been solved). Between solves every entry is 0
// and every column set empty; a solve puts back what it wrote, row by row.
struct TEquations::TStorage {
    std::vector<TComplex> A;       // the system as written
    std::vector<TComplex> Work;    // its copy under complex elimination
    std::vector<double> RealWork;  // or under real elimination
    std::vector<uint64_t> Pattern; // per row: the columns that may hold other than zero
    bool DenseUsed = false;        // the full elimination wrote all of A
    bool WorkUsed = false, RealWorkUsed = false; // which copy an elimination wrote

    // The elimination's bookkeeping, sized per solve.
    std::vector<int> RowAt, ColumnAt, RowPosition, ColumnPosition, RowsLeft, RowMaxClass, RowMaxAt;
    std::vector<double> RowMax;
    std::vector<double> MaxByPlace; // RowMax by logical row, -1 for rows not of the class
    std::vector<uint64_t> Live, ClassColumns, PivotColumns, ColumnRows, Pending, Updated;
    std::vector<uint64_t> StepColumns;   // per pivot: its PivotColumns, for the back substitution
    std::vector<uint64_t> Later;         // a pivot row's columns by logical place
    std::vector<int> Weighed, Unweighed; // the pivot row's columns still to come
    std::vector<double> WeighedValues;   // a real pivot row's entries in the Weighed columns
    std::vector<double> RealSolved;
    std::vector<TComplex> ComplexSolved;
    // The equations' own vectors, lent to them for the solve.
    std::vector<int> RowClass, ColumnClass;
    std::vector<double> ColumnScale, ElementMax;
    std::vector<uint64_t> RowKey;

    void Fit(size_t entries, size_t patternWords) {
        if (A.size() < entries) {
            A.resize(entries);
            Work.resize(entries);
            RealWork.resize(entries);
        }
        if (Pattern.size() < patternWords) Pattern.resize(patternWords);
    }
};

namespace {
// The storage of the last solve, ready for the next one. A solve within a solve (none is
// expected: the solver calls out only to read impedances) takes storage of its own.
std::unique_ptr<TEquations::TStorage> Spare;
} // namespace

TEquations::TEquations(int n)
    : N(n), Stride(size_t(n) + 1), Words(size_t(n + 1 + 63) / 64),
      S(Spare ? std::move(Spare) : std::make_unique<TStorage>()) {
    RowClass.swap(S->RowClass);
    ColumnClass.swap(S->ColumnClass);
    ColumnScale.swap(S->ColumnScale);
    ElementMax.swap(S->ElementMax);
    RowKey.swap(S->RowKey);
    RowClass.assign(size_t(n), 0);
    ColumnClass.assign(size_t(n), 0);
    ColumnScale.assign(size_t(n), 1.0);
    ElementMax.assign(size_t(n), -1);
    RowKey.resize(size_t(n));
    S->Fit(size_t(n) * Stride, size_t(n) * Words);
    Matrix = S->A.data();
    Patterns = S->Pattern.data();
}

TEquations::~TEquations() {
    if (S->DenseUsed) {
        std::fill_n(S->A.begin(), size_t(N) * Stride, TComplex());
        S->DenseUsed = false;
    }
    for (int r = 0; r < N; ++r) {
        const size_t from = size_t(r) * Stride;
        int marked = 0;
        for (size_t w = 0; w < Words && N >= 32; ++w)
            marked += BitCount(Patterns[size_t(r) * Words + w]);
        if (4 * size_t(marked) > Stride) {
            // A long row filled in by the elimination: cleared whole, faster than entry by entry.
            std::fill_n(S->A.begin() + std::ptrdiff_t(from), Stride, TComplex());
            if (S->WorkUsed)
                std::fill_n(S->Work.begin() + std::ptrdiff_t(from), Stride, TComplex());
            if (S->RealWorkUsed)
                std::fill_n(S->RealWork.begin() + std::ptrdiff_t(from), Stride, 0.0);
            continue;
        }
        ForEachColumn(r, [&](int c) {
            const size_t at = from + size_t(c);
            S->A[at] = TComplex();
            if (S->WorkUsed) S->Work[at] = TComplex();
            if (S->RealWorkUsed) S->RealWork[at] = 0;
        });
    }
    S->WorkUsed = S->RealWorkUsed = false;
    std::fill_n(S->Pattern.begin(), size_t(N) * Words, 0);
    RowClass.swap(S->RowClass);
    ColumnClass.swap(S->ColumnClass);
    ColumnScale.swap(S->ColumnScale);
    ElementMax.swap(S->ElementMax);
    RowKey.swap(S->RowKey);
    if (!Spare) Spare = std::move(S);
}

void TEquations::ClearRow(int row) {
    ForEachColumn(row, [&](int c) { Entry(row, c) = TComplex(); });
    std::fill_n(&Patterns[size_t(row) * Words], Words, 0);
    ElementMax[size_t(row)] = -1;
}

double TEquations::RowMax(int row, int columns) const {
    double m = 0;
    ForEachColumn(row, [&](int c) {
        if (c < columns) m = std::max(m, Modulus(Get(row, c)));
    });
    return m;
}

void TEquations::ScaleRow(int row) {
    const double m = RowMax(row, N + 1);
    ElementMax[size_t(row)] = -1;
    if (m == 0) return;
    ForEachColumn(row, [&](int c) { Entry(row, c) /= m; });
}

double TEquations::ElementMaxAndKey(int i, uint64_t& key) const {
    double m = 0, smallest = HUGE_VAL; // the largest modulus; the smallest entry's larger part
    uint64_t columns = 0;
    ForEachColumn(i, [&](int c) {
        if (c >= N) return;
        const TComplex x = Get(i, c);
        if (x == TComplex()) return;
        m = std::max(m, Modulus(x));
        smallest = std::min(smallest, std::max(std::fabs(x.real()), std::fabs(x.imag())));
        columns = WithKeyColumn(columns, c);
    });
    // Far above the smallest double, an entry's quotient by m stays other than 0.
    const bool keyed = m > 0 && std::isfinite(m) && smallest >= m * 0x1p-1000;
    key = keyed && columns != Unkeyed ? columns : Unkeyed;
    return m;
}

void TEquations::NoteUnitRow(int row) {
    // As ElementMaxAndKey finds them: every entry has modulus 1.
    uint64_t columns = 0;
    bool any = false;
    ForEachColumn(row, [&](int c) {
        if (c >= N) return;
        any = true;
        columns = WithKeyColumn(columns, c);
    });
    ElementMax[size_t(row)] = any ? 1 : 0;
    RowKey[size_t(row)] = any && columns != Unkeyed ? columns : Unkeyed;
}

bool TEquations::DuplicatesEarlierRow(int k) {
    // Rows equal entry for entry share their key: only those are compared in full.
    uint64_t keyK;
    const double mk = ElementMaxAndKey(k, keyK);
    for (int r = 0; r < k; ++r) {
        if (ElementMax[size_t(r)] < 0)
            ElementMax[size_t(r)] = ElementMaxAndKey(r, RowKey[size_t(r)]);
        const double mr = ElementMax[size_t(r)];
        if (!(mk > 0 && mr > 0 && std::isfinite(mk) && std::isfinite(mr))) {
            // A zero row divides 0 by 0; compare every entry as they come.
            int c = 0;
            while (c < N && Get(k, c) / mk == Get(r, c) / mr)
                ++c;
            if (c == N) return true;
            continue;
        }
        if (keyK != Unkeyed && RowKey[size_t(r)] != Unkeyed && RowKey[size_t(r)] != keyK) continue;
        // Entries 0 in both rows are equal after any division; the rest decide.
        bool same = true;
        const uint64_t* pk = &S->Pattern[size_t(k) * Words];
        const uint64_t* pr = &S->Pattern[size_t(r) * Words];
        for (size_t w = 0; w < Words && same; ++w)
            for (uint64_t bits = pk[w] | pr[w]; bits && same; bits &= bits - 1) {
                const int c = int(w * 64) + __builtin_ctzll(bits);
                if (c < N) same = Get(k, c) / mk == Get(r, c) / mr;
            }
        if (same) return true;
    }
    return false;
}

void TEquations::ScaleColumns(const std::vector<double>& scale) {
    for (int r = 0; r < N; ++r)
        ForEachColumn(r, [&](int c) {
            if (c < N && scale[size_t(c)] != 1) Entry(r, c) /= scale[size_t(c)];
        });
    ColumnScale.assign(scale.begin(), scale.end());
}

void TEquations::ScaleColumnsAndRows(const std::vector<double>& scale) {
    for (int r = 0; r < N; ++r) {
        double m = 0;
        ForEachColumn(r, [&](int c) {
            TComplex& x = Entry(r, c);
            if (c < N && scale[size_t(c)] != 1) x /= scale[size_t(c)];
            m = std::max(m, Modulus(x));
        });
        ElementMax[size_t(r)] = -1;
        if (m != 0) ForEachColumn(r, [&](int c) { Entry(r, c) /= m; });
    }
    ColumnScale.assign(scale.begin(), scale.end());
}

std::vector<TComplex> TEquations::Solve() {
    bool real = true;
    for (int r = 0; r < N && real; ++r)
        ForEachColumn(r, [&](int c) { real = real && Get(r, c).imag() == 0; });
    try {
        // (The right-hand side takes a column too.)
        if (N < 64)
            return real ? SolveSparse<double, 1>(S->RealWork) : SolveSparse<TComplex, 1>(S->Work);
        if (N < 128)
            return real ? SolveSparse<double, 2>(S->RealWork) : SolveSparse<TComplex, 2>(S->Work);
        return real ? SolveSparse<double, 0>(S->RealWork) : SolveSparse<TComplex, 0>(S->Work);
    } catch (const ENotFinite&) {
        return SolveDense();
    }
}

template <class T, size_t FixedWords>
std::vector<TComplex> TEquations::SolveSparse(std::vector<T>& work) {
    // A board's systems need one word for every set of rows or columns, or two (a scheme file's
    // fullest board): known at compile time, the loops over words unroll or go.
    const size_t Words = FixedWords ? FixedWords : this->Words;
    using Arithmetic = TArithmeticOf<T>;
    const int n = N;
    TStorage& s = *S;
    const size_t rowWords = FixedWords ? FixedWords : size_t(n + 63) / 64;
    auto bit = [](int k) { return uint64_t(1) << (k & 63); };
    (std::is_same_v<T, double> ? s.RealWorkUsed : s.WorkUsed) = true;
    // Per stored column: the stored rows whose column set holds it.
    s.ColumnRows.assign(size_t(n + 1) * rowWords, 0);
    for (int r = 0; r < n; ++r)
        ForEachColumn(r, [&](int c) {
            const size_t at = size_t(r) * Stride + size_t(c);
            work[at] = Arithmetic::From(s.A[at]);
            s.ColumnRows[size_t(c) * rowWords + size_t(r >> 6)] |= bit(r);
        });
    auto entry = [&](int i, int c) -> T& { return work[size_t(i) * Stride + size_t(c)]; };

    // Logical row r is stored in row RowAt[r], logical column c in column ColumnAt[c] (and the
    // other way round, RowPosition and ColumnPosition); stored column c holds the unknown of
    // element c throughout.
    s.RowAt.resize(size_t(n));
    s.ColumnAt.resize(size_t(n));
    s.RowPosition.resize(size_t(n));
    s.ColumnPosition.resize(size_t(n));
    for (int i = 0; i < n; ++i)
        s.RowAt[size_t(i)] = s.ColumnAt[size_t(i)] = s.RowPosition[size_t(i)] =
            s.ColumnPosition[size_t(i)] = i;
    // The stored columns not yet eliminated, and the right-hand side; the stored rows not yet
    // taken as pivot rows.
    s.Live.assign(Words, 0);
    for (int c = 0; c <= n; ++c)
        s.Live[size_t(c >> 6)] |= bit(c);
    s.Pending.assign(rowWords, 0);
    for (int r = 0; r < n; ++r)
        s.Pending[size_t(r >> 6)] |= bit(r);
    int top = 0;
    for (int k = 0; k < n; ++k)
        top = std::max({top, RowClass[size_t(k)], ColumnClass[size_t(k)]});
    // Per class: the element columns of that class or below.
    s.ClassColumns.assign(size_t(top + 1) * Words, 0);
    for (int level = 0; level <= top; ++level)
        for (int c = 0; c < n; ++c)
            if (ColumnClass[size_t(c)] <= level)
                s.ClassColumns[size_t(level) * Words + size_t(c >> 6)] |= bit(c);
    s.RowsLeft.assign(size_t(top + 1), 0);
    for (int r = 0; r < n; ++r)
        ++s.RowsLeft[size_t(RowClass[size_t(r)])];
    // Per stored row: the largest squared modulus among its live columns of the class it was
    // taken for, and (complex systems) a column where it lies; class -1: (real systems) a bound
    // on it instead, never less than it, or, for a row not of the present class, nothing.
    s.RowMax.assign(size_t(n), 0);
    s.RowMaxAt.assign(size_t(n), -1);
    s.RowMaxClass.assign(size_t(n), -1);
    s.PivotColumns.resize(Words);
    s.MaxByPlace.resize(size_t(n));
    int maxesStage = -1; // the class MaxByPlace holds
    s.StepColumns.resize(size_t(n) * Words);
    s.Later.resize(Words);

    // The largest squared modulus of stored row i in the live columns of `columns` but not of
    // `except`, and where.
    auto largest = [&](int i, const uint64_t* columns, int& at, const uint64_t* except = nullptr) {
        double best = 0;
        at = -1;
        const uint64_t* p = &s.Pattern[size_t(i) * Words];
        for (size_t w = 0; w < Words; ++w)
            for (uint64_t bits = p[w] & s.Live[w] & columns[w] & (except ? ~except[w] : ~0ull);
                 bits; bits &= bits - 1) {
                const int c = int(w * 64) + __builtin_ctzll(bits);
                const double m = Arithmetic::Norm(entry(i, c));
                if (m > best) {
                    best = m;
                    at = c;
                }
            }
        return best;
    };
    const uint64_t* allColumns = &s.ClassColumns[size_t(top) * Words];

    for (int p = 0; p < n; ++p) {
        int stage = 0;
        while (s.RowsLeft[size_t(stage)] == 0)
            ++stage;
        const uint64_t* stageColumns = &s.ClassColumns[size_t(stage) * Words];
        // A new class: its rows' largest entries (kept up to date from here on, as the
        // elimination changes the rows), by logical row.
        if (stage != maxesStage) {
            maxesStage = stage;
            for (int r = p; r < n; ++r) {
                const int i = s.RowAt[size_t(r)];
                if (RowClass[size_t(i)] != stage) {
                    s.MaxByPlace[size_t(r)] = -1;
                    continue;
                }
                s.RowMax[size_t(i)] = largest(i, stageColumns, s.RowMaxAt[size_t(i)]);
                s.RowMaxClass[size_t(i)] = stage;
                s.MaxByPlace[size_t(r)] = s.RowMax[size_t(i)];
            }
        }
        // The pivot row: the first (in logical order) whose largest entry is the largest. A row
        // whose largest is not known holds a bound instead, never less than it: while the first
        // row holding the largest figure is such a row, its largest is looked for, and the next
        // row holding that figure taken, or, when none is left, the largest figure found again.
        int bestRow = p;
        double best = LargestOf(&s.MaxByPlace[size_t(p)], size_t(n - p));
        while (best > -1) {
            bestRow += int(FirstOf(&s.MaxByPlace[size_t(bestRow)], size_t(n - bestRow), best));
            if (bestRow == n) {
                bestRow = p;
                best = LargestOf(&s.MaxByPlace[size_t(p)], size_t(n - p));
                continue;
            }
            const int i = s.RowAt[size_t(bestRow)];
            if (s.RowMaxClass[size_t(i)] == stage) break;
            s.RowMax[size_t(i)] = largest(i, stageColumns, s.RowMaxAt[size_t(i)]);
            s.RowMaxClass[size_t(i)] = stage;
            s.MaxByPlace[size_t(bestRow)] = s.RowMax[size_t(i)];
        }
        const uint64_t* searched = stageColumns;
        if (!(best > 0)) {
            // The class's rows say nothing more: the largest of all that is left. Nothing at all
            // left is a singular system; the full elimination says so (or meets the NaN here).
            searched = allColumns;
            best = -1;
            for (int r = p; r < n; ++r) {
                int at;
                const double m = largest(s.RowAt[size_t(r)], allColumns, at);
                if (m > best) {
                    best = m;
                    bestRow = r;
                }
            }
            if (!(best > 0)) throw ENotFinite();
        }
        // Its column: the first (in logical order) that holds that largest entry.
        int pc = -1;
        {
            const int i = s.RowAt[size_t(bestRow)];
            const uint64_t* pattern = &s.Pattern[size_t(i) * Words];
            int position = n;
            for (size_t w = 0; w < Words; ++w)
                for (uint64_t bits = pattern[w] & s.Live[w] & searched[w]; bits; bits &= bits - 1) {
                    const int c = int(w * 64) + __builtin_ctzll(bits);
                    if (Arithmetic::Norm(entry(i, c)) == best &&
                        s.ColumnPosition[size_t(c)] < position) {
                        position = s.ColumnPosition[size_t(c)];
                        pc = c;
                    }
                }
        }
        const int pr = s.RowAt[size_t(bestRow)];
        // Exchange logical rows p and bestRow, and logical columns p and pc's.
        {
            const int other = s.RowAt[size_t(p)];
            s.RowAt[size_t(p)] = pr;
            s.RowAt[size_t(bestRow)] = other;
            s.RowPosition[size_t(pr)] = p;
            s.RowPosition[size_t(other)] = bestRow;
            std::swap(s.MaxByPlace[size_t(p)], s.MaxByPlace[size_t(bestRow)]);
            const int from = s.ColumnPosition[size_t(pc)], displaced = s.ColumnAt[size_t(p)];
            s.ColumnAt[size_t(p)] = pc;
            s.ColumnAt[size_t(from)] = displaced;
            s.ColumnPosition[size_t(pc)] = p;
            s.ColumnPosition[size_t(displaced)] = from;
        }
        --s.RowsLeft[size_t(RowClass[size_t(pr)])];
        s.Pending[size_t(pr >> 6)] &= ~bit(pr);
        const T pivot = entry(pr, pc);
        if (!Arithmetic::Finite(pivot)) throw ENotFinite();
        s.Live[size_t(pc >> 6)] &= ~bit(pc);

        // The pivot row's columns still to come, divided by the pivot.
        const uint64_t* pivotPattern = &s.Pattern[size_t(pr) * Words];
        for (size_t w = 0; w < Words; ++w)
            s.StepColumns[size_t(p) * Words + w] = s.PivotColumns[w] = pivotPattern[w] & s.Live[w];
        // Listed once for every row below: those of the present class, whose entries decide
        // the rows' largest, and the others.
        T* pivotRow = &entry(pr, 0);
        s.Weighed.clear();
        s.Unweighed.clear();
        s.WeighedValues.clear();
        for (size_t w = 0; w < Words; ++w)
            for (uint64_t bits = s.PivotColumns[w]; bits; bits &= bits - 1) {
                const int c = int(w * 64) + __builtin_ctzll(bits);
                pivotRow[c] = Arithmetic::Divide(pivotRow[c], pivot);
                // (The right-hand side is of no class: it is one of the others.)
                if (!((stageColumns[w] >> (c & 63)) & 1)) {
                    s.Unweighed.push_back(c);
                    continue;
                }
                s.Weighed.push_back(c);
                if constexpr (std::is_same_v<T, double>) s.WeighedValues.push_back(pivotRow[c]);
            }
        // The rows below with an entry in the pivot column (in any order: each row is changed
        // by the pivot row alone).
        const uint64_t* below = &s.ColumnRows[size_t(pc) * rowWords];
        s.Updated.assign(rowWords, 0);
        for (size_t rw = 0; rw < rowWords; ++rw)
            for (uint64_t rows = below[rw] & s.Pending[rw]; rows; rows &= rows - 1) {
                const int i = int(rw * 64) + __builtin_ctzll(rows);
                T* row = &entry(i, 0);
                const T f = row[pc];
                if (f == T()) continue;
                if (!Arithmetic::Finite(f)) throw ENotFinite();
                uint64_t* columns = &s.Pattern[size_t(i) * Words];
                // The largest entry of a row of the present class is kept up to date. A complex
                // row notes the column where it lies: while that column is left as it was here
                // (not one of the pivot row's, nor the pivot's, which leaves), only the changed
                // entries can exceed it; otherwise it is looked for among the row's other live
                // columns of the class first. A real row, where a square costs less than noting
                // a column, keeps a bound instead while its largest is other than 0 (then the
                // largest changed entry is the largest): the larger of what it held and the
                // changed entries, its largest looked for only when the bound comes first in
                // the choice of a pivot row. Most rows' bounds never do.
                const bool candidate = RowClass[size_t(i)] == stage;
                const bool known = s.RowMaxClass[size_t(i)] == stage;
                const double held = s.RowMax[size_t(i)];
                const int at = s.RowMaxAt[size_t(i)];
                if (candidate && std::is_same_v<T, double>) {
                    double after = 0; // the largest square among the changed entries
                    if constexpr (std::is_same_v<T, double>)
                        after = UpdateReal(row, f, s.Weighed, s.WeighedValues);
                    s.RowMax[size_t(i)] = after > held ? after : held;
                    s.MaxByPlace[size_t(s.RowPosition[size_t(i)])] = s.RowMax[size_t(i)];
                    s.RowMaxClass[size_t(i)] = known && held == 0 ? stage : -1;
                } else if (candidate) {
                    double rowMax = held;
                    int rowMaxAt = at;
                    if (!known ||
                        (at >= 0 &&
                         (at == pc || ((s.PivotColumns[size_t(at >> 6)] >> (at & 63)) & 1))))
                        rowMax = largest(i, stageColumns, rowMaxAt, s.PivotColumns.data());
                    for (const int c : s.Weighed) {
                        row[c] -= f * pivotRow[c];
                        const double m = Arithmetic::Norm(row[c]);
                        if (m > rowMax) {
                            rowMax = m;
                            rowMaxAt = c;
                        }
                    }
                    s.RowMax[size_t(i)] = rowMax;
                    s.MaxByPlace[size_t(s.RowPosition[size_t(i)])] = rowMax;
                    s.RowMaxAt[size_t(i)] = rowMaxAt;
                    s.RowMaxClass[size_t(i)] = stage;
                } else {
                    for (const int c : s.Weighed)
                        row[c] -= f * pivotRow[c];
                }
                for (const int c : s.Unweighed)
                    row[c] -= f * pivotRow[c];
                for (size_t w = 0; w < Words; ++w)
                    columns[w] |= s.PivotColumns[w];
                s.Updated[rw] |= bit(i);
                if (!candidate) s.RowMaxClass[size_t(i)] = -1;
            }
        // The rows changed now hold the pivot row's columns: they join those columns' row sets.
        for (size_t w = 0; w < Words; ++w)
            for (uint64_t bits = s.PivotColumns[w]; bits; bits &= bits - 1) {
                uint64_t* rows = &s.ColumnRows[(w * 64 + size_t(__builtin_ctzll(bits))) * rowWords];
                for (size_t rw = 0; rw < rowWords; ++rw)
                    rows[rw] |= s.Updated[rw];
            }
    }

    std::vector<TComplex> x(static_cast<size_t>(n));
    std::vector<T>* solvedIn;
    if constexpr (std::is_same_v<T, double>)
        solvedIn = &s.RealSolved;
    else
        solvedIn = &s.ComplexSolved;
    std::vector<T>& solved = *solvedIn;
    solved.assign(size_t(n), T());
    for (int k = n - 1; k >= 0; --k) {
        const int i = s.RowAt[size_t(k)];
        T v = entry(i, n);
        // Its columns after k (those live when it was the pivot row), by logical place.
        std::fill_n(s.Later.begin(), Words, 0);
        const uint64_t* after = &s.StepColumns[size_t(k) * Words];
        for (size_t w = 0; w < Words; ++w)
            for (uint64_t bits = after[w]; bits; bits &= bits - 1) {
                const int c = int(w * 64) + __builtin_ctzll(bits);
                if (c == n) continue;
                const int m = s.ColumnPosition[size_t(c)];
                s.Later[size_t(m >> 6)] |= bit(m);
            }
        for (size_t w = 0; w < Words; ++w)
            for (uint64_t bits = s.Later[w]; bits; bits &= bits - 1) {
                const int q = s.ColumnAt[size_t(w * 64) + size_t(__builtin_ctzll(bits))];
                v -= entry(i, q) * solved[size_t(q)];
            }
        if (!Arithmetic::Finite(v)) throw ENotFinite();
        solved[size_t(s.ColumnAt[size_t(k)])] = v;
    }
    for (int k = 0; k < n; ++k)
        x[size_t(k)] = Arithmetic::ToComplex(solved[size_t(k)]) / ColumnScale[size_t(k)];
    return x;
}

std::vector<TComplex> TEquations::SolveDense() {
    S->DenseUsed = true; // every entry may change
    std::vector<int> perm(static_cast<size_t>(N));
    for (int c = 0; c < N; ++c)
        perm[size_t(c)] = c;
    std::vector<int> rowClass = RowClass, columnClass = ColumnClass;
    for (int p = 0; p < N; ++p) {
        int stage = rowClass[size_t(p)];
        for (int r = p + 1; r < N; ++r)
            stage = std::min(stage, rowClass[size_t(r)]);
        int bestRow = p, bestColumn = p;
        double best = -1;
        auto search = [&](bool byClass) {
            bestRow = bestColumn = p;
            best = -1;
            if (!byClass || (rowClass[size_t(p)] == stage && columnClass[size_t(p)] <= stage))
                best = std::norm(Entry(p, p));
            for (int r = p; r < N; ++r) {
                if (byClass && rowClass[size_t(r)] != stage) continue;
                const TComplex* row = &Entry(r, 0);
                for (int c = p; c < N; ++c) {
                    if (byClass && columnClass[size_t(c)] > stage) continue;
                    const double m = std::norm(row[c]);
                    if (m > best) {
                        best = m;
                        bestRow = r;
                        bestColumn = c;
                    }
                }
            }
        };
        search(true);
        if (best <= 0) search(false);
        if (bestRow != p) {
            std::swap_ranges(&Entry(p, p), &Entry(p, 0) + N + 1, &Entry(bestRow, p));
            std::swap(rowClass[size_t(p)], rowClass[size_t(bestRow)]);
        }
        if (bestColumn != p) {
            for (int r = 0; r < N; ++r)
                std::swap(Entry(r, p), Entry(r, bestColumn));
            std::swap(perm[size_t(p)], perm[size_t(bestColumn)]);
            std::swap(columnClass[size_t(p)], columnClass[size_t(bestColumn)]);
        }
        const TComplex pivot = Entry(p, p);
        if (std::abs(pivot) == 0) throw ESingular();
        TComplex* pivotRow = &Entry(p, 0);
        for (int c = p; c <= N; ++c)
            pivotRow[c] /= pivot;
        for (int r = p + 1; r < N; ++r) {
            TComplex* row = &Entry(r, 0);
            const TComplex f = row[p];
            if (f == TComplex()) continue;
            for (int c = p; c <= N; ++c)
                row[c] -= f * pivotRow[c];
        }
    }
    std::vector<TComplex> x(static_cast<size_t>(N));
    for (int k = N - 1; k >= 0; --k) {
        TComplex v = Entry(k, N);
        for (int m = k + 1; m < N; ++m)
            v -= Entry(k, m) * x[size_t(perm[size_t(m)])];
        x[size_t(perm[size_t(k)])] = v;
    }
    for (int k = 0; k < N; ++k)
        x[size_t(k)] /= ColumnScale[size_t(k)];
    return x;
}
