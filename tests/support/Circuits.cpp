#include "support/Circuits.h"

#include "support/TestParts.h"

#include "board/Frmwork.h"

#include <cmath>
#include <utility>

// A random circuit on the lattice: resistors, wires, batteries or generators, reactive parts,
// open switches, burnt parts, parallel parts, loose ends.
void BuildRandomCircuit(QRandomGenerator& random, bool alternating) {
    const int parts = 3 + random.bounded(50);
    auto logUniform = [&](double lo, double hi) {
        return lo * std::pow(hi / lo, random.generateDouble());
    };
    for (int i = 0; i < parts; ++i) {
        const int r = random.bounded(5) + 1;
        const int c = random.bounded(5) + 1;
        const bool vertical = random.bounded(2);
        auto* p = new TTestPart(1);
        const int kind = random.bounded(11);
        if (kind < 4) {
            p->SetResistance(logUniform(0.1, 1e5));
        } else if (kind < 5) {
            p->SetResistance(1e-6); // a wire
        } else if (kind < 7) {
            p->SetResistance(logUniform(0.1, 50));
            p->SetEmf(logUniform(1, 24));
            p->AcSource = alternating;
        } else if (kind < 9) {
            p->SetResistance(alternating ? logUniform(0.01, 100) : logUniform(1, 1e4));
            if (alternating) p->Reactance = (random.bounded(2) ? 1 : -1) * logUniform(1, 1e4);
        } else if (kind < 10) {
            p->SetResistance(1e-6);
            p->Open = random.bounded(2);
        } else {
            p->SetResistance(1E60); // a burnt part, or a capacitor on direct current
        }
        if (random.bounded(40) == 0) {
            p->ConnectNodes((*Framework)(r, c), nullptr); // one loose end
            continue;
        }
        Place(p, r - (vertical ? 1 : 0), c - (vertical ? 0 : 1), r, c);
    }
}

// A block of the lattice cut into up to four regions by a row and a column: inside a region,
// ordinary parts (resistors, wires, reactive parts, now and then a burnt part), sources only in
// the first region; across the cuts only huge branches (1E60 ohms: a capacitor on direct current,
// a burnt part) and open switches. The other regions' loops are then passive and meet the rest
// only through huge branches.
void BuildRegionsJoinedByHugeBranches(QRandomGenerator& random, bool alternating) {
    const int rows = 3 + random.bounded(4), columns = 3 + random.bounded(4);
    const int cutRow = 1 + random.bounded(rows - 1), cutColumn = 1 + random.bounded(columns);
    auto region = [&](int r, int c) { return (r >= cutRow ? 1 : 0) + (c >= cutColumn ? 2 : 0); };
    auto logUniform = [&](double lo, double hi) {
        return lo * std::pow(hi / lo, random.generateDouble());
    };
    auto put = [&](int r1, int c1, int r2, int c2) {
        if (random.bounded(2)) {
            std::swap(r1, r2);
            std::swap(c1, c2);
        }
        auto* p = new TTestPart(1);
        if (region(r1, c1) != region(r2, c2)) {
            p->SetResistance(random.bounded(4) ? 1E60 : 1e-6);
            p->Open = p->Resistance < 1;
        } else {
            const int kind = random.bounded(region(r1, c1) == 0 ? 12 : 10);
            if (kind < 5) {
                p->SetResistance(logUniform(0.1, 1e5));
            } else if (kind < 7) {
                p->SetResistance(1e-6);
            } else if (kind < 9) {
                p->SetResistance(alternating ? logUniform(0.01, 100) : logUniform(1, 1e4));
                if (alternating) p->Reactance = (random.bounded(2) ? 1 : -1) * logUniform(1, 1e4);
            } else if (kind < 10) {
                p->SetResistance(1E60);
            } else {
                p->SetResistance(logUniform(0.1, 50));
                p->SetEmf(logUniform(1, 24));
                p->AcSource = alternating;
            }
        }
        Place(p, r1, c1, r2, c2);
    };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            for (int copies = 0;
                 c + 1 < columns && copies < 2 && random.bounded(10) < (copies ? 1 : 7); ++copies)
                put(r, c, r, c + 1);
            for (int copies = 0;
                 r + 1 < rows && copies < 2 && random.bounded(10) < (copies ? 1 : 7); ++copies)
                put(r, c, r + 1, c);
        }
}
