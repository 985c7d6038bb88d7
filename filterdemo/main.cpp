// filterdemo: the capacitors of a second-order active low-pass filter for a chosen cutoff.
#include "Form1.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Form1 form;
    form.show();
    return app.exec();
}
