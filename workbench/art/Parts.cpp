// The parts on the board, drawn as the real things of a school electronics kit: an enamelled
// carbon-film resistor (its value is printed on it by the program), a red hook-up wire, a
// resistance wire stretched in a zigzag over a textolite strip, a yellow film capacitor, a copper
// coil on a bobbin, a 1.5 V cell in its holder, a small sine-voltage generator, a knife switch on a
// porcelain base, a glass cartridge fuse in its clips, a bulb in its socket and a coiled heating
// element.
#include "Parts.h"

#include "Art.h"
#include "ArtWriter.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

using namespace art;

namespace parts {

namespace {

constexpr double Y = Axis;
constexpr double LeadEnd = 4.5; // leads end on the terminal's screw head, 4.5 px from the node

const QColor Tinned(200, 201, 203);
const QColor Copper(200, 116, 58);
const QColor Brass(204, 168, 84);
const QColor Steel(196, 200, 204);

void Leads(QPainter& p, double left, double right, const QColor& metal = Tinned) {
    Lead(p, {LeadEnd, Y}, {left, Y}, 2.2, metal);
    Lead(p, {right, Y}, {Size - LeadEnd, Y}, 2.2, metal);
}

// A soft dark halo of soot round a burnt part.
void Soot(QPainter& p, QPointF centre, double rx, double ry, double strength) {
    p.save();
    QRadialGradient g(0, 0, 1);
    g.setColorAt(0.0, WithAlpha(QColor(20, 14, 10), strength));
    g.setColorAt(0.55, WithAlpha(QColor(30, 22, 16), strength * 0.55));
    g.setColorAt(1.0, WithAlpha(QColor(30, 22, 16), 0));
    p.translate(centre);
    p.scale(rx, ry);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(QPointF(0, 0), 1.0, 1.0);
    p.restore();
}

// The bluish-brown temper colours of a lead that got too hot.
void HeatTint(QPainter& p, double from, double to) {
    QLinearGradient g(from, 0, to, 0);
    g.setColorAt(0, WithAlpha(QColor(120, 90, 60), 0.0));
    g.setColorAt(0.5, WithAlpha(QColor(96, 80, 120), 0.55));
    g.setColorAt(1, WithAlpha(QColor(70, 50, 36), 0.85));
    p.save();
    p.setPen(QPen(QBrush(g), 2.4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(from, Y), QPointF(to, Y));
    p.restore();
}

// A ridged metal collar or clamp band across the lead line.
void Band(QPainter& p, const QRectF& r, const QColor& metal) {
    p.save();
    p.setPen(QPen(Darker(metal, 0.55), 0.7));
    p.setBrush(CylinderAcross(r.topLeft(), r.bottomLeft(), metal));
    p.drawRoundedRect(r, 1.2, 1.2);
    p.restore();
}

QPainterPath Bulb() {
    // Glass sphere over a short neck that disappears into the socket.
    QPainterPath glass;
    glass.addEllipse(QPointF(32, 21.0), 9.2, 9.2);
    QPainterPath neck;
    neck.addRoundedRect(QRectF(28.2, 24, 7.6, 6.5), 2, 2);
    return glass.united(neck);
}

} // namespace

void Resistor(QPainter& p, bool burnt) {
    // Long enough for the program's white value label ("1000.0" included) to sit on the body.
    Leads(p, 14, 50);
    if (burnt) {
        Soot(p, {32, Y + 1}, 28, 15, 0.55);
        HeatTint(p, 6, 13);
        p.save();
        p.translate(64, 0);
        p.scale(-1, 1);
        HeatTint(p, 6, 13);
        p.restore();
    }
    // A carbon-film body whose end caps stand a little proud of the middle, with smooth
    // shoulders between them, enamelled all over.
    QPainterPath body;
    const double cap = 7.5, waist = 6.6, left = 11.5, right = 52.5;
    body.moveTo(left + 3.5, Y - cap);
    body.lineTo(18.5, Y - cap);
    body.cubicTo(20.2, Y - cap, 20.6, Y - waist, 22.4, Y - waist);
    body.lineTo(41.6, Y - waist);
    body.cubicTo(43.4, Y - waist, 43.8, Y - cap, 45.5, Y - cap);
    body.lineTo(right - 3.5, Y - cap);
    body.quadTo(right, Y - cap, right, Y - cap + 3.5);
    body.lineTo(right, Y + cap - 3.5);
    body.quadTo(right, Y + cap, right - 3.5, Y + cap);
    body.lineTo(45.5, Y + cap);
    body.cubicTo(43.8, Y + cap, 43.4, Y + waist, 41.6, Y + waist);
    body.lineTo(22.4, Y + waist);
    body.cubicTo(20.6, Y + waist, 20.2, Y + cap, 18.5, Y + cap);
    body.lineTo(left + 3.5, Y + cap);
    body.quadTo(left, Y + cap, left, Y + cap - 3.5);
    body.lineTo(left, Y - cap + 3.5);
    body.quadTo(left, Y - cap, left + 3.5, Y - cap);
    body.closeSubpath();
    const QColor enamel = burnt ? QColor(58, 44, 36) : QColor(142, 50, 40);
    p.setPen(QPen(Darker(enamel, 0.6), 0.8));
    p.setBrush(CylinderAcross({0, Y - 7.5}, {0, Y + 7.5}, enamel, burnt ? 0.25 : 0.7));
    p.drawPath(body);
    if (!burnt) {
        // The lacquer's sharp reflection along the top.
        p.setPen(QPen(WithAlpha(Qt::white, 0.35), 0.9, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, Y - 4.6), QPointF(50, Y - 4.6));
        return;
    }
    // Burnt: blistered, ash-grey patches and a crack through the middle of the body.
    p.setClipPath(body);
    p.setPen(Qt::NoPen);
    Rng rng(11);
    for (int i = 0; i < 9; ++i) {
        p.setBrush(WithAlpha(QColor(140, 128, 116), rng.Range(0.25, 0.6)));
        p.drawEllipse(QPointF(rng.Range(14, 50), Y + rng.Range(-6, 6)), rng.Range(1, 2.6),
                      rng.Range(0.8, 2));
    }
    p.setBrush(WithAlpha(QColor(8, 6, 4), 0.8));
    p.drawEllipse(QPointF(32, Y), 7, 8);
    QPainterPath crack;
    crack.moveTo(30, Y - 8);
    crack.lineTo(33, Y - 3.5);
    crack.lineTo(30.5, Y + 0.5);
    crack.lineTo(34, Y + 4);
    crack.lineTo(31.5, Y + 8);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0), 1.5));
    p.drawPath(crack);
    p.setPen(QPen(WithAlpha(QColor(170, 150, 130), 0.6), 0.6));
    p.drawPath(crack.translated(1, 0));
    p.setClipping(false);
}

