#include "Schema.h"
#include "DataErrors.h"
#include "platform/PasswordHash.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace {

const char* const LessonTables[] = {"razdel", "Tema", "tip",    "urok",
                                    "gruppa", "fio",  "jurnal", "pas"};

// The tables whose keys a server hands out (server.sql), with their key columns.
const char* const ServerKeyed[][2] = {
    {"tema", "kod_tema"},     {"urok", "kod_uroka"}, {"gruppa", "kod_gruppa"},
    {"jurnal", "kod_jurnal"}, {"pas", "kod_pas"},
};

QString Resource(const char* path) {
    QFile f(QString::fromLatin1(path));
    if (!f.open(QIODevice::ReadOnly))
        throw EDatabaseError(
            QStringLiteral("Нет описания базы данных %1 в программе").arg(QLatin1String(path)));
    return QString::fromUtf8(f.readAll());
}

[[noreturn]] void Refused(const QSqlError& error, const QString& statement) {
    const QString reason = ReasonOf(error);
    throw EDatabaseError(
        QStringLiteral("%1\n  в: %2").arg(reason, statement.simplified().left(200)),
        FaultOf(error));
}

} // namespace

bool IsServerDatabase(const QSqlDatabase& db) {
    return db.driver() && db.driver()->dbmsType() == QSqlDriver::PostgreSQL;
}

QStringList SqlStatements(const QString& script) {
    QStringList out;
    QString current;
    enum { Plain, Quoted, DoubleQuoted, Dollar } state = Plain;
    const qsizetype n = script.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = script[i];
        switch (state) {
        case Plain:
            if (c == u'-' && i + 1 < n && script[i + 1] == u'-') {
                while (i < n && script[i] != u'\n')
                    ++i;
                current += u'\n';
                continue;
            }
            if (c == u';') {
                if (!current.trimmed().isEmpty()) out.append(current.trimmed());
                current.clear();
                continue;
            }
            if (c == u'\'')
                state = Quoted;
            else if (c == u'"')
                state = DoubleQuoted;
            else if (c == u'$' && i + 1 < n && script[i + 1] == u'$') {
                state = Dollar;
                current += QStringLiteral("$$");
                ++i;
                continue;
            }
            break;
        case Quoted:
            // An apostrophe inside is written twice, which leaves and enters the quote again.
            if (c == u'\'') state = Plain;
            break;
        case DoubleQuoted:
            if (c == u'"') state = Plain;
            break;
        case Dollar:
            if (c == u'$' && i + 1 < n && script[i + 1] == u'$') {
                state = Plain;
                current += QStringLiteral("$$");
                ++i;
                continue;
            }
            break;
        }
        current += c;
    }
    if (!current.trimmed().isEmpty()) out.append(current.trimmed());
    return out;
}

void RunSqlScript(const QString& connectionName, const QString& script) {
    QSqlQuery q(QSqlDatabase::database(connectionName, false));
    for (const QString& statement : SqlStatements(script)) {
        if (!q.exec(statement)) Refused(q.lastError(), statement);
    }
}

QString SchemaScript() {
    return Resource(":/coursebook/sql/schema.sql");
}
QString ServerScript() {
    return Resource(":/coursebook/sql/server.sql");
}
QString SampleCourseScript() {
    return Resource(":/coursebook/course/course.sql");
}

void CreateLessonSchema(const QString& connectionName) {
    RunSqlScript(connectionName, SchemaScript());
    if (IsServerDatabase(QSqlDatabase::database(connectionName, false)))
        RunSqlScript(connectionName, ServerScript());
}

void FinishLoadedCourse(const QString& connectionName) {
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    QSqlQuery q(db);
    // The course source names the editor's password as typed; the database keeps its hash.
    QStringList plain;
    if (!q.exec(QStringLiteral("SELECT pas FROM pas"))) Refused(q.lastError(), q.lastQuery());
    while (q.next())
        if (!q.value(0).isNull() && !IsPasswordHash(q.value(0).toString()))
            plain << q.value(0).toString();
    q.finish();
    for (const QString& p : plain) {
        q.prepare(QStringLiteral("UPDATE pas SET pas = ? WHERE pas = ?"));
        q.addBindValue(HashPassword(p));
        q.addBindValue(p);
        if (!q.exec()) Refused(q.lastError(), q.lastQuery());
    }
    SyncServerKeys(connectionName);
}

void SyncServerKeys(const QString& connectionName) {
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!IsServerDatabase(db)) return;
    QSqlQuery q(db);
    // Rows loaded with their own keys leave the server's counters behind; the next row the
    // server numbers must not collide with them.
    for (const auto& [table, key] : ServerKeyed) {
        const QString sql = QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'),"
                                           " COALESCE(MAX(%2), 0) + 1, false) FROM %1")
                                .arg(QLatin1String(table), QLatin1String(key));
        if (!q.exec(sql)) Refused(q.lastError(), sql);
    }
}

QStringList ExistingLessonTables(const QString& connectionName) {
    const QStringList present = QSqlDatabase::database(connectionName, false).tables();
    QStringList found;
    for (const char* name : LessonTables)
        for (const QString& t : present)
            if (t.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) found << t;
    return found;
}

int InitCourseDatabase(const QString& connectionName, const QString& courseScript) {
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    const QStringList existing = ExistingLessonTables(connectionName);
    if (!existing.isEmpty())
        throw EDatabaseError(
            QStringLiteral("В базе данных уже есть таблицы курса (%1): она оставлена как есть")
                .arg(existing.join(QStringLiteral(", "))));
    // On a server the tables, the grants and the course come all together or not at all.
    if (!db.transaction()) throw EDatabaseError(ReasonOf(db.lastError()), FaultOf(db.lastError()));
    int lessons = 0;
    try {
        CreateLessonSchema(connectionName);
        RunSqlScript(connectionName, courseScript);
        FinishLoadedCourse(connectionName);
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM urok")) || !q.next())
            Refused(q.lastError(), q.lastQuery());
        lessons = q.value(0).toInt();
        q.finish();
        if (!db.commit()) throw EDatabaseError(ReasonOf(db.lastError()), FaultOf(db.lastError()));
    } catch (...) {
        db.rollback();
        throw;
    }
    return lessons;
}
