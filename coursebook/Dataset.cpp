#include "Dataset.h"
#include "DataErrors.h"
#include "FilterExpr.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace {

QString Quoted(const QString& identifier)
{
    QString s = identifier;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

[[noreturn]] void Fail(const QString& what, const QSqlError& error)
{
    const QString detail = ReasonOf(error);
    throw EDatabaseError(detail.isEmpty() ? what : what + QStringLiteral(": ") + detail, FaultOf(error));
}

} // namespace

TDbFault FaultOf(const QSqlError& error)
{
    const QString code = error.nativeErrorCode();
    if (code.isEmpty())
        return TDbFault::Other;
    bool numeric = false;
    const int n = code.toInt(&numeric);
    if (numeric && code.size() < 5) {
        // SQLite: the primary result code is the low byte of an extended one.
        switch (n & 0xff) {
        case 5:  // SQLITE_BUSY
        case 6:  // SQLITE_LOCKED
            return TDbFault::Busy;
        case 8:  // SQLITE_READONLY
            return TDbFault::ReadOnly;
        case 11: // SQLITE_CORRUPT
            return TDbFault::Corrupt;
        case 13: // SQLITE_FULL
            return TDbFault::Full;
        case 26: // SQLITE_NOTADB
            return TDbFault::NotADatabase;
        default:
            return TDbFault::Other;
        }
    }
    // PostgreSQL's five-character SQLSTATE.
    if (code == QLatin1String("25006") || code == QLatin1String("42501"))
        return TDbFault::ReadOnly;
    if (code == QLatin1String("53100"))
        return TDbFault::Full;
    if (code == QLatin1String("55P03") || code == QLatin1String("40P01"))
        return TDbFault::Busy;
    if (code.startsWith(QLatin1String("XX")))
        return TDbFault::Corrupt;
    return TDbFault::Other;
}

QString ReasonOf(const QSqlError& error)
{
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
    case TDbFault::Other:
        break;
    }
    return error.text().trimmed();
}

TTable::TTable(const QString& connectionName, const QString& tableName, QObject* parent)
    : QObject(parent), Connection(connectionName), Name(tableName)
{
    setObjectName(tableName);
}

void TTable::AddLookupField(const QString& name, const QString& keyField, const QString& lookupTable,
                            const QString& lookupKey, const QString& resultField)
{
    Lookups.append({name, keyField, lookupTable, lookupKey, resultField});
}

void TTable::Open()
{
    if (Active())
        return;
    QSqlDatabase db = QSqlDatabase::database(Connection, false);
    if (!db.isOpen())
        throw EDatabaseError(QStringLiteral("Нет соединения с базой данных"));
    const QSqlRecord rec = db.record(Name);
    if (rec.isEmpty())
        throw EDatabaseError(QStringLiteral("Таблица \"%1\" не найдена в базе данных").arg(Name));
    Stored.clear();
    for (int i = 0; i < rec.count(); ++i)
        Stored.append(rec.fieldName(i));
    Fields = Stored;
    for (const TLookup& l : Lookups)
        Fields.append(l.Name);
    Requery(-1);
    SetState(TDataSetState::dsBrowse);
}

void TTable::Close()
{
    if (!Active())
        return;
    Rows.clear();
    Current = -1;
    Buffer.clear();
    SetState(TDataSetState::dsInactive);
    emit DataChanged();
    emit Scrolled();
}

void TTable::RequireActive() const
{
    if (!Active())
        throw EDatabaseError(QStringLiteral("Таблица \"%1\" закрыта").arg(Name));
}

void TTable::RequireEditing() const
{
    if (DsState != TDataSetState::dsEdit && DsState != TDataSetState::dsInsert)
        throw EDatabaseError(QStringLiteral("Таблица \"%1\" не находится в режиме правки").arg(Name));
}

void TTable::SetState(TDataSetState s)
{
    if (DsState == s)
        return;
    DsState = s;
    emit StateChanged();
}

QString TTable::StoredField(const QString& field) const
{
    for (const QString& f : Stored)
        if (f.compare(field, Qt::CaseInsensitive) == 0)
            return f;
    return QString();
}

QString TTable::ColumnSql(const QString& field) const
{
    const QString stored = StoredField(field);
    if (!stored.isEmpty())
        return QStringLiteral("t.") + Quoted(stored);
    for (const TLookup& l : Lookups) {
        if (l.Name.compare(field, Qt::CaseInsensitive) == 0) {
            return QStringLiteral("(SELECT l.%1 FROM %2 l WHERE l.%3 = t.%4 LIMIT 1)")
                .arg(Quoted(l.Result), Quoted(l.Table), Quoted(l.LookupKey), Quoted(l.KeyField));
        }
    }
    throw EDatabaseError(QStringLiteral("Поле \"%1\" не найдено в таблице \"%2\"").arg(field, Name));
}

