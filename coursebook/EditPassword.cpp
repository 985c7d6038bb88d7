#include "EditPassword.h"
#include "DataErrors.h"
#include "Dataset.h"
#include "platform/PasswordHash.h"

namespace {

const QString Field = QStringLiteral("pas");

void Store(TTable* pas, const QString& value) {
    if (pas->IsEmpty())
        pas->Insert();
    else
        pas->Edit();
    try {
        pas->SetFieldValue(Field, value);
        pas->Post();
    } catch (...) {
        pas->Cancel();
        throw;
    }
}

} // namespace

TPasswordCheck CheckEditPassword(TTable* pas, const QString& typed) {
    // Closed for a user the server does not let read it: such a user has no way to the editor.
    if (!pas->Active())
        throw EDatabaseError(QStringLiteral("Пароль редактирования недоступен этой учётной записи"),
                             TDbFault::Denied);
    const QString stored = pas->FieldText(Field);
    if (stored.isEmpty()) return TPasswordCheck::NotSet;
    if (IsPasswordHash(stored))
        return PasswordHashMatches(typed, stored) ? TPasswordCheck::Right : TPasswordCheck::Wrong;
    if (typed != stored) return TPasswordCheck::Wrong;
    // A plain password from an older database: right this time, and never again kept readable.
    Store(pas, HashPassword(typed));
    return TPasswordCheck::Right;
}

void StoreEditPassword(TTable* pas, const QString& password) {
    if (password.isEmpty()) throw EDatabaseError(QStringLiteral("Пароль не может быть пустым"));
    Store(pas, HashPassword(password));
}
