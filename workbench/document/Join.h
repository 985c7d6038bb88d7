#pragma once
// Joins the headless core: the board solves through the solver, and a change of the scheme marks
// the document modified. Every program and tool that lays circuits on a board calls it once
// before it does (the workbench through JoinWindows, which adds the windows).

void JoinCircuit();
