// The parts box: a grey organiser cabinet of 2 x 7 compartments, each 56 x 57 pixels. A closed
// compartment shows its part dimly through a smoked plastic lid; pressed, the lid flips up and
// the part lies bright in its tray, lifted a little towards the student's hand.
#include "Art.h"
#include "ArtWriter.h"
#include "Paint.h"
#include "Parts.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

using namespace art;

namespace {

constexpr int Width = 56, Height = 57;
const QRectF Tray(4.5, 4.5, 47, 48);

// The smallest rectangle holding every visible pixel of a part picture.
QRectF Extent(const Painter& paint) {
    const QImage image = Render(parts::Size, parts::Size, paint, false);
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 40) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return QRectF(left, top, right - left + 1, bottom - top + 1);
}

// The part drawn to fit the tray, `lift` scaling it up when the lid is open.
QImage Icon(const Painter& paint, double lift) {
    const QRectF extent = Extent(paint);
    const double room = 42.0 * lift;
    const double scale = std::min({room / extent.width(), (room - 2) / extent.height(), 1.0});
    QImage layer = Canvas(Width, Height);
    {
        QPainter p(&layer);
        Smooth(p);
        p.translate(Tray.center() + QPointF(0, -0.5));
        p.scale(scale, scale);
        p.translate(-extent.center());
        paint(p);
    }
    const double height = lift > 1 ? 2.2 : 1.2; // a lifted part throws a wider shadow
    return WithShadow(layer, 1.4 * height, QPointF(1.1 * height, 1.6 * height), 0.5);
}

// The compartment's moulded frame and its empty tray.
void Compartment(QPainter& p, bool open) {
    const QColor plastic(176, 180, 176);
    p.setPen(Qt::NoPen);
    QLinearGradient face(0, 0, Width, Height);
    face.setColorAt(0, Lighter(plastic, 0.2));
    face.setColorAt(1, Darker(plastic, 0.12));
    p.setBrush(face);
    p.drawRect(0, 0, Width, Height);
    // Rounded outer bevel: lit top and left edges, shaded bottom and right ones.
    p.setPen(QPen(WithAlpha(Qt::white, 0.7), 1));
    p.drawLine(QPointF(0.5, 0.5), QPointF(Width - 1, 0.5));
    p.drawLine(QPointF(0.5, 0.5), QPointF(0.5, Height - 1));
    p.setPen(QPen(WithAlpha(Qt::black, 0.45), 1));
    p.drawLine(QPointF(0.5, Height - 0.5), QPointF(Width - 0.5, Height - 0.5));
    p.drawLine(QPointF(Width - 0.5, 0.5), QPointF(Width - 0.5, Height - 0.5));
    p.setPen(QPen(WithAlpha(Qt::black, 0.18), 1));
    p.drawLine(QPointF(1.5, Height - 1.5), QPointF(Width - 1.5, Height - 1.5));
    p.drawLine(QPointF(Width - 1.5, 1.5), QPointF(Width - 1.5, Height - 1.5));

    // The tray, sunk into the frame: its upper wall is in shadow, its floor is lit.
    QLinearGradient floor(Tray.topLeft(), Tray.bottomLeft());
    const QColor base = open ? QColor(228, 226, 216) : QColor(196, 194, 186);
    floor.setColorAt(0, Darker(base, 0.35));
    floor.setColorAt(0.18, Darker(base, 0.08));
    floor.setColorAt(1, base);
    p.setPen(QPen(Darker(plastic, 0.5), 1));
    p.setBrush(floor);
    p.drawRoundedRect(Tray, 4, 4);
    p.setPen(QPen(WithAlpha(Qt::white, 0.55), 1));
    p.drawLine(QPointF(Tray.left() + 3, Tray.bottom() + 1),
               QPointF(Tray.right() - 3, Tray.bottom() + 1));
    if (open) {
        // Light falls into the open tray.
        QRadialGradient light(Tray.center() + QPointF(-6, -6), 34);
        light.setColorAt(0, WithAlpha(QColor(255, 252, 236), 0.55));
        light.setColorAt(1, WithAlpha(QColor(255, 252, 236), 0));
        p.setPen(Qt::NoPen);
        p.setBrush(light);
        p.drawRoundedRect(Tray, 4, 4);
    }
}

