#include "Dataset.h"
#include "DataErrors.h"
#include "FilterExpr.h"
#include "Schema.h"
#include "ServerConnection.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlIndex>
#include <QSqlQuery>

#include <algorithm>

namespace {

QString Quoted(const QString& identifier) {
    QString s = identifier;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

[[noreturn]] void Fail(const QString& what, const QSqlError& error) {
    const QString detail = ReasonOf(error);
    throw EDatabaseError(detail.isEmpty() ? what : what + QStringLiteral(": ") + detail,
                         FaultOf(error));
}

// The database's own spelling of a table name.
QString TableIn(const QSqlDatabase& db, const QString& name) {
    for (const QString& t : db.tables())
        if (t.compare(name, Qt::CaseInsensitive) == 0) return t;
    return QString();
}

bool SameKey(const QVariant& a, const QVariant& b) {
    return !a.isNull() && !b.isNull() && a.toString() == b.toString();
}

} // namespace

TDbFault FaultOf(const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    if (code.isEmpty()) return TDbFault::Other;
    bool numeric = false;
    const int n = code.toInt(&numeric);
    if (numeric && code.size() < 5) {
        // SQLite: the primary result code is the low byte of an extended one.
        switch (n & 0xff) {
        case 5: // SQLITE_BUSY
        case 6: // SQLITE_LOCKED
            return TDbFault::Busy;
        case 8: // SQLITE_READONLY
            return TDbFault::ReadOnly;
        case 11: // SQLITE_CORRUPT
            return TDbFault::Corrupt;
        case 13: // SQLITE_FULL
            return TDbFault::Full;
        case 19: // SQLITE_CONSTRAINT: of a key (1555) or a unique index (2067)
            return n == 1555 || n == 2067 ? TDbFault::Duplicate : TDbFault::Other;
        case 26: // SQLITE_NOTADB
            return TDbFault::NotADatabase;
        default:
            return TDbFault::Other;
        }
    }
    // PostgreSQL's five-character SQLSTATE.
    if (code == QLatin1String("25006")) return TDbFault::ReadOnly;
    if (code == QLatin1String("42501")) return TDbFault::Denied;
    if (code == QLatin1String("23505")) return TDbFault::Duplicate;
    // Class 08 is the connection's; 57P01 to 57P03 a server shutting down or starting.
    if (code.startsWith(QLatin1String("08")) || code == QLatin1String("57P01") ||
        code == QLatin1String("57P02") || code == QLatin1String("57P03"))
        return TDbFault::Offline;
    if (code == QLatin1String("53100")) return TDbFault::Full;
    if (code == QLatin1String("55P03") || code == QLatin1String("40P01")) return TDbFault::Busy;
    if (code.startsWith(QLatin1String("XX"))) return TDbFault::Corrupt;
    return TDbFault::Other;
}

QString ReasonOf(const QSqlError& error) {
    switch (FaultOf(error)) {
    case TDbFault::ReadOnly:
        return QStringLiteral("база данных доступна только для чтения");
    case TDbFault::NotADatabase:
        return QStringLiteral("файл не является базой данных");
    case TDbFault::Corrupt:
        return QStringLiteral("файл базы данных повреждён");
    case TDbFault::Busy:
        return QStringLiteral("база данных занята другой программой");
    case TDbFault::Full:
        return QStringLiteral("на диске нет места");
    case TDbFault::Denied:
        return QStringLiteral("у этой учётной записи нет прав на это действие");
    case TDbFault::Offline:
        return QStringLiteral("нет связи с сервером базы данных");
    case TDbFault::Duplicate:
    case TDbFault::Other:
        break;
    }
    return error.text().trimmed();
}

void FailChange(QSqlDatabase db, const QString& what, const QSqlError& error) {
    if (ConnectionLost(db)) {
        Reconnect(db);
        throw EDatabaseError(
            what + QStringLiteral(": связь с сервером базы данных прервалась. "
                                  "Проверьте, сохранилось ли изменение, и повторите его."),
            TDbFault::Offline);
    }
    Fail(what, error);
}

TTable::TTable(const QString& connectionName, const QString& tableName, QObject* parent)
    : QObject(parent), Connection(connectionName), Name(tableName) {
    setObjectName(tableName);
}

void TTable::AddLookupField(const QString& name, const QString& keyField,
                            const QString& lookupTable, const QString& lookupKey,
                            const QString& resultField) {
    Lookups.append({name, keyField, lookupTable, lookupKey, resultField});
}

void TTable::Open() {
    if (Active()) return;
    QSqlDatabase db = QSqlDatabase::database(Connection, false);
    if (!db.isOpen()) throw EDatabaseError(QStringLiteral("Нет соединения с базой данных"));
    SqlName = TableIn(db, Name);
    const QSqlRecord rec = SqlName.isEmpty() ? QSqlRecord() : db.record(SqlName);
    if (rec.isEmpty())
        throw EDatabaseError(QStringLiteral("Таблица \"%1\" не найдена в базе данных").arg(Name));
    Stored.clear();
    for (int i = 0; i < rec.count(); ++i)
        Stored.append(rec.fieldName(i));
    const QSqlIndex key = db.primaryIndex(SqlName);
    if (key.count() == 1) {
        KeyColumn = StoredField(key.fieldName(0));
        KeyIsColumn = true;
    } else if (!IsServerDatabase(db)) {
        KeyColumn = QStringLiteral("rowid");
        KeyIsColumn = false;
    } else {
        throw EDatabaseError(
            QStringLiteral("У таблицы \"%1\" на сервере нет ключа из одного столбца: "
                           "строки нельзя было бы найти для правки")
                .arg(Name));
    }
    for (TLookup& l : Lookups) {
        const QString actual = TableIn(db, l.Table);
        if (!actual.isEmpty()) l.Table = actual;
    }
    Fields = Stored;
    for (const TLookup& l : Lookups)
        Fields.append(l.Name);
    Requery(QVariant());
    SetState(TDataSetState::dsBrowse);
}

void TTable::Close() {
    if (!Active()) return;
    Rows.clear();
    Current = -1;
    Buffer.clear();
    SetState(TDataSetState::dsInactive);
    emit DataChanged();
    emit Scrolled();
}

void TTable::RequireActive() const {
    if (!Active()) throw EDatabaseError(QStringLiteral("Таблица \"%1\" закрыта").arg(Name));
}

void TTable::RequireEditing() const {
    if (DsState != TDataSetState::dsEdit && DsState != TDataSetState::dsInsert)
        throw EDatabaseError(
            QStringLiteral("Таблица \"%1\" не находится в режиме правки").arg(Name));
}

void TTable::SetState(TDataSetState s) {
    if (DsState == s) return;
    DsState = s;
    emit StateChanged();
}

QString TTable::StoredField(const QString& field) const {
    for (const QString& f : Stored)
        if (f.compare(field, Qt::CaseInsensitive) == 0) return f;
    return QString();
}

QString TTable::ColumnSql(const QString& field) const {
    const QString stored = StoredField(field);
    if (!stored.isEmpty()) return QStringLiteral("t.") + Quoted(stored);
    for (const TLookup& l : Lookups) {
        if (l.Name.compare(field, Qt::CaseInsensitive) == 0) {
            return QStringLiteral("(SELECT l.%1 FROM %2 l WHERE l.%3 = t.%4 LIMIT 1)")
                .arg(Quoted(l.Result), Quoted(l.Table), Quoted(l.LookupKey), Quoted(l.KeyField));
        }
    }
    throw EDatabaseError(
        QStringLiteral("Поле \"%1\" не найдено в таблице \"%2\"").arg(field, Name));
}

QString TTable::SelectSql(QVariantList* binds) const {
    QStringList columns;
    for (const QString& f : Stored)
        columns.append(ColumnSql(f));
    for (const TLookup& l : Lookups)
        columns.append(ColumnSql(l.Name));
    const QString key =
        KeyIsColumn ? QStringLiteral("t.") + Quoted(KeyColumn) : QStringLiteral("t.rowid");
    columns.append(key);
    QString sql = QStringLiteral("SELECT %1 FROM %2 t")
                      .arg(columns.join(QStringLiteral(", ")), Quoted(SqlName));
    if (FilterOn) {
        const TSqlFilter f =
            TranslateFilter(FilterText, [this](const QString& field) { return ColumnSql(field); });
        if (!f.Where.isEmpty()) {
            sql += QStringLiteral(" WHERE ") + f.Where;
            *binds = f.Binds;
        }
    }
    return sql + QStringLiteral(" ORDER BY ") + key;
}

bool TTable::ReadRows(const QVariant& keepKey, QSqlError* error) {
    QVariantList binds;
    const QString sql = SelectSql(&binds);
    EnsureConnected(QSqlDatabase::database(Connection, false));
    QSqlQuery q(QSqlDatabase::database(Connection, false));
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        *error = q.lastError();
        return false;
    }
    for (const QVariant& b : binds)
        q.addBindValue(b);
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    QList<QVariantList> rows;
    const int width = int(Fields.size()) + 1;
    while (q.next()) {
        QVariantList row;
        row.reserve(width);
        for (int i = 0; i < width; ++i)
            row.append(q.value(i));
        rows.append(row);
    }
    Rows = rows;
    Current = Rows.isEmpty() ? -1 : 0;
    for (int i = 0; i < Rows.size(); ++i) {
        if (SameKey(Rows[i].last(), keepKey)) {
            Current = i;
            break;
        }
    }
    AtEof = false;
    emit DataChanged();
    emit Scrolled();
    return true;
}

