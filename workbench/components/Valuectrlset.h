#pragma once
// The editor of one value on the parameters panel: a list of mantissas the student may also type
// into, a row of unit buttons (one per decimal prefix), a label repeating the chosen unit, an
// optional "?" button that hides the value behind a random one, and the group box around them.
// The controls belong to the panel's form; the editor turns them into one value in base units
// (ohms, farads, volts ...) kept within a range, shows a value the other way round, and tells
// the panel when the value changed.

#include <QObject>
#include <QString>
#include <functional>

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;

// The factors of the unit buttons, femto to peta: button i multiplies the mantissa by factor i.
extern const double UnitFactors[11];

// One entry of a list that offers names instead of numbers (the conductor's materials).
struct TTableEntry {
    QString Name;
    double Value;
};

class TValueCtrlSet : public QObject {
    Q_OBJECT
public:
    explicit TValueCtrlSet(QObject* parent = nullptr);

    QComboBox* ValueList = nullptr;
    bool Editable = true; // typing into the list is allowed
    QAbstractButton* UnitButtons[11] = {};
    QLabel* UnitLabel = nullptr;
    QAbstractButton* HideButton = nullptr; // "?": down while the value is hidden
    QGroupBox* Group = nullptr;            // while it is disabled the controls are not read
    double Value = 1;
    std::function<void(TValueCtrlSet*)> OnChanged;
    double MinValue = 0;
    double MaxValue = 1E30;
    double RandomLow = 0;
    double RandomHigh = 0;
    double RandomMiddle = 0;
    bool Clamp = true;
    bool TwoRanges = false; // the hidden value comes from one of two ranges split at RandomMiddle
    int Slot = 0;           // the panel's value slot, 0..3
    quint32 HiddenBit = 0;  // 0x20 << Slot while the value is hidden
    bool BitNeedsButton = false;
    bool Disabled = false;
    const TTableEntry* Table = nullptr;
    int TableCount = 0;
    std::function<void(TValueCtrlSet*)> OnHiddenChanged;
    int LastUnit = 0;
    bool Typing = false; // the list's text was typed since the last change

    // Wires the controls once the fields are set.
    void Bind();
    // The list shows the table's names; the value comes from the chosen entry.
    void SetTable(const TTableEntry* table, int count, const QString& unknownText);

    // Shows x (clamped to the range) without telling anybody.
    void SetValue(double x);
    // Takes the value from the controls; `raise` tells OnChanged.
    void ReadValue(bool raise);
    // Writes x into the list (and, with `commit`, into its entries); returns the unit index.
    int ShowValue(double x, bool commit = false);
    // Selects the entry equal to the text's number, or inserts it where it belongs.
    void CommitText(const QString& text);
    // Presses or releases "?" by the hidden mark of the editor's slot.
    void ApplyHiddenFlags(quint32 flags);
    void DisableControls();
    void EnableControls();

    bool IsHidden() const;
    // Writes a text into the list as it stands ("???" over a value that follows a hidden one).
    void SetText(const QString& text);
    // The list shows "???": the value is hidden, by its own button or by the panel.
    bool ShowsHidden() const;
    // A unit button that is there: present and not hidden.
    bool UnitThere(int index) const;
    // Presses the unit button and shows its caption in the unit label.
    void PressUnit(int index);
    int PressedUnit() const; // -1 when none is down

    // Handlers of the controls.
    void ToggleHidden(bool bySender);
    void UnitClick(int index);
    void ListChange();
    void TableSelect();

    // "4.700" -> "4.7", "100.000" -> "100.0", blanks removed.
    static QString TrimNumber(QString text);
    // The number a text starts with, as C reads it; 0 when it starts with none.
    static double ReadNumber(const QString& text, bool* ok = nullptr);
    // "%18.3f", trimmed.
    static QString FormatMantissa(double x);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void WatchLineEdit();
    void ShowCurrentValue();
    QButtonGroup* Units = nullptr;
};
