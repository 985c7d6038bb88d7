// The one place where the workbench's windows are joined. Below the shell nothing includes a
// window of a layer above it: the board, the parts and the instruments call BenchHost, the main
// window calls its Windows, and this file fills both.

#include "shell/Wiring.h"

#include "board/Host.h"
#include "components/Floatctrl.h"
#include "document/Join.h"
#include "instruments/Oscpanel.h"
#include "instruments/Pribor.h"
#include "shell/About.h"
#include "shell/Auxwindows.h"
#include "shell/Loading.h"
#include "shell/Optionsform.h"
#include "shell/Workshop.h"

#include <QLabel>
#include <QToolButton>

void JoinWindows(TWorkshopForm* form) {
    JoinCircuit();

    // --- What the main window lends the board and the parts.
    BenchHost.TrashCan = form->imgTrashcan;
    BenchHost.PartsBox = form->imgToolBar;
    BenchHost.EnablePartsBoxItem = [form](quint8 kind, bool enabled) {
        form->SetBoxItemEnabled(kind, enabled);
    };
    BenchHost.DeleteSelectedPart = [form] { form->mnuOnDelete(); };
    BenchHost.InTeacherMode = [form] { return !form->btnIronState->isHidden(); };
    // A double click on a part: the parameters panel, once it is made.
    BenchHost.ShowParametersPanel = [form] {
        if (auto* panel =
                qobject_cast<TFloatControlPanel*>(form->Windows.FloatControlWindow.data()))
            panel->ShowPanel();
    };
    // The loading window over the main window while the kinds load their pictures.
    BenchHost.ShowLoadingWindow = [form](bool visible) { ShowLoadingWindow(form, visible); };

    // --- What it lends the instruments: they open clear of the parts box and the status line,
    // and its buttons follow them.
    BenchHost.ToolBarImage = [form] { return form->imgToolBar->geometry(); };
    BenchHost.StatusBarTop = [form] { return form->StatusBar->y(); };
    BenchHost.EnableMultimeterButton = [form](bool) { form->UpdateCommandButtons(); };
    BenchHost.EnableOscilloscopeButton = [form](bool) { form->UpdateCommandButtons(); };

    // --- What the other windows lend the main window's buttons.
    // Meters open below the tool bar, never over its buttons.
    form->Windows.CreateMultimeter = [form] {
        ShowNewMultimeter(form, form->lineSplitter->geometry().bottom() + 1);
    };
    form->Windows.MultimeterSlotsFull = MultimeterSlotsTaken;
    form->Windows.CreateOscilloscope = [form] { ShowNewOscilloscope(form); };
    form->Windows.ShowAbout = [] {
        if (AboutPanel) ExecModal(AboutPanel);
    };
    // The options dialog lives only while it is shown: it reads the files and the setting
    // afresh each time.
    form->Windows.ShowOptions = [form] {
        TOptions dialog(form);
        ExecModal(&dialog);
    };
    form->UpdateCommandButtons();
}

void UnjoinWindows(TWorkshopForm* form) {
    const auto solve = BenchHost.SolveCircuit;
    const auto modified = BenchHost.SchemeModified;
    BenchHost = TBenchHost();
    BenchHost.SolveCircuit = solve;
    BenchHost.SchemeModified = modified;
    form->Windows = TWindowsHost();
}
