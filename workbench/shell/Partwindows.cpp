#include "shell/Partwindows.h"

#include "components/Floatctrl.h"
#include "components/Iron.h"
#include "components/Ironstateform.h"
#include "shell/Workshop.h"

#include <QPointer>
#include <QToolButton>

void CreatePartWindows(TWorkshopForm* form) {
    const int top = form->ControlBar->geometry().bottom() + 1;

    auto* panel = new TFloatControlPanel(form);
    panel->hide();
    panel->OnApply = ApplyPanelValues;
    panel->OnReadBack = SelectedPanelValues;
    panel->move(0, top);
    // The buttons stay down while their windows are shown.
    form->btnFloatControl->setCheckable(true);
    panel->OnShownChanged = [button = QPointer<QToolButton>(form->btnFloatControl)](bool shown) {
        if (button) button->setChecked(shown);
    };
    FloatControlPanel = panel;
    form->Windows.FloatControlWindow = panel;

    auto* state = new TIronState(form);
    state->hide();
    state->move(panel->width(), top);
    form->btnIronState->setCheckable(true);
    state->OnShownChanged = [button = QPointer<QToolButton>(form->btnIronState)](bool shown) {
        if (button) button->setChecked(shown);
    };
    IronStateForm = state;
    form->Windows.IronStateWindow = state;

    // Shown once, so that the panel has laid out its pages, and hidden again.
    panel->show();
    panel->hide();
    FillParametersPanel();
    RefreshStateWindow();
    form->btnFloatControl->setEnabled(true);
    form->btnIronState->setEnabled(true);
}
