#pragma once
// How the workbench's windows are joined to each other and to the layers below them.

class TWorkshopForm;

// Installs every hook at once, right after the main window is made: the circuit core
// (JoinCircuit), what the main window lends the board, the parts and the instruments
// (BenchHost), and what the other windows lend the main window (its Windows).
void JoinWindows(TWorkshopForm* form);
// Takes back what the main window lent; the circuit core stays joined.
void UnjoinWindows(TWorkshopForm* form);