QString TTable::SelectSql(QVariantList* binds) const
{
    QStringList columns;
    for (const QString& f : Stored)
        columns.append(ColumnSql(f));
    for (const TLookup& l : Lookups)
        columns.append(ColumnSql(l.Name));
    columns.append(QStringLiteral("t.rowid"));
    QString sql = QStringLiteral("SELECT %1 FROM %2 t").arg(columns.join(QStringLiteral(", ")), Quoted(Name));
    if (FilterOn) {
        const TSqlFilter f = TranslateFilter(FilterText, [this](const QString& field) { return ColumnSql(field); });
        if (!f.Where.isEmpty()) {
            sql += QStringLiteral(" WHERE ") + f.Where;
            *binds = f.Binds;
        }
    }
    return sql + QStringLiteral(" ORDER BY t.rowid");
}

void TTable::Requery(qlonglong keepRowId)
{
    QVariantList binds;
    const QString sql = SelectSql(&binds);
    QSqlQuery q(QSqlDatabase::database(Connection, false));
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        Fail(QStringLiteral("Не удалось прочитать таблицу \"%1\"").arg(Name), q.lastError());
    for (const QVariant& b : binds)
        q.addBindValue(b);
    if (!q.exec())
        Fail(QStringLiteral("Не удалось прочитать таблицу \"%1\"").arg(Name), q.lastError());
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
    if (keepRowId >= 0) {
        for (int i = 0; i < Rows.size(); ++i) {
            if (Rows[i].last().toLongLong() == keepRowId) {
                Current = i;
                break;
            }
        }
    }
    AtEof = false;
    emit DataChanged();
    emit Scrolled();
}

qlonglong TTable::CurrentRowId() const
{
    return Current >= 0 ? Rows[Current].last().toLongLong() : -1;
}

