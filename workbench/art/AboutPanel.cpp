// The about window's picture: a small panel in an oak frame, made of the mounting board's green
// glass-textolite, with the program's name printed on it, a printed circuit of a battery, a
// resistor, a lamp and a switch, and an aluminium bezel round the window in which the credits
// scroll.
//
// The window shows the picture one row shorter than drawn (338 x 408 of 338 x 409), so the
// bottom frame is drawn one row deeper than the top. The text window sits at (28, 195),
// 285 x 187, and is filled with the colour the window paints it in: grey-green (160, 167, 160).
#include "Art.h"
#include "ArtWriter.h"
#include "Paint.h"

#include <QFont>
#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

using namespace art;

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr int W = 338, H = 409;
constexpr int Frame = 10;              // oak on the top, left and right
constexpr int BottomFrame = Frame + 1; // one row of it is never shown
const QRect TextWindow(28, 195, 285, 187);
constexpr int Bezel = 6;
const QColor TextColour(160, 167, 160);
const QColor Ink(226, 222, 186); // the board's printing

QFont Font(double pixels, bool bold) {
    QFont f("DejaVu Sans");
    f.setPixelSize(std::max(1, int(std::lround(pixels))));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// Lacquered oak with the grain running along u; v runs across it.
QColor Oak(double u, double v, uint32_t seed) {
    const QColor light(184, 132, 84), dark(112, 70, 38), pore(70, 42, 22);
    const double bend =
        9 * Fbm(u / 120.0, v / 30.0, 3, seed) + 3 * Fbm(u / 40.0, v / 10.0, 2, seed + 5);
    const double ring = std::pow(0.5 + 0.5 * std::sin(2 * Pi * (v + bend) / 7.0), 3.0);
    const double streak = Fbm(u / 90.0, v / 1.8, 4, seed + 11) - 0.5;
    const double pores = std::max(0.0, Fbm(u / 9.0, v / 0.9, 2, seed + 23) - 0.7) * 3.0;
    QColor c = Mix(light, dark, 0.38 + 0.45 * ring + 0.6 * streak);
    return Mix(c, pore, std::min(0.5, pores));
}

// The frame: four oak bars mitred at the corners, the grain along each bar, rounded over on the
// outside (lit top and left) and dropping to the board on the inside.
void OakFrame(QImage& image) {
    for (int y = 0; y < H; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < W; ++x) {
            const int top = y, left = x, right = W - 1 - x,
                      bottom = H - 1 - y - (BottomFrame - Frame);
            const int nearest = std::min({top, left, right, bottom});
            if (nearest >= Frame) continue;
            QColor c;
            double across; // 0 at the outer edge, 1 at the inner edge
            if (nearest == top) {
                c = Oak(x, y, 401);
                across = top / double(Frame);
            } else if (nearest == bottom) {
                c = Oak(x + 500, y, 402);
                across = (H - 1 - y) / double(BottomFrame);
            } else if (nearest == left) {
                c = Oak(y, x, 403);
                across = left / double(Frame);
            } else {
                c = Oak(y + 500, x, 404);
                across = right / double(Frame);
            }
            // Rounded over: a highlight near the outer edge on the lit sides, shade on the others.
            const bool lit = nearest == top || nearest == left;
            const double round = std::sin(Pi * std::clamp(across, 0.0, 1.0));
            if (lit)
                c = Lighter(c, 0.18 * (1 - across) * round + 0.04);
            else
                c = Darker(c, 0.25 * (1 - across) + 0.05);
            if (across < 0.12) c = Darker(c, 0.35); // the outer arris
            line[x] = c.rgb();
        }
    }
    QPainter p(&image);
    Smooth(p);
    // The mitre joints.
    p.setPen(QPen(WithAlpha(QColor(40, 22, 8), 0.55), 1));
    p.drawLine(QPointF(0.5, 0.5), QPointF(Frame, Frame));
    p.drawLine(QPointF(W - 0.5, 0.5), QPointF(W - Frame, Frame));
    p.drawLine(QPointF(0.5, H - 0.5), QPointF(Frame, H - BottomFrame));
    p.drawLine(QPointF(W - 0.5, H - 0.5), QPointF(W - Frame, H - BottomFrame));
}

