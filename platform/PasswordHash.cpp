#include "PasswordHash.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

namespace {

constexpr char Prefix[] = "pbkdf2-sha256$";
constexpr int Iterations = 100000;
constexpr int SaltBytes = 16;
constexpr int KeyBytes = 32;

QByteArray DeriveKey(const QString& secret, const QByteArray& salt, int iterations) {
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, secret.toUtf8(), salt,
                                              iterations, KeyBytes);
}

bool IsHex(const QString& s) {
    if (s.isEmpty() || s.size() % 2 != 0) return false;
    for (const QChar c : s)
        if (!c.isDigit() && !(c >= u'a' && c <= u'f') && !(c >= u'A' && c <= u'F')) return false;
    return true;
}

} // namespace

QString HashPassword(const QString& secret) {
    QByteArray salt(SaltBytes, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), SaltBytes / 4);
    return QStringLiteral("%1%2$%3$%4")
        .arg(QLatin1String(Prefix))
        .arg(Iterations)
        .arg(QString::fromLatin1(salt.toHex()),
             QString::fromLatin1(DeriveKey(secret, salt, Iterations).toHex()));
}

bool IsPasswordHash(const QString& stored) {
    return stored.startsWith(QLatin1String(Prefix));
}

bool PasswordHashMatches(const QString& secret, const QString& hash) {
    if (!IsPasswordHash(hash)) return false;
    const QStringList fields = hash.mid(int(sizeof Prefix) - 1).split(u'$');
    if (fields.size() != 3 || !IsHex(fields[1]) || !IsHex(fields[2])) return false;
    bool ok = false;
    const int iterations = fields[0].toInt(&ok);
    if (!ok || iterations < MinPasswordIterations || iterations > MaxPasswordIterations)
        return false;
    const QByteArray salt = QByteArray::fromHex(fields[1].toLatin1());
    const QByteArray expected = QByteArray::fromHex(fields[2].toLatin1());
    if (expected.size() != KeyBytes) return false;
    return DeriveKey(secret, salt, iterations) == expected;
}
