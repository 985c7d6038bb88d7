#include "JournalQueue.h"
#include "DataErrors.h"

#include "platform/Folders.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

QString NewConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("journal-queue-%1").arg(counter.fetchAndAddRelaxed(1));
}

[[noreturn]] void Fail(const QString& path, const QSqlError& error) {
    throw EDatabaseError(
        QStringLiteral("Не удалось сохранить запись журнала на этом компьютере (\"%1\"): %2")
            .arg(path, ReasonOf(error)),
        FaultOf(error));
}

} // namespace

TJournalQueue::TJournalQueue(const QString& path) : File(path), Connection(NewConnectionName()) {}

TJournalQueue::~TJournalQueue() {
    if (QSqlDatabase::contains(Connection)) {
        QSqlDatabase::database(Connection, false).close();
        QSqlDatabase::removeDatabase(Connection);
    }
}

QString TJournalQueue::DefaultPath() {
    return UserDataFolder() + QStringLiteral("/vexilo/journal-queue.sqlite");
}

bool TJournalQueue::Open(bool create) {
    if (QSqlDatabase::contains(Connection) && QSqlDatabase::database(Connection, false).isOpen())
        return true;
    if (!create && !QFileInfo(File).isFile()) return false;
    QDir().mkpath(QFileInfo(File).absolutePath());
    QSqlDatabase db = QSqlDatabase::contains(Connection)
                          ? QSqlDatabase::database(Connection, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Connection);
    db.setDatabaseName(File);
    // Another coursebook of the user may hold the file for a moment while it writes.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    if (!db.open()) Fail(File, db.lastError());
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral(
            "CREATE TABLE IF NOT EXISTS visits (id INTEGER PRIMARY KEY AUTOINCREMENT,"
            " server TEXT NOT NULL, tema TEXT, urok TEXT, data TEXT, ocenka INTEGER,"
            " fio TEXT, gruppa TEXT)")))
        Fail(File, q.lastError());
    return true;
}

void TJournalQueue::Add(const QString& target, const TJournalEntry& e) {
    Open(true);
    QSqlQuery q(QSqlDatabase::database(Connection, false));
    q.prepare(QStringLiteral("INSERT INTO visits (server, tema, urok, data, ocenka, fio, gruppa)"
                             " VALUES (?, ?, ?, ?, ?, ?, ?)"));
    for (const QVariant& v : QVariantList{target, e.Tema, e.Urok, e.Day.toString(Qt::ISODate),
                                          e.Ocenka, e.Fio, e.Gruppa})
        q.addBindValue(v);
    if (!q.exec()) Fail(File, q.lastError());
}

int TJournalQueue::Count(const QString& target) {
    if (!Open(false)) return 0;
    QSqlQuery q(QSqlDatabase::database(Connection, false));
    q.prepare(QStringLiteral("SELECT COUNT(*) FROM visits WHERE server = ?"));
    q.addBindValue(target);
    if (!q.exec() || !q.next()) Fail(File, q.lastError());
    return q.value(0).toInt();
}

int TJournalQueue::Flush(const QString& target,
                         const std::function<void(const QList<TJournalEntry>&)>& write) {
    if (!Open(false)) return 0;
    QSqlDatabase db = QSqlDatabase::database(Connection, false);
    QSqlQuery q(db);
    // Taken for writing at once, so that a second coursebook flushing the same rows waits and
    // then finds them gone.
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) Fail(File, q.lastError());
    try {
        q.prepare(QStringLiteral("SELECT id, tema, urok, data, ocenka, fio, gruppa FROM visits "
                                 "WHERE server = ? ORDER BY id"));
        q.addBindValue(target);
        if (!q.exec()) Fail(File, q.lastError());
        QList<qlonglong> ids;
        QList<TJournalEntry> entries;
        while (q.next()) {
            ids << q.value(0).toLongLong();
            entries.append({q.value(1).toString(), q.value(2).toString(),
                            QDate::fromString(q.value(3).toString(), Qt::ISODate),
                            q.value(4).toInt(), q.value(5).toString(), q.value(6).toString()});
        }
        q.finish();
        if (!entries.isEmpty()) {
            write(entries);
            q.prepare(QStringLiteral("DELETE FROM visits WHERE id = ?"));
            for (qlonglong id : ids) {
                q.addBindValue(id);
                if (!q.exec()) Fail(File, q.lastError());
            }
        }
        if (!q.exec(QStringLiteral("COMMIT"))) Fail(File, q.lastError());
        return int(entries.size());
    } catch (...) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}