// The green board inside the frame: resin over a fine glass weave, lit from the top left, with
// the frame's shadow along its top and left edges.
void BoardPlate(QImage& image) {
    const QRect plate(Frame, Frame, W - 2 * Frame, H - Frame - BottomFrame);
    const QColor resin(34, 82, 62), resinDark(22, 58, 44);
    for (int y = plate.top(); y <= plate.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = plate.left(); x <= plate.right(); ++x) {
            const double weave = 0.5 +
                                 0.25 * std::sin(2 * Pi * x / 5.0) * std::sin(2 * Pi * y / 5.0) +
                                 0.075 * std::sin(2 * Pi * (x + y) / 5.0);
            const double mottle = Fbm(x / 60.0, y / 60.0, 4, 91);
            const double light = 0.15 * (1.0 - (x + y) / double(W + H));
            line[x] =
                Lighter(Mix(resinDark, resin, 0.35 + 0.55 * mottle + 0.12 * weave), light).rgb();
        }
    }
    QImage grained = image.copy(plate);
    Grain(grained, 0.05, 17);
    QPainter p(&image);
    p.drawImage(plate.topLeft(), grained);
    QLinearGradient top(0, plate.top(), 0, plate.top() + 6);
    top.setColorAt(0, WithAlpha(Qt::black, 0.45));
    top.setColorAt(1, WithAlpha(Qt::black, 0));
    p.fillRect(QRect(plate.left(), plate.top(), plate.width(), 6), top);
    QLinearGradient left(plate.left(), 0, plate.left() + 6, 0);
    left.setColorAt(0, WithAlpha(Qt::black, 0.4));
    left.setColorAt(1, WithAlpha(Qt::black, 0));
    p.fillRect(QRect(plate.left(), plate.top(), 6, plate.height()), left);
    p.setPen(QPen(WithAlpha(Qt::white, 0.12), 1));
    p.drawLine(plate.left(), plate.bottom(), plate.right(), plate.bottom());
    p.drawLine(plate.right(), plate.top(), plate.right(), plate.bottom());
}

// Printed text with the faint relief of screen-printing ink.
void Printed(QPainter& p, const QRectF& box, const QString& text, const QFont& font,
             double alpha = 0.92) {
    p.setFont(font);
    p.setPen(WithAlpha(Qt::black, 0.45));
    p.drawText(box.translated(1, 1.2), Qt::AlignCenter, text);
    p.setPen(WithAlpha(Ink, alpha));
    p.drawText(box, Qt::AlignCenter, text);
}

// A brass screw terminal like the board's nodes, a little smaller.
void Terminal(QPainter& p, QPointF c) {
    p.setPen(Qt::NoPen);
    p.setBrush(WithAlpha(Qt::black, 0.4));
    p.drawEllipse(c + QPointF(0.9, 1.1), 6.2, 6.2);
    QRadialGradient washer(c - QPointF(2, 2.4), 8);
    washer.setColorAt(0.0, QColor(246, 224, 150));
    washer.setColorAt(0.45, QColor(196, 160, 78));
    washer.setColorAt(1.0, QColor(112, 84, 34));
    p.setPen(QPen(QColor(92, 66, 24), 0.8));
    p.setBrush(washer);
    p.drawEllipse(c, 6, 6);
    Screw(p, c, 3.8, -30, QColor(214, 180, 96), true);
}

