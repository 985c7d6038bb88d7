#include "Coursebook.h"
#include "InitDatabase.h"
#include "platform/ProgramInfo.h"
#include "platform/QtTranslations.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv) {
    const int answered = AnswerInfoOptions(
        argc, argv, "coursebook",
        "coursebook\n"
        "       coursebook --init-db [--user NAME]\n"
        "\n"
        "The lesson browser of the course \"Torvane\": lesson pages, pictures, commentary, video,\n"
        "tests and the programs a lesson opens. The journal of lessons and tests is kept in the\n"
        "course database: the user's own copy when the package is installed, or a class database\n"
        "on a PostgreSQL server named in ~/.config/vexilo/coursebook.ini or\n"
        "/etc/xdg/vexilo/coursebook.ini ([Server] Host, Port, Database, User; the password from\n"
        "~/.pgpass, or asked).\n"
        "\n"
        "  --init-db    create the lesson tables, the roles coursebook_student and\n"
        "               coursebook_teacher with their grants, and the sample course in the\n"
        "               empty class database, then exit\n"
        "  --user NAME  with --init-db: connect as NAME (the database's owner) instead\n"
        "  --help       print this text and exit\n"
        "  --version    print the version and exit\n");
    if (answered >= 0) return answered;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--init-db") == 0) {
            QCoreApplication app(argc, argv);
            return RunInitDatabase(QCoreApplication::arguments().mid(1));
        }
    }
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
