#include "Coursebook.h"

#include <QApplication>
#include <unistd.h>

int main(int argc, char** argv)
{
    // The HTML view shares its graphics context with the rest of the program.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The page view's process sandbox refuses to start for root, and without it no lesson page
    // can be shown; a root session (a lab machine's kiosk account, a container) runs unsandboxed.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    return RunCoursebook();
}