void Wire(QPainter& p) {
    // Stripped, tinned ends go under the terminals; red PVC insulation between them.
    Leads(p, 12, 52, QColor(214, 196, 160));
    const QRectF sleeve(10.5, Y - 2.7, 43, 5.4);
    const QColor red(196, 36, 32);
    p.setPen(QPen(Darker(red, 0.55), 0.7));
    p.setBrush(CylinderAcross(sleeve.topLeft(), sleeve.bottomLeft(), red, 0.8));
    p.drawRoundedRect(sleeve, 2.5, 2.5);
    // The cut ends of the insulation.
    p.setPen(QPen(Darker(red, 0.35), 0.6));
    p.drawLine(QPointF(11.2, Y - 2.2), QPointF(11.2, Y + 2.2));
    p.drawLine(QPointF(52.8, Y - 2.2), QPointF(52.8, Y + 2.2));
}

void Conductor(QPainter& p) {
    // A length of bare resistance wire stretched in a zigzag between pins on a textolite strip.
    Leads(p, 13.5, 50.5);
    Plastic(p, QRectF(11.5, Y - 9, 41, 18), 2.5, QColor(214, 194, 150), 0.4);
    // Two brass terminal posts where the leads are soldered.
    const double top = Y - 6, bottom = Y + 6;
    QPolygonF zig;
    zig << QPointF(14.5, Y);
    for (int i = 0; i < 8; ++i)
        zig << QPointF(18 + 4 * i, i % 2 ? bottom : top);
    zig << QPointF(49.5, Y);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(WithAlpha(Qt::black, 0.35), 1.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(zig.translated(0.6, 0.8)); // the wire's shadow on the strip
    p.setPen(QPen(QColor(92, 94, 98), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(zig);
    p.setPen(QPen(QColor(222, 224, 228), 0.7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(zig.translated(-0.2, -0.3));
    for (int i = 0; i < zig.size(); ++i) {
        const bool post = i == 0 || i == zig.size() - 1;
        const double r = post ? 2.2 : 1.3;
        QRadialGradient g(zig[i] - QPointF(0.5, 0.6), r * 1.4);
        g.setColorAt(0, Lighter(Brass, 0.6));
        g.setColorAt(1, Darker(Brass, 0.35));
        p.setPen(QPen(Darker(Brass, 0.6), 0.5));
        p.setBrush(g);
        p.drawEllipse(zig[i], r, r);
    }
}

void Capacitor(QPainter& p, bool burnt) {
    Leads(p, 20, 44);
    const QRectF box(18.5, Y - 10.5, 27, 21);
    if (burnt) {
        Soot(p, {32, Y + 1}, 24, 17, 0.6);
        HeatTint(p, 12, 20);
        p.save();
        p.translate(64, 0);
        p.scale(-1, 1);
        HeatTint(p, 12, 20);
        p.restore();
    }
    // An epoxy-dipped film capacitor: a box with rounded edges and a flat top.
    const QColor epoxy = burnt ? QColor(92, 62, 30) : QColor(226, 170, 40);
    Plastic(p, box, 3.5, epoxy, 0.5);
    QRectF top = box.adjusted(2.2, 2, -2.2, -2.6);
    QLinearGradient face(top.topLeft(), top.bottomRight());
    face.setColorAt(0, Lighter(epoxy, 0.28));
    face.setColorAt(1, Darker(epoxy, 0.06));
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawRoundedRect(top, 2.5, 2.5);
    if (!burnt) {
        p.setPen(QPen(WithAlpha(Qt::white, 0.45), 0.9));
        p.drawLine(QPointF(top.left() + 2, top.top() + 1.2),
                   QPointF(top.right() - 6, top.top() + 1.2));
        return;
    }
    // Burnt: the case burst open in the middle, charred round the hole, with cracks running
    // out from it.
    QPainterPath outline;
    outline.addRoundedRect(box, 3.5, 3.5);
    p.setClipPath(outline);
    p.setPen(Qt::NoPen);
    Rng rng(23);
    for (int i = 0; i < 10; ++i) {
        p.setBrush(WithAlpha(QColor(20, 14, 8), rng.Range(0.3, 0.7)));
        p.drawEllipse(QPointF(rng.Range(20, 44), Y + rng.Range(-9, 9)), rng.Range(1.5, 4),
                      rng.Range(1.2, 3));
    }
    p.setBrush(Qt::NoBrush);
    for (double a : {0.4, 1.9, 3.3, 4.6}) {
        QPainterPath crack;
        QPointF at(32 + 4 * std::cos(a), Y + 3.5 * std::sin(a));
        crack.moveTo(at);
        for (int k = 1; k <= 4; ++k) {
            at += QPointF(3.2 * std::cos(a) + rng.Signed() * 1.2,
                          2.6 * std::sin(a) + rng.Signed() * 1.2);
            crack.lineTo(at);
        }
        p.setPen(QPen(QColor(14, 10, 6), 0.8));
        p.drawPath(crack);
    }
    QPolygonF crater;
    for (int k = 0; k < 14; ++k) {
        const double a = k * 2 * 3.14159265358979 / 14, r = rng.Range(3.6, 5.6);
        crater << QPointF(32 + r * std::cos(a), Y + 0.8 * r * std::sin(a));
    }
    QRadialGradient hole(QPointF(32, Y), 6);
    hole.setColorAt(0, QColor(6, 4, 2));
    hole.setColorAt(0.7, QColor(24, 16, 10));
    hole.setColorAt(1, QColor(70, 44, 20));
    p.setBrush(hole);
    p.setPen(QPen(WithAlpha(QColor(170, 130, 80), 0.65), 0.6));
    p.drawPolygon(crater);
    p.setClipping(false);
}

void Coil(QPainter& p) {
    Leads(p, 18, 46, Copper);
    // Enamelled copper wound on a black bobbin.
    const QRectF winding(20.5, Y - 9.5, 23, 19);
    p.setPen(QPen(Darker(Copper, 0.6), 0.7));
    p.setBrush(CylinderAcross(winding.topLeft(), winding.bottomLeft(), Copper, 0.9));
    p.drawRect(winding);
    // One dark groove between neighbouring turns, slightly slanted as a real winding is.
    for (double x = winding.left() + 1.1; x < winding.right() - 0.4; x += 1.45) {
        p.setPen(QPen(WithAlpha(QColor(80, 36, 10), 0.55), 0.5));
        p.drawLine(QPointF(x, winding.top() + 0.3), QPointF(x + 0.9, winding.bottom() - 0.3));
    }
    // The varnish keeps a narrow bright reflection along the top of the turns.
    p.setPen(QPen(WithAlpha(QColor(255, 228, 190), 0.55), 0.9));
    p.drawLine(QPointF(winding.left() + 0.5, Y - 5.6), QPointF(winding.right() - 0.5, Y - 5.6));
    const QColor bobbin(46, 46, 52);
    Plastic(p, QRectF(16.5, Y - 13, 4.5, 26), 1.2, bobbin, 0.5);
    Plastic(p, QRectF(43, Y - 13, 4.5, 26), 1.2, bobbin, 0.5);
}

void Battery(QPainter& p) {
    Leads(p, 10, 54);
    // A black holder with a spring at the negative end and a flat contact at the positive end.
    Plastic(p, QRectF(8.5, Y - 10.5, 47, 21), 3, QColor(44, 44, 48), 0.55);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(22, 22, 24));
    p.drawRoundedRect(QRectF(11, Y - 8.3, 42, 16.6), 2, 2);
    p.setPen(QPen(Steel, 0.9));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(11.8 + i * 0.9, Y - 5), QPointF(12.4 + i * 0.9, Y + 5));
    Band(p, QRectF(50.6, Y - 6, 1.6, 12), Steel);
    // The cell: a blue wrap, a gold band and the nickel-plated ends; the button is positive.
    const QRectF cell(14.8, Y - 7, 34, 14);
    const QColor wrap(34, 88, 178), gold(212, 170, 70);
    p.setPen(QPen(Darker(wrap, 0.6), 0.7));
    p.setBrush(CylinderAcross(cell.topLeft(), cell.bottomLeft(), wrap, 0.9));
    p.drawRoundedRect(cell, 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(CylinderAcross({0, Y - 7}, {0, Y + 7}, gold, 0.9));
    p.drawRect(QRectF(40, Y - 7, 6.5, 14));
    Band(p, QRectF(46.5, Y - 6.8, 2.4, 13.6), Steel);
    Band(p, QRectF(48.5, Y - 3.2, 2.2, 6.4), Steel);
    Band(p, QRectF(14.2, Y - 6.8, 1.6, 13.6), Steel);
    // A plus sign reads the same in both orientations of the part.
    p.setPen(QPen(QColor(250, 250, 250), 1.3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(43.2 - 2.6, Y), QPointF(43.2 + 2.6, Y));
    p.drawLine(QPointF(43.2, Y - 2.6), QPointF(43.2, Y + 2.6));
}

void Generator(QPainter& p) {
    Leads(p, 14, 50);
    // A small grey-blue instrument case with a screen showing its sine wave.
    const QRectF caseBox(13, Y - 14.5, 38, 29);
    Plastic(p, caseBox, 3.5, QColor(92, 110, 122), 0.55);
    // Terminal posts on the case sides, where the leads come in.
    for (double x : {12.0, 48.5})
        Band(p, QRectF(x, Y - 3.5, 3.5, 7), Brass);
    const QRectF screen(18.5, Y - 10.5, 27, 13);
    p.setPen(QPen(QColor(30, 34, 36), 1));
    p.setBrush(QColor(14, 30, 22));
    p.drawRoundedRect(screen, 1.6, 1.6);
    QPainterPath wave;
    for (int i = 0; i <= 40; ++i) {
        const double x = screen.left() + 2.5 + i * (screen.width() - 5) / 40.0;
        const double y = screen.center().y() - 3.6 * std::sin(i / 40.0 * 2 * 3.14159265358979);
        if (i == 0)
            wave.moveTo(x, y);
        else
            wave.lineTo(x, y);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(WithAlpha(QColor(90, 255, 140), 0.35), 2.6));
    p.drawPath(wave);
    p.setPen(QPen(QColor(170, 255, 190), 1.0));
    p.drawPath(wave);
    // The screen's glass reflection.
    p.setPen(Qt::NoPen);
    p.setBrush(WithAlpha(Qt::white, 0.12));
    p.drawRect(QRectF(screen.left() + 1, screen.top() + 1, screen.width() - 2, 3.5));
    // A red pilot lamp and a black knob.
    QRadialGradient pilot(QPointF(22, Y + 7.5), 2.6);
    pilot.setColorAt(0, QColor(255, 170, 150));
    pilot.setColorAt(0.5, QColor(226, 30, 24));
    pilot.setColorAt(1, QColor(120, 10, 8));
    p.setPen(QPen(QColor(60, 20, 20), 0.5));
    p.setBrush(pilot);
    p.drawEllipse(QPointF(22.5, Y + 8), 2.1, 2.1);
    QRadialGradient knob(QPointF(39.8, Y + 6.6), 4);
    knob.setColorAt(0, QColor(120, 120, 124));
    knob.setColorAt(1, QColor(16, 16, 18));
    p.setBrush(knob);
    p.setPen(QPen(QColor(10, 10, 10), 0.6));
    p.drawEllipse(QPointF(41, Y + 8), 3.3, 3.3);
    p.setPen(QPen(QColor(230, 230, 230), 0.8));
    p.drawLine(QPointF(41, Y + 8), QPointF(42.8, Y + 5.9));
}

void KnifeSwitch(QPainter& p, bool closed) {
    Leads(p, 14, 50);
    // A glazed porcelain base with the hinge post on the left and the spring jaw on the right.
    Plastic(p, QRectF(9, Y - 9.5, 46, 19), 4, QColor(238, 234, 224), 0.35);
    Screw(p, {12.6, Y - 6}, 1.5, 20, Steel);
    Screw(p, {12.6, Y + 6}, 1.5, 70, Steel);
    Screw(p, {51.4, Y - 6}, 1.5, 45, Steel);
    Screw(p, {51.4, Y + 6}, 1.5, 10, Steel);
    Band(p, QRectF(13.5, Y - 4, 6.5, 8), Brass);
    const QColor jawMetal = Darker(Brass, 0.05);
    p.setPen(QPen(Darker(jawMetal, 0.55), 0.6));
    p.setBrush(CylinderAcross({0, Y - 5}, {0, Y - 2.6}, jawMetal));
    p.drawRect(QRectF(43.5, Y - 5, 7.5, 2.4));
    p.setBrush(CylinderAcross({0, Y + 2.6}, {0, Y + 5}, jawMetal));
    p.drawRect(QRectF(43.5, Y + 2.6, 7.5, 2.4));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 56, 30));
    p.drawRect(QRectF(43.5, Y - 2.6, 7.5, 5.2)); // the empty gap of the jaw

    // The copper blade pivots on the hinge; open, it stands up off the base at an angle.
    const QPointF hinge(16.7, Y);
    const double angle = closed ? 0 : -38;
    const double length = 34;
    p.save();
    if (!closed) {
        // A raised blade throws its shadow further onto the base.
        p.save();
        p.translate(hinge + QPointF(2.5, 3));
        p.rotate(angle + 6);
        p.setPen(QPen(WithAlpha(Qt::black, 0.22), 4.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, 0), QPointF(length - 6, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(WithAlpha(Qt::black, 0.2));
        p.drawEllipse(QPointF(length - 8, 0), 4.6, 4.6);
        p.restore();
    }
    p.translate(hinge);
    p.rotate(angle);
    const QColor blade(214, 128, 66);
    p.setPen(QPen(Darker(blade, 0.55), 0.6));
    p.setBrush(CylinderAcross({0, -2.1}, {0, 2.1}, blade, 0.9));
    p.drawRoundedRect(QRectF(-1.8, -2.1, length, 4.2), 1.4, 1.4);
    // The insulating knob at the blade's free end.
    QRadialGradient knob(QPointF(length - 4.3, -1.4), 5);
    knob.setColorAt(0, QColor(240, 90, 80));
    knob.setColorAt(0.5, QColor(176, 24, 22));
    knob.setColorAt(1, QColor(80, 8, 8));
    p.setBrush(knob);
    p.setPen(QPen(QColor(60, 6, 6), 0.6));
    p.drawEllipse(QPointF(length - 5, 0), closed ? 3.6 : 4.2, closed ? 3.6 : 4.2);
    p.restore();
    Screw(p, hinge, 1.8, 0, Brass);
}

void Fuse(QPainter& p, FuseState state) {
    Leads(p, 14, 50);
    // Black holder with two pairs of brass spring clips holding a glass cartridge.
    Plastic(p, QRectF(11, Y - 8.5, 42, 17), 2.5, QColor(40, 40, 44), 0.55);
    for (double x : {15.5, 42.5})
        Band(p, QRectF(x, Y - 6.5, 6, 13), Brass);
    const QRectF glass(22.5, Y - 4.6, 19, 9.2);
    QPainterPath tube;
    tube.addRect(glass);
    // The wire inside, seen through the glass.
    if (state == FuseState::BurntOut) {
        QLinearGradient smoke(glass.topLeft(), glass.bottomLeft());
        smoke.setColorAt(0, QColor(120, 110, 100));
        smoke.setColorAt(0.5, QColor(70, 60, 52));
        smoke.setColorAt(1, QColor(100, 90, 80));
        p.setPen(Qt::NoPen);
        p.setBrush(smoke);
        p.drawRect(glass);
        p.setBrush(WithAlpha(QColor(16, 12, 8), 0.75));
        p.drawEllipse(QPointF(32, Y), 6, 4);
        p.setPen(QPen(QColor(60, 58, 56), 0.8));
        p.drawLine(QPointF(22.5, Y), QPointF(28.6, Y + 0.6));
        p.drawLine(QPointF(35.4, Y - 0.4), QPointF(41.5, Y));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(50, 48, 46));
        p.drawEllipse(QPointF(28.8, Y + 0.7), 0.9, 0.9);
        p.drawEllipse(QPointF(35.2, Y - 0.4), 0.9, 0.9);
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 30, 34)); // the holder seen through the glass
        p.drawRect(glass);
        if (state == FuseState::Burning) {
            p.save();
            p.setClipPath(tube);
            QRadialGradient fire(QPointF(32, Y), 10);
            fire.setColorAt(0, QColor(255, 250, 210));
            fire.setColorAt(0.3, QColor(255, 190, 60));
            fire.setColorAt(1, QColor(200, 60, 10, 120));
            p.setBrush(fire);
            p.drawRect(glass);
            p.restore();
        }
        p.setPen(QPen(state == FuseState::Burning ? QColor(255, 255, 230) : QColor(150, 150, 150),
                      state == FuseState::Burning ? 1.2 : 0.8));
        QPainterPath wire;
        wire.moveTo(22.5, Y);
        wire.quadTo(32, Y + 1.4, 41.5, Y);
        p.setBrush(Qt::NoBrush);
        p.drawPath(wire);
    }
    // Glass: clear with a bright reflection along the top and a darker lower edge.
    QLinearGradient sheen(glass.topLeft(), glass.bottomLeft());
    sheen.setColorAt(0.0, WithAlpha(QColor(200, 220, 230), 0.55));
    sheen.setColorAt(0.22, WithAlpha(Qt::white, 0.75));
    sheen.setColorAt(0.4, WithAlpha(QColor(200, 220, 230), 0.2));
    sheen.setColorAt(0.8, WithAlpha(QColor(200, 220, 230), 0.1));
    sheen.setColorAt(1.0, WithAlpha(QColor(160, 180, 190), 0.45));
    p.setBrush(sheen);
    p.setPen(Qt::NoPen);
    p.drawRect(glass);
    // Nickel end caps.
    Band(p, QRectF(18, Y - 5, 5, 10), Steel);
    Band(p, QRectF(41, Y - 5, 5, 10), Steel);
    if (state == FuseState::Burning) {
        // A spark flashing out of the middle of the cartridge.
        p.save();
        p.translate(32, Y);
        for (int i = 0; i < 8; ++i) {
            const double len = i % 2 ? 5.5 : 9;
            p.setPen(QPen(WithAlpha(QColor(255, 236, 150), 0.85), i % 2 ? 0.8 : 1.1, Qt::SolidLine,
                          Qt::RoundCap));
            p.drawLine(QPointF(0, 0), QPointF(len * std::cos(i * 3.14159265 / 4 + 0.3),
                                              len * std::sin(i * 3.14159265 / 4 + 0.3)));
        }
        QRadialGradient flash(QPointF(0, 0), 6);
        flash.setColorAt(0, QColor(255, 255, 255));
        flash.setColorAt(0.4, WithAlpha(QColor(255, 220, 120), 0.8));
        flash.setColorAt(1, WithAlpha(QColor(255, 150, 40), 0));
        p.setPen(Qt::NoPen);
        p.setBrush(flash);
        p.drawEllipse(QPointF(0, 0), 6, 6);
        p.restore();
    }
}

void Lamp(QPainter& p, Glow glow) {
    Leads(p, 15, 49);
    // A bakelite lamp holder with an E10 socket; the bulb stands above the lead line.
    Plastic(p, QRectF(14, Y - 3.5, 36, 12.5), 2.5, QColor(62, 48, 42), 0.55);
    Screw(p, {18.5, Y + 3}, 1.6, 30, Steel);
    Screw(p, {45.5, Y + 3}, 1.6, 60, Steel);
    // The threaded socket collar.
    const QRectF collar(25.5, Y - 5, 13, 5);
    p.setPen(QPen(Darker(Steel, 0.6), 0.6));
    p.setBrush(CylinderAcross(collar.topLeft(), collar.topRight(), Steel, 0.8));
    p.drawRoundedRect(collar, 1, 1);
    p.setPen(QPen(WithAlpha(Qt::black, 0.35), 0.5));
    for (double y = collar.top() + 1.2; y < collar.bottom(); y += 1.3)
        p.drawLine(QPointF(collar.left() + 0.5, y), QPointF(collar.right() - 0.5, y));

    // The glass: the same shape in every state, so only its colours change as it glows.
    const QPainterPath glass = Bulb();
    QColor inner, outer;
    switch (glow) {
    case Glow::Off:
        inner = QColor(206, 214, 222);
        outer = QColor(118, 132, 146);
        break;
    case Glow::Min:
        inner = QColor(236, 200, 170);
        outer = QColor(156, 132, 120);
        break;
    case Glow::On:
        inner = QColor(255, 255, 236);
        outer = QColor(255, 206, 104);
        break;
    case Glow::BurntOut:
        inner = QColor(150, 144, 138);
        outer = QColor(84, 78, 72);
        break;
    }
    QRadialGradient g(QPointF(32, 19.5), 11.5);
    g.setColorAt(0, inner);
    g.setColorAt(0.55, Mix(inner, outer, 0.45));
    g.setColorAt(1, outer);
    p.setPen(QPen(Darker(outer, 0.35), 0.7));
    p.setBrush(g);
    p.drawPath(glass);

    p.save();
    p.setClipPath(glass);
    // The glass stem and the two support wires carrying the filament.
    p.setPen(Qt::NoPen);
    p.setBrush(WithAlpha(Qt::white, glow == Glow::BurntOut ? 0.15 : 0.35));
    p.drawPolygon(
        QPolygonF({QPointF(29.5, 31), QPointF(34.5, 31), QPointF(33, 24.5), QPointF(31, 24.5)}));
    const QColor support = glow == Glow::On ? QColor(255, 230, 170) : QColor(110, 110, 116);
    p.setPen(QPen(support, 0.7));
    p.drawLine(QPointF(30.4, 30), QPointF(28.4, 19.6));
    p.drawLine(QPointF(33.6, 30), QPointF(35.6, 19.6));
    if (glow == Glow::Min || glow == Glow::On) {
        // The glow only tints the glass: it keeps the bulb's outline exactly as it is.
        QRadialGradient halo(QPointF(32, 19.5), glow == Glow::On ? 11 : 6);
        halo.setColorAt(0,
                        glow == Glow::On ? QColor(255, 255, 255, 250) : QColor(255, 150, 60, 130));
        halo.setColorAt(0.5,
                        glow == Glow::On ? QColor(255, 244, 170, 170) : QColor(255, 120, 40, 50));
        halo.setColorAt(1, QColor(255, 200, 80, 0));
        p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawEllipse(QPointF(32, 19.5), 12, 12);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    // The coiled filament between the tips of the supports.
    QPainterPath coil;
    const bool broken = glow == Glow::BurntOut;
    coil.moveTo(28.4, 19.6);
    for (int i = 1; i <= 12; ++i) {
        const double x = 28.4 + i * (7.2 / 12);
        if (broken && i == 7)
            coil.moveTo(x + 0.6, 20.8);
        else
            coil.lineTo(x, 19.6 + (i % 2 ? -1.0 : 1.0) + (broken && i > 6 ? 1.2 : 0));
    }
    QColor wire;
    switch (glow) {
    case Glow::Off:
        wire = QColor(72, 72, 78);
        break;
    case Glow::Min:
        wire = QColor(236, 96, 30);
        break;
    case Glow::On:
        wire = QColor(255, 255, 240);
        break;
    case Glow::BurntOut:
        wire = QColor(40, 36, 34);
        break;
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(wire, glow == Glow::On ? 1.1 : 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(coil);
    if (broken) {
        // Soot from the broken filament darkens the top of the bulb.
        QRadialGradient soot(QPointF(32, 13), 9);
        soot.setColorAt(0, WithAlpha(QColor(30, 26, 22), 0.75));
        soot.setColorAt(1, WithAlpha(QColor(30, 26, 22), 0));
        p.setPen(Qt::NoPen);
        p.setBrush(soot);
        p.drawEllipse(QPointF(32, 13), 10, 8);
    }
    // The reflection of the room on the glass.
    p.setPen(Qt::NoPen);
    p.setBrush(WithAlpha(Qt::white, glow == Glow::On ? 0.5 : 0.8));
    p.drawEllipse(QPointF(28.6, 16.4), 2.2, 1.4);
    p.restore();
}

void Heater(QPainter& p, Glow glow) {
    Leads(p, 13, 51);
    // A white ceramic tube with a nichrome spiral wound on it, held by two clamp bands.
    const QRectF tube(15.5, Y - 6.3, 33, 12.6);
    const QColor ceramic(234, 228, 214);
    p.setPen(QPen(Darker(ceramic, 0.45), 0.7));
    p.setBrush(CylinderAcross(tube.topLeft(), tube.bottomLeft(), ceramic, 0.6));
    p.drawRoundedRect(tube, 2, 2);
    const double glowStrength = glow == Glow::On ? 0.55 : glow == Glow::Min ? 0.2 : 0;
    if (glowStrength > 0) {
        // The hot spiral lights up the ceramic under it; drawn only where the tube is.
        QPainterPath t;
        t.addRoundedRect(tube, 2, 2);
        p.save();
        p.setClipPath(t);
        QLinearGradient warm(tube.topLeft(), tube.topRight());
        const QColor hot = glow == Glow::On ? QColor(255, 150, 40) : QColor(200, 60, 30);
        warm.setColorAt(0, WithAlpha(hot, glowStrength * 0.6));
        warm.setColorAt(0.5, WithAlpha(hot, glowStrength));
        warm.setColorAt(1, WithAlpha(hot, glowStrength * 0.6));
        p.setCompositionMode(QPainter::CompositionMode_SourceAtop); // colour only, same outline
        p.setPen(Qt::NoPen);
        p.setBrush(warm);
        p.drawRect(tube);
        p.restore();
    }
    QColor wire, core;
    switch (glow) {
    case Glow::Off:
        wire = QColor(96, 92, 90);
        core = QColor(150, 146, 142);
        break;
    case Glow::Min:
        wire = QColor(150, 30, 16);
        core = QColor(214, 70, 30);
        break;
    case Glow::On:
        wire = QColor(236, 110, 20);
        core = QColor(255, 240, 150);
        break;
    case Glow::BurntOut:
        wire = QColor(70, 64, 60);
        core = QColor(110, 104, 98);
        break;
    }
    if (glow == Glow::BurntOut) Soot(p, {31, Y}, 9, 8, 0.6);
    // Each turn is the front half of the spiral: it crosses the tube with a slight slant.
    constexpr int Turns = 12;
    for (int i = 0; i < Turns; ++i) {
        const double x = 18.2 + i * 2.45;
        if (glow == Glow::BurntOut && (i == 5 || i == 6)) continue; // the burnt-through gap
        QPainterPath turn;
        turn.moveTo(x, Y - 7.1);
        turn.quadTo(x + 1.9, Y, x + 1.1, Y + 7.1);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(wire, 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(turn);
        p.setPen(QPen(core, 0.6, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(turn.translated(-0.3, 0));
    }
    if (glow == Glow::BurntOut) {
        // The two loose ends where the spiral broke.
        p.setPen(QPen(wire, 1.3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(30.5, Y - 7), QPointF(31.8, Y - 3));
        p.drawLine(QPointF(33.3, Y + 7), QPointF(33.8, Y + 2.5));
    }
    Band(p, QRectF(13, Y - 7.6, 4, 15.2), Steel);
    Band(p, QRectF(47, Y - 7.6, 4, 15.2), Steel);
}

void RheostatBody(QPainter& p) {
    Leads(p, 12, 52);
    // A slide rheostat: resistance wire wound on a ceramic tube between two end blocks, and a
    // bright bar above it on which the slider rides. The left lead takes the winding's end, the
    // right one the bar: the further right the slider, the more winding lies between them.
    Plastic(p, QRectF(10, Y - 9, 5, 19), 1.2, QColor(50, 50, 56), 0.5);
    Plastic(p, QRectF(49, Y - 9, 5, 19), 1.2, QColor(50, 50, 56), 0.5);
    const QRectF tube(15, Y - 3, 34, 11);
    p.setPen(QPen(QColor(110, 100, 86), 0.6));
    p.setBrush(CylinderAcross(tube.topLeft(), tube.bottomLeft(), QColor(150, 146, 140), 0.9));
    p.drawRect(tube);
    p.setPen(QPen(WithAlpha(QColor(60, 56, 52), 0.6), 0.45));
    for (double x = tube.left() + 0.6; x < tube.right(); x += 1.0)
        p.drawLine(QPointF(x, tube.top()), QPointF(x + 0.5, tube.bottom()));
    Lead(p, {12.5, Y - 6.5}, {51.5, Y - 6.5}, 2.0, Steel);
    for (double x : {12.5, 51.5})
        Screw(p, QPointF(x, Y + 6), 1.4, 40, Steel);
}

void RheostatSlider(QPainter& p, double x) {
    // A black bakelite slider on the bar with a knob to take hold of, and its brass contact
    // pressing on the winding below.
    Band(p, QRectF(x - 1.5, Y - 4.5, 3, 4.5), Brass);
    Plastic(p, QRectF(x - 4, Y - 10, 8, 7.5), 1.5, QColor(30, 30, 34), 0.5);
    Plastic(p, QRectF(x - 1.6, Y - 17, 3.2, 8), 1.0, QColor(40, 40, 44), 0.5);
    QRadialGradient knob(QPointF(x - 1.2, Y - 20.5), 4.5);
    knob.setColorAt(0, QColor(120, 120, 126));
    knob.setColorAt(1, QColor(16, 16, 18));
    p.setBrush(knob);
    p.setPen(QPen(Qt::black, 0.6));
    p.drawEllipse(QPointF(x, Y - 19.5), 4, 4);
}

void Rheostat(QPainter& p) {
    RheostatBody(p);
    RheostatSlider(p, RheostatHandleX(15));
}

void TrimmerBody(QPainter& p) {
    Leads(p, 12, 52);
    // A sliding-plate trimmer capacitor in an aluminium frame: a slot along the top in which
    // the knob slides, and a window below in which the moving plates (drawn by the program)
    // slide in between the fixed ones; the more they overlap, the larger the capacitance.
    Plastic(p, QRectF(9.5, 3.5, 45, 57), 3, QColor(176, 180, 186), 0.5);
    p.setPen(QPen(QColor(90, 94, 100), 0.7));
    p.setBrush(QColor(36, 38, 42));
    p.drawRoundedRect(QRectF(12.5, 7.5, 39, 4.5), 1.5, 1.5); // the knob's slot
    p.setBrush(QColor(44, 46, 52));
    p.drawRect(QRectF(13.5, 30.5, 37, 26)); // the plates' window
    // The fixed plates, edge-on, between the places of the moving ones, on their bus bar.
    for (int y : {37, 43, 49}) {
        p.setPen(QPen(QColor(224, 222, 200), 1.0));
        p.drawLine(QPointF(28, y + 0.5), QPointF(49, y + 0.5));
        p.setPen(QPen(QColor(62, 62, 62), 1.0));
        p.drawLine(QPointF(28, y + 1.5), QPointF(49, y + 1.5));
    }
    Band(p, QRectF(48.5, 31, 2.5, 25), Brass);
    // The terminal posts where the leads come in.
    for (double x : {12.0, 52.0})
        Screw(p, QPointF(x, Y), 2.2, 30, Steel, true);
}

void TrimmerKnob(QPainter& p, double x, double top) {
    // A small ribbed black knob riding in the slot.
    Plastic(p, QRectF(x - 4, top, 8, 8), 2, QColor(26, 26, 30), 0.6);
    p.setPen(QPen(QColor(110, 110, 116), 0.6));
    for (double dx : {-1.6, 0.0, 1.6})
        p.drawLine(QPointF(x + dx, top + 2), QPointF(x + dx, top + 6));
}

void TrimmerPlates(QPainter& p, int step) {
    // The moving plates as the program draws them for a handle step.
    const int h = step / 2;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int y : {34, 35, 40, 41, 46, 47, 52, 53}) {
        p.setPen(y % 2 == 0 ? QColor(224, 222, 200)
                            : QColor(62, 62, 62)); // lit edge, then its shadow
        p.drawLine(h + 15, y, h + 30, y);
    }
    p.restore();
}

void TuningCapacitor(QPainter& p) {
    TrimmerBody(p);
    TrimmerPlates(p, 15);
    TrimmerKnob(p, RheostatHandleX(15), 6);
}

void BlackBox(QPainter& p, bool questionMark) {
    Leads(p, 14, 50);
    // A sealed glossy black box; what is inside is the teacher's secret.
    Plastic(p, QRectF(12.5, Y - 12.5, 39, 25), 3, QColor(30, 30, 34), 0.6);
    for (QPointF s :
         {QPointF(16, Y - 9), QPointF(48, Y - 9), QPointF(16, Y + 9), QPointF(48, Y + 9)})
        Screw(p, s, 1.5, 30, QColor(150, 150, 156));
    if (questionMark) {
        QFont f("DejaVu Sans", 14, QFont::Bold);
        f.setPixelSize(17);
        p.setFont(f);
        p.setPen(QColor(240, 240, 240));
        p.drawText(QRectF(12.5, Y - 12.5, 39, 25), Qt::AlignCenter, "?");
    }
}

} // namespace parts

using namespace parts;

namespace {
// A part's vertical body drawn on its own: the horizontal one turned so that its left end lies
// at the bottom, because a variable part's value grows upwards as it grows to the right.
art::Painter Upright(const art::Painter& paint) {
    return [paint](QPainter& p) {
        p.setTransform(QTransform(0, -1, 1, 0, 0, Size), true);
        paint(p);
    };
}
} // namespace

void DrawParts(ArtWriter& out) {
    auto part = [&](const QString& name, const art::Painter& paint) {
        out.Bitmap(name, Render(Size, Size, paint));
    };
    part("bmpResistor", [](QPainter& p) { Resistor(p, false); });
    part("bmpResistorBurntOut", [](QPainter& p) { Resistor(p, true); });
    part("bmpWire", [](QPainter& p) { Wire(p); });
    part("bmpConductor", [](QPainter& p) { Conductor(p); });
    part("bmpCondensator", [](QPainter& p) { Capacitor(p, false); });
    part("bmpCondensatorBurntOut", [](QPainter& p) { Capacitor(p, true); });
    part("bmpInductance", [](QPainter& p) { Coil(p); });
    part("bmpBattery", [](QPainter& p) { Battery(p); });
    part("bmpGenerator", [](QPainter& p) { Generator(p); });
    part("bmpSwitchOn", [](QPainter& p) { KnifeSwitch(p, true); });
    part("bmpSwitchOff", [](QPainter& p) { KnifeSwitch(p, false); });
    part("bmpProtector", [](QPainter& p) { Fuse(p, FuseState::Intact); });
    part("bmpProtectorBurning", [](QPainter& p) { Fuse(p, FuseState::Burning); });
    part("bmpProtectorBurntOut", [](QPainter& p) { Fuse(p, FuseState::BurntOut); });
    part("bmpLampOff", [](QPainter& p) { Lamp(p, Glow::Off); });
    part("bmpLampMin", [](QPainter& p) { Lamp(p, Glow::Min); });
    part("bmpLampOn", [](QPainter& p) { Lamp(p, Glow::On); });
    part("bmpLampBurntOut", [](QPainter& p) { Lamp(p, Glow::BurntOut); });
    part("bmpHeaterOff", [](QPainter& p) { Heater(p, Glow::Off); });
    part("bmpHeaterMin", [](QPainter& p) { Heater(p, Glow::Min); });
    part("bmpHeaterOn", [](QPainter& p) { Heater(p, Glow::On); });
    part("bmpHeaterBurntOut", [](QPainter& p) { Heater(p, Glow::BurntOut); });

    // The variable parts: the whole part (for the drag cursors), the body without the handle in
    // both orientations, and the handle, which the program draws where the student moved it.
    part("bmpVResistor", [](QPainter& p) { Rheostat(p); });
    part("bmpVResistorNoHandle", [](QPainter& p) { RheostatBody(p); });
    part("bmpVResistorNoHandleV", Upright([](QPainter& p) { RheostatBody(p); }));
    out.Bitmap("bmpVResistorHandle", Render(RheostatHandleWidth, Size, [](QPainter& p) {
                   RheostatSlider(p, RheostatHandleWidth / 2.0);
               }));
    part("bmpVCondensator", [](QPainter& p) { TuningCapacitor(p); });
    part("bmpVCondensatorNoHandle", [](QPainter& p) { TrimmerBody(p); });
    part("bmpVCondensatorNoHandleV", Upright([](QPainter& p) { TrimmerBody(p); }));
    out.Bitmap("bmpVCondensatorHandle",
               Render(
                   TrimmerHandleSize, TrimmerHandleSize,
                   [](QPainter& p) { TrimmerKnob(p, TrimmerHandleSize / 2.0, 0); }, false));
    part("bmpBlackBug", [](QPainter& p) { BlackBox(p, false); });
}
