#pragma once
// The knife switch: closed, a near-perfect conductor; open, a gap no current crosses. The student
// toggles it by double click, from its popup menu or on the parameters panel.

#include "components/Iron.h"

class QAction;

class TSwitch : public TIron {
    Q_OBJECT
public:
    TSwitch();

    bool On = false; // closed

    void SetOn(bool on);
    // Toggles the switch, shows the change on the panel and has the circuit solved again.
    void OnSwitchOnOff();

    void SaveToFile(QIODevice& file) override;
    void LoadFromFile(QIODevice& file) override;
    void FillPanel(TPanelValues& values) override;
    void TakePanel(const TPanelValues& values) override;
    // An open switch breaks every loop through it.
    bool BreaksLoops() const override { return !On; }

    static void ClassStartup();
    static void ClassExit();

protected:
    // A double click toggles the switch instead of opening the parameters panel.
    void OnDblClick() override;

private:
    QAction* ToggleItem;
};
