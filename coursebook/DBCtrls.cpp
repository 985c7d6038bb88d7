#include "DBCtrls.h"
#include "DataErrors.h"
#include "Dataset.h"
#include "Dialogs.h"
#include "ErrorReport.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

// ---- TDBLookupComboBox -------------------------------------------------------------------------

TDBLookupComboBox::TDBLookupComboBox(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    setMinimumContentsLength(24);
    connect(this, &QComboBox::activated, this,
            [this](int index) { Guarded([&] { Pick(index); }); });
}

void TDBLookupComboBox::SetListSource(TTable* table, const QString& keyField,
                                      const QString& listField) {
    if (Table) disconnect(Table, nullptr, this, nullptr);
    Table = table;
    KeyField = keyField;
    ListField = listField;
    if (Table) connect(Table, &TTable::DataChanged, this, &TDBLookupComboBox::Reload);
    Reload();
}

void TDBLookupComboBox::SetDataSource(TTable* table, const QString& field) {
    if (Data) disconnect(Data, nullptr, this, nullptr);
    Data = table;
    DataField = field;
    if (Data) {
        connect(Data, &TTable::Scrolled, this, &TDBLookupComboBox::FollowData);
        connect(Data, &TTable::StateChanged, this, &TDBLookupComboBox::FollowData);
        connect(Data, &TTable::DataChanged, this, &TDBLookupComboBox::FollowData);
        connect(Data, &TTable::FieldChanged, this, [this](const QString& field) {
            if (field.compare(DataField, Qt::CaseInsensitive) == 0) FollowData();
        });
    }
    FollowData();
}

void TDBLookupComboBox::FollowData() {
    if (!Data) return;
    Key = Data->Active() ? Data->FieldValue(DataField) : QVariant();
    ShowKey();
}

void TDBLookupComboBox::Reload() {
    const QSignalBlocker block(this);
    clear();
    if (Table && Table->Active()) {
        for (int row = 0; row < Table->RecordCount(); ++row)
            addItem(Table->Value(row, ListField).toString(), Table->Value(row, KeyField));
    }
    ShowKey();
}

void TDBLookupComboBox::ShowKey() {
    const QSignalBlocker block(this);
    int index = -1;
    if (!Key.isNull()) {
        // Keys compare by value, whatever type the driver gave them.
        for (int i = 0; i < count() && index < 0; ++i)
            if (itemData(i) == Key || itemData(i).toString() == Key.toString()) index = i;
    }
    setCurrentIndex(index);
}

QVariant TDBLookupComboBox::ShownKey() const {
    return currentIndex() >= 0 ? Key : QVariant();
}

QString TDBLookupComboBox::Text() const {
    return currentIndex() >= 0 ? currentText() : QString();
}

void TDBLookupComboBox::Pick(int index) {
    if (!Table || index < 0 || index >= count()) return;
    const QVariant picked = itemData(index);
    Key = picked;
    ShowKey();
    Table->Locate(KeyField, picked);
    if (Data) {
        if (Data->State() == TDataSetState::dsBrowse) Data->Edit();
        Data->SetFieldValue(DataField, picked);
        Key = picked;
        ShowKey();
    }
    emit Click();
}

// ---- TDBEdit
// -------------------------------------------------------------------------------------

TDBEdit::TDBEdit(TTable* table, const QString& field, QWidget* parent)
    : QLineEdit(parent), Table(table), Field(field) {
    connect(Table, &TTable::Scrolled, this, &TDBEdit::ShowField);
    connect(Table, &TTable::StateChanged, this, &TDBEdit::ShowField);
    connect(Table, &TTable::DataChanged, this, &TDBEdit::ShowField);
    connect(Table, &TTable::FieldChanged, this, [this](const QString& field) {
        if (field.compare(Field, Qt::CaseInsensitive) == 0) ShowField();
    });
    connect(this, &QLineEdit::textEdited, this,
            [this](const QString& text) { Guarded([&] { Typed(text); }); });
    ShowField();
}

void TDBEdit::ShowField() {
    if (!Table || !Table->Active()) {
        clear();
        return;
    }
    const QString text = Table->FieldText(Field);
    if (text != this->text()) setText(text);
}

void TDBEdit::Typed(const QString& text) {
    if (!Table) return;
    if (Table->State() == TDataSetState::dsBrowse) Table->Edit();
    Table->SetFieldValue(Field, text);
}

// ---- TDBNavigator
// --------------------------------------------------------------------------------

