#include "shell/Auxwindows.h"

#include <QDialog>

namespace {
std::function<int(QDialog*)> ModalHandler;
}

int ExecModal(QDialog* dialog) {
    return ModalHandler ? ModalHandler(dialog) : dialog->exec();
}

void SetModalHandler(std::function<int(QDialog*)> handler) {
    ModalHandler = std::move(handler);
}
