#include "DBCtrls.h"
#include "Dataset.h"
#include "ErrorReport.h"

TDBLookupComboBox::TDBLookupComboBox(QWidget* parent) : QComboBox(parent)
{
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    setMinimumContentsLength(24);
    connect(this, &QComboBox::activated, this, [this](int index) { Guarded([&] { Pick(index); }); });
}

void TDBLookupComboBox::SetListSource(TTable* table, const QString& keyField, const QString& listField)
{
    if (Table)
        disconnect(Table, nullptr, this, nullptr);
    Table = table;
    KeyField = keyField;
    ListField = listField;
    if (Table)
        connect(Table, &TTable::DataChanged, this, &TDBLookupComboBox::Reload);
    Reload();
}

void TDBLookupComboBox::Reload()
{
    const QSignalBlocker block(this);
    clear();
    if (Table && Table->Active()) {
        for (int row = 0; row < Table->RecordCount(); ++row)
            addItem(Table->Value(row, ListField).toString(), Table->Value(row, KeyField));
    }
    ShowKey();
}

void TDBLookupComboBox::ShowKey()
{
    const QSignalBlocker block(this);
    setCurrentIndex(Key.isNull() ? -1 : findData(Key));
}

QVariant TDBLookupComboBox::ShownKey() const
{
    return currentIndex() >= 0 ? Key : QVariant();
}

QString TDBLookupComboBox::Text() const
{
    return currentIndex() >= 0 ? currentText() : QString();
}

void TDBLookupComboBox::Pick(int index)
{
    if (!Table || index < 0 || index >= count())
        return;
    Key = itemData(index);
    ShowKey();
    Table->Locate(KeyField, Key);
    emit Click();
}
