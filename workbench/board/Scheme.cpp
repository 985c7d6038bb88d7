#include "board/Scheme.h"

int FormatVersion = Version12;
QString FileName;
bool SchemeSaved = true;
bool SaveAsRequested = false;