// The smoked lid over a closed tray, with its finger tab at the bottom.
void Lid(QPainter& p) {
    QPainterPath lid;
    lid.addRoundedRect(Tray.adjusted(-1.5, -1.5, 1.5, 1.5), 5, 5);
    p.setPen(QPen(QColor(40, 52, 62), 1));
    p.setBrush(WithAlpha(QColor(74, 92, 108), 0.36));
    p.drawPath(lid);
    p.save();
    p.setClipPath(lid);
    // A broad diagonal reflection across the lid.
    QLinearGradient gloss(Tray.topLeft(), Tray.bottomRight());
    gloss.setColorAt(0.0, WithAlpha(Qt::white, 0.32));
    gloss.setColorAt(0.38, WithAlpha(Qt::white, 0.1));
    gloss.setColorAt(0.4, WithAlpha(Qt::white, 0.0));
    gloss.setColorAt(1.0, WithAlpha(Qt::white, 0.0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawPath(lid);
    p.restore();
    p.setPen(QPen(WithAlpha(Qt::white, 0.5), 0.8));
    p.drawLine(QPointF(Tray.left() + 3, Tray.top() - 0.2),
               QPointF(Tray.right() - 3, Tray.top() - 0.2));
    Plastic(p, QRectF(Width / 2.0 - 7, Height - 7.2, 14, 5), 2, QColor(70, 88, 104), 0.5);
}

// The lid swung up: only its front edge shows along the top of the compartment.
void RaisedLid(QPainter& p) {
    QLinearGradient edge(0, 0.5, 0, 5);
    edge.setColorAt(0, QColor(110, 130, 146));
    edge.setColorAt(1, QColor(50, 64, 76));
    p.setPen(QPen(QColor(34, 44, 52), 0.8));
    p.setBrush(edge);
    p.drawRoundedRect(QRectF(3, 0.8, Width - 6, 4.4), 1.5, 1.5);
}

QImage BoxPicture(const Painter& part, bool open) {
    QImage image = Canvas(Width, Height);
    QPainter p(&image);
    Smooth(p);
    Compartment(p, open);
    if (open) {
        p.drawImage(0, 0, Icon(part, 1.12));
        RaisedLid(p);
    } else {
        p.drawImage(0, 0, Icon(part, 1.0));
        Lid(p);
    }
    return image;
}

} // namespace

void DrawPartsBox(ArtWriter& out) {
    using namespace parts;
    const std::pair<const char*, Painter> stems[] = {
        {"Resistor", [](QPainter& p) { Resistor(p, false); }},
        {"Protector", [](QPainter& p) { Fuse(p, FuseState::Intact); }},
        {"Condensator", [](QPainter& p) { Capacitor(p, false); }},
        {"Inductance", [](QPainter& p) { Coil(p); }},
        {"Wire", [](QPainter& p) { Wire(p); }},
        {"Switch", [](QPainter& p) { KnifeSwitch(p, false); }},
        {"Battery", [](QPainter& p) { Battery(p); }},
        {"Generator", [](QPainter& p) { Generator(p); }},
        {"Lamp", [](QPainter& p) { Lamp(p, Glow::Off); }},
        {"Heater", [](QPainter& p) { Heater(p, Glow::Off); }},
        {"Conductor", [](QPainter& p) { Conductor(p); }},
        {"BlackBug", [](QPainter& p) { BlackBox(p, true); }},
        {"VResistor", [](QPainter& p) { Rheostat(p); }},
        {"VCondensator", [](QPainter& p) { TuningCapacitor(p); }},
    };
    for (const auto& [stem, paint] : stems) {
        out.Bitmap(QString("bmp%1BoxClosed").arg(stem), BoxPicture(paint, false));
        out.Bitmap(QString("bmp%1BoxOpened").arg(stem), BoxPicture(paint, true));
    }
}
