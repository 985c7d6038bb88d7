#pragma once
#include <QString>

class TTable;

// The editor's password, kept in the table `pas` (its current row) as a salted hash. A value
// written by an older version in plain text is still accepted, once: the first right entry
// replaces it by its hash.

enum class TPasswordCheck { NotSet, Wrong, Right };

// Compares the typed text with the stored password.
TPasswordCheck CheckEditPassword(TTable* pas, const QString& typed);

// Stores a new password (as its hash) in the current row, or in a new row of an empty table.
// An empty password is refused with EDatabaseError and nothing changes.
void StoreEditPassword(TTable* pas, const QString& password);