namespace {

// The navigator's pictures, drawn so that they stay sharp at any scale.
QIcon NavigatorIcon(TDBNavigator::TButton which) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0x1b, 0x4f, 0x8a);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    auto triangle = [&](bool left, int x) {
        p.drawPolygon(left ? QPolygon({QPoint(x + 10, 7), QPoint(x + 10, 25), QPoint(x, 16)})
                           : QPolygon({QPoint(x, 7), QPoint(x, 25), QPoint(x + 10, 16)}));
    };
    switch (which) {
    case TDBNavigator::nbFirst:
        p.drawRect(7, 7, 3, 18);
        triangle(true, 12);
        break;
    case TDBNavigator::nbPrior:
        triangle(true, 10);
        break;
    case TDBNavigator::nbNext:
        triangle(false, 12);
        break;
    case TDBNavigator::nbLast:
        triangle(false, 10);
        p.drawRect(22, 7, 3, 18);
        break;
    case TDBNavigator::nbInsert:
        p.setBrush(QColor(0x1f, 0x8a, 0x3c));
        p.drawRect(14, 6, 4, 20);
        p.drawRect(6, 14, 20, 4);
        break;
    case TDBNavigator::nbDelete:
        p.setBrush(QColor(0xc0, 0x30, 0x20));
        p.drawRect(6, 14, 20, 4);
        break;
    case TDBNavigator::nbEdit:
        p.setPen(QPen(QColor(0x8a, 0x5a, 0x10), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(9, 23, 23, 9);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x30, 0x30, 0x30));
        p.drawPolygon(QPolygon({QPoint(6, 26), QPoint(8, 20), QPoint(12, 24)}));
        break;
    case TDBNavigator::nbPost:
        p.setPen(QPen(QColor(0x1f, 0x8a, 0x3c), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygon({QPoint(7, 17), QPoint(13, 23), QPoint(25, 9)}));
        break;
    case TDBNavigator::nbCancel:
        p.setPen(QPen(QColor(0xc0, 0x30, 0x20), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(9, 9, 23, 23);
        p.drawLine(23, 9, 9, 23);
        break;
    case TDBNavigator::nbRefresh: {
        p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRect(7, 7, 18, 18), 60 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPolygon(QPolygon({QPoint(18, 4), QPoint(25, 9), QPoint(17, 12)}));
        break;
    }
    case TDBNavigator::nbCount:
        break;
    }
    return QIcon(pm);
}

const char* const NavigatorHints[TDBNavigator::nbCount] = {
    "Первая запись",      "Предыдущая запись", "Следующая запись", "Последняя запись",
    "Добавить запись",    "Удалить запись",    "Изменить запись",  "Сохранить изменения",
    "Отменить изменения", "Обновить данные",
};

} // namespace

TDBNavigator::TDBNavigator(TTable* table, std::initializer_list<TButton> shown, QWidget* parent)
    : QWidget(parent), Table(table) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    for (TButton which : shown) {
        auto* b = new QToolButton(this);
        b->setIcon(NavigatorIcon(which));
        b->setIconSize(QSize(18, 18));
        b->setToolTip(QString::fromUtf8(NavigatorHints[which]));
        b->setAutoRaise(false);
        connect(b, &QToolButton::clicked, this, [this, which] { Guarded([&] { Click(which); }); });
        Buttons[which] = b;
        row->addWidget(b);
    }
    row->addStretch();
    connect(Table, &TTable::Scrolled, this, &TDBNavigator::UpdateButtons);
    connect(Table, &TTable::StateChanged, this, &TDBNavigator::UpdateButtons);
    connect(Table, &TTable::DataChanged, this, &TDBNavigator::UpdateButtons);
    UpdateButtons();
}

void TDBNavigator::Click(TButton which) {
    if (!Table) return;
    switch (which) {
    case nbFirst:
        Table->First();
        break;
    case nbPrior:
        Table->Prior();
        break;
    case nbNext:
        Table->Next();
        break;
    case nbLast:
        Table->Last();
        break;
    case nbInsert:
        if (InsertAction)
            InsertAction();
        else
            Table->Insert();
        break;
    case nbDelete:
        if (Table->IsEmpty() && Table->State() != TDataSetState::dsInsert) return;
        if (Table->State() == TDataSetState::dsInsert) {
            Table->Delete(); // only drops the row not yet stored
            break;
        }
        // A row that may not go is refused before the question, not after it.
        if (Table->BeforeDelete) {
            try {
                Table->BeforeDelete();
            } catch (const EDatabaseError& e) {
                ShowMessage(e.Text(), TMessageKind::Warning, window());
                return;
            }
        }
        if (AskYesNo(QStringLiteral("Удалить запись?"), window())) Table->Delete();
        break;
    case nbEdit:
        Table->Edit();
        break;
    case nbPost:
        if (Table->State() == TDataSetState::dsEdit || Table->State() == TDataSetState::dsInsert)
            Table->Post();
        break;
    case nbCancel:
        Table->Cancel();
        break;
    case nbRefresh:
        Table->Refresh();
        break;
    case nbCount:
        break;
    }
}

void TDBNavigator::UpdateButtons() {
    if (!Table) return;
    const bool active = Table->Active();
    const bool browse = Table->State() == TDataSetState::dsBrowse;
    const bool editing =
        Table->State() == TDataSetState::dsEdit || Table->State() == TDataSetState::dsInsert;
    const int row = Table->RecNo();
    const int rows = Table->RecordCount();
    const bool enabled[nbCount] = {
        browse && row > 0,
        browse && row > 0,
        browse && row >= 0 && row < rows - 1,
        browse && row >= 0 && row < rows - 1,
        browse,
        active && (rows > 0 || Table->State() == TDataSetState::dsInsert),
        browse && rows > 0,
        editing,
        editing,
        active,
    };
    for (int i = 0; i < nbCount; ++i)
        if (Buttons[i]) Buttons[i]->setEnabled(enabled[i]);
}
