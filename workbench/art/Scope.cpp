// The oscilloscope's front and its small pieces of hardware.
//
// The front is a dark, finely brushed metal plate 651 x 178, the instrument's client area. The
// screen (280 x 178) covers its left part and is drawn by the program: black glass with a green
// graticule. To the right, four groups of controls are printed as thin light frames; the program
// lays its lists, sliders, keys and captions over them at these places (client pixels):
//   channel A   (281, 0, 184, 89)     channel B   (281, 89, 184, 89)
//   time base   (465, 0, 186, 100)    trigger     (465, 100, 186, 78)
// Each channel has a red input jack and a black common jack at the bottom right of its group,
// jack centres at group x 132 and 162, y 80 (the jack pictures put them there); "10MΩ" is
// printed over the red jack, the program prints "common" over the black one.
//
//   jpgScopeFront                        651 x 178, the plate
//   bmpScopeJackRedA, bmpScopeJackComA   20 x 20, jack centre (14, 10): channel A's probes lie
//                                        with their tip 16 pixels right of the picture's left
//   bmpScopeJackRedB, bmpScopeJackComB   20 x 20, jack centre (6, 10): channel B's 4 pixels right
//   bmpScopeSlopeRise, bmpScopeSlopeFall 10 x 10, the trigger's slope marks
//   bmpScopeKeyUp, bmpScopeKeyDown       46 x 18, a trigger-source key, out and pressed in (lit)
//   bmpScopeListArrow                    7 x 4, the arrow of the gain and time-base selectors
#include "Art.h"
#include "ArtWriter.h"
#include "Paint.h"

#include <QFont>
#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

using namespace art;

