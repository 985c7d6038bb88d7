// The furniture of the main window around the board: the perforated steel waste bin in the
// bottom-left corner, the dark brushed strip the title is written on, its minimize button, and
// the back panel of the parts cabinet.
#include "Art.h"
#include "ArtWriter.h"
#include "Paint.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

using namespace art;

namespace {

constexpr double Pi = 3.14159265358979323846;

// A round waste bin of perforated, dark-green enamelled steel, seen from the front and a little
// above: the open top shows its dark inside, the rolled rim catches the light.
QImage Trashcan() {
    constexpr int W = 72, H = 84;
    const double cx = 36, top = 15, bottom = 76, rTop = 30, rBottom = 23, eTop = 9, eBottom = 5.5;
    const QColor enamel(62, 92, 80);
    QImage layer = Canvas(W, H);
    {
        QPainter p(&layer);
        Smooth(p);
        QPainterPath body;
        body.moveTo(cx - rTop, top);
        body.lineTo(cx - rBottom, bottom);
        body.arcTo(QRectF(cx - rBottom, bottom - eBottom, 2 * rBottom, 2 * eBottom), 180, 180);
        body.lineTo(cx + rTop, top);
        body.arcTo(QRectF(cx - rTop, top - eTop, 2 * rTop, 2 * eTop), 0, -180);
        body.closeSubpath();
        QLinearGradient round(cx - rTop, 0, cx + rTop, 0);
        round.setColorAt(0.0, Darker(enamel, 0.45));
        round.setColorAt(0.22, Lighter(enamel, 0.25));
        round.setColorAt(0.32, Lighter(enamel, 0.38));
        round.setColorAt(0.5, enamel);
        round.setColorAt(1.0, Darker(enamel, 0.6));
        p.setPen(Qt::NoPen);
        p.setBrush(round);
        p.drawPath(body);

        // Perforations in rows round the bin; they crowd together towards its sides.
        p.save();
        p.setClipPath(body);
        for (int row = 0; row < 11; ++row) {
            const double t = (row + 0.8) / 12.0;
            const double y = top + 6 + t * (bottom - top - 8);
            const double r = rTop + (rBottom - rTop) * (y - top) / (bottom - top);
            const double e = eTop + (eBottom - eTop) * (y - top) / (bottom - top);
            for (int k = 0; k < 24; ++k) {
                const double a = Pi * (k + (row % 2 ? 0.5 : 0.0)) / 24.0 + Pi * 0.02;
                const double x = cx - r * std::cos(a);
                const double yy = y + e * std::sin(a);
                const double w = 1.35 * std::sin(a);
                if (w < 0.25) continue;
                // A hole shows the dark inside with a lit lower rim.
                p.setBrush(QColor(16, 22, 20));
                p.drawEllipse(QPointF(x, yy), w, 1.2);
                p.setBrush(WithAlpha(Lighter(enamel, 0.5), 0.45 * std::sin(a)));
                p.drawEllipse(QPointF(x + 0.2, yy + 0.9), w * 0.8, 0.35);
            }
        }
        p.restore();
        // A rolled foot ring.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Darker(enamel, 0.5), 2.2));
        p.drawArc(QRectF(cx - rBottom, bottom - eBottom, 2 * rBottom, 2 * eBottom), 180 * 16,
                  180 * 16);

        // The opening: the far inside wall, lit a little, falling into darkness.
        const QRectF mouth(cx - rTop, top - eTop, 2 * rTop, 2 * eTop);
        QLinearGradient inside(0, mouth.top(), 0, mouth.bottom());
        inside.setColorAt(0, QColor(46, 64, 58));
        inside.setColorAt(0.6, QColor(12, 16, 14));
        inside.setColorAt(1, QColor(6, 8, 8));
        p.setPen(Qt::NoPen);
        p.setBrush(inside);
        p.drawEllipse(mouth);
        // A crumpled sheet of paper someone threw away.
        p.save();
        QPainterPath clip;
        clip.addEllipse(mouth);
        p.setClipPath(clip);
        QPolygonF paper({QPointF(44, top - 2), QPointF(49, top - 7.5), QPointF(55, top - 5),
                         QPointF(57.5, top + 1), QPointF(53, top + 5), QPointF(46, top + 4)});
        QLinearGradient sheet(44, top - 8, 57, top + 5);
        sheet.setColorAt(0, QColor(244, 242, 232));
        sheet.setColorAt(1, QColor(168, 166, 156));
        p.setBrush(sheet);
        p.setPen(QPen(QColor(120, 118, 110), 0.5));
        p.drawPolygon(paper);
        p.setPen(QPen(QColor(150, 148, 140), 0.5));
        p.drawLine(QPointF(49, top - 7), QPointF(51, top + 1));
        p.drawLine(QPointF(51, top + 1), QPointF(57, top + 0.5));
        p.restore();
        // The rolled rim: a bright tube of steel round the mouth.
        p.setBrush(Qt::NoBrush);
        QLinearGradient rim(cx - rTop, 0, cx + rTop, 0);
        rim.setColorAt(0, QColor(120, 126, 124));
        rim.setColorAt(0.3, QColor(238, 240, 236));
        rim.setColorAt(0.7, QColor(170, 174, 172));
        rim.setColorAt(1, QColor(90, 94, 92));
        p.setPen(QPen(QBrush(rim), 2.6));
        p.drawEllipse(mouth);
        p.setPen(QPen(WithAlpha(Qt::black, 0.35), 0.7));
        p.drawEllipse(mouth.adjusted(1.6, 1.4, -1.6, -1.4));
    }
    // Its shadow lies on the bench beneath it.
    QImage out = Canvas(W, H);
    {
        QPainter p(&out);
        Smooth(p);
        QRadialGradient shadow(0, 0, 1);
        shadow.setColorAt(0, WithAlpha(Qt::black, 0.5));
        shadow.setColorAt(1, WithAlpha(Qt::black, 0));
        p.translate(cx + 4, bottom + 2.5);
        p.scale(rBottom + 10, eBottom + 3);
        p.setPen(Qt::NoPen);
        p.setBrush(shadow);
        p.drawEllipse(QPointF(0, 0), 1.0, 1.0);
        p.resetTransform();
        p.drawImage(0, 0, layer);
    }
    ClearFaint(out);
    return out;
}

// The strip across the top of the window: dark brushed steel with a lit upper edge and a shadow
// line along the bottom. Stretched to the window's width, so it has no features along x.
QImage TitleStrip() {
    constexpr int W = 1024, H = 33;
    QImage image(W, H, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&image);
        QLinearGradient g(0, 0, 0, H);
        g.setColorAt(0, QColor(78, 88, 100));
        g.setColorAt(0.1, QColor(58, 66, 78));
        g.setColorAt(0.9, QColor(36, 42, 50));
        g.setColorAt(1, QColor(20, 24, 28));
        p.fillRect(0, 0, W, H, g);
    }
    BrushedStreaks(image, image.rect(), 0.12, 71);
    QPainter p(&image);
    p.setPen(QColor(120, 132, 146));
    p.drawLine(0, 0, W, 0);
    p.setPen(QColor(10, 12, 14));
    p.drawLine(0, H - 1, W, H - 1);
    return image;
}

