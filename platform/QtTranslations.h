#pragma once
// Qt's own texts (the standard buttons Yes, No, Cancel, Retry, the file dialogs' Open and Save,
// their column heads) in the language of a program's own texts, from the translations that come
// with Qt (Debian's qt6-translations-l10n).

#include <QString>

// Installs Qt's translations for `language` ("ru", "et", "en") into the running application,
// in place of those it installed before. False when Qt has none for it: Qt's texts then stay
// as Qt writes them, in English.
bool InstallQtTranslations(const QString& language);
