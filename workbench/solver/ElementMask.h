#pragma once
// A set of circuit elements by number, as wide as the circuit: bit k stands for element k.
// Masks compare as unsigned numbers (the highest element decides first), which orders loops.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <vector>

class TElementMask {
public:
    TElementMask() = default;
    explicit TElementMask(int elementCount) : Words(size_t(std::max(1, (elementCount + 63) / 64)), 0) {}

    void Set(int k) {
        Fit(size_t(k) / 64 + 1);
        Words[size_t(k) >> 6] |= uint64_t(1) << (k & 63);
    }
    bool Test(int k) const { return size_t(k) / 64 < Words.size() && ((Words[size_t(k) >> 6] >> (k & 63)) & 1); }
    bool Any() const {
        for (uint64_t w : Words)
            if (w) return true;
        return false;
    }
    int Count() const {
        int n = 0;
        for (uint64_t w : Words) n += std::popcount(w);
        return n;
    }
    // The number of elements in this mask or the other.
    int UnionCount(const TElementMask& o) const {
        int n = 0;
        for (size_t i = 0; i < std::max(Words.size(), o.Words.size()); ++i) n += std::popcount(Word(i) | o.Word(i));
        return n;
    }
    bool Intersects(const TElementMask& o) const {
        for (size_t i = 0; i < std::min(Words.size(), o.Words.size()); ++i)
            if (Words[i] & o.Words[i]) return true;
        return false;
    }
    TElementMask& operator|=(const TElementMask& o) {
        Fit(o.Words.size());
        for (size_t i = 0; i < o.Words.size(); ++i) Words[i] |= o.Words[i];
        return *this;
    }
    friend TElementMask operator|(TElementMask a, const TElementMask& b) { return a |= b; }
    // Masks of different widths compare as the numbers they stand for.
    bool operator==(const TElementMask& o) const { return Compare(o) == 0; }
    bool operator<(const TElementMask& o) const { return Compare(o) < 0; }
    // The elements in the mask, lowest first.
    template <class F>
    void ForEach(F f) const {
        for (size_t i = 0; i < Words.size(); ++i)
            for (uint64_t w = Words[i]; w; w &= w - 1) f(int(i * 64 + std::countr_zero(w)));
    }
    size_t Hash() const {
        size_t h = 1469598103934665603ull;
        size_t used = Words.size();
        while (used > 0 && Words[used - 1] == 0) --used; // equal masks hash alike, whatever their width
        for (size_t i = 0; i < used; ++i) h = (h ^ Words[i]) * 1099511628211ull;
        return h;
    }

private:
    uint64_t Word(size_t i) const { return i < Words.size() ? Words[i] : 0; }
    void Fit(size_t words) {
        if (Words.size() < words) Words.resize(words, 0);
    }
    int Compare(const TElementMask& o) const {
        for (size_t i = std::max(Words.size(), o.Words.size()); i-- > 0;)
            if (Word(i) != o.Word(i)) return Word(i) < o.Word(i) ? -1 : 1;
        return 0;
    }

    std::vector<uint64_t> Words;
};

struct TElementMaskHash {
    size_t operator()(const TElementMask& m) const { return m.Hash(); }
};
