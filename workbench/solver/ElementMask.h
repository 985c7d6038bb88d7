#pragma once
// A set of circuit elements by number, as wide as the circuit: bit k stands for element k.
// Masks compare as unsigned numbers (the highest element decides first), which orders loops.
// The first 128 elements are held in the mask itself, so that masks of every board the lattice
// takes are made, copied and combined without the heap.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

// The number of bits set. Written out because the baseline x86-64 has no instruction for it and
// the compiler's own falls back on a library call.
inline int BitCount(uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0full;
    return int((x * 0x0101010101010101ull) >> 56);
}

class TElementMask {
public:
    TElementMask() = default;
    explicit TElementMask(int elementCount) {
        if (elementCount > 64 * InlineWords)
            More.resize(size_t(elementCount + 63) / 64 - InlineWords, 0);
    }

    void Set(int k) {
        const size_t w = size_t(k) >> 6;
        if (w < InlineWords) {
            Low[w] |= uint64_t(1) << (k & 63);
            return;
        }
        if (More.size() < w - InlineWords + 1) More.resize(w - InlineWords + 1, 0);
        More[w - InlineWords] |= uint64_t(1) << (k & 63);
    }
    bool Test(int k) const { return (Word(size_t(k) >> 6) >> (k & 63)) & 1; }
    bool Any() const {
        for (size_t i = 0; i < Words(); ++i)
            if (Word(i)) return true;
        return false;
    }
    int Count() const {
        int n = 0;
        for (size_t i = 0; i < Words(); ++i)
            n += BitCount(Word(i));
        return n;
    }
    // The number of elements in this mask or the other.
    int UnionCount(const TElementMask& o) const {
        int n = 0;
        for (size_t i = 0; i < std::max(Words(), o.Words()); ++i)
            n += BitCount(Word(i) | o.Word(i));
        return n;
    }
    bool Intersects(const TElementMask& o) const {
        for (size_t i = 0; i < std::min(Words(), o.Words()); ++i)
            if (Word(i) & o.Word(i)) return true;
        return false;
    }
    // Whether every element of this mask is in the other.
    bool Within(const TElementMask& o) const {
        for (size_t i = 0; i < Words(); ++i)
            if (Word(i) & ~o.Word(i)) return false;
        return true;
    }
    // Whether every element of this mask is in one of the other two.
    bool WithinEither(const TElementMask& a, const TElementMask& b) const {
        for (size_t i = 0; i < Words(); ++i)
            if (Word(i) & ~(a.Word(i) | b.Word(i))) return false;
        return true;
    }
    // Word i of the mask (elements 64 i to 64 i + 63), zero beyond its width.
    uint64_t Word(size_t i) const {
        if (i < InlineWords) return Low[i];
        return i - InlineWords < More.size() ? More[i - InlineWords] : 0;
    }
    // The mask of the given words, lowest first.
    static TElementMask FromWords(const uint64_t* words, size_t count) {
        TElementMask m;
        for (size_t i = 0; i < std::min(count, size_t(InlineWords)); ++i)
            m.Low[i] = words[i];
        if (count > InlineWords) m.More.assign(words + InlineWords, words + count);
        return m;
    }
    // The lowest element, -1 for an empty mask.
    int Lowest() const {
        for (size_t i = 0; i < Words(); ++i)
            if (Word(i)) return int(i * 64) + std::countr_zero(Word(i));
        return -1;
    }
    TElementMask& operator|=(const TElementMask& o) {
        Low[0] |= o.Low[0];
        Low[1] |= o.Low[1];
        if (!o.More.empty()) {
            if (More.size() < o.More.size()) More.resize(o.More.size(), 0);
            for (size_t i = 0; i < o.More.size(); ++i)
                More[i] |= o.More[i];
        }
        return *this;
    }
    TElementMask& operator^=(const TElementMask& o) {
        Low[0] ^= o.Low[0];
        Low[1] ^= o.Low[1];
        if (!o.More.empty()) {
            if (More.size() < o.More.size()) More.resize(o.More.size(), 0);
            for (size_t i = 0; i < o.More.size(); ++i)
                More[i] ^= o.More[i];
        }
        return *this;
    }
    friend TElementMask operator|(TElementMask a, const TElementMask& b) { return a |= b; }
    // Masks of different widths compare as the numbers they stand for.
    bool operator==(const TElementMask& o) const { return Compare(o) == 0; }
    bool operator<(const TElementMask& o) const { return Compare(o) < 0; }
    // The elements in the mask, lowest first.
    template <class F> void ForEach(F f) const {
        for (size_t i = 0; i < Words(); ++i)
            for (uint64_t w = Word(i); w; w &= w - 1)
                f(int(i * 64) + std::countr_zero(w));
    }

private:
    static constexpr int InlineWords = 2;
    size_t Words() const { return InlineWords + More.size(); }
    int Compare(const TElementMask& o) const {
        if (More.empty() && o.More.empty()) {
            if (Low[1] != o.Low[1]) return Low[1] < o.Low[1] ? -1 : 1;
            return Low[0] < o.Low[0] ? -1 : Low[0] > o.Low[0] ? 1 : 0;
        }
        for (size_t i = std::max(Words(), o.Words()); i-- > 0;)
            if (Word(i) != o.Word(i)) return Word(i) < o.Word(i) ? -1 : 1;
        return 0;
    }

    uint64_t Low[InlineWords] = {0, 0};
    std::vector<uint64_t> More; // elements from 128 on
};
