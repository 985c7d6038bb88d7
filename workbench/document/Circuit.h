#pragma once
// The board as a circuit view, and the board's solve: the one place where the parts and nodes on
// the board are read into the solver's view and the results go back to the parts.

#include "solver/Circuit.h"

// The circuit on the board now: elements in creation order, nodes in the board's order.
// Throws EThrownText("No Nodes in Array !") for an element on a node the board does not hold.
TCircuitView BoardCircuit();

// One solve of the board's circuit; the parts take their currents, burn out when overloaded,
// and failures reach the student through the message and sound seams. True when parts burnt
// out, so that the circuit changed and must be solved again.
bool SolveBoard();
