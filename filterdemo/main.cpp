// filterdemo: the capacitors of a second-order active low-pass filter for a chosen cutoff.
#include "Form1.h"
#include "platform/ProgramInfo.h"
#include "platform/QtTranslations.h"

#include <QApplication>

int main(int argc, char** argv) {
    const int answered = AnswerInfoOptions(
        argc, argv, "filterdemo",
        "filterdemo\n"
        "\n"
        "The capacitors C1 and C2 of a second-order active low-pass filter (R1 = R2) for a chosen\n"
        "cutoff frequency and resistor value.\n"
        "\n"
        "  --help     print this text and exit\n"
        "  --version  print the version and exit\n");
    if (answered >= 0) return answered;
    QApplication app(argc, argv);
    InstallQtTranslations("ru"); // Qt's own texts in the language of the window's
    Form1 form;
    form.show();
    return app.exec();
}
