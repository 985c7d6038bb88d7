#pragma once
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <functional>

#include "Dataset.h"

class QToolButton;

// A drop-down list of the rows of a table. Picking an entry makes that row the table's current
// row, remembers its key and then reports the pick through Click(). The shown text follows the
// remembered key: when the table's view changes and the key is no longer in it, the list shows
// nothing.
//
// With a data source as well, the list edits a field of another table's current row: it shows
// the entry whose key that field holds, and a pick stores the key there (putting the row into
// edit state first).
class TDBLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TDBLookupComboBox(QWidget* parent = nullptr);

    void SetListSource(TTable* table, const QString& keyField, const QString& listField);
    TTable* ListSource() const { return Table; }
    void SetDataSource(TTable* table, const QString& field);

    QVariant KeyValue() const { return Key; }
    // The key of the entry shown; null while the list shows nothing (also when the remembered
    // key has left the table's view).
    QVariant ShownKey() const;
    QString Text() const; // the text shown, empty when nothing is shown

    // What a user's pick of entry `index` does.
    void Pick(int index);

signals:
    void Click();

private:
    void Reload();
    void ShowKey();
    void FollowData();

    QPointer<TTable> Table;
    QString KeyField;
    QString ListField;
    QPointer<TTable> Data;
    QString DataField;
    QVariant Key;
};

// A line edit bound to a field of a table's current row. Typing into it puts the row into edit
// state (or starts a new row in an empty table) and changes the field in the row being edited;
// the row is stored when it is posted.
class TDBEdit : public QLineEdit {
    Q_OBJECT
public:
    TDBEdit(TTable* table, const QString& field, QWidget* parent = nullptr);

private:
    void ShowField();
    void Typed(const QString& text);

    QPointer<TTable> Table;
    QString Field;
};

// The buttons that move through a table and edit it: first, prior, next, last, insert, delete,
// edit, post, cancel and refresh. Each is shown only when asked for, and is enabled when its
// action makes sense for the table's state. Deleting asks first.
class TDBNavigator : public QWidget {
    Q_OBJECT
public:
    enum TButton {
        nbFirst,
        nbPrior,
        nbNext,
        nbLast,
        nbInsert,
        nbDelete,
        nbEdit,
        nbPost,
        nbCancel,
        nbRefresh,
        nbCount
    };
    TDBNavigator(TTable* table, std::initializer_list<TButton> shown, QWidget* parent = nullptr);

    QToolButton* Button(TButton which) const { return Buttons[which]; }
    // What "insert" does, for tables edited in a grid only: by default the table starts a new row.
    std::function<void()> InsertAction;

    void Click(TButton which);

private:
    void UpdateButtons();

    QPointer<TTable> Table;
    QToolButton* Buttons[nbCount] = {};
};
