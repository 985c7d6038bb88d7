#pragma once
#include <QList>
#include <QObject>
#include <QSqlError>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

// One table of the lesson database as the windows see it: a snapshot of its rows (taken when the
// table is opened or its filter changes, and after every post or delete), one current row that
// every window shares, and a filter expression that is switched on and off separately from its
// text. Lookup fields are computed from other tables when the rows are read and are never stored.
//
// Rows are found again by the table's one-column key (its primary key on a server; in the
// embedded file the row number every SQLite row has, which older files without a key column
// have too). Table names are taken as the database spells them: a server folds them to lower
// case ("Tema" is tema there).
//
// Failures of the database (a missing table, a filter it cannot read, a row it refuses) are thrown
// as EDatabaseError and leave the table as it was. When a server connection broke, the table
// connects again: a read is then repeated once, a change is reported (with the fault Offline)
// since nobody can tell whether the server received it.
class TTable : public QObject {
    Q_OBJECT
public:
    TTable(const QString& connectionName, const QString& tableName, QObject* parent = nullptr);

    // A field that shows `resultField` of the row of `lookupTable` whose `lookupKey` equals this
    // table's `keyField`.
    void AddLookupField(const QString& name, const QString& keyField, const QString& lookupTable,
                        const QString& lookupKey, const QString& resultField);

    // A key field that a new row gets by itself: one more than the largest in the table, unless
    // the row sets it.
    void SetAutoKey(const QString& field) { AutoKey = field; }

    // Runs before the current row is deleted; it refuses the deletion by throwing.
    std::function<void()> BeforeDelete;

    QString TableName() const { return Name; }
    // The key column rows are found by ("rowid" for a file table without a key of its own).
    QString KeyField() const { return KeyColumn; }
    void Open();
    void Close();
    bool Active() const { return State() != TDataSetState::dsInactive; }
    TDataSetState State() const { return DsState; }

    QString Filter() const { return FilterText; }
    void SetFilter(const QString& expression);
    bool Filtered() const { return FilterOn; }
    void SetFiltered(bool on);

    int RecordCount() const { return int(Rows.size()); }
    bool IsEmpty() const { return Rows.isEmpty(); }
    int RecNo() const { return Current; } // 0-based; -1 while the view is empty
    void First();
    void Last();
    void Next();
    void Prior();
    void MoveTo(int index);
    bool Eof() const { return Rows.isEmpty() || AtEof; }
    bool Locate(const QString& field, const QVariant& value);

    QStringList FieldNames() const;
    bool HasField(const QString& field) const;
    // The current row's value (the edit buffer while inserting or editing); null without a row.
    QVariant FieldValue(const QString& field) const;
    QString FieldText(const QString& field) const { return FieldValue(field).toString(); }
    QVariant Value(int row, const QString& field) const;
    void SetFieldValue(const QString& field, const QVariant& value);

    void Insert();
    void Append() { Insert(); }
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    // Deletes every row of the current view (with the filter on, only the filtered rows) in one
    // transaction; returns how many went.
    int DeleteView();
    // Reads the rows again and stays on the current row when it is still in the view.
    void Refresh();

signals:
    void DataChanged();                      // the rows of the view were read again
    void Scrolled();                         // the current row moved
    void StateChanged();                     // browse, edit or insert
    void FieldChanged(const QString& field); // a field of the row being edited was set

private:
    struct TLookup {
        QString Name, KeyField, Table, LookupKey, Result;
    };
    QString SelectSql(QVariantList* binds) const;
    QString ColumnSql(const QString& field) const;
    QString StoredField(const QString& field) const;
    int FieldIndex(const QString& field) const;
    void Requery(const QVariant& keepKey);
    bool ReadRows(const QVariant& keepKey, QSqlError* error);
    void RequireActive() const;
    void RequireEditing() const;
    void SetState(TDataSetState s);
    QVariant CurrentKey() const;
    QVariant InsertRow(const QStringList& columns, const QVariantList& values);

    QString Connection;
    QString Name;
    QString SqlName; // the name as the database spells it
    QString KeyColumn;
    bool KeyIsColumn = false; // false: SQLite's rowid
    QStringList Stored;       // stored columns in table order
    QList<TLookup> Lookups;
    QStringList Fields;       // stored columns, then lookup fields
    QList<QVariantList> Rows; // values in Fields order, then the key
    int Current = -1;
    bool AtEof = false;
    TDataSetState DsState = TDataSetState::dsInactive;
    QVariantList Buffer; // the row being inserted or edited
    QList<bool> BufferTouched;
    QString FilterText;
    bool FilterOn = false;
    QString AutoKey;
    QVariant LastPostedKey;
};
