#pragma once
// Scheme files and the document state of the workbench: the document layer, above the parts.
// Each part writes and reads its own record (schemefile/SchemeIO.h); this is the file round them.
//
// A scheme file holds the circuit on the board: a 1024-byte header area (a 19-byte signature
// "Yarv's scheme 1.2\r\n", the circuit's angular frequency as a double, zeros up to offset 1024)
// and then one record per part, in the order the parts were made. Versions 1.0, 1.1 and 1.2
// are read; 1.2 is written. All numbers are little-endian.

#include "schemefile/SchemeIO.h"

#include <QString>

class QIODevice;

// The current scheme file (empty while untitled), whether the board has no unsaved change,
// and whether the next Save must ask for a name.
extern QString FileName;
extern bool SchemeSaved;
extern bool SaveAsRequested;

enum class TLoadResult {
    Loaded, // the whole file was read
    Failed, // not a scheme file, or one cut short, with an unknown kind, a value that is no
            // number, or a part off the board or not on one edge: the board is left empty
};

// Destroys every part on the board, always the first of Parts, and raises CircuitChanged.
void ClearBoard();

// Replaces the board's circuit with the file's. On failure the board is left empty and `why`
// (when given) says what is wrong with the file, in the language of the texts.
TLoadResult LoadSchemeFrom(QIODevice& file, QString* why = nullptr);
// The same from a path, with the hourglass and the failure message the student sees.
TLoadResult LoadScheme(const QString& path);

// Writes the board's circuit in version 1.2. False (with the reason in `error`) when it could
// not be written; SaveScheme then leaves the old file as it was.
bool SaveSchemeTo(QIODevice& file, QString* error = nullptr);
bool SaveScheme(const QString& path, QString* error = nullptr);