// The printed circuit: a loop with a battery on the left, a resistor and a lamp along the top,
// a switch along the bottom and a capacitor on the right, terminals at the corners.
void PrintedCircuit(QPainter& p) {
    const double l = 58, r = 280, t = 124, b = 176;
    const QPen trace(WithAlpha(Ink, 0.8), 1.6, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    p.setBrush(Qt::NoBrush);
    p.setPen(trace);
    // Top: resistor (a box) at 130, lamp (a crossed circle) at 210.
    p.drawLine(QPointF(l, t), QPointF(113, t));
    p.drawRect(QRectF(113, t - 6, 34, 12));
    p.drawLine(QPointF(147, t), QPointF(201, t));
    p.drawEllipse(QPointF(210, t), 9, 9);
    const double d = 9 / std::sqrt(2.0);
    p.drawLine(QPointF(210 - d, t - d), QPointF(210 + d, t + d));
    p.drawLine(QPointF(210 - d, t + d), QPointF(210 + d, t - d));
    p.drawLine(QPointF(219, t), QPointF(r, t));
    // Right: a capacitor, two plates across the line.
    const double cy = (t + b) / 2;
    p.drawLine(QPointF(r, t), QPointF(r, cy - 3));
    p.drawLine(QPointF(r, cy + 3), QPointF(r, b));
    p.setPen(QPen(WithAlpha(Ink, 0.8), 2.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(r - 9, cy - 3), QPointF(r + 9, cy - 3));
    p.drawLine(QPointF(r - 9, cy + 3), QPointF(r + 9, cy + 3));
    // Left: a battery, the long plate positive, on top.
    p.setPen(trace);
    p.drawLine(QPointF(l, t), QPointF(l, cy - 4));
    p.drawLine(QPointF(l, cy + 4), QPointF(l, b));
    p.setPen(QPen(WithAlpha(Ink, 0.8), 1.8, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(l - 11, cy - 4), QPointF(l + 11, cy - 4));
    p.setPen(QPen(WithAlpha(Ink, 0.8), 3.4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(l - 5, cy + 4), QPointF(l + 5, cy + 4));
    p.setFont(Font(9, true));
    p.setPen(WithAlpha(Ink, 0.8));
    p.drawText(QRectF(l + 8, cy - 17, 12, 12), Qt::AlignCenter, "+");
    // Bottom: an open switch.
    p.setPen(trace);
    p.drawLine(QPointF(l, b), QPointF(150, b));
    p.drawLine(QPointF(150, b), QPointF(178, b - 11));
    p.drawLine(QPointF(182, b), QPointF(r, b));
    p.setBrush(WithAlpha(Ink, 0.8));
    p.drawEllipse(QPointF(150, b), 1.8, 1.8);
    p.drawEllipse(QPointF(182, b), 1.8, 1.8);
    // Current arrows on the top line.
    p.setPen(Qt::NoPen);
    for (double x : {88.0, 175.0, 250.0}) {
        QPolygonF arrow({QPointF(x + 4, t), QPointF(x - 3, t - 3.5), QPointF(x - 3, t + 3.5)});
        p.drawPolygon(arrow);
    }
    p.setBrush(Qt::NoBrush);
    for (QPointF c : {QPointF(l, t), QPointF(r, t), QPointF(l, b), QPointF(r, b)})
        Terminal(p, c);
}

// The aluminium bezel round the text window: brushed, bevelled outwards, with the window
// recessed behind it.
void TextBezel(QImage& image) {
    const QRect outer = TextWindow.adjusted(-Bezel, -Bezel, Bezel, Bezel);
    {
        QPainter p(&image);
        Smooth(p);
        // The bezel's shadow on the board.
        QImage shape = Canvas(W, H);
        {
            QPainter s(&shape);
            s.fillRect(outer, Qt::black);
        }
        p.drawImage(0, 0, Shadow(shape, 3, QPointF(2, 2.5), 0.5));
        p.fillRect(outer, QColor(178, 182, 186));
    }
    BrushedStreaks(image, outer, 0.2, 57);
    QPainter p(&image);
    Smooth(p);
    auto bevel = [&](QPolygonF poly, const QColor& c) {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawPolygon(poly);
    };
    const QRectF o(outer), i(TextWindow);
    // The outer chamfers: lit top and left, dark bottom and right.
    bevel(QPolygonF({o.topLeft(), o.topRight(), o.topRight() + QPointF(-2, 2),
                     o.topLeft() + QPointF(2, 2)}),
          WithAlpha(Qt::white, 0.5));
    bevel(QPolygonF({o.topLeft(), o.topLeft() + QPointF(2, 2), o.bottomLeft() + QPointF(2, -2),
                     o.bottomLeft()}),
          WithAlpha(Qt::white, 0.35));
    bevel(QPolygonF({o.bottomLeft(), o.bottomLeft() + QPointF(2, -2),
                     o.bottomRight() + QPointF(-2, -2), o.bottomRight()}),
          WithAlpha(Qt::black, 0.35));
    bevel(QPolygonF({o.topRight(), o.bottomRight(), o.bottomRight() + QPointF(-2, -2),
                     o.topRight() + QPointF(-2, 2)}),
          WithAlpha(Qt::black, 0.3));
    // The inner chamfers fall towards the window: dark where the light cannot reach.
    bevel(QPolygonF({i.topLeft() + QPointF(-2, -2), i.topRight() + QPointF(2, -2), i.topRight(),
                     i.topLeft()}),
          WithAlpha(Qt::black, 0.4));
    bevel(QPolygonF({i.topLeft() + QPointF(-2, -2), i.topLeft(), i.bottomLeft(),
                     i.bottomLeft() + QPointF(-2, 2)}),
          WithAlpha(Qt::black, 0.3));
    bevel(QPolygonF({i.bottomLeft() + QPointF(-2, 2), i.bottomLeft(), i.bottomRight(),
                     i.bottomRight() + QPointF(2, 2)}),
          WithAlpha(Qt::white, 0.45));
    bevel(QPolygonF({i.topRight(), i.topRight() + QPointF(2, -2), i.bottomRight() + QPointF(2, 2),
                     i.bottomRight()}),
          WithAlpha(Qt::white, 0.35));
    // The window itself; the program paints the text over exactly this colour.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(TextWindow, TextColour);
}

QImage AboutPicture() {
    QImage image(W, H, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    OakFrame(image);
    BoardPlate(image);
    {
        QPainter p(&image);
        Smooth(p);
        // The name, large, and what the program is, small, under a printed rule.
        Printed(p, QRectF(Frame, 22, W - 2 * Frame, 60), "Vexilo", Font(50, true), 0.95);
        p.setPen(QPen(WithAlpha(Ink, 0.7), 1.2));
        p.drawLine(QPointF(70, 86.5), QPointF(W - 70, 86.5));
        Printed(p, QRectF(Frame, 90, W - 2 * Frame, 14), "VIRTUAL  ELECTRONICS  WORKBENCH",
                Font(9.5, true), 0.85);
        PrintedCircuit(p);
        // Screws hold the board in the frame.
        for (QPointF s : {QPointF(17, 17), QPointF(W - 17, 17), QPointF(17, H - BottomFrame - 7),
                          QPointF(W - 17, H - BottomFrame - 7)})
            Screw(p, s, 4, 35, QColor(196, 198, 200), true);
    }
    TextBezel(image);
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

void DrawAboutPanel(ArtWriter& out) {
    out.Jpeg("jpgAbout", AboutPicture(), 94);
}
