#include "Coursebook.h"
#include "platform/ProgramInfo.h"
#include "platform/QtTranslations.h"

#include <QApplication>
#include <unistd.h>

int main(int argc, char** argv)
{
    const int answered = AnswerInfoOptions(argc, argv, "coursebook",
        "coursebook\n"
        "\n"
        "The lesson browser of the course \"Torvane\": lesson pages, pictures, commentary, video,\n"
        "tests and the programs a lesson opens. The journal of lessons and tests is kept in the\n"
        "course database (the user's own copy when the package is installed).\n"
        "\n"
        "  --help     print this text and exit\n"
        "  --version  print the version and exit\n");
    if (answered >= 0)
        return answered;
    // The HTML view shares its graphics context with the rest of the program.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The page view's process sandbox refuses to start for root, and without it no lesson page
    // can be shown; a root session (a lab machine's kiosk account, a container) runs unsandboxed.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    InstallQtTranslations("ru"); // Qt's own texts (buttons, file dialogs) in the lessons' language
    return RunCoursebook();
}