namespace {

constexpr int FrontW = 651, FrontH = 178;
constexpr int ScreenW = 280;
const QColor Plate(46, 50, 56);
const QColor Silk(128, 136, 146); // the printed frames
const QColor SilkText(196, 204, 212);

const QRect Groups[4] = {
    {281, 0, 184, 89}, {281, 89, 184, 89}, {465, 0, 186, 100}, {465, 100, 186, 78}};

QFont Font(double pixels, bool bold = true) {
    QFont f("DejaVu Sans");
    f.setPixelSize(std::max(1, int(std::lround(pixels))));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QImage Front() {
    QImage image(FrontW, FrontH, QImage::Format_ARGB32_Premultiplied);
    image.fill(Plate);
    BrushedStreaks(image, QRect(ScreenW, 0, FrontW - ScreenW, FrontH), 0.05, 7301);
    Grain(image, 0.018, 7302);
    QPainter p(&image);
    Smooth(p);

    // Behind the screen: the deep black of the tube's surround.
    p.fillRect(QRect(0, 0, ScreenW, FrontH), QColor(6, 7, 8));
    // The plate's edge along the screen: a dark groove with a lit lip.
    p.setPen(QPen(QColor(10, 11, 12), 1.0));
    p.drawLine(QPointF(ScreenW + 0.5, 0), QPointF(ScreenW + 0.5, FrontH));
    p.setPen(QPen(WithAlpha(Qt::white, 0.10), 1.0));
    p.drawLine(QPointF(ScreenW + 1.5, 0), QPointF(ScreenW + 1.5, FrontH));

    // The groups: each a slightly darker field inside a printed frame whose top line the
    // caption plate interrupts.
    for (const QRect& g : Groups) {
        const QRectF field = QRectF(g).adjusted(2.5, 6.5, -2.5, -2.5);
        p.setPen(Qt::NoPen);
        p.setBrush(WithAlpha(Qt::black, 0.10));
        p.drawRoundedRect(field, 3, 3);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(WithAlpha(Qt::black, 0.5), 1.0));
        p.drawRoundedRect(field.translated(0.6, 0.8), 3, 3);
        p.setPen(QPen(Silk, 0.9));
        p.drawRoundedRect(field, 3, 3);
    }

    // The inputs: the input resistance over each channel's red jack, and the jack nuts sunk
    // into the plate.
    for (int c = 0; c < 2; ++c) {
        const QRect& g = Groups[c];
        p.setFont(Font(7.5));
        p.setPen(SilkText);
        p.drawText(QRectF(g.x() + 132 - 20, g.y() + 57, 40, 11), Qt::AlignCenter,
                   QString::fromUtf8("10MΩ"));
        for (int x : {132, 162}) {
            const QPointF centre(g.x() + x, g.y() + 80);
            QRadialGradient well(centre, 9.5);
            well.setColorAt(0.7, WithAlpha(Qt::black, 0.55));
            well.setColorAt(1.0, WithAlpha(Qt::black, 0.0));
            p.setPen(Qt::NoPen);
            p.setBrush(well);
            p.drawEllipse(centre, 9.5, 9.5);
        }
    }

    // The corner screws of the plate.
    for (QPointF at : {QPointF(ScreenW + 6, FrontH - 6), QPointF(FrontW - 5, FrontH - 5)})
        Screw(p, at, 2.4, 30, QColor(120, 124, 130), true);
    return image;
}

// A 4 mm jack seen from the front: a metal nut, the coloured shroud, the dark hole with its
// brass contact.
QImage Jack(bool red, double centreX) {
    return Render(
        20, 20,
        [=](QPainter& p) {
            const QPointF c(centreX, 10);
            const QColor shroud = red ? QColor(196, 30, 26) : QColor(30, 30, 33);
            QRadialGradient nut(c + QPointF(-2.5, -2.5), 9);
            nut.setColorAt(0, QColor(214, 216, 220));
            nut.setColorAt(1, QColor(104, 108, 114));
            p.setPen(QPen(QColor(60, 62, 66), 0.6));
            p.setBrush(nut);
            QPolygonF hex;
            for (int k = 0; k < 6; ++k) {
                const double a = (60 * k + 30) * 3.14159265358979 / 180;
                hex << c + QPointF(5.9 * std::cos(a), 5.9 * std::sin(a));
            }
            p.drawPolygon(hex);
            QRadialGradient ring(c + QPointF(-1.8, -1.8), 6.5);
            ring.setColorAt(0, Lighter(shroud, red ? 0.4 : 0.3));
            ring.setColorAt(1, Darker(shroud, 0.4));
            p.setBrush(ring);
            p.setPen(QPen(Darker(shroud, 0.6), 0.6));
            p.drawEllipse(c, 4.4, 4.4);
            QRadialGradient hole(c + QPointF(0.6, 0.6), 2.6);
            hole.setColorAt(0, QColor(4, 4, 5));
            hole.setColorAt(1, QColor(36, 36, 40));
            p.setBrush(hole);
            p.setPen(QPen(QColor(196, 172, 104), 0.8));
            p.drawEllipse(c, 2.0, 2.0);
        },
        false);
}

// A tiny key with the edge the trigger catches: rising (_/‾) or falling (‾\_).
QImage Slope(bool rising) {
    QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    Smooth(p);
    QLinearGradient cap(0, 0, 0, 10);
    cap.setColorAt(0, QColor(92, 98, 106));
    cap.setColorAt(1, QColor(40, 43, 48));
    p.setPen(QPen(QColor(16, 17, 19), 0.8));
    p.setBrush(cap);
    p.drawRoundedRect(QRectF(0.4, 0.4, 9.2, 9.2), 1.6, 1.6);
    QPainterPath edge;
    const double low = 7.4, high = 2.6;
    edge.moveTo(1.8, rising ? low : high);
    edge.lineTo(3.6, rising ? low : high);
    edge.lineTo(6.4, rising ? high : low);
    edge.lineTo(8.2, rising ? high : low);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(236, 240, 236), 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(edge);
    return image;
}

// A push key: a dark plastic cap; pressed in it sits lower and its lamp glows green.
QImage Key(bool down) {
    return Render(
        46, 18,
        [=](QPainter& p) {
            const QRectF cap = down ? QRectF(1, 1.6, 44, 15.6) : QRectF(0.6, 0.6, 44, 15.6);
            Plastic(p, cap, 2.5, down ? QColor(50, 54, 60) : QColor(78, 83, 90), 0.55);
            if (!down) {
                p.setPen(QPen(WithAlpha(Qt::white, 0.18), 0.8));
                p.drawLine(cap.topLeft() + QPointF(2.5, 0.9), cap.topRight() + QPointF(-2.5, 0.9));
            }
            const QPointF lamp(cap.left() + 5.6, cap.center().y());
            QRadialGradient glow(lamp, down ? 4.2 : 2.2);
            if (down) {
                glow.setColorAt(0, QColor(190, 255, 170));
                glow.setColorAt(0.45, QColor(40, 220, 60));
                glow.setColorAt(1, WithAlpha(QColor(20, 160, 40), 0.0));
            } else {
                glow.setColorAt(0, QColor(40, 70, 44));
                glow.setColorAt(1, QColor(20, 32, 22));
            }
            p.setPen(Qt::NoPen);
            p.setBrush(glow);
            p.drawEllipse(lamp, down ? 4.2 : 2.0, down ? 4.2 : 2.0);
        },
        !down);
}

// The selectors' arrow: a small light triangle pointing down.
QImage ListArrow() {
    QImage image(7, 4, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    Smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(214, 220, 214));
    p.drawPolygon(QPolygonF() << QPointF(0, 0) << QPointF(7, 0) << QPointF(3.5, 4));
    return image;
}

} // namespace

void DrawScope(ArtWriter& out) {
    out.Jpeg("jpgScopeFront", Front(), 94);
    out.Bitmap("bmpScopeJackRedA", Jack(true, 14));
    out.Bitmap("bmpScopeJackComA", Jack(false, 14));
    out.Bitmap("bmpScopeJackRedB", Jack(true, 6));
    out.Bitmap("bmpScopeJackComB", Jack(false, 6));
    out.Bitmap("bmpScopeSlopeRise", Slope(true));
    out.Bitmap("bmpScopeSlopeFall", Slope(false));
    out.Bitmap("bmpScopeKeyUp", Key(false));
    out.Bitmap("bmpScopeKeyDown", Key(true));
    out.Bitmap("bmpScopeListArrow", ListArrow());
}
