// artgen OUTDIR: draws every picture and synthesises every sound of the workbench.
#include "ArtWriter.h"

#include <QGuiApplication>
#include <QPainter>
#include <cmath>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: artgen OUTDIR\n");
        return 2;
    }
    ArtWriter art(QString::fromLocal8Bit(argv[1]));

    QImage board(448, 448, QImage::Format_RGB32);
    board.fill(QColor(0x6b, 0x8e, 0x5a));
    art.Jpeg("jpgBoard", board);

    QImage node(12, 12, QImage::Format_ARGB32_Premultiplied);
    node.fill(Qt::transparent);
    {
        QPainter p(&node);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(0xc0, 0xa0, 0x40));
        p.drawEllipse(1, 1, 10, 10);
    }
    art.Bitmap("bmpNode", node);

    QImage resistor(64, 20, QImage::Format_ARGB32_Premultiplied);
    resistor.fill(Qt::transparent);
    {
        QPainter p(&resistor);
        p.fillRect(0, 9, 64, 2, Qt::darkGray);
        p.fillRect(16, 4, 32, 12, QColor(0xd2, 0xb4, 0x8c));
    }
    art.Bitmap("bmpResistor", resistor);

    QVector<float> click;
    for (int i = 0; i < 2000; ++i)
        click << float(0.5 * std::sin(i * 0.2) * std::exp(-i / 400.0));
    art.Wave("WAVONSET", click);

    return art.Finish() ? 0 : 1;
}
