#pragma once
// Overview pictures of the generated art, for looking at it all at once.
#include <QString>

class ArtWriter;

// Writes art-contact-sheet.png, art-scene.png and art-toolbar.png into `dir`; false when any fails.
bool WriteSheets(const ArtWriter& art, const QString& dir);
