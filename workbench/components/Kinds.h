#pragma once
// The part kinds as a whole: creating a part from its kind code, and the class start-up steps of
// every kind in the order the loading window shows them.

#include <QtGlobal>

class TIron;

// Where a new part comes from: the black box is filled differently for each.
enum class TPartOrigin { PartsBox, SchemeFile };

// A new part of the kind, or nullptr for a code that names no kind (23 among them).
TIron* CreatePart(quint8 kind, TPartOrigin origin = TPartOrigin::PartsBox);

// Whether parts of the kind can be made.
bool KindAvailable(quint8 kind);

// Registers the class start-up and exit of every kind, once; TIron::ExecuteStartups runs them.
void RegisterPartKinds();
