#pragma once
// Overview pictures of the generated art, for looking at it all at once.
#include <QString>

class ArtWriter;

// Writes art-contact-sheet.png and art-scene.png into `dir`; false when either fails.
bool WriteSheets(const ArtWriter& art, const QString& dir);
