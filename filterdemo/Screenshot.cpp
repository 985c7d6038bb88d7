// Renders the window as it opens into a PNG file, for the documentation:
//   filterdemo_screenshot OUT.png  (QT_SCALE_FACTOR=2 for the 200 % picture)
#include "Form1.h"

#include <QApplication>
#include <QPixmap>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    Form1 form;
    form.show();
    app.processEvents();
    return form.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
