#pragma once
// Scheme files and the document state of the workbench.

#include <QString>

class QIODevice;

// The version of the scheme file being read or written: 0x100, 0x101 or 0x102 (1.0 .. 1.2).
extern int FormatVersion;
constexpr int Version10 = 0x100;
constexpr int Version11 = 0x101;
constexpr int Version12 = 0x102;

// The current scheme file (empty while untitled), whether the board has no unsaved change,
// and whether the next Save must ask for a name.
extern QString FileName;
extern bool SchemeSaved;
extern bool SaveAsRequested;
