// The command buttons of the tool bar and the programs' icons.
//
// Every command button is an ivory key of the kind school instruments have, with a coloured
// pictogram printed on its face. Its picture is a strip of four 44 x 44 glyphs side by side: the
// key standing up, the key greyed and flat (disabled), the key pressed (pushed one pixel down and
// to the right and a little darker), and the key latched down (sunk into the panel, its face lit
// from behind as a latched key on an instrument is).
//
// The pictograms are drawn in a 30 x 30 box that sits in the middle of the key's face.
#include "Art.h"
#include "ArtWriter.h"
#include "Paint.h"
#include "Parts.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

using namespace art;

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr int Glyph = 44, Looks = 4;

enum class Look { Up, Disabled, Pressed, Down };

const QColor Ivory(228, 224, 208);
const QRectF Cap(2, 1.5, 38.5, 38.5);

// ---- small pieces shared by the pictograms -------------------------------------------------

QPen Outline(const QColor& c, double width = 0.9) {
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A flat shape with a vertical gradient and a darker outline.
void Filled(QPainter& p, const QPainterPath& shape, const QColor& colour, double light = 0.25,
            double shade = 0.2, double edge = 0.55) {
    QLinearGradient g(shape.boundingRect().topLeft(), shape.boundingRect().bottomLeft());
    g.setColorAt(0, Lighter(colour, light));
    g.setColorAt(1, Darker(colour, shade));
    p.setBrush(g);
    p.setPen(Outline(Darker(colour, edge)));
    p.drawPath(shape);
}

QPainterPath Rounded(const QRectF& r, double radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath Polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

// A glossy round badge: a sphere of `colour` lit from the top left.
void Badge(QPainter& p, QPointF centre, double radius, const QColor& colour) {
    QRadialGradient g(centre - QPointF(radius * 0.35, radius * 0.45), radius * 1.35);
    g.setColorAt(0, Lighter(colour, 0.45));
    g.setColorAt(0.55, colour);
    g.setColorAt(1, Darker(colour, 0.45));
    p.setBrush(g);
    p.setPen(Outline(Darker(colour, 0.55), 0.9));
    p.drawEllipse(centre, radius, radius);
    // The window reflection on the top.
    QLinearGradient gloss(0, centre.y() - radius, 0, centre.y());
    gloss.setColorAt(0, WithAlpha(Qt::white, 0.55));
    gloss.setColorAt(1, WithAlpha(Qt::white, 0.0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawEllipse(QRectF(centre.x() - radius * 0.68, centre.y() - radius * 0.92, radius * 1.36,
                         radius * 0.95));
}

// A lightning bolt filling `box`.
QPainterPath Bolt(const QRectF& box) {
    auto at = [&](double x, double y) {
        return QPointF(box.left() + x * box.width(), box.top() + y * box.height());
    };
    return Polygon({at(0.58, 0.0), at(0.08, 0.56), at(0.42, 0.56), at(0.26, 1.0), at(0.92, 0.38),
                    at(0.56, 0.38), at(0.82, 0.0)});
}

// One digit of a seven-segment display in a w x h cell.
void Digit(QPainter& p, QPointF origin, double w, double h, int digit, const QColor& colour,
           double t = 1.1) {
    static const int masks[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    const double x0 = origin.x(), y0 = origin.y(), x1 = x0 + w, y1 = y0 + h, ym = y0 + h / 2;
    const QLineF seg[7] = {{x0, y0, x1, y0}, {x1, y0, x1, ym}, {x1, ym, x1, y1}, {x0, y1, x1, y1},
                           {x0, ym, x0, y1}, {x0, y0, x0, ym}, {x0, ym, x1, ym}};
    p.setPen(QPen(colour, t, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < 7; ++i)
        if (masks[digit] & (1 << i)) p.drawLine(seg[i]);
}

// A green arrow (for the file commands and the exit) from `from` to `to`.
void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour, double width = 3.2) {
    const QPointF d = to - from;
    const double len = std::hypot(d.x(), d.y());
    const QPointF u = d / len, n(-u.y(), u.x());
    const double head = width * 1.9;
    const QPointF base = to - u * head;
    QPainterPath path;
    path.moveTo(from + n * (width / 2));
    path.lineTo(base + n * (width / 2));
    path.lineTo(base + n * head * 0.95);
    path.lineTo(to);
    path.lineTo(base - n * head * 0.95);
    path.lineTo(base - n * (width / 2));
    path.lineTo(from - n * (width / 2));
    path.closeSubpath();
    Filled(p, path, colour, 0.3, 0.15, 0.6);
}

// A small window of the program: a blue title bar over a light grey body.
QRectF SmallWindow(QPainter& p, const QRectF& frame, const QColor& title) {
    Filled(p, Rounded(frame, 1.5), QColor(214, 216, 220), 0.2, 0.08, 0.7);
    const QRectF bar(frame.left() + 1, frame.top() + 1, frame.width() - 2, 4.6);
    p.setPen(Qt::NoPen);
    QLinearGradient g(bar.topLeft(), bar.bottomLeft());
    g.setColorAt(0, Lighter(title, 0.3));
    g.setColorAt(1, title);
    p.setBrush(g);
    p.drawRoundedRect(bar, 1, 1);
    p.setBrush(QColor(236, 236, 236));
    p.drawRect(QRectF(bar.right() - 3.6, bar.top() + 1.2, 2.4, 2.2));
    return QRectF(frame.left() + 1.5, bar.bottom() + 1, frame.width() - 3,
                  frame.bottom() - bar.bottom() - 2.5);
}

// ---- the pictograms ------------------------------------------------------------------------

// Open a scheme: an open manila folder with a circuit drawing sliding out, and a green arrow.
void ReadFile(QPainter& p) {
    const QColor manila(214, 164, 66);
    Filled(p, Polygon({{2, 7}, {9.5, 7}, {11.5, 9.5}, {25, 9.5}, {25, 26}, {2, 26}}),
           Darker(manila, 0.12), 0.1, 0.1);
    // The drawing: a sheet with a small circuit on it.
    p.save();
    p.translate(14, 15);
    p.rotate(-8);
    Filled(p, Rounded(QRectF(-9, -11, 17, 17), 0.6), QColor(250, 250, 246), 0.0, 0.06, 0.45);
    p.setPen(Outline(QColor(40, 70, 150), 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(-6, -2), QPointF(-6, -8), QPointF(5, -8), QPointF(5, -2)}));
    p.drawPolyline(QPolygonF({QPointF(-6, -2), QPointF(-6, 2)}));
    p.drawLine(QPointF(5, -2), QPointF(5, 2));
    p.setPen(Outline(QColor(190, 40, 40), 0.9));
    p.drawPolyline(QPolygonF({QPointF(-3, -8), QPointF(-2, -9.6), QPointF(-0.5, -6.4),
                              QPointF(1, -9.6), QPointF(2.5, -6.4), QPointF(3.5, -8)}));
    p.restore();
    // The front flap, swung open towards the student.
    Filled(p, Polygon({{6.5, 14}, {29, 14}, {25, 27}, {1.5, 27}}), manila, 0.35, 0.12, 0.5);
    Arrow(p, {21, 13}, {27, 2.5}, QColor(46, 160, 60), 3.0);
}

// Save the scheme: a blue diskette with its metal shutter and a label.
void WriteFile(QPainter& p) {
    const QColor body(44, 84, 160);
    Filled(p, Polygon({{3, 3.5}, {24, 3.5}, {27, 6.5}, {27, 27}, {3, 27}}), body, 0.3, 0.25, 0.6);
    // The shutter with its window.
    QLinearGradient metal(9, 0, 22, 0);
    metal.setColorAt(0, QColor(170, 176, 184));
    metal.setColorAt(0.35, QColor(240, 242, 246));
    metal.setColorAt(1, QColor(150, 156, 164));
    p.setBrush(metal);
    p.setPen(Outline(QColor(90, 96, 104), 0.7));
    p.drawRect(QRectF(8.5, 3.5, 13, 9));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 44, 52));
    p.drawRect(QRectF(16.5, 5, 3, 6));
    // The label, with a few lines written on it.
    Filled(p, Rounded(QRectF(6, 15.5, 18, 11.5), 0.8), QColor(250, 248, 236), 0.0, 0.05, 0.5);
    p.setPen(Outline(QColor(60, 90, 170), 0.8));
    p.drawLine(QPointF(8, 18.8), QPointF(22, 18.8));
    p.drawLine(QPointF(8, 21.8), QPointF(19, 21.8));
    p.setPen(Outline(QColor(190, 40, 40), 0.8));
    p.drawLine(QPointF(8, 24.6), QPointF(15, 24.6));
}

// The mounting board in miniature: aluminium frame, green plate, brass terminals.
void MiniBoard(QPainter& p, const QRectF& box, int nodes) {
    QLinearGradient frame(box.topLeft(), box.bottomRight());
    frame.setColorAt(0, QColor(236, 238, 240));
    frame.setColorAt(0.5, QColor(176, 180, 186));
    frame.setColorAt(1, QColor(120, 124, 130));
    p.setBrush(frame);
    p.setPen(Outline(QColor(86, 90, 96), 0.8));
    p.drawRoundedRect(box, 1.6, 1.6);
    const double rim = std::max(1.8, box.width() * 0.07);
    const QRectF plate = box.adjusted(rim, rim, -rim, -rim);
    QLinearGradient resin(plate.topLeft(), plate.bottomRight());
    resin.setColorAt(0, QColor(48, 104, 80));
    resin.setColorAt(1, QColor(22, 58, 44));
    p.setBrush(resin);
    p.setPen(Outline(QColor(14, 36, 28), 0.6));
    p.drawRect(plate);
    const double step = plate.width() / nodes;
    p.setPen(QPen(WithAlpha(QColor(226, 222, 186), 0.55), 0.6));
    for (int i = 0; i < nodes; ++i) {
        const double c = plate.left() + step * (i + 0.5);
        p.drawLine(QPointF(c, plate.top() + step / 2), QPointF(c, plate.bottom() - step / 2));
        const double r = plate.top() + step * (i + 0.5);
        p.drawLine(QPointF(plate.left() + step / 2, r), QPointF(plate.right() - step / 2, r));
    }
    for (int i = 0; i < nodes; ++i)
        for (int j = 0; j < nodes; ++j) {
            const QPointF c(plate.left() + step * (i + 0.5), plate.top() + step * (j + 0.5));
            const double r = std::min(2.6, step * 0.22);
            QRadialGradient brass(c - QPointF(r * 0.4, r * 0.4), r * 1.4);
            brass.setColorAt(0, QColor(255, 238, 170));
            brass.setColorAt(0.5, QColor(210, 172, 86));
            brass.setColorAt(1, QColor(120, 88, 34));
            p.setBrush(brass);
            p.setPen(Outline(QColor(84, 60, 20), 0.5));
            p.drawEllipse(c, r, r);
        }
}

// Clear the board: the board with a broom sweeping across it.
void DeleteAll(QPainter& p) {
    MiniBoard(p, QRectF(1.5, 2, 21, 21), 3);
    p.save();
    p.translate(17.5, 19);
    p.rotate(40);
    // The handle, varnished wood.
    QPainterPath handle = Rounded(QRectF(-1.3, -20, 2.6, 16), 1.2);
    p.setBrush(CylinderAcross({-1.3, 0}, {1.3, 0}, QColor(176, 104, 48), 0.8));
    p.setPen(Outline(QColor(96, 52, 20), 0.7));
    p.drawPath(handle);
    // A red binding and the straw.
    Filled(p, Rounded(QRectF(-3.2, -5, 6.4, 3), 0.8), QColor(200, 40, 40), 0.3, 0.2, 0.5);
    QPainterPath straw = Polygon({{-3.4, -2}, {3.4, -2}, {6.5, 9}, {-6.5, 9}});
    Filled(p, straw, QColor(232, 196, 92), 0.25, 0.2, 0.55);
    p.setPen(QPen(QColor(168, 126, 40), 0.55));
    for (int i = -4; i <= 4; ++i)
        p.drawLine(QPointF(i * 0.7, -1.5), QPointF(i * 1.35, 8.6));
    p.restore();
    // A little dust flying off.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 140, 120));
    for (const QPointF& d :
         {QPointF(4, 27), QPointF(7.5, 28.5), QPointF(2.5, 24.5), QPointF(10.5, 28)})
        p.drawEllipse(d, 0.9, 0.9);
}

// A multimeter: a yellow case, a display, the range dial and the jacks.
void Multimeter(QPainter& p) {
    const QColor yellow(242, 190, 30);
    Filled(p, Rounded(QRectF(4.5, 0.5, 21, 29.5), 3.6), yellow, 0.3, 0.2, 0.55);
    Filled(p, Rounded(QRectF(7.5, 3, 15, 24.5), 1.8), QColor(52, 54, 60), 0.2, 0.2, 0.6);
    // The display reads 1.5.
    Filled(p, Rounded(QRectF(9, 4.5, 12, 6.5), 0.8), QColor(178, 194, 160), 0.15, 0.1, 0.6);
    Digit(p, {11.2, 5.8}, 2.6, 4, 1, QColor(30, 34, 30));
    Digit(p, {15.8, 5.8}, 2.6, 4, 5, QColor(30, 34, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 34, 30));
    p.drawEllipse(QPointF(14.7, 9.8), 0.55, 0.55);
    // The range dial with its pointer.
    QRadialGradient knob(QPointF(13.8, 15.2), 5.5);
    knob.setColorAt(0, QColor(120, 122, 130));
    knob.setColorAt(1, QColor(24, 24, 28));
    p.setBrush(knob);
    p.setPen(Outline(QColor(14, 14, 16), 0.6));
    p.drawEllipse(QPointF(15, 17), 4.2, 4.2);
    p.setPen(QPen(QColor(250, 250, 250), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(15, 17), QPointF(12.3, 14.3));
    // The jacks: black (common) and red.
    for (const auto& [x, c] :
         {std::pair{11.0, QColor(20, 20, 20)}, std::pair{19.0, QColor(210, 30, 30)}}) {
        p.setBrush(c);
        p.setPen(Outline(Lighter(c, 0.4), 0.6));
        p.drawEllipse(QPointF(x, 24.5), 1.7, 1.7);
    }
}

// An oscilloscope: a grey-blue case, the green screen with a sine, two knobs.
void Oscillograph(QPainter& p) {
    const QColor steel(100, 118, 132);
    Filled(p, Rounded(QRectF(1, 4, 28, 22), 2.5), steel, 0.3, 0.25, 0.6);
    const QRectF screen(3.5, 6.5, 17.5, 15);
    p.setPen(Outline(QColor(20, 26, 30), 0.9));
    p.setBrush(QColor(16, 38, 28));
    p.drawRoundedRect(screen, 1.5, 1.5);
    p.setPen(QPen(WithAlpha(QColor(120, 220, 150), 0.35), 0.5));
    for (int i = 1; i < 4; ++i)
        p.drawLine(QPointF(screen.left() + i * screen.width() / 4, screen.top() + 1),
                   QPointF(screen.left() + i * screen.width() / 4, screen.bottom() - 1));
    for (int i = 1; i < 3; ++i)
        p.drawLine(QPointF(screen.left() + 1, screen.top() + i * screen.height() / 3),
                   QPointF(screen.right() - 1, screen.top() + i * screen.height() / 3));
    QPolygonF wave;
    for (int i = 0; i <= 40; ++i) {
        const double t = i / 40.0;
        wave << QPointF(screen.left() + 1.2 + t * (screen.width() - 2.4),
                        screen.center().y() - 5 * std::sin(2 * Pi * 1.5 * t));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(WithAlpha(QColor(90, 255, 140), 0.35), 2.6, Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.drawPolyline(wave);
    p.setPen(QPen(QColor(190, 255, 200), 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(wave);
    for (double y : {10.5, 18.0})
        Screw(p, {25, y}, 2.4, 60, QColor(220, 222, 226));
    // Its little feet.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 44));
    p.drawRoundedRect(QRectF(3, 26, 5, 2), 0.8, 0.8);
    p.drawRoundedRect(QRectF(22, 26, 5, 2), 0.8, 0.8);
}

// The parameters window: a small window with three sliders.
void FloatControl(QPainter& p) {
    const QRectF body = SmallWindow(p, QRectF(1.5, 3, 27, 24), QColor(44, 96, 176));
    const double knobs[3] = {0.3, 0.75, 0.5};
    for (int i = 0; i < 3; ++i) {
        const double y = body.top() + 3.5 + i * 5.6;
        const double l = body.left() + 2.5, r = body.right() - 2.5;
        p.setPen(QPen(QColor(70, 72, 80), 1.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(l, y), QPointF(r, y));
        p.setPen(QPen(QColor(46, 150, 70), 1.4, Qt::SolidLine, Qt::RoundCap));
        const double x = l + knobs[i] * (r - l);
        p.drawLine(QPointF(l, y), QPointF(x, y));
        Filled(p, Rounded(QRectF(x - 1.6, y - 2.4, 3.2, 4.8), 0.8), QColor(232, 120, 30), 0.35, 0.2,
               0.55);
    }
}

// The part-state window (for the teacher): a small table of values and a brass key.
void IronState(QPainter& p) {
    const QRectF body = SmallWindow(p, QRectF(1, 2.5, 25, 22.5), QColor(150, 52, 52));
    p.setPen(QPen(QColor(140, 144, 150), 0.6));
    const double mid = body.left() + body.width() * 0.45;
    for (int i = 1; i < 4; ++i) {
        const double y = body.top() + i * body.height() / 4;
        p.drawLine(QPointF(body.left() + 0.5, y), QPointF(body.right() - 0.5, y));
    }
    p.drawLine(QPointF(mid, body.top() + 0.5), QPointF(mid, body.bottom() - 0.5));
    for (int i = 0; i < 4; ++i) {
        const double y = body.top() + (i + 0.5) * body.height() / 4;
        p.setPen(QPen(QColor(90, 94, 104), 1.1, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(body.left() + 1.5, y), QPointF(mid - 1.5 - (i % 2) * 1.5, y));
        p.setPen(QPen(QColor(30, 70, 170), 1.1, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(mid + 1.5, y), QPointF(body.right() - 2 - (i % 3) * 2, y));
    }
    // The teacher's key.
    p.save();
    p.translate(22, 22);
    p.rotate(-40);
    const QColor brass(214, 172, 72);
    QPainterPath key;
    key.addEllipse(QPointF(0, -4.2), 3.6, 3.6);
    key.addRect(QRectF(-1, -1, 2, 10));
    key.addRect(QRectF(1, 5, 2.4, 1.5));
    key.addRect(QRectF(1, 7.4, 1.8, 1.5));
    key.setFillRule(Qt::WindingFill);
    QPainterPath hole;
    hole.addEllipse(QPointF(0, -4.6), 1.3, 1.3);
    Filled(p, key.simplified().subtracted(hole), brass, 0.4, 0.25, 0.6);
    p.restore();
}

// A closed book bound in maroon cloth with a lightning bolt on the cover.
void ClosedBook(QPainter& p, const QRectF& cover, const QColor& cloth) {
    // The page block shows at the right and at the bottom.
    Filled(p, Rounded(cover.translated(2.2, 1.6), 1.2), QColor(246, 240, 222), 0.0, 0.1, 0.5);
    p.setPen(QPen(QColor(200, 192, 170), 0.5));
    for (int i = 1; i <= 2; ++i)
        p.drawLine(QPointF(cover.right() + 0.7 * i, cover.top() + 2),
                   QPointF(cover.right() + 0.7 * i, cover.bottom() + 0.8));
    Filled(p, Rounded(cover, 1.5), cloth, 0.25, 0.25, 0.6);
    // The spine edge and gold lines.
    p.setPen(Qt::NoPen);
    p.setBrush(Darker(cloth, 0.3));
    p.drawRect(QRectF(cover.left() + 0.6, cover.top() + 0.6, 2.4, cover.height() - 1.2));
    const QColor gold(240, 200, 90);
    p.setPen(QPen(gold, 0.8));
    p.drawLine(QPointF(cover.left() + 5, cover.top() + 3),
               QPointF(cover.right() - 2.5, cover.top() + 3));
    p.drawLine(QPointF(cover.left() + 5, cover.bottom() - 3),
               QPointF(cover.right() - 2.5, cover.bottom() - 3));
    const QRectF emblem(cover.left() + 5.5, cover.top() + 5.5, cover.width() - 8.5,
                        cover.height() - 11);
    Filled(p, Bolt(emblem), QColor(255, 208, 40), 0.4, 0.1, 0.6);
}

void HelpReference(QPainter& p) {
    ClosedBook(p, QRectF(5, 2, 18.5, 25), QColor(158, 36, 42));
}

// Laboratory works: a clipboard with a ticked list, and a flask in front of it.
void HelpLabs(QPainter& p) {
    Filled(p, Rounded(QRectF(2.5, 3, 19.5, 25.5), 2), QColor(168, 116, 62), 0.25, 0.2, 0.6);
    Filled(p, Rounded(QRectF(4.5, 6, 15.5, 20.5), 0.6), QColor(252, 252, 248), 0.0, 0.05, 0.5);
    Filled(p, Rounded(QRectF(8, 1.5, 8.5, 5.5), 1.4), QColor(190, 196, 204), 0.5, 0.25, 0.6);
    for (int i = 0; i < 3; ++i) {
        const double y = 10.5 + i * 5;
        p.setPen(Outline(QColor(30, 150, 60), 1.1));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(5.8, y - 0.3), QPointF(7, y + 1), QPointF(9, y - 1.6)}));
        p.setPen(QPen(QColor(80, 90, 110), 1.0, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(10.5, y), QPointF(18.5 - (i % 2) * 3, y));
    }
    // The flask: glass, half full of a blue-green solution.
    QPainterPath flask;
    flask.moveTo(21, 11);
    flask.lineTo(25, 11);
    flask.lineTo(25, 16.5);
    flask.lineTo(29.5, 26.5);
    flask.quadTo(29.8, 28.5, 27.8, 28.5);
    flask.lineTo(18.2, 28.5);
    flask.quadTo(16.2, 28.5, 16.5, 26.5);
    flask.lineTo(21, 16.5);
    flask.closeSubpath();
    p.setBrush(WithAlpha(QColor(230, 244, 250), 0.9));
    p.setPen(Outline(QColor(70, 100, 120), 0.9));
    p.drawPath(flask);
    p.save();
    p.setClipPath(flask);
    QLinearGradient liquid(0, 20, 0, 29);
    liquid.setColorAt(0, QColor(60, 200, 190));
    liquid.setColorAt(1, QColor(20, 120, 150));
    p.setPen(Qt::NoPen);
    p.setBrush(liquid);
    p.drawRect(QRectF(15, 21, 16, 9));
    p.setBrush(WithAlpha(Qt::white, 0.7));
    p.drawEllipse(QPointF(22, 24.5), 0.9, 0.9);
    p.drawEllipse(QPointF(24.5, 26.2), 0.6, 0.6);
    p.restore();
    p.setPen(Outline(QColor(70, 100, 120), 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawPath(flask);
    p.setPen(QPen(WithAlpha(Qt::white, 0.9), 0.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(22, 12.5), QPointF(22, 16.5));
    Filled(p, Rounded(QRectF(20.2, 9.6, 5.6, 2), 0.8), QColor(190, 196, 204), 0.4, 0.2, 0.6);
}

// How to work with the program: a blue badge with a question mark.
void Help(QPainter& p) {
    Badge(p, {15, 15}, 12.5, QColor(36, 110, 210));
    QPainterPath hook;
    hook.arcMoveTo(QRectF(10.4, 6.6, 9.2, 9.2), 160);
    hook.arcTo(QRectF(10.4, 6.6, 9.2, 9.2), 160, -235);
    hook.quadTo(QPointF(15, 16), QPointF(15, 18.6));
    p.setBrush(Qt::NoBrush);
    p.setPen(
        QPen(WithAlpha(QColor(10, 40, 90), 0.5), 3.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(hook.translated(0.5, 0.6));
    p.setPen(QPen(Qt::white, 3.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(WithAlpha(QColor(10, 40, 90), 0.5));
    p.drawEllipse(QPointF(15.5, 23.4), 2.1, 2.1);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(15, 22.8), 2.1, 2.1);
}

// Choose the language: a globe and a speech bubble with a letter.
void Options(QPainter& p) {
    const QPointF c(13, 16.5);
    const double r = 11.5;
    QRadialGradient sea(c - QPointF(4, 4.5), r * 1.4);
    sea.setColorAt(0, QColor(150, 206, 250));
    sea.setColorAt(0.6, QColor(40, 120, 210));
    sea.setColorAt(1, QColor(14, 56, 130));
    p.setBrush(sea);
    p.setPen(Outline(QColor(12, 50, 110), 0.9));
    p.drawEllipse(c, r, r);
    QPainterPath ball;
    ball.addEllipse(c, r, r);
    p.save();
    p.setClipPath(ball);
    // Continents.
    QPainterPath land;
    land.moveTo(c + QPointF(-8, -7));
    land.cubicTo(c + QPointF(-3, -10), c + QPointF(1, -6), c + QPointF(-1, -3));
    land.cubicTo(c + QPointF(-3, 0), c + QPointF(0, 3), c + QPointF(-3, 7));
    land.cubicTo(c + QPointF(-5, 10), c + QPointF(-8, 4), c + QPointF(-7, 1));
    land.cubicTo(c + QPointF(-11, -1), c + QPointF(-12, -5), c + QPointF(-8, -7));
    land.moveTo(c + QPointF(3, -9));
    land.cubicTo(c + QPointF(8, -10), c + QPointF(12, -4), c + QPointF(9, 0));
    land.cubicTo(c + QPointF(7, 3), c + QPointF(9, 6), c + QPointF(5, 8));
    land.cubicTo(c + QPointF(2, 6), c + QPointF(4, 1), c + QPointF(2, -2));
    land.cubicTo(c + QPointF(0, -4), c + QPointF(1, -8), c + QPointF(3, -9));
    Filled(p, land, QColor(70, 170, 70), 0.25, 0.2, 0.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(WithAlpha(Qt::white, 0.45), 0.6));
    p.drawEllipse(c, r * 0.45, r);
    p.drawLine(c - QPointF(0, r), c + QPointF(0, r));
    p.drawLine(c - QPointF(r, 0), c + QPointF(r, 0));
    p.drawLine(c + QPointF(-r, -r * 0.5), c + QPointF(r, -r * 0.5));
    p.drawLine(c + QPointF(-r, r * 0.5), c + QPointF(r, r * 0.5));
    p.restore();
    // The speech bubble with an "A".
    QPainterPath bubble = Rounded(QRectF(17, 1, 12.5, 10.5), 2.5);
    bubble.addPolygon(QPolygonF({QPointF(19.5, 10), QPointF(18, 14.5), QPointF(23.5, 10.5)}));
    bubble = bubble.simplified();
    Filled(p, bubble, QColor(255, 255, 252), 0.0, 0.08, 0.6);
    p.setPen(QPen(QColor(200, 40, 40), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(20.3, 9.3), QPointF(23.25, 3), QPointF(26.2, 9.3)}));
    p.drawLine(QPointF(21.5, 7), QPointF(25, 7));
}

// A calculator.
void Calc(QPainter& p) {
    Filled(p, Rounded(QRectF(5, 1, 20, 28.5), 2.6), QColor(66, 70, 80), 0.3, 0.25, 0.7);
    Filled(p, Rounded(QRectF(7.5, 3.5, 15, 6.5), 0.8), QColor(178, 194, 160), 0.15, 0.1, 0.7);
    Digit(p, {11.5, 4.9}, 2.6, 3.8, 4, QColor(30, 34, 30));
    Digit(p, {16.8, 4.9}, 2.6, 3.8, 2, QColor(30, 34, 30));
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            QColor key = col == 3 ? QColor(236, 132, 40) : QColor(226, 228, 232);
            if (row == 3 && col == 3) key = QColor(210, 50, 40);
            const QRectF r(7.5 + col * 3.9, 12 + row * 4.2, 3.2, 3.4);
            Filled(p, Rounded(r, 0.7), key, 0.3, 0.2, 0.55);
        }
}

// About the authors: an "i" on a green badge.
void About(QPainter& p) {
    Badge(p, {15, 15}, 12.5, QColor(30, 150, 90));
    auto letter = [&](const QColor& c, QPointF o) {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(QPointF(15, 8.6) + o, 2.2, 2.2);
        QPainterPath stem;
        stem.addRect(QRectF(13.3, 12.2, 3.4, 9.2).translated(o));
        stem.addRect(QRectF(11.8, 12.2, 1.6, 1.5).translated(o));
        stem.addRoundedRect(QRectF(11.4, 20.6, 7.2, 1.8).translated(o), 0.5, 0.5);
        stem.setFillRule(Qt::WindingFill);
        p.drawPath(stem);
    };
    letter(WithAlpha(QColor(8, 50, 30), 0.5), {0.5, 0.6});
    letter(Qt::white, {0, 0});
}

// Exit: a door standing open onto daylight, and an arrow walking out of it.
void Exit(QPainter& p) {
    // The doorway with daylight beyond.
    Filled(p, QPainterPath(Rounded(QRectF(3, 1.5, 15, 27), 0.8)), QColor(120, 84, 50), 0.2, 0.2,
           0.6);
    QLinearGradient day(5, 3, 5, 28);
    day.setColorAt(0, QColor(255, 250, 214));
    day.setColorAt(1, QColor(250, 214, 120));
    p.setBrush(day);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(5, 3.5, 11, 25));
    // The door, swung open towards the student on its left hinges.
    Filled(p, Polygon({{5, 3.5}, {11, 1}, {11, 28.5}, {5, 28.5}}), QColor(168, 110, 58), 0.3, 0.25,
           0.6);
    p.setPen(QPen(Darker(QColor(168, 110, 58), 0.35), 0.6));
    p.drawLine(QPointF(6.6, 6), QPointF(9.6, 4.6));
    p.drawLine(QPointF(6.6, 26.5), QPointF(9.6, 26.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 200, 90));
    p.drawEllipse(QPointF(9.8, 16), 0.9, 1.1);
    Arrow(p, {13, 15.5}, {29, 15.5}, QColor(46, 160, 60), 4.0);
}

// ---- the key and its four looks ------------------------------------------------------------

QRectF FaceOf(Look look) {
    if (look == Look::Up) return Cap.adjusted(2.0, 1.6, -3.0, -4.2);
    return Cap.adjusted(2.4, 2.4, -2.6, -2.8);
}

void KeyCap(QPainter& p, Look look) {
    const bool sunk = look == Look::Pressed || look == Look::Down;
    // The skirt: lit on its top and left sides, shaded on the bottom and right ones.
    QLinearGradient skirt(Cap.topLeft(), Cap.bottomRight());
    skirt.setColorAt(0, Lighter(Ivory, 0.6));
    skirt.setColorAt(0.45, Ivory);
    skirt.setColorAt(1, Darker(Ivory, sunk ? 0.22 : 0.4));
    p.setBrush(skirt);
    p.setPen(QPen(Darker(Ivory, 0.66), 1.0));
    p.drawRoundedRect(Cap, 6.5, 6.5);
    // The face, slightly dished: brighter at the top.
    const QRectF face = FaceOf(look);
    QColor tone = Ivory;
    if (look == Look::Down) tone = Mix(Ivory, QColor(255, 236, 160), 0.55); // lit from behind
    QLinearGradient dish(face.topLeft(), face.bottomLeft());
    dish.setColorAt(0, Lighter(tone, 0.45));
    dish.setColorAt(0.5, Lighter(tone, 0.12));
    dish.setColorAt(1, Darker(tone, 0.04));
    p.setBrush(dish);
    p.setPen(QPen(WithAlpha(Darker(Ivory, 0.5), 0.6), 0.7));
    p.drawRoundedRect(face, 5, 5);
    if (sunk) {
        // The panel's edge shades the upper left of a sunk key.
        QPainterPath rim = Rounded(Cap, 6.5).subtracted(Rounded(Cap.translated(1.6, 1.6), 6.5));
        p.setPen(Qt::NoPen);
        p.setBrush(WithAlpha(Qt::black, 0.28));
        p.drawPath(rim);
    }
    if (look == Look::Down) {
        // A lit pilot dot at the top right of the face.
        const QPointF led(face.right() - 3.2, face.top() + 3.2);
        QRadialGradient glow(led, 3.2);
        glow.setColorAt(0, QColor(255, 255, 220));
        glow.setColorAt(0.35, QColor(120, 240, 80));
        glow.setColorAt(1, WithAlpha(QColor(120, 240, 80), 0));
        p.setBrush(glow);
        p.drawEllipse(led, 3.2, 3.2);
    }
}

// Washed-out grey, as a disabled key looks: no colour and less contrast.
void Grey(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int a = qAlpha(line[x]);
            if (!a) continue;
            const double l =
                (qRed(line[x]) * 0.30 + qGreen(line[x]) * 0.59 + qBlue(line[x]) * 0.11) * 255.0 / a;
            const double g = 176 + (l - 176) * 0.42;
            const int v = std::clamp(int(std::lround(g * a / 255.0)), 0, a);
            line[x] = qRgba(v, v, v, a);
        }
    }
}

void Dim(QImage& image, double factor) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb v = line[x];
            line[x] = qRgba(int(qRed(v) * factor), int(qGreen(v) * factor), int(qBlue(v) * factor),
                            qAlpha(v));
        }
    }
}

QImage Key(const Painter& pictogram, Look look) {
    QImage layer = Canvas(Glyph, Glyph);
    {
        QPainter p(&layer);
        Smooth(p);
        if (look == Look::Pressed || look == Look::Down) p.translate(1, 1);
        KeyCap(p, look);
        const QRectF face = FaceOf(look);
        p.translate(face.center() - QPointF(15, 15));
        pictogram(p);
    }
    switch (look) {
    case Look::Up:
        return WithShadow(layer, 1.6, {1.2, 1.8}, 0.5);
    case Look::Disabled:
        Grey(layer);
        ClearFaint(layer, 1);
        return layer;
    case Look::Pressed:
        Dim(layer, 0.88);
        return WithShadow(layer, 1.0, {0.7, 1.0}, 0.45);
    case Look::Down:
        return WithShadow(layer, 1.0, {0.7, 1.0}, 0.4);
    }
    return layer;
}

QImage Strip(const Painter& pictogram) {
    QImage strip = Canvas(Glyph * Looks, Glyph);
    QPainter p(&strip);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    const Look looks[Looks] = {Look::Up, Look::Disabled, Look::Pressed, Look::Down};
    for (int i = 0; i < Looks; ++i)
        p.drawImage(i * Glyph, 0, Key(pictogram, looks[i]));
    return strip;
}

// ---- the programs' icons -------------------------------------------------------------------

// The workbench: the mounting board with a battery, a resistor and two wires in a loop.
void WorkbenchIcon(QPainter& p) {
    {
        const QRectF board(2, 2, 58, 58);
        QLinearGradient frame(board.topLeft(), board.bottomRight());
        frame.setColorAt(0, QColor(240, 242, 244));
        frame.setColorAt(0.45, QColor(184, 188, 194));
        frame.setColorAt(1, QColor(116, 120, 126));
        p.setBrush(frame);
        p.setPen(Outline(QColor(80, 84, 90), 1.0));
        p.drawRoundedRect(board, 4, 4);
        const QRectF plate = board.adjusted(4, 4, -4, -4);
        QLinearGradient resin(plate.topLeft(), plate.bottomRight());
        resin.setColorAt(0, QColor(50, 108, 84));
        resin.setColorAt(1, QColor(22, 58, 44));
        p.setBrush(resin);
        p.setPen(Outline(QColor(12, 34, 26), 0.8));
        p.drawRect(plate);
        // Screws in the frame's corners.
        for (const QPointF& s :
             {board.topLeft() + QPointF(2, 2), board.topRight() + QPointF(-2, 2),
              board.bottomLeft() + QPointF(2, -2), board.bottomRight() + QPointF(-2, -2)})
            Screw(p, s, 1.4, 40, QColor(200, 202, 204));
        // The parts between four nodes, 36 pixels apart.
        const double a = 13, b = 49, s = (b - a) / parts::Size;
        p.setPen(QPen(WithAlpha(QColor(226, 222, 186), 0.5), 0.8));
        auto place = [&](QPointF from, double angle, const std::function<void(QPainter&)>& part) {
            p.save();
            p.translate(from);
            p.rotate(angle);
            p.scale(s, s);
            p.translate(0, -parts::Axis);
            part(p);
            p.restore();
        };
        place({a, a}, 0, [](QPainter& q) { parts::Resistor(q, false); });
        place({a, b}, 0, [](QPainter& q) { parts::Battery(q); });
        place({a, a}, 90, [](QPainter& q) { parts::Wire(q); });
        place({b, a}, 90, [](QPainter& q) { parts::Wire(q); });
        for (const QPointF& n : {QPointF(a, a), QPointF(b, a), QPointF(a, b), QPointF(b, b)}) {
            QRadialGradient brass(n - QPointF(1.4, 1.4), 4.6);
            brass.setColorAt(0, QColor(255, 240, 180));
            brass.setColorAt(0.45, QColor(214, 180, 96));
            brass.setColorAt(1, QColor(120, 90, 36));
            p.setBrush(brass);
            p.setPen(Outline(QColor(84, 60, 20), 0.7));
            p.drawEllipse(n, 3.6, 3.6);
            p.setPen(QPen(QColor(84, 58, 18), 1.0));
            p.drawLine(n + QPointF(-2, 1.6), n + QPointF(2, -1.6));
        }
    }
}

// The coursebook: an open book, a lightning bolt on the left page and a circuit on the right.
void CoursebookIcon(QPainter& p) {
    {
        const QColor cloth(36, 80, 150);
        // The cover under the pages.
        QPainterPath cover;
        cover.moveTo(32, 16);
        cover.quadTo(18, 9, 2, 12);
        cover.lineTo(2, 54);
        cover.quadTo(18, 51, 32, 58);
        cover.quadTo(46, 51, 62, 54);
        cover.lineTo(62, 12);
        cover.quadTo(46, 9, 32, 16);
        Filled(p, cover, cloth, 0.2, 0.25, 0.6);
        // The pages: a few leaves fanned at the outer edges.
        auto page = [](double side, double shift) {
            QPainterPath path;
            const double out = 32 + side * (28 - shift);
            path.moveTo(32, 13.5 + shift * 0.2);
            path.quadTo(32 + side * 14, 5 + shift, out, 8 + shift);
            path.lineTo(out, 50 + shift * 0.6);
            path.quadTo(32 + side * 14, 47 + shift * 0.6, 32, 55 - shift * 0.2);
            path.closeSubpath();
            return path;
        };
        for (double side : {-1.0, 1.0})
            for (double shift : {2.4, 1.2, 0.0}) {
                const QPainterPath leaf = page(side, shift);
                QLinearGradient g(32, 0, 32 + side * 28, 0);
                g.setColorAt(0, QColor(196, 188, 166));
                g.setColorAt(0.15, QColor(246, 242, 228));
                g.setColorAt(1, QColor(252, 250, 240));
                p.setBrush(g);
                p.setPen(Outline(QColor(150, 140, 116), 0.6));
                p.drawPath(leaf);
            }
        // The left page: a lightning bolt.
        Filled(p, Bolt(QRectF(11, 14, 15, 30)), QColor(255, 200, 30), 0.4, 0.15, 0.65);
        // The right page: a battery, a lamp and a resistor in a loop.
        p.setBrush(Qt::NoBrush);
        const QColor ink(30, 60, 140);
        p.setPen(Outline(ink, 1.2));
        p.drawPolyline(
            QPolygonF({QPointF(40, 28), QPointF(40, 18), QPointF(55, 18), QPointF(55, 25)}));
        p.drawPolyline(
            QPolygonF({QPointF(55, 35), QPointF(55, 42), QPointF(40, 42), QPointF(40, 33)}));
        // The cell: a long and a short plate.
        p.setPen(Outline(ink, 1.3));
        p.drawLine(QPointF(36, 28), QPointF(44, 28));
        p.drawLine(QPointF(38, 32.5), QPointF(42, 32.5));
        p.setPen(Outline(ink, 1.2));
        p.drawLine(QPointF(40, 32.5), QPointF(40, 33));
        // The resistor on the right side.
        p.setBrush(QColor(250, 250, 244));
        p.drawRect(QRectF(52.5, 25, 5, 10));
        // The lamp on the top wire.
        p.setBrush(QColor(255, 236, 120));
        p.drawEllipse(QPointF(47.5, 18), 3.4, 3.4);
        p.drawLine(QPointF(45.1, 15.6), QPointF(49.9, 20.4));
        p.drawLine(QPointF(45.1, 20.4), QPointF(49.9, 15.6));
        // A ribbon bookmark.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 40, 40));
        p.drawPolygon(QPolygonF({QPointF(33, 54), QPointF(36, 55), QPointF(36, 62),
                                 QPointF(34.5, 60.5), QPointF(33, 62)}));
    }
}

// The filter demonstration: an instrument screen showing a low-pass response.
void FilterdemoIcon(QPainter& p) {
    {
        Filled(p, Rounded(QRectF(2, 3, 58, 57), 6), QColor(80, 92, 104), 0.3, 0.3, 0.65);
        const QRectF screen(7, 8, 48, 38);
        p.setBrush(QColor(10, 26, 20));
        p.setPen(Outline(QColor(8, 10, 12), 1.2));
        p.drawRoundedRect(screen, 3, 3);
        p.setPen(QPen(WithAlpha(QColor(120, 220, 150), 0.28), 0.7));
        for (int i = 1; i < 6; ++i) {
            const double x = screen.left() + i * screen.width() / 6;
            p.drawLine(QPointF(x, screen.top() + 1.5), QPointF(x, screen.bottom() - 1.5));
        }
        for (int i = 1; i < 5; ++i) {
            const double y = screen.top() + i * screen.height() / 5;
            p.drawLine(QPointF(screen.left() + 1.5, y), QPointF(screen.right() - 1.5, y));
        }
        // |H| of a first-order low-pass over a logarithmic frequency axis, in decibels.
        QPolygonF curve;
        for (int i = 0; i <= 80; ++i) {
            const double t = i / 80.0;
            const double decades = -1.6 + 3.2 * t; // around the corner frequency
            const double db = -10 * std::log10(1 + std::pow(10.0, 2 * decades));
            curve << QPointF(screen.left() + 2 + t * (screen.width() - 4),
                             screen.top() + 9 - db * 0.75);
        }
        // The -3 dB mark at the corner.
        p.setPen(QPen(WithAlpha(QColor(255, 200, 90), 0.8), 0.9, Qt::DashLine));
        const double xc = screen.left() + 2 + 0.5 * (screen.width() - 4);
        p.drawLine(QPointF(xc, screen.top() + 2), QPointF(xc, screen.bottom() - 2));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(WithAlpha(QColor(90, 255, 140), 0.35), 4, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
        p.drawPolyline(curve);
        p.setPen(QPen(QColor(200, 255, 210), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(curve);
        // The knobs under the screen.
        for (double x : {14.0, 24.0})
            Screw(p, {x, 53}, 3, 30, QColor(220, 222, 226));
        // R and C as their symbols on a label strip.
        p.setPen(Outline(QColor(230, 232, 236), 1.1));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(32, 53), QPointF(35, 53));
        p.drawRect(QRectF(35, 51, 7, 4));
        p.drawLine(QPointF(42, 53), QPointF(48, 53));
        p.drawLine(QPointF(45, 53), QPointF(45, 54.5));
        p.drawLine(QPointF(42.5, 54.5), QPointF(47.5, 54.5));
        p.drawLine(QPointF(42.5, 56.5), QPointF(47.5, 56.5));
        p.drawLine(QPointF(48, 53), QPointF(53, 53));
    }
}

} // namespace

void DrawToolbar(ArtWriter& out) {
    const std::pair<const char*, Painter> buttons[] = {
        {"ReadFile", ReadFile},
        {"WriteFile", WriteFile},
        {"DeleteAll", DeleteAll},
        {"Multimeter", Multimeter},
        {"Oscillograph", Oscillograph},
        {"FloatControl", FloatControl},
        {"IronState", IronState},
        {"HelpReference", HelpReference},
        {"HelpLabs", HelpLabs},
        {"Help", Help},
        {"Options", Options},
        {"Calc", Calc},
        {"About", About},
        {"Exit", Exit},
    };
    for (const auto& [name, pictogram] : buttons)
        out.Bitmap(QString("bmpBtn%1").arg(name), Strip(pictogram));
    for (const ProgramIcon& icon : ProgramIcons())
        out.Bitmap(icon.Resource, Render(IconUnits, IconUnits, icon.Paint));
}

const std::vector<ProgramIcon>& ProgramIcons() {
    static const std::vector<ProgramIcon> icons = {
        {"workbench", "bmpAppIconWorkbench", WorkbenchIcon},
        {"coursebook", "bmpAppIconCoursebook", CoursebookIcon},
        {"filterdemo", "bmpAppIconFilterdemo", FilterdemoIcon},
    };
    return icons;
}
