#pragma once
// The numbered texts of the workbench in the language chosen: a language file read into a table
// and looked up by number. Qt Core only, so that a tool without windows speaks the same texts.

#include <QString>

// Reads a language file (UTF-8, one "ID<TAB>text" per line, escapes \n \t \\, '#' starts a
// comment line). Replaces the texts loaded before; false and no texts when it cannot be read.
bool LoadLanguageFile(const QString& path);
void UnloadLanguage();
bool LanguageLoaded();

// The text numbered id, or "There is no string with ID=<id> !" when there is none.
QString GetText(long id);
// Whether the language file has a (non-empty) text numbered id.
bool HasText(long id);
// The same, cut to size - 2 characters as into a caller's buffer of `size` characters.
QString LoadText(long id, int size);