void TTable::Requery(const QVariant& keepKey) {
    QSqlError error;
    if (ReadRows(keepKey, &error)) return;
    QSqlDatabase db = QSqlDatabase::database(Connection, false);
    const QString what = QStringLiteral("Не удалось прочитать таблицу \"%1\"").arg(Name);
    if (ConnectionLost(db)) {
        // Reading twice does no harm: after the server came back the same rows are read again.
        if (Reconnect(db) && ReadRows(keepKey, &error)) return;
        if (ConnectionLost(db))
            throw EDatabaseError(what + QStringLiteral(": нет связи с сервером базы данных"),
                                 TDbFault::Offline);
    }
    Fail(what, error);
}

QVariant TTable::CurrentKey() const {
    return Current >= 0 ? Rows[Current].last() : QVariant();
}

void TTable::SetFilter(const QString& expression) {
    if (FilterOn && Active()) {
        // Check the expression before anything changes, so a refused filter leaves the view.
        TranslateFilter(expression, [this](const QString& field) { return ColumnSql(field); });
        // A row being edited is stored first, and stays the current row if the new view has it.
        QVariant keep = CurrentKey();
        if (DsState != TDataSetState::dsBrowse) {
            Post();
            keep = LastPostedKey;
        }
        const QString old = FilterText;
        FilterText = expression;
        try {
            Requery(keep);
        } catch (...) {
            FilterText = old;
            throw;
        }
        return;
    }
    FilterText = expression;
}

