// Not a test: draws the lamp's and the heater's glow pictures, as the program builds them, into
// one PNG file on a piece of the mounting board, enlarged, so a person can judge the glow.
//   glow_sheet FILE.png
#include "components/Heater.h"
#include "components/Lamp.h"

#include <QApplication>
#include <QPainter>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    TLamp::ClassStartup();
    THeater::ClassStartup();

    // Two bands per kind and orientation: steps 0..10, then 11..20 and the burnt picture.
    constexpr int Zoom = 3, Cell = 64 * Zoom, Label = 20, PerBand = 11;
    QImage sheet(PerBand * Cell, 8 * (Cell + Label), QImage::Format_ARGB32_Premultiplied);
    QPainter p(&sheet);
    // The plain green of the mounting board in the middle of a lattice cell.
    const QImage board = LoadJpegResource("jpgBoard");
    p.fillRect(sheet.rect(), board.isNull() ? QColor(40, 70, 50) : board.pixelColor(64, 64));
    QFont font("DejaVu Sans");
    font.setPixelSize(15);
    p.setFont(font);
    p.setPen(Qt::white);
    int band = 0;
    for (const TGlowPictures* glow : {&TLamp::ClassPictures(), &THeater::ClassPictures()})
        for (bool vertical : {false, true})
            for (int first : {0, PerBand}) {
                const int top = band++ * (Cell + Label);
                for (int i = first; i < first + PerBand; ++i) {
                    const bool burnt = i == TGlowPictures::Count;
                    const QImage& picture =
                        burnt ? (vertical ? glow->Burnt.Vertical : glow->Burnt.Horizontal)
                              : (vertical ? glow->Vertical[i] : glow->Horizontal[i]);
                    const int left = (i - first) * Cell;
                    p.drawImage(QRect(left, top + Label, Cell, Cell), picture);
                    p.drawText(QRect(left, top, Cell, Label), Qt::AlignCenter,
                               burnt ? "burnt" : QString::number(i));
                }
            }
    p.end();
    TLamp::ClassExit();
    THeater::ClassExit();
    return sheet.save(argv[1]) ? 0 : 1;
}
