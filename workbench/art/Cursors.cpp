// The three cursors of the workbench, 32 x 32 with the hot spot in the middle (16, 16): an open
// hand for taking hold of a test lead, pliers for picking up parts, and a pointing finger for
// anything that can be clicked. A light halo keeps each visible on the dark board and bench.
#include "Art.h"
#include "ArtWriter.h"
#include "Paint.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>

using namespace art;

namespace {

constexpr int Size = 32;
const QPointF HotSpot(16.5, 16.5); // the middle of pixel (16, 16)
const QColor Skin(252, 244, 236), Outline(40, 32, 28);

QImage Cursor(const std::function<void(QPainter&)>& paint) {
    QImage image = Canvas(Size, Size);
    QPainter p(&image);
    Smooth(p);
    paint(p);
    p.end();
    ClearFaint(image, 24);
    return image;
}

// Outlines a shape with a light halo, a dark line and a soft shaded fill.
void Glove(QPainter& p, const QPainterPath& shape, const QRectF& bounds) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(WithAlpha(Qt::white, 0.7), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(shape);
    QLinearGradient fill(bounds.topLeft(), bounds.bottomRight());
    fill.setColorAt(0, Skin);
    fill.setColorAt(1, QColor(214, 200, 190));
    p.setBrush(fill);
    p.setPen(QPen(Outline, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(shape);
}

QPainterPath Finger(double x, double top, double width, double bottom) {
    QPainterPath f;
    f.addRoundedRect(QRectF(x, top, width, bottom - top), width / 2, width / 2);
    return f;
}

// A hand pointing straight up with its index finger; the fingertip is the hot spot.
QImage PointingHand() {
    return Cursor([](QPainter& p) {
        p.translate(HotSpot + QPointF(0, -0.9));
        // Local frame: the tip of the finger at the origin, the hand below it.
        QPainterPath hand = Finger(-1.7, 0, 3.6, 9);
        QPainterPath palm;
        palm.addRoundedRect(QRectF(-2.6, 5.6, 11.6, 8.6), 2.6, 2.6);
        hand = hand.united(palm);
        // The three curled fingers show as knuckles along the top right of the palm.
        for (int k = 0; k < 3; ++k)
            hand = hand.united(Finger(1.6 + k * 2.5, 4.4 + k * 0.5, 2.9, 9));
        QPainterPath thumb;
        thumb.moveTo(-2.2, 12.5);
        thumb.cubicTo(-5.4, 10.8, -6.6, 7.4, -5.2, 6.6);
        thumb.cubicTo(-3.9, 6.0, -2.8, 7.6, -1.6, 8.8);
        thumb.closeSubpath();
        hand = hand.united(thumb).simplified();
        Glove(p, hand, QRectF(-6, 0, 15, 15));
        p.setPen(QPen(WithAlpha(Outline, 0.65), 0.7, Qt::SolidLine, Qt::RoundCap));
        for (int k = 0; k < 3; ++k)
            p.drawLine(QPointF(1.6 + k * 2.5, 5.9 + k * 0.5),
                       QPointF(1.6 + k * 2.5, 7.6 + k * 0.3));
        p.setPen(QPen(Outline, 0.9));
        p.setBrush(QColor(110, 150, 204));
        p.drawRoundedRect(QRectF(-1.8, 13.4, 10, 2.4), 0.8, 0.8);
    });
}

// An open hand, palm forward, ready to take hold of a lead; its palm is the hot spot.
QImage OpenHand() {
    return Cursor([](QPainter& p) {
        p.translate(HotSpot + QPointF(0.2, 1.2));
        QPainterPath hand;
        hand.addRoundedRect(QRectF(-6.2, -3.4, 12.6, 11.6), 3.6, 3.6);
        const double tops[] = {-11.2, -13.4, -12.8, -10.2};
        // Neighbouring fingers overlap a little so the outline runs round the whole hand.
        for (int k = 0; k < 4; ++k)
            hand = hand.united(Finger(-6.2 + k * 3.1, tops[k], 3.4, 0));
        QPainterPath thumb;
        thumb.moveTo(-5.6, 5.5);
        thumb.cubicTo(-9.4, 3.0, -12.0, -1.8, -10.6, -3.1);
        thumb.cubicTo(-9.2, -4.3, -7.0, -1.4, -5.2, 0.2);
        thumb.closeSubpath();
        hand = hand.united(thumb).simplified();
        Glove(p, hand, QRectF(-11, -13, 18, 22));
        p.setPen(QPen(WithAlpha(Outline, 0.7), 0.7, Qt::SolidLine, Qt::RoundCap));
        for (int k = 1; k < 4; ++k) {
            const double x = -6.2 + k * 3.1 + 0.15;
            p.drawLine(QPointF(x, std::max(tops[k - 1], tops[k]) + 2.2), QPointF(x, -2.2));
        }
        p.setPen(QPen(Outline, 0.9));
        p.setBrush(QColor(110, 150, 204));
        p.drawRoundedRect(QRectF(-5.2, 8.0, 10.6, 3.4), 1, 1);
    });
}

// Long-nose pliers with red grips: the tips of the jaws a little above and left of the hot spot,
// the handles reaching towards the bottom-right corner.
QImage Pliers() {
    return Cursor([](QPainter& p) {
        p.translate(QPointF(11.4, 11.4));
        p.rotate(45);
        // Local frame: the tips at the origin, the handles towards positive x.
        QPainterPath jaws;
        jaws.moveTo(0, 0);
        jaws.lineTo(8.5, -2.5);
        jaws.lineTo(8.5, 2.5);
        jaws.closeSubpath();
        const QColor steel(176, 182, 190);
        p.setPen(QPen(WithAlpha(Qt::white, 0.7), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(jaws);
        for (double s : {-1.0, 1.0}) {
            p.save();
            p.translate(12.5, s * 3.6);
            p.rotate(s * 12);
            p.drawRoundedRect(QRectF(0, -1.8, 11, 3.6), 1.6, 1.6);
            p.restore();
        }
        QLinearGradient metal(0, -2.5, 0, 2.5);
        metal.setColorAt(0, Lighter(steel, 0.5));
        metal.setColorAt(1, Darker(steel, 0.4));
        p.setBrush(metal);
        p.setPen(QPen(QColor(40, 44, 50), 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(jaws);
        p.drawLine(QPointF(0.8, 0), QPointF(8.5, 0)); // the parting line of the two jaws
        for (double s : {-1.0, 1.0}) {
            // Steel arms from the pivot, then the dipped red grips.
            QPainterPath arm;
            arm.moveTo(8.5, s * 0.6);
            arm.lineTo(13, s * 2.6);
            arm.lineTo(13, s * 4.8);
            arm.lineTo(8.5, s * 2.5);
            arm.closeSubpath();
            p.setBrush(metal);
            p.setPen(QPen(QColor(40, 44, 50), 0.8));
            p.drawPath(arm);
            p.save();
            p.translate(12.5, s * 3.6);
            p.rotate(s * 12);
            const QRectF grip(0, -1.8, 11, 3.6);
            p.setBrush(CylinderAcross(grip.topLeft(), grip.bottomLeft(), QColor(204, 36, 30), 0.8));
            p.setPen(QPen(QColor(70, 10, 8), 0.8));
            p.drawRoundedRect(grip, 1.6, 1.6);
            p.restore();
        }
        Screw(p, {9.2, 0}, 2.2, 0, steel);
    });
}

} // namespace

void DrawCursors(ArtWriter& out) {
    out.Bitmap("curArm", OpenHand());
    out.Bitmap("curPincers", Pliers());
    out.Bitmap("curPoint", PointingHand());
}