void TTable::SetFiltered(bool on) {
    if (FilterOn == on) return;
    if (!Active()) {
        FilterOn = on;
        return;
    }
    QVariant keep = CurrentKey();
    if (DsState != TDataSetState::dsBrowse) {
        Post();
        keep = LastPostedKey;
    }
    FilterOn = on;
    try {
        Requery(keep);
    } catch (...) {
        FilterOn = !on;
        throw;
    }
}

void TTable::Refresh() {
    RequireActive();
    Requery(CurrentKey());
}

void TTable::MoveTo(int index) {
    RequireActive();
    if (DsState != TDataSetState::dsBrowse) Post();
    AtEof = false;
    if (Rows.isEmpty()) return;
    const int target = std::clamp(index, 0, int(Rows.size()) - 1);
    if (target == Current) return;
    Current = target;
    emit Scrolled();
}

void TTable::First() {
    MoveTo(0);
}
void TTable::Last() {
    MoveTo(int(Rows.size()) - 1);
}
void TTable::Prior() {
    MoveTo(Current - 1);
}

void TTable::Next() {
    const bool atLast = Current == int(Rows.size()) - 1;
    MoveTo(Current + 1);
    AtEof = atLast;
}

bool TTable::Locate(const QString& field, const QVariant& value) {
    const int col = FieldIndex(field);
    for (int i = 0; i < Rows.size(); ++i) {
        const QVariant& v = Rows[i][col];
        if (v == value || (!v.isNull() && !value.isNull() && v.toString() == value.toString())) {
            MoveTo(i);
            return true;
        }
    }
    return false;
}

QStringList TTable::FieldNames() const {
    return Fields;
}