// The minimize button: a small rounded steel key with a bar at the bottom.
QImage MinimizeButton() {
    return Render(
        17, 17,
        [](QPainter& p) {
            Plastic(p, QRectF(0.8, 0.8, 15, 15), 3, QColor(92, 102, 114), 0.7);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(236, 236, 220));
            p.drawRoundedRect(QRectF(4, 10.2, 9, 2.4), 1, 1);
        },
        false);
}

// The back panel of the parts cabinet: grey hammer-finish enamel, stretched to fit.
QImage CabinetPanel() {
    constexpr int W = 112, H = 512;
    QImage image(W, H, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < H; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < W; ++x) {
            const double hammer = Fbm(x / 5.0, y / 5.0, 3, 909);
            QColor c = Mix(QColor(86, 92, 92), QColor(118, 124, 122), hammer);
            line[x] = c.rgba();
        }
    }
    QPainter p(&image);
    p.setPen(QColor(150, 156, 154));
    p.drawLine(0, 0, 0, H);
    p.setPen(QColor(40, 44, 44));
    p.drawLine(W - 1, 0, W - 1, H);
    return image;
}

} // namespace

void DrawMainWindow(ArtWriter& out) {
    out.Bitmap("bmpTrashcan", Trashcan());
    out.Bitmap("bmpTitleBackground", TitleStrip());
    out.Bitmap("bmpMinimize", MinimizeButton());
    out.Bitmap("bmpToolBar", CabinetPanel());
}
