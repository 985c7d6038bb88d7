#pragma once
// Generated circuits on the lattice, shared by the solver's tests and its benchmark: the same
// random sequence gives the same circuits in both.

#include <QRandomGenerator>

// A random circuit on the lattice: resistors, wires, batteries or generators, reactive parts,
// open switches, burnt parts, parallel parts, loose ends.
void BuildRandomCircuit(QRandomGenerator& random, bool alternating);

// A block of the lattice cut into up to four regions by a row and a column: inside a region,
// ordinary parts, sources only in the first region; across the cuts only huge branches (1E60
// ohms) and open switches.
void BuildRegionsJoinedByHugeBranches(QRandomGenerator& random, bool alternating);
