// The workbench program.
#include "components/Iron.h"
#include "components/Kinds.h"
#include "shell/Global.h"
#include "shell/Workshop.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName("Vexilo");
    // Relative names (Labs, User, HELP, LOG.LOG) are the program folder's.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    LoadLanguageFile("Russian.lng");

    RegisterPartKinds();
    TWorkshopForm form;
    TIron::ExecuteStartups();
    form.showFullScreen();
    const int status = app.exec();

    TIron::ExecuteExits();
    QDir::setCurrent(previous);
    return status;
}
