#include "Schematic.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// Rails of the drawing in design pixels. Thin lines sit on half pixels so that a one-pixel pen
// covers whole pixels at 100 % and whole pairs of pixels at 200 %.
constexpr double Signal = 26.5;     // input, resistors, follower and output
constexpr double Feedback = 4.5;    // the wire from the output back to C1
constexpr double Junction = 31.5;   // between R1 and R2: C1 goes up from here
constexpr double FollowerIn = 60.5; // after R2: C2 goes down, the follower's input
constexpr double Output = 90.5;     // where the output wire turns up to the feedback rail

// A capacitor across a vertical wire: two plates of a two-pixel pen on whole pixel rows, two
// pixels apart. top is the row of the upper plate; the wires meet the plates' outer edges.
void DrawVerticalCapacitor(QPainter& p, double x, int top) {
    QPen plate = p.pen();
    plate.setWidthF(2.0);
    p.save();
    p.setPen(plate);
    p.drawLine(QPointF(x - 4.5, top), QPointF(x + 4.5, top));
    p.drawLine(QPointF(x - 4.5, top + 4), QPointF(x + 4.5, top + 4));
    p.restore();
}

// A resistor on a horizontal wire: the rectangle of the standard symbol, 2.5 : 1.
void DrawHorizontalResistor(QPainter& p, double left, double y) {
    p.save();
    p.setBrush(Qt::white);
    p.drawRect(QRectF(left, y - 3, 15, 6));
    p.restore();
}

void DrawDot(QPainter& p, double x, double y) {
    p.save();
    p.setBrush(p.pen().color());
    p.drawEllipse(QPointF(x, y), 1.4, 1.4);
    p.restore();
}

void DrawTerminal(QPainter& p, double x, double y) {
    p.save();
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(x, y), 1.8, 1.8);
    p.restore();
}

void DrawGround(QPainter& p, double x, double y) {
    p.drawLine(QPointF(x - 5, y), QPointF(x + 5, y));
    p.drawLine(QPointF(x - 3, y + 2), QPointF(x + 3, y + 2));
    p.drawLine(QPointF(x - 1, y + 4), QPointF(x + 1, y + 4));
}

// A label centred on (x, y), or starting or ending there.
void DrawLabel(QPainter& p, double x, double y, const QString& text,
               Qt::Alignment align = Qt::AlignHCenter) {
    QRectF box(x - 15, y - 6, 30, 12);
    if (align & Qt::AlignLeft)
        box.moveLeft(x);
    else if (align & Qt::AlignRight)
        box.moveRight(x);
    p.drawText(box, align | Qt::AlignVCenter, text);
}

} // namespace

TSchematic::TSchematic(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TSchematic::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(double(width()) / DesignWidth, double(height()) / DesignHeight);

    QPen wire(QColor(20, 20, 20));
    wire.setWidthF(1.0);
    wire.setCapStyle(Qt::FlatCap);
    wire.setJoinStyle(Qt::MiterJoin);
    p.setPen(wire);
    p.setBrush(Qt::NoBrush);

    QFont labelFont = font();
    labelFont.setPixelSize(8);
    p.setFont(labelFont);

    // Input terminal, R1, the junction, R2, on to the follower.
    DrawTerminal(p, 3.5, Signal);
    p.drawLine(QPointF(5.3, Signal), QPointF(9.5, Signal));
    DrawHorizontalResistor(p, 9.5, Signal);
    p.drawLine(QPointF(24.5, Signal), QPointF(38.5, Signal));
    DrawHorizontalResistor(p, 38.5, Signal);
    p.drawLine(QPointF(53.5, Signal), QPointF(66.5, Signal));
    DrawDot(p, Junction, Signal);
    DrawLabel(p, 17, 19.5, QStringLiteral("R1"));
    DrawLabel(p, 46, 19.5, QStringLiteral("R2"));

    // C1 from the junction up to the feedback rail, which comes back from the output.
    const int c1Top = 9;
    p.drawLine(QPointF(Junction, Signal), QPointF(Junction, c1Top + 5));
    DrawVerticalCapacitor(p, Junction, c1Top);
    const QPointF feedback[] = {
        {Junction, c1Top - 1.0}, {Junction, Feedback}, {Output, Feedback}, {Output, Signal}};
    p.drawPolyline(feedback, 4);
    DrawLabel(p, Junction + 6.5, c1Top + 2, QStringLiteral("C1"), Qt::AlignLeft);

    // C2 from the follower's input down to ground.
    const int c2Top = 34;
    DrawDot(p, FollowerIn, Signal);
    p.drawLine(QPointF(FollowerIn, Signal), QPointF(FollowerIn, c2Top - 1.0));
    DrawVerticalCapacitor(p, FollowerIn, c2Top);
    p.drawLine(QPointF(FollowerIn, c2Top + 5), QPointF(FollowerIn, 42.5));
    DrawGround(p, FollowerIn, 42.5);
    DrawLabel(p, FollowerIn - 6, c2Top + 2, QStringLiteral("C2"), Qt::AlignRight);

    // The voltage follower DA1: a triangle pointing right with its gain "+1" inside.
    const double left = 66.5, right = 84.5, half = 10;
    QPainterPath triangle;
    triangle.moveTo(left, Signal - half);
    triangle.lineTo(right, Signal);
    triangle.lineTo(left, Signal + half);
    triangle.closeSubpath();
    p.save();
    p.setBrush(Qt::white);
    p.drawPath(triangle);
    p.restore();
    DrawLabel(p, (left + right) / 2, Signal - half - 6, QStringLiteral("DA1"));
    QFont gainFont = labelFont;
    gainFont.setPixelSize(7);
    p.setFont(gainFont);
    DrawLabel(p, left + 6.5, Signal, QStringLiteral("+1"));

    // Output: the wire to the output terminal, joined by the feedback rail.
    p.drawLine(QPointF(right, Signal), QPointF(94.7, Signal));
    DrawDot(p, Output, Signal);
    DrawTerminal(p, 96.5, Signal);
}
