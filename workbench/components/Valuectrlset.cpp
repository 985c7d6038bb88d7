#include "components/Valuectrlset.h"

#include "components/Iron.h"
#include "shell/Global.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <random>

const double UnitFactors[11] = {1E-15, 1E-12, 1E-9, 1E-6, 1E-3, 1, 1E3, 1E6, 1E9, 1E12, 1E15};

namespace {
constexpr double Least = 1E-15; // at or below: shown as zero
constexpr double Most = 1E30;   // at or above: shown as infinite
const QString HiddenText = "???";
constexpr int NoButtons = 5; // an editor without unit buttons works in base units
} // namespace

TValueCtrlSet::TValueCtrlSet(QObject* parent) : QObject(parent) {}

// --- Numbers as the lists write them ---------------------------------------------------------

QString TValueCtrlSet::TrimNumber(QString text) {
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.')) text += '0';
    text.remove(' ');
    return text;
}

QString TValueCtrlSet::FormatMantissa(double x) {
    return TrimNumber(QString::asprintf("%18.3f", x));
}

double TValueCtrlSet::ReadNumber(const QString& text, bool* ok) {
    // The longest start of the text that is a decimal number, whatever the user's locale.
    static const QRegularExpression number(R"(^\s*([+-]?)((?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?))");
    const QRegularExpressionMatch match = number.match(text);
    if (ok) *ok = match.hasMatch();
    if (!match.hasMatch()) return 0;
    const QByteArray digits = match.captured(2).toLatin1();
    double value = 0;
    const auto result =
        std::from_chars(digits.constData(), digits.constData() + digits.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        value = QRegularExpression("[eE]-").match(match.captured(2)).hasMatch() ? 0 : HUGE_VAL;
    return match.captured(1) == "-" ? -value : value;
}

// --- Binding ------------------------------------------------------------------------------------

void TValueCtrlSet::Bind() {
    Value = 1;
    ValueList->installEventFilter(this);
    ValueList->setInsertPolicy(QComboBox::NoInsert);
    connect(ValueList, &QComboBox::activated, this, [this] {
        if (Table)
            TableSelect();
        else
            ListChange();
    });
    WatchLineEdit();
    Units = new QButtonGroup(this);
    Units->setExclusive(true);
    for (int i = 0; i < 11; ++i) {
        QAbstractButton* button = UnitButtons[i];
        if (!button) continue;
        button->setCheckable(true);
        Units->addButton(button, i);
        connect(button, &QAbstractButton::clicked, this, [this, i] { UnitClick(i); });
    }
    if (HideButton) {
        HideButton->setCheckable(true);
        HideButton->setToolTip(QString());
        connect(HideButton, &QAbstractButton::clicked, this, [this] { ToggleHidden(true); });
    }
}

// Typed text reaches the editor through the list's own line: no completion (it would put text
// the student did not type into the list), and every edit is a change of the list.
void TValueCtrlSet::WatchLineEdit() {
    QLineEdit* line = ValueList->lineEdit();
    if (!line) return;
    ValueList->setCompleter(nullptr);
    connect(line, &QLineEdit::textEdited, this, &TValueCtrlSet::ListChange, Qt::UniqueConnection);
}

void TValueCtrlSet::SetTable(const TTableEntry* table, int count, const QString& unknownText) {
    Table = table;
    TableCount = count;
    ValueList->clear();
    for (int i = 0; i < count; ++i)
        ValueList->addItem(table[i].Name);
    ValueList->setEditable(false);
    // A value that is none of the table's says so instead of naming another entry.
    ValueList->setPlaceholderText(unknownText);
}

// --- Showing and reading
// --------------------------------------------------------------------------

bool TValueCtrlSet::IsHidden() const {
    return HideButton && HideButton->isChecked();
}

bool TValueCtrlSet::UnitThere(int index) const {
    return index >= 0 && index < 11 && UnitButtons[index] && !UnitButtons[index]->isHidden();
}

int TValueCtrlSet::PressedUnit() const {
    for (int i = 0; i < 11; ++i)
        if (UnitThere(i) && UnitButtons[i]->isChecked()) return i;
    return -1;
}

void TValueCtrlSet::PressUnit(int index) {
    if (!UnitThere(index)) return;
    UnitButtons[index]->setChecked(true);
    if (UnitLabel) UnitLabel->setText(UnitButtons[index]->text());
    // A unit refused later falls back to the one shown now.
    LastUnit = index;
}

namespace {
void SetListText(QComboBox* list, const QString& text) {
    if (!list->isEditable()) return;
    list->setCurrentIndex(list->findText(text));
    list->setEditText(text);
}
} // namespace

void TValueCtrlSet::SetText(const QString& text) {
    SetListText(ValueList, text);
}

bool TValueCtrlSet::ShowsHidden() const {
    return ValueList->currentText() == HiddenText;
}

int TValueCtrlSet::ShowValue(double x, bool commit) {
    if (Table) {
        int index = -1;
        for (int i = 0; i < TableCount; ++i)
            if (Table[i].Value == x) {
                index = i;
                break;
            }
        ValueList->setCurrentIndex(index);
        return index;
    }
    const double a = std::fabs(x);
    int first = -1, last = -1;
    for (int i = 0; i < 11; ++i)
        if (UnitThere(i)) {
            if (first < 0) first = i;
            last = i;
        }
    int index = NoButtons;
    if (first >= 0) {
        bool found = false;
        for (int i = 0; i < 11 && !found; ++i)
            if (UnitThere(i) && a < UnitFactors[i]) {
                index = i - 1;
                found = true;
            }
        if (!found) index = a >= Least ? last : first;
        if (index < first) index = first;
    }
    const QString text = FormatMantissa(a / UnitFactors[index]);
    if (commit)
        CommitText(text);
    else
        SetListText(ValueList, text);
    return index;
}

void TValueCtrlSet::SetValue(double x) {
    if (x <= Least) {
        Value = Least;
        SetListText(ValueList, GetText(1230));
        DisableControls();
        return;
    }
    if (x >= Most) {
        Value = Most;
        SetListText(ValueList, GetText(1231));
        DisableControls();
        return;
    }
    const bool hidden = IsHidden();
    if (!hidden && Disabled) EnableControls();
    Value = x;
    if (Clamp) Value = std::clamp(Value, MinValue, MaxValue);
    PressUnit(ShowValue(Value));
    if (hidden) SetListText(ValueList, HiddenText);
}

// The present value in the controls, as SetValue would show it, with the controls usable.
void TValueCtrlSet::ShowCurrentValue() {
    if (Value <= Least || Value >= Most) {
        SetValue(Value);
        return;
    }
    PressUnit(ShowValue(Value));
    EnableControls();
}

void TValueCtrlSet::ReadValue(bool raise) {
    if (IsHidden()) {
        // A hidden value is not read back from the controls: they show "???".
        HiddenBit = 0x20u << Slot;
        if (raise && OnChanged) OnChanged(this);
        return;
    }
    if (!Group || Group->isEnabled()) {
        if (Table) {
            // A table gives the value itself; no entry chosen keeps the present one.
            const int index = ValueList->currentIndex();
            if (index >= 0 && index < TableCount) Value = Table[index].Value;
        } else {
            const double m = ReadNumber(ValueList->currentText().left(255));
            const int unit = PressedUnit();
            if (unit >= 0) Value = UnitFactors[unit] * m;
        }
        if (Clamp) {
            if (Value < MinValue)
                SetValue(MinValue);
            else if (Value > MaxValue)
                SetValue(MaxValue);
        }
    }
    if (raise && OnChanged) OnChanged(this);
}

void TValueCtrlSet::CommitText(const QString& text) {
    bool ok = false;
    const double typed = std::fabs(ReadNumber(text, &ok));
    if (!ok) return; // nothing that is no number goes into the list
    // The entry as the list writes it, so that a value is never listed twice.
    const QString entry = FormatMantissa(typed);
    const double v = ReadNumber(entry);
    int at = ValueList->count();
    for (int i = 0; i < ValueList->count(); ++i) {
        const double listed = ReadNumber(ValueList->itemText(i));
        if (listed == v) {
            ValueList->setCurrentIndex(i);
            return;
        }
        if (listed > v) {
            at = i;
            break;
        }
    }
    ValueList->insertItem(at, entry);
    ValueList->setCurrentIndex(at);
}

void TValueCtrlSet::ApplyHiddenFlags(quint32 flags) {
    if (!HideButton || Slot < 0 || Slot > 3) return;
    HideButton->setChecked(flags & (0x20u << Slot));
    ToggleHidden(false);
}

void TValueCtrlSet::DisableControls() {
    Disabled = true;
    ValueList->setEnabled(false);
    if (UnitLabel) UnitLabel->setEnabled(false);
    for (QAbstractButton* button : UnitButtons)
        if (button) button->setEnabled(false);
}

void TValueCtrlSet::EnableControls() {
    Disabled = false;
    ValueList->setEnabled(true);
    if (UnitLabel) UnitLabel->setEnabled(true);
    for (QAbstractButton* button : UnitButtons)
        if (button) button->setEnabled(true);
}

// --- Handlers
// ---------------------------------------------------------------------------------------

void TValueCtrlSet::ToggleHidden(bool bySender) {
    if (!HideButton) return;
    if (HideButton->isChecked()) {
        if (Table) {
            // Only an editable list can show "???".
            ValueList->setEditable(true);
            WatchLineEdit();
        }
        HiddenBit = 0x20u << Slot;
        std::uniform_int_distribution<int> draw(0, 32766);
        const double u = draw(PartRandom()) / 32766.0;
        double v;
        if (!TwoRanges)
            v = RandomLow + (RandomHigh - RandomLow) * u;
        else if (PartRandom()() & 1)
            v = RandomLow + (RandomMiddle - RandomLow) * u;
        else
            v = RandomMiddle + (RandomHigh - RandomMiddle) * u;
        SetValue(v);
        if (bySender) ReadValue(true); // the part takes the hidden value
        SetListText(ValueList, HiddenText);
        DisableControls();
        if (OnHiddenChanged) OnHiddenChanged(this);
    } else {
        if (Table) ValueList->setEditable(false);
        HiddenBit = 0;
        ShowCurrentValue();
        if (OnHiddenChanged) OnHiddenChanged(this);
        if (bySender) ReadValue(true);
    }
}

void TValueCtrlSet::UnitClick(int index) {
    const double x = ReadNumber(ValueList->currentText()) * UnitFactors[index];
    if (x >= MinValue && x <= MaxValue) {
        LastUnit = index;
        if (UnitLabel) UnitLabel->setText(UnitButtons[index]->text());
    } else if (UnitThere(LastUnit)) {
        // A unit that would leave the range is refused.
        UnitButtons[LastUnit]->setChecked(true);
    }
    ReadValue(true);
}

void TValueCtrlSet::ListChange() {
    // Typed text is taken only by Enter or by the panel's Apply button.
    if (Typing) {
        Typing = false;
        return;
    }
    ReadValue(true);
}

void TValueCtrlSet::TableSelect() {
    const int index = ValueList->currentIndex();
    if (index < 0 || index >= TableCount) return;
    Value = Table[index].Value;
    if (Clamp) {
        if (Value < MinValue)
            SetValue(MinValue);
        else if (Value > MaxValue)
            SetValue(MaxValue);
    }
    if (OnChanged) OnChanged(this);
}

// The list's keys: digits, the point, signs, the exponent letter and Backspace are typed;
// Enter takes the typed value; everything else that would type a character is swallowed.
bool TValueCtrlSet::eventFilter(QObject* watched, QEvent* e) {
    if (watched != ValueList || e->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, e);
    auto* key = static_cast<QKeyEvent*>(e);
    if (!Editable) return true;
    switch (key->key()) {
    case Qt::Key_Delete:
        Typing = true;
        return false;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (Table) return true; // a pick-only list has nothing typed to take
        CommitText(ValueList->currentText());
        // The typed value is taken: a pick from the list that follows counts again.
        Typing = false;
        ReadValue(true);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
        return false;
    default:
        break;
    }
    const QString text = key->text();
    if (text.isEmpty()) return false; // arrows, Home, End: no character typed
    const QChar c = text.at(0);
    const bool typed = (c >= '0' && c <= '9') || c == '\b' || c == '+' || c == '-' || c == '.' ||
                       c == 'e' || c == 'E';
    if (!typed) return true;
    Typing = true;
    return false;
}
