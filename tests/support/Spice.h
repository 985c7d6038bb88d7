#pragma once
// Runs ngspice on a netlist and reads back the currents of the elements' "vm<k>" sources.

#include "components/Iron0.h"

#include <QMap>
#include <QString>
#include <optional>

// The currents by element number, or nothing when ngspice could not solve the circuit
// (a singular matrix, a failed run).
std::optional<QMap<int, TComplex>> RunNgspice(const QString& netlist, const QList<int>& elements);

// How far ngspice's currents for the present board may be off, per element number: 1e-5 of the
// current, 1e-8 of the largest current, and twice what ngspice's own currents break Kirchhoff's
// laws by: the current law at any node, and summed over the nodes on one side of a cut through
// the element (a bridge carries no current); the voltage law around the loops through the
// element, as the current that the loop's voltage error drives round the loop, on loops of a
// breadth-first forest and of the forest of the smallest impedances. Next to wires of a
// micro-ohm, ngspice's branch currents carry noise far above its nominal accuracy. Elements
// ngspice did not see (1E30 ohms and more) may carry what the sources drive through them.
QMap<int, double> SpiceTolerances(const QMap<int, TComplex>& spice);