int TTable::FieldIndex(const QString& field) const {
    for (int i = 0; i < Fields.size(); ++i)
        if (Fields[i].compare(field, Qt::CaseInsensitive) == 0) return i;
    throw EDatabaseError(
        QStringLiteral("Поле \"%1\" не найдено в таблице \"%2\"").arg(field, Name));
}

bool TTable::HasField(const QString& field) const {
    for (const QString& f : Fields)
        if (f.compare(field, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QVariant TTable::FieldValue(const QString& field) const {
    const int col = FieldIndex(field);
    if (DsState == TDataSetState::dsEdit || DsState == TDataSetState::dsInsert)
        return Buffer.value(col);
    if (Current < 0) return QVariant();
    return Rows[Current][col];
}

QVariant TTable::Value(int row, const QString& field) const {
    if (row < 0 || row >= Rows.size()) return QVariant();
    return Rows[row][FieldIndex(field)];
}

void TTable::SetFieldValue(const QString& field, const QVariant& value) {
    RequireEditing();
    const int col = FieldIndex(field);
    if (col >= Stored.size())
        throw EDatabaseError(
            QStringLiteral("Поле \"%1\" вычисляется и не может быть изменено").arg(Fields[col]));
    Buffer[col] = value;
    BufferTouched[col] = true;
    emit FieldChanged(Fields[col]);
}

void TTable::Insert() {
    RequireActive();
    if (DsState != TDataSetState::dsBrowse) Post();
    Buffer = QVariantList(Fields.size());
    BufferTouched = QList<bool>(Fields.size(), false);
    SetState(TDataSetState::dsInsert);
}

void TTable::Edit() {
    RequireActive();
    if (DsState == TDataSetState::dsEdit || DsState == TDataSetState::dsInsert) return;
    if (Rows.isEmpty()) {
        Insert();
        return;
    }
    Buffer = Rows[Current].mid(0, Fields.size());
    BufferTouched = QList<bool>(Fields.size(), false);
    SetState(TDataSetState::dsEdit);
}

// Inserts one row and returns its key: the one it was given, the one a server handed out, or
// the row number of the file.
QVariant TTable::InsertRow(const QStringList& columns, const QVariantList& values) {
    QSqlDatabase db = QSqlDatabase::database(Connection, false);
    EnsureConnected(db);
    const bool server = IsServerDatabase(db);
    QString sql;
    if (columns.isEmpty()) {
        sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(Quoted(SqlName));
    } else {
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(Quoted(SqlName), columns.join(QStringLiteral(", ")),
                       QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
    }
    if (server) sql += QStringLiteral(" RETURNING ") + Quoted(KeyColumn);
    QSqlQuery q(db);
    const QString what = QStringLiteral("Не удалось добавить запись в \"%1\"").arg(Name);
    if (!q.prepare(sql)) FailChange(db, what, q.lastError());
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec()) FailChange(db, what, q.lastError());
    if (server) return q.next() ? q.value(0) : QVariant();
    const int given = int(columns.indexOf(Quoted(KeyColumn)));
    return KeyIsColumn && given >= 0 && !values[given].isNull() ? values[given] : q.lastInsertId();
}

void TTable::Post() {
    RequireEditing();
    QStringList columns;
    QVariantList values;
    for (int i = 0; i < Stored.size(); ++i) {
        if (BufferTouched[i]) {
            columns.append(Quoted(Stored[i]));
            values.append(Buffer[i]);
        }
    }
    QSqlDatabase db = QSqlDatabase::database(Connection, false);
    EnsureConnected(db);
    QVariant key;
    if (DsState == TDataSetState::dsInsert) {
        QString autoKey;
        if (!AutoKey.isEmpty()) {
            autoKey = StoredField(AutoKey);
            const int col = FieldIndex(autoKey);
            if (BufferTouched[col] && !Buffer[col].isNull()) autoKey.clear();
        }
        if (autoKey.isEmpty()) {
            key = InsertRow(columns, values);
        } else {
            // The next number after the largest. Two editors on one server may take the same
            // number at the same moment; the later one is refused and takes the next.
            columns.append(Quoted(autoKey));
            values.append(QVariant());
            for (int attempt = 0;; ++attempt) {
                QSqlQuery q(db);
                if (!q.exec(QStringLiteral("SELECT COALESCE(MAX(%1), 0) + 1 FROM %2")
                                .arg(Quoted(autoKey), Quoted(SqlName))) ||
                    !q.next())
                    FailChange(db, QStringLiteral("Не удалось добавить запись в \"%1\"").arg(Name),
                               q.lastError());
                values.last() = q.value(0);
                q.finish();
                try {
                    key = InsertRow(columns, values);
                    break;
                } catch (const EDatabaseError& e) {
                    if (e.Fault() != TDbFault::Duplicate || attempt == 4) throw;
                }
            }
        }
    } else {
        key = CurrentKey();
        if (!columns.isEmpty()) {
            QStringList sets;
            for (const QString& c : columns)
                sets.append(c + QStringLiteral(" = ?"));
            const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                    .arg(Quoted(SqlName), sets.join(QStringLiteral(", ")),
                                         KeyIsColumn ? Quoted(KeyColumn) : KeyColumn);
            const QString what = QStringLiteral("Не удалось изменить запись в \"%1\"").arg(Name);
            QSqlQuery q(db);
            if (!q.prepare(sql)) FailChange(db, what, q.lastError());
            for (const QVariant& v : values)
                q.addBindValue(v);
            q.addBindValue(key);
            if (!q.exec()) FailChange(db, what, q.lastError());
            if (q.numRowsAffected() == 0) {
                // Someone else deleted the row meanwhile: the change has nowhere to go.
                Buffer.clear();
                SetState(TDataSetState::dsBrowse);
                Requery(QVariant());
                throw EDatabaseError(
                    QStringLiteral("%1: запись тем временем удалена другим пользователем")
                        .arg(what));
            }
            if (KeyIsColumn) {
                const int col = FieldIndex(KeyColumn);
                if (BufferTouched[col]) key = Buffer[col];
            }
        }
    }
    Buffer.clear();
    LastPostedKey = key;
    SetState(TDataSetState::dsBrowse);
    Requery(key);
}

void TTable::Cancel() {
    if (DsState != TDataSetState::dsEdit && DsState != TDataSetState::dsInsert) return;
    Buffer.clear();
    SetState(TDataSetState::dsBrowse);
    emit Scrolled();
}

void TTable::Delete() {
    RequireActive();
    if (DsState == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    Cancel();
    if (Rows.isEmpty())
        throw EDatabaseError(QStringLiteral("Таблица \"%1\" пуста: удалять нечего").arg(Name));
    if (BeforeDelete) BeforeDelete();
    const int at = Current;
    QSqlDatabase db = QSqlDatabase::database(Connection, false);
    EnsureConnected(db);
    QSqlQuery q(db);
    const QString what = QStringLiteral("Не удалось удалить запись из \"%1\"").arg(Name);
    if (!q.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                       .arg(Quoted(SqlName), KeyIsColumn ? Quoted(KeyColumn) : KeyColumn)))
        FailChange(db, what, q.lastError());
    q.addBindValue(CurrentKey());
    if (!q.exec()) FailChange(db, what, q.lastError());
    Requery(QVariant());
    if (!Rows.isEmpty() && at > 0) {
        Current = std::min(at, int(Rows.size()) - 1);
        emit Scrolled();
    }
}

int TTable::DeleteView() {
    RequireActive();
    Cancel();
    if (Rows.isEmpty()) return 0;
    QSqlDatabase db = QSqlDatabase::database(Connection, false);
    EnsureConnected(db);
    const QString what = QStringLiteral("Не удалось удалить записи из \"%1\"").arg(Name);
    // All or nothing: a journal half cleared would be worse than one not cleared.
    if (!db.transaction()) FailChange(db, what, db.lastError());
    QSqlQuery q(db);
    bool ok = q.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                            .arg(Quoted(SqlName), KeyIsColumn ? Quoted(KeyColumn) : KeyColumn));
    for (int i = 0; ok && i < Rows.size(); ++i) {
        q.addBindValue(Rows[i].last());
        ok = q.exec();
    }
    if (!ok || !db.commit()) {
        const QSqlError error = q.lastError().isValid() ? q.lastError() : db.lastError();
        db.rollback();
        FailChange(db, what, error);
    }
    const int deleted = int(Rows.size());
    Requery(QVariant());
    return deleted;
}
