#include "Coursebook.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // The HTML view shares its graphics context with the rest of the program.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    return RunCoursebook();
}
