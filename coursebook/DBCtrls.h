#pragma once
#include <QComboBox>
#include <QPointer>
#include <QVariant>

#include "Dataset.h"

// A drop-down list of the rows of a table. Picking an entry makes that row the table's current
// row, remembers its key and then reports the pick through Click(). The shown text follows the
// remembered key: when the table's view changes and the key is no longer in it, the list shows
// nothing.
class TDBLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TDBLookupComboBox(QWidget* parent = nullptr);

    void SetListSource(TTable* table, const QString& keyField, const QString& listField);
    TTable* ListSource() const { return Table; }

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

    QPointer<TTable> Table;
    QString KeyField;
    QString ListField;
    QVariant Key;
};
