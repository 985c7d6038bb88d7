#pragma once
// The parameters panel: a small tool window in which the student reads and changes the values of
// the selected part. It has one page per kind of part and shows only the page of the selected
// part's kind; every value is edited with a value editor, and every change is applied to the part
// at once (the Apply button applies the whole page again).
//
// The panel and the part speak through one record (TPanelValues): when a part is selected its
// kind fills the record and the panel shows it (SelectPage, FillPage); a change hands a copy of
// the panel's record to OnApply, which the main window binds to the component base's apply
// action. Afterwards the panel reads back what the part really took, so that it never shows a
// value the part does not have.

#include "components/PanelValues.h"
#include "components/Toolwindow.h"
#include "components/Valuectrlset.h"

#include <QList>
#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QToolButton;

class TFloatControlPanel : public TToolWindow, public TPanelPort {
    Q_OBJECT
public:
    explicit TFloatControlPanel(QWidget* mainWindow);
    ~TFloatControlPanel() override;

    static constexpr int PanelWidth = 178;
    static constexpr int PanelHeight = 287;
    static constexpr int PageCount = 15; // pages 1..14; 0 is none

    int PageType = 0;
    TPanelValues PanelValues;
    QList<TValueCtrlSet*> ActiveEditors; // the shown page's editors, in slot order
    quint32 ExtraFlags = 0;              // the battery's mode: 0x08 discharging, 0x10 eternal
    std::function<void(const TPanelValues&)> OnApply;
    // What the selected part holds after applying; false when no part is selected.
    std::function<bool(TPanelValues&)> OnReadBack;

    QTabWidget* DetailPageControl = nullptr;
    QWidget* Pages[PageCount] = {};
    QPushButton* ApplyBtn = nullptr;

    // Resistor, capacitor, coil.
    TValueCtrlSet* ResistorValue = nullptr;
    TValueCtrlSet* ResistorPower = nullptr;
    TValueCtrlSet* CapacitorValue = nullptr;
    TValueCtrlSet* CapacitorVoltage = nullptr;
    TValueCtrlSet* ReelValue = nullptr;
    // Battery: emf, internal resistance, capacity, the mode and polarity buttons.
    TValueCtrlSet* BatteryEmf = nullptr;
    TValueCtrlSet* BatteryResistance = nullptr;
    TValueCtrlSet* BatteryCapacity = nullptr;
    QGroupBox* CapacityGroup = nullptr;
    QToolButton* SpeedButton47 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    // Generator: frequency (with its angular frequency as text), amplitude and effective value.
    TValueCtrlSet* GeneratorFrequency = nullptr;
    TValueCtrlSet* GeneratorCyclic = nullptr;
    TValueCtrlSet* GeneratorAmplitude = nullptr;
    TValueCtrlSet* GeneratorEffective = nullptr;
    QLabel* Label23 = nullptr; // "w = ..."
    QLabel* Label28 = nullptr;
    QLabel* AmplitudeLabel = nullptr;
    // Switch.
    QToolButton* SpeedButton21 = nullptr;
    QLabel* Label8 = nullptr;
    // Lamp: rated voltage, current and power.
    TValueCtrlSet* LampVoltage = nullptr;
    TValueCtrlSet* LampCurrent = nullptr;
    TValueCtrlSet* LampPower = nullptr;
    QLabel* Label17 = nullptr; // the current's label
    // Wire, fuse.
    QLabel* Label10 = nullptr;
    TValueCtrlSet* FuseCurrent = nullptr;
    // Real conductor: material (resistivity), length, cross-section.
    TValueCtrlSet* ConductorMaterial = nullptr;
    TValueCtrlSet* ConductorLength = nullptr;
    TValueCtrlSet* ConductorSection = nullptr;
    // Variable resistor and capacitor: the full scale (the rating stays out of sight).
    TValueCtrlSet* VarResistorValue = nullptr;
    TValueCtrlSet* VarResistorPower = nullptr;
    TValueCtrlSet* VarCapacitorValue = nullptr;
    TValueCtrlSet* VarCapacitorVoltage = nullptr;
    // Heater: rated voltage and power.
    TValueCtrlSet* HeaterVoltage = nullptr;
    TValueCtrlSet* HeaterPower = nullptr;

    // Every editor of the panel, in the order of the pages.
    QList<TValueCtrlSet*> Editors;

    // TPanelPort
    void SelectPage(int type) override;
    void FillPage(const TPanelValues& values) override;
    void ShowPanel() override;

    void ComposeFlags();
    void SendValues();
    void ApplyBtnClick();
    // The battery's mode button; `byStudent` sends the change.
    void SpeedButton47Click(bool byStudent);
    void BitBtn1Click();
    // The switch's state button; `send` applies the state to the switch.
    void SpeedButton21Click(bool send);
    void RefreshLabel23();
    void Label10MouseDown(Qt::MouseButton button, QPoint at);

    // The material table of the real conductor (ohm·mm²/m).
    static const TTableEntry Materials[17];

protected:
    void showEvent(QShowEvent* e) override; // FormShow
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void CreatePages();
    void EditorChanged(TValueCtrlSet* editor);
    void HiddenChanged(TValueCtrlSet* editor);
    // A value that follows a hidden one shows "???" and cannot be edited.
    void MaskAmplitude(bool masked);
    void MaskLampCurrent(bool masked);
    void UpdateMasks();
    // Shows what the part took wherever it differs from what an editor shows.
    void SyncWithPart();
    void TakeBack();
};

// The panel of the main window, once it exists.
extern TFloatControlPanel* FloatControlForm;
