#include "shell/Auxwindows.h"

#include "shell/Loading.h"
#include "shell/Optionsform.h"
#include "shell/Workshop.h"

#include <QDialog>

namespace {
std::function<int(QDialog*)> ModalHandler;
}

int ExecModal(QDialog* dialog) { return ModalHandler ? ModalHandler(dialog) : dialog->exec(); }

void SetModalHandler(std::function<int(QDialog*)> handler) { ModalHandler = std::move(handler); }

void InstallAuxiliaryWindows(TWorkshopForm* form) {
    // The dialog lives only while it is shown: it reads the files and the setting afresh each time.
    form->ShowOptions = [form] {
        TOptions dialog(form);
        ExecModal(&dialog);
    };
    InstallLoadingWindow(form);
    form->UpdateCommandButtons();
}
