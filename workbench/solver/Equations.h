#pragma once
// The linear system of one solve and its elimination: n equations in the n element currents,
// each row n + 1 complex entries, the last the right-hand side.
//
// The rows are stored whole, but each row also knows the columns where it may hold something
// other than zero (a superset: an entry that cancels to zero stays listed). The elimination
// works on those columns only: its pivots, and the operations on every entry that is not zero,
// are those of eliminating the full matrix, where the work skipped is subtracting products
// with zero and dividing zeros. The results are therefore the same, to the sign of a zero
// imaginary part. A system without any imaginary part is eliminated in real numbers, where
// the complex operations give the same real parts. Rows and columns are exchanged through two
// index tables instead of being moved.

#include <cmath>
#include <complex>
#include <cstdint>
#include <memory>
#include <vector>

using TComplex = std::complex<double>;

// a / b computed as the GCC runtime computes a complex quotient (scaled Smith's method), but
// inline: the library call is kept for the one case its result is repaired in, both parts NaN.
TComplex Quotient(TComplex a, TComplex b);

// std::abs of a complex value, the library call spared where one part is 0 (then the modulus is
// exactly the other part's magnitude).
inline double Modulus(TComplex z) {
    if (z.imag() == 0) return std::fabs(z.real());
    if (z.real() == 0) return std::fabs(z.imag());
    return std::abs(z);
}

// A zero pivot: the system is singular.
struct ESingular {};

class TEquations {
public:
    explicit TEquations(int n);
    ~TEquations();
    TEquations(const TEquations&) = delete;
    TEquations& operator=(const TEquations&) = delete;

    const int N;
    // Scale classes of rows and columns, 0 for the smallest impedances; by row and element
    // number as written (the elimination keeps them with their row and column).
    std::vector<int> RowClass, ColumnClass;

    // Entry access while the rows are written. Writing through At marks the entry as possibly
    // not zero.
    TComplex& At(int row, int column) {
        Mark(row, column);
        return Entry(row, column);
    }
    TComplex& Rhs(int row) { return At(row, N); }
    TComplex Get(int row, int column) const {
        return Matrix[size_t(row) * Stride + size_t(column)];
    }

    // Every entry of the row 0.
    void ClearRow(int row);
    // Calls f(column) for every column the row may hold other than zero (the right-hand side
    // included), lowest first.
    template <class F> void ForEachColumn(int row, F f) const {
        const uint64_t* p = &Patterns[size_t(row) * Words];
        if (Words == 1) { // up to 63 equations, the common case, without the loop over words
            for (uint64_t bits = p[0]; bits; bits &= bits - 1)
                f(__builtin_ctzll(bits));
            return;
        }
        for (size_t w = 0; w < Words; ++w)
            for (uint64_t bits = p[w]; bits; bits &= bits - 1)
                f(int(w * 64) + __builtin_ctzll(bits));
    }

    // The largest modulus among the row's first `columns` entries.
    double RowMax(int row, int columns) const;
    // Divides the row by its largest modulus (right-hand side included), unless that is 0.
    void ScaleRow(int row);
    // Whether row k says the same as an earlier row, entry for entry after each is divided by
    // its largest element entry (the right-hand side takes no part).
    bool DuplicatesEarlierRow(int k);
    // Tells the duplicate test that the row, as written, holds 1 or -1 in every column written
    // (a current-law row): its largest entry and key then come from its columns alone.
    void NoteUnitRow(int row);
    // Takes element k's unknown as its current times `scale[k]` for every k whose scale is not
    // 1: column k divided by it, the solution multiplied back.
    void ScaleColumns(const std::vector<double>& scale);
    // ScaleColumns, then ScaleRow on every row, in one pass over each row.
    void ScaleColumnsAndRows(const std::vector<double>& scale);

    // Gaussian elimination with complete pivoting by scale class, and back substitution: while
    // rows of the lowest class are left, the pivot is the largest entry of those rows in the
    // columns of that class or below (the first such in row-major order); when they hold only
    // zeros there, the largest of all that is left. Throws ESingular on a zero pivot.
    std::vector<TComplex> Solve();
    // The same on every entry of the full matrix: the reference the sparse elimination equals,
    // and what the solve falls back on where an infinite or NaN value appears (a product of
    // such a value with zero is not zero).
    std::vector<TComplex> SolveDense();

    struct TStorage;

private:
    TComplex& Entry(int row, int column) { return Matrix[size_t(row) * Stride + size_t(column)]; }
    void Mark(int row, int column) {
        Patterns[size_t(row) * Words + size_t(column >> 6)] |= uint64_t(1) << (column & 63);
    }
    template <class T, size_t FixedWords> std::vector<TComplex> SolveSparse(std::vector<T>& work);

    const size_t Stride; // N + 1
    const size_t Words;  // 64-bit words of a row's column set
    std::unique_ptr<TStorage> S;
    TComplex* Matrix;   // the system as written, in S
    uint64_t* Patterns; // per row: the columns that may hold other than zero, in S
    std::vector<double> ColumnScale;
    std::vector<double>
        ElementMax; // per row: the largest modulus among its element columns, -1 unknown
    std::vector<uint64_t> RowKey; // per row, where ElementMax is known: see ElementMaxAndKey
    // Row i's largest modulus among its element columns (as RowMax), and as `key` the element
    // columns where it holds other than 0 (the set itself below 64 equations): two rows equal
    // entry for entry after division by their largest have one key, or one of them is Unkeyed
    // (a zero or infinite row, or an entry so small beside the largest that its quotient
    // might come out 0).
    double ElementMaxAndKey(int i, uint64_t& key) const;
    static constexpr uint64_t Unkeyed = ~uint64_t(0);
    // A row's key with column c added (columns taken in rising order).
    uint64_t WithKeyColumn(uint64_t key, int c) const {
        return N < 64 ? key | uint64_t(1) << c : (key ^ uint64_t(c + 1)) * 0x100000001b3ull;
    }
};