void TTable::SetFilter(const QString& expression)
{
    if (FilterOn && Active()) {
        // Check the expression before anything changes, so a refused filter leaves the view.
        TranslateFilter(expression, [this](const QString& field) { return ColumnSql(field); });
        // A row being edited is stored first, and stays the current row if the new view has it.
        qlonglong keep = CurrentRowId();
        if (DsState != TDataSetState::dsBrowse) {
            Post();
            keep = LastPostedRowId;
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

void TTable::SetFiltered(bool on)
{
    if (FilterOn == on)
        return;
    if (!Active()) {
        FilterOn = on;
        return;
    }
    qlonglong keep = CurrentRowId();
    if (DsState != TDataSetState::dsBrowse) {
        Post();
        keep = LastPostedRowId;
    }
    FilterOn = on;
    try {
        Requery(keep);
    } catch (...) {
        FilterOn = !on;
        throw;
    }
}

void TTable::Refresh()
{
    RequireActive();
    Requery(CurrentRowId());
}

void TTable::MoveTo(int index)
{
    RequireActive();
    if (DsState != TDataSetState::dsBrowse)
        Post();
    AtEof = false;
    if (Rows.isEmpty())
        return;
    const int target = std::clamp(index, 0, int(Rows.size()) - 1);
    if (target == Current)
        return;
    Current = target;
    emit Scrolled();
}

void TTable::First() { MoveTo(0); }
void TTable::Last() { MoveTo(int(Rows.size()) - 1); }
void TTable::Prior() { MoveTo(Current - 1); }

void TTable::Next()
{
    const bool atLast = Current == int(Rows.size()) - 1;
    MoveTo(Current + 1);
    AtEof = atLast;
}

bool TTable::Locate(const QString& field, const QVariant& value)
{
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

QStringList TTable::FieldNames() const { return Fields; }

int TTable::FieldIndex(const QString& field) const
{
    for (int i = 0; i < Fields.size(); ++i)
        if (Fields[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    throw EDatabaseError(QStringLiteral("Поле \"%1\" не найдено в таблице \"%2\"").arg(field, Name));
}

bool TTable::HasField(const QString& field) const
{
    for (const QString& f : Fields)
        if (f.compare(field, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QVariant TTable::FieldValue(const QString& field) const
{
    const int col = FieldIndex(field);
    if (DsState == TDataSetState::dsEdit || DsState == TDataSetState::dsInsert)
        return Buffer.value(col);
    if (Current < 0)
        return QVariant();
    return Rows[Current][col];
}

QVariant TTable::Value(int row, const QString& field) const
{
    if (row < 0 || row >= Rows.size())
        return QVariant();
    return Rows[row][FieldIndex(field)];
}

void TTable::SetFieldValue(const QString& field, const QVariant& value)
{
    RequireEditing();
    const int col = FieldIndex(field);
    if (col >= Stored.size())
        throw EDatabaseError(QStringLiteral("Поле \"%1\" вычисляется и не может быть изменено").arg(Fields[col]));
    Buffer[col] = value;
    BufferTouched[col] = true;
    emit FieldChanged(Fields[col]);
}

void TTable::Insert()
{
    RequireActive();
    if (DsState != TDataSetState::dsBrowse)
        Post();
    Buffer = QVariantList(Fields.size());
    BufferTouched = QList<bool>(Fields.size(), false);
    SetState(TDataSetState::dsInsert);
}

void TTable::Edit()
{
    RequireActive();
    if (DsState == TDataSetState::dsEdit || DsState == TDataSetState::dsInsert)
        return;
    if (Rows.isEmpty()) {
        Insert();
        return;
    }
    Buffer = Rows[Current].mid(0, Fields.size());
    BufferTouched = QList<bool>(Fields.size(), false);
    SetState(TDataSetState::dsEdit);
}

void TTable::Post()
{
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
    QSqlQuery q(db);
    qlonglong rowId = -1;
    if (DsState == TDataSetState::dsInsert && !AutoKey.isEmpty()) {
        const QString key = StoredField(AutoKey);
        const int col = FieldIndex(key);
        if (!BufferTouched[col] || Buffer[col].isNull()) {
            if (!q.exec(QStringLiteral("SELECT COALESCE(MAX(%1), 0) + 1 FROM %2").arg(Quoted(key), Quoted(Name))) || !q.next())
                Fail(QStringLiteral("Не удалось добавить запись в \"%1\"").arg(Name), q.lastError());
            columns.append(Quoted(key));
            values.append(q.value(0));
            q.finish();
        }
    }
    if (DsState == TDataSetState::dsInsert) {
        QString sql;
        if (columns.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(Quoted(Name));
        } else {
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(Quoted(Name), columns.join(QStringLiteral(", ")),
                           QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
        }
        if (!q.prepare(sql))
            Fail(QStringLiteral("Не удалось добавить запись в \"%1\"").arg(Name), q.lastError());
        for (const QVariant& v : values)
            q.addBindValue(v);
        if (!q.exec())
            Fail(QStringLiteral("Не удалось добавить запись в \"%1\"").arg(Name), q.lastError());
        rowId = q.lastInsertId().toLongLong();
    } else {
        rowId = CurrentRowId();
        if (!columns.isEmpty()) {
            QStringList sets;
            for (const QString& c : columns)
                sets.append(c + QStringLiteral(" = ?"));
            const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                    .arg(Quoted(Name), sets.join(QStringLiteral(", ")));
            if (!q.prepare(sql))
                Fail(QStringLiteral("Не удалось изменить запись в \"%1\"").arg(Name), q.lastError());
            for (const QVariant& v : values)
                q.addBindValue(v);
            q.addBindValue(rowId);
            if (!q.exec())
                Fail(QStringLiteral("Не удалось изменить запись в \"%1\"").arg(Name), q.lastError());
        }
    }
    Buffer.clear();
    LastPostedRowId = rowId;
    SetState(TDataSetState::dsBrowse);
    Requery(rowId);
}

void TTable::Cancel()
{
    if (DsState != TDataSetState::dsEdit && DsState != TDataSetState::dsInsert)
        return;
    Buffer.clear();
    SetState(TDataSetState::dsBrowse);
    emit Scrolled();
}

void TTable::Delete()
{
    RequireActive();
    if (DsState == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    Cancel();
    if (Rows.isEmpty())
        throw EDatabaseError(QStringLiteral("Таблица \"%1\" пуста: удалять нечего").arg(Name));
    if (BeforeDelete)
        BeforeDelete();
    const int at = Current;
    QSqlQuery q(QSqlDatabase::database(Connection, false));
    if (!q.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(Quoted(Name))))
        Fail(QStringLiteral("Не удалось удалить запись из \"%1\"").arg(Name), q.lastError());
    q.addBindValue(CurrentRowId());
    if (!q.exec())
        Fail(QStringLiteral("Не удалось удалить запись из \"%1\"").arg(Name), q.lastError());
    Requery(-1);
    if (!Rows.isEmpty() && at > 0) {
        Current = std::min(at, int(Rows.size()) - 1);
        emit Scrolled();
    }
}

int TTable::DeleteView()
{
    RequireActive();
    Cancel();
    if (Rows.isEmpty())
        return 0;
    QSqlDatabase db = QSqlDatabase::database(Connection, false);
    // All or nothing: a journal half cleared would be worse than one not cleared.
    if (!db.transaction())
        Fail(QStringLiteral("Не удалось удалить записи из \"%1\"").arg(Name), db.lastError());
    QSqlQuery q(db);
    bool ok = q.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(Quoted(Name)));
    for (int i = 0; ok && i < Rows.size(); ++i) {
        q.addBindValue(Rows[i].last());
        ok = q.exec();
    }
    if (!ok || !db.commit()) {
        const QSqlError error = q.lastError().isValid() ? q.lastError() : db.lastError();
        db.rollback();
        Fail(QStringLiteral("Не удалось удалить записи из \"%1\"").arg(Name), error);
    }
    const int deleted = int(Rows.size());
    Requery(-1);
    return deleted;
}
