#pragma once
// The circuit as a SPICE netlist, for checking the solver against another simulator. Every
// element lies between its two nodes with its present impedance and EMF (as the last solve left
// them), behind a zero-volt source "vm<k>" that reads its current from first to second node.

#include "solver/Circuit.h"

#include <QString>

// Elements that cannot carry current are left out: open switches and switched-off meters,
// elements of 1E30 ohms or more, and elements without two different nodes. Each connected piece
// of the circuit gets a ground of its own, so that no piece floats.
QString SpiceNetlist(const TCircuitView& view, const QString& title);

// A double with all 17 significant digits, so that it reads back exactly.
QString ExactNumber(double v);

// Whether element k appears in SpiceNetlist (its current can be read from "vm<k>").
bool InSpiceNetlist(const TCircuitView& view, int k);
