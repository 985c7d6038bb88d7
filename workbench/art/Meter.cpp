// The multimeter and the test leads.
//
// The meter is a 3½-digit hand-held meter in a yellow rubber holster: a grey-green liquid-crystal
// display at the top, a rotary switch below it with the ranges printed round it, three input
// sockets at the bottom right. The program lays everything over the face at fixed pixels:
//   face        jpgPribor, 153 x 277, at (0, 0)
//   knob        jpgHandle0..19, 98 x 98, at (26, 89): the knob turned to each switch position,
//               cut round by bmpMask (black = knob, white = face shows through)
//   half digit  Pos1Number1 7 x 27 / Pos1Number1None 7 x 29, at (45, 19)
//   digits      Number0..9 17 x 29 / NumberNULL 17 x 31, at (59, 19), (82, 19), (105, 19)
//   points      PointBMP / NoPointBMP 2 x 3, at (31, 45), (54, 45), (77, 45), (100, 45)
//   signs       HighVolt / NoHighVolt 12 x 7 at (29, 20); MinusBMP / NoMinusBMP 10 x 2 at (30, 33)
// The display pictures are opaque and share the glass colour, so painting the "off" picture of
// an element over the "on" one switches it off without a trace.
//
// Switch positions run clockwise in steps of 18 degrees from the top: 0 off; 1, 2 AC volts 750
// and 200; 3 to 6 DC current 2000 µ, 20 m, 200 m, 10 A; 7 and 8 do not exist; 9 continuity; 10 to
// 14 ohms 200, 2000, 20 k, 200 k, 2000 k; 15 to 19 DC volts 200 m, 2000 m, 20, 200, 1000.
//
// The leads (bmpTestLeadR1..B4, 32 x 32) are probes whose tip is the picture's middle: that is
// where the cursor's hot spot is and what the board puts on a node. The multimeters' leads lie
// with the cable to the upper right and carry one or two white rings for meter 1 or 2; the
// oscilloscope's channel A lead lies with its cable to the left and says A, channel B's to the
// right and says B.
#include "Art.h"
#include "ArtWriter.h"
#include "Paint.h"

#include <QFont>
#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

using namespace art;

namespace {

constexpr double Pi = 3.14159265358979323846;

// --- Colours and the face's geometry ------------------------------------------------------------

const QColor Glass(176, 188, 163); // the display's background, shared by every display picture
const QColor Ink(28, 32, 28);      // lit segments
const QColor Holster(236, 182, 34);
const QColor Case(44, 46, 50);
const QColor Print(236, 236, 230);   // the white lettering on the case
const QColor AmpPrint(250, 204, 64); // the current ranges are printed in yellow
const QColor SocketRed(196, 34, 30);

constexpr int FaceW = 153, FaceH = 277;
constexpr int DialSize = 98;
const QPointF DialCentre(26 + DialSize / 2.0, 89 + DialSize / 2.0); // on the face
constexpr double KnobRadius = 38.5;                                 // the knob's plastic
constexpr double MaskRadius = 41.0;  // what the knob pictures keep of themselves
constexpr double WellRadius = 44.0;  // the dark recess the knob sits in
constexpr double LabelRadius = 58.5; // the range figures
const QRectF GlassRect(22, 14, 109, 39);
// The sockets, from top to bottom: 10 A, V-Ω-mA (the red lead's) and COM (the black lead's).
// The leads rest with their tips at (134, 219) and (134, 244).
const QPointF Sockets[3] = {{134, 193}, {134, 219}, {134, 244}};

bool Selectable(int position) {
    return position != 7 && position != 8;
}

// The direction of a switch position: clockwise from straight up.
QPointF Direction(int position) {
    const double a = position * 18 * Pi / 180;
    return {std::sin(a), -std::cos(a)};
}

QFont Font(double pixels, bool bold = true, bool condensed = false) {
    QFont f(condensed ? "DejaVu Sans Condensed" : "DejaVu Sans");
    f.setPixelSize(std::max(1, int(std::lround(pixels))));
    f.setBold(bold);
    if (condensed) f.setStretch(QFont::Condensed);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

void Centred(QPainter& p, QPointF centre, const QString& text, const QFont& font,
             const QColor& colour) {
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QRectF(centre.x() - 30, centre.y() - 10, 60, 20), Qt::AlignCenter, text);
}

// The direct-current sign: a full bar over a dashed one.
void DcSign(QPainter& p, QPointF left, double width, const QColor& colour) {
    p.save();
    p.setPen(QPen(colour, 0.9, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(left, left + QPointF(width, 0));
    const double dash = width / 5;
    for (int i = 0; i < 3; ++i)
        p.drawLine(left + QPointF(i * 2 * dash, 2.2), left + QPointF(i * 2 * dash + dash, 2.2));
    p.restore();
}

// A function name such as "V" with its current sign after it.
void FunctionMark(QPainter& p, QPointF centre, const QString& letter, bool dc,
                  const QColor& colour) {
    const QFont f = Font(8.5);
    p.setFont(f);
    p.setPen(colour);
    const QRectF letterBox(centre.x() - 9, centre.y() - 6, 10, 12);
    p.drawText(letterBox, Qt::AlignRight | Qt::AlignVCenter, letter);
    if (dc) {
        DcSign(p, {centre.x() + 2, centre.y() - 1.4}, 6.5, colour);
    } else {
        QPainterPath wave;
        wave.moveTo(centre.x() + 2, centre.y() + 0.3);
        wave.cubicTo(centre.x() + 3.6, centre.y() - 2.6, centre.x() + 5.2, centre.y() + 3.2,
                     centre.x() + 7.5, centre.y() - 0.3);
        p.save();
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(colour, 1.0, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(wave);
        p.restore();
    }
}

// The continuity sign: a dot with sound waves.
void BeeperSign(QPainter& p, QPointF centre, const QColor& colour) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(centre + QPointF(-3.5, 0), 1.2, 1.2);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour, 0.8, Qt::SolidLine, Qt::RoundCap));
    for (int i = 1; i <= 3; ++i) {
        const double r = 1.6 * i;
        p.drawArc(QRectF(centre.x() - 3.5 - r, centre.y() - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
    }
    p.restore();
}

// --- The display pictures
// -------------------------------------------------------------------------

// Segment polygons of a seven-segment digit in the box (x0..x1, y0..y1), leaning right by
// `slant` pixels at the top, segments `t` thick. Bits a..g as usual: a top, b upper right,
// c lower right, d bottom, e lower left, f upper left, g middle.
QPolygonF Segment(char s, double x0, double x1, double y0, double y1, double t, double slant) {
    const double gap = 0.45, h = t / 2, ym = (y0 + y1) / 2;
    auto shear = [&](QPointF q) {
        return QPointF(q.x() + slant * (y1 - q.y()) / (y1 - y0), q.y());
    };
    QPolygonF poly;
    auto horizontal = [&](double y) {
        const double l = x0 + h + gap, r = x1 - h - gap;
        poly << QPointF(l, y) << QPointF(l + h, y - h) << QPointF(r - h, y - h) << QPointF(r, y)
             << QPointF(r - h, y + h) << QPointF(l + h, y + h);
    };
    auto vertical = [&](double x, double top, double bottom) {
        const double tp = top + h + gap, bt = bottom - h - gap;
        poly << QPointF(x, tp) << QPointF(x + h, tp + h) << QPointF(x + h, bt - h) << QPointF(x, bt)
             << QPointF(x - h, bt - h) << QPointF(x - h, tp + h);
    };
    switch (s) {
    case 'a':
        horizontal(y0 + h);
        break;
    case 'd':
        horizontal(y1 - h);
        break;
    case 'g':
        horizontal(ym);
        break;
    case 'b':
        vertical(x1 - h, y0, ym);
        break;
    case 'c':
        vertical(x1 - h, ym, y1);
        break;
    case 'e':
        vertical(x0 + h, ym, y1);
        break;
    case 'f':
        vertical(x0 + h, y0, ym);
        break;
    }
    for (QPointF& q : poly)
        q = shear(q);
    return poly;
}

const char* const DigitSegments[10] = {"abcdef", "bc",     "abdeg", "abcdg",   "bcfg",
                                       "acdfg",  "acdefg", "abc",   "abcdefg", "abcdfg"};

// An opaque piece of glass with the given segments lit. The segments throw a faint shadow on the
// reflector behind the liquid crystal, as they do on a real display.
QImage GlassPiece(int w, int h, const std::function<void(QPainter&)>& ink) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Glass);
    QPainter p(&image);
    Smooth(p);
    p.save();
    p.translate(0.7, 0.8);
    p.setOpacity(0.16);
    ink(p);
    p.restore();
    ink(p);
    return image;
}

void DrawSegments(QPainter& p, const QString& segments, double x0, double x1, double y0,
                  double y1) {
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    for (QChar s : segments)
        p.drawPolygon(Segment(s.toLatin1(), x0, x1, y0, y1, 2.7, 1.6));
}

// The digits stand in rows 1..26 of their place, so that the points at the bottom of the
// display sit on their baseline.
QImage Digit(int d) {
    return GlassPiece(17, 29,
                      [d](QPainter& p) { DrawSegments(p, DigitSegments[d], 1.6, 14.6, 1, 26.2); });
}

// The half digit is the right-hand pair of segments of a full digit.
QImage HalfOne() {
    return GlassPiece(7, 27, [](QPainter& p) { DrawSegments(p, "bc", -8.4, 4.6, 1, 26.2); });
}

QImage Blank(int w, int h) {
    return GlassPiece(w, h, [](QPainter&) {});
}

QImage PointOn() {
    return GlassPiece(2, 3, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        p.drawRect(QRectF(0, 0.2, 2, 2.6));
    });
}

QImage MinusOn() {
    return GlassPiece(10, 2, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        p.drawRect(QRectF(0.6, 0, 8.8, 2));
    });
}

// The high-voltage warning: a lightning flash.
QImage HighVoltOn() {
    return GlassPiece(12, 7, [](QPainter& p) {
        QPolygonF flash;
        flash << QPointF(0.6, 6.4) << QPointF(4.6, 0.6) << QPointF(6.2, 3.2) << QPointF(9.0, 0.4)
              << QPointF(8.4, 2.2) << QPointF(11.6, 0.2) << QPointF(9.6, 3.0) << QPointF(9.4, 1.9)
              << QPointF(6.4, 5.2) << QPointF(4.9, 2.8);
        p.setPen(QPen(Ink, 0.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Ink);
        p.drawPolygon(flash);
    });
}

// --- The knob -----------------------------------------------------------------------------------

QImage Mask() {
    QImage mask(DialSize, DialSize, QImage::Format_ARGB32);
    const double c = DialSize / 2.0;
    for (int y = 0; y < DialSize; ++y)
        for (int x = 0; x < DialSize; ++x) {
            const double dx = x + 0.5 - c, dy = y + 0.5 - c;
            mask.setPixel(x, y,
                          dx * dx + dy * dy <= MaskRadius * MaskRadius ? qRgb(0, 0, 0)
                                                                       : qRgb(255, 255, 255));
        }
    return mask;
}

// The knob turned to `position`: a round black knob with a knurled rim and a raised grip bar
// across it, whose white pointer shows the position. The light stays where it is while the knob
// turns, so the shading is laid in the picture's frame and only the shapes turn.
QImage Knob(int position) {
    const QPointF c(DialSize / 2.0, DialSize / 2.0);
    QImage image(DialSize, DialSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    Smooth(p);
    // The recess under the knob, as dark as the face's well round it.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(16, 17, 19));
    p.drawEllipse(c, MaskRadius + 1.5, MaskRadius + 1.5);

    // The knob's body.
    QRadialGradient body(c + QPointF(-12, -14), KnobRadius * 1.6);
    body.setColorAt(0, QColor(78, 80, 86));
    body.setColorAt(0.55, QColor(42, 44, 48));
    body.setColorAt(1, QColor(18, 19, 21));
    p.setBrush(body);
    p.drawEllipse(c, KnobRadius, KnobRadius);
    // Knurling: 60 ribs, so every 18-degree turn looks the same at the rim.
    for (int i = 0; i < 60; ++i) {
        const double a = (i * 6 + position * 18) * Pi / 180;
        const QPointF d(std::sin(a), -std::cos(a));
        const double lit = 0.5 + 0.5 * (-d.x() * 0.6 - d.y() * 0.8); // towards the top left
        p.setPen(QPen(WithAlpha(Lighter(QColor(60, 62, 68), 0.5 * lit), 0.55 + 0.3 * lit), 1.1,
                      Qt::SolidLine, Qt::FlatCap));
        p.drawLine(c + d * (KnobRadius - 3.2), c + d * (KnobRadius - 0.4));
    }
    // A bevel: light catches the upper left edge, the lower right falls into shadow.
    QConicalGradient rim(c, 135);
    rim.setColorAt(0.0, WithAlpha(Qt::white, 0.45));
    rim.setColorAt(0.5, WithAlpha(Qt::black, 0.6));
    rim.setColorAt(1.0, WithAlpha(Qt::white, 0.45));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(rim), 1.2));
    p.drawEllipse(c, KnobRadius - 0.6, KnobRadius - 0.6);

    // The grip bar across the knob, in the knob's own frame (pointer end up), then turned.
    QTransform turn;
    turn.translate(c.x(), c.y());
    turn.rotate(position * 18.0);
    QPainterPath bar;
    bar.addRoundedRect(QRectF(-8, -KnobRadius + 2.5, 16, 2 * KnobRadius - 5), 7, 7);
    QPainterPath pointerEnd;
    pointerEnd.moveTo(-8, -KnobRadius + 12);
    pointerEnd.lineTo(0, -KnobRadius + 1.2);
    pointerEnd.lineTo(8, -KnobRadius + 12);
    pointerEnd.closeSubpath();
    bar = bar.united(pointerEnd);
    const QPainterPath turnedBar = turn.map(bar);

    QImage shadowShape = Canvas(DialSize, DialSize);
    {
        QPainter s(&shadowShape);
        Smooth(s);
        s.setPen(Qt::NoPen);
        s.setBrush(Qt::black);
        s.drawPath(turnedBar);
    }
    p.drawImage(0, 0, Shadow(shadowShape, 2.0, {1.8, 2.4}, 0.75));

    QLinearGradient barLight(c + QPointF(-30, -30), c + QPointF(30, 30));
    barLight.setColorAt(0, QColor(96, 99, 106));
    barLight.setColorAt(0.5, QColor(58, 60, 66));
    barLight.setColorAt(1, QColor(30, 31, 34));
    p.setPen(QPen(QColor(14, 14, 16), 0.8));
    p.setBrush(barLight);
    p.drawPath(turnedBar);
    // Its top face, a little inset, with a soft sheen.
    QPainterPath top;
    top.addRoundedRect(QRectF(-5.6, -KnobRadius + 9, 11.2, 2 * KnobRadius - 16), 5, 5);
    QLinearGradient sheen(c + QPointF(-20, -26), c + QPointF(20, 26));
    sheen.setColorAt(0, QColor(88, 91, 98));
    sheen.setColorAt(1, QColor(44, 46, 50));
    p.setPen(Qt::NoPen);
    p.setBrush(sheen);
    p.drawPath(turn.map(top));
    // The pointer: a white line from the middle to the tip of the bar.
    p.setPen(QPen(QColor(248, 248, 244), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(turn.map(QPointF(0, -KnobRadius + 4.5)), turn.map(QPointF(0, -KnobRadius + 17)));
    // The screw cap in the middle.
    QRadialGradient cap(c + QPointF(-1.5, -1.5), 5);
    cap.setColorAt(0, QColor(90, 92, 98));
    cap.setColorAt(1, QColor(32, 33, 36));
    p.setBrush(cap);
    p.setPen(QPen(QColor(18, 18, 20), 0.6));
    p.drawEllipse(c, 3.6, 3.6);
    return image;
}

// --- The face
// -------------------------------------------------------------------------------------

// The figure printed at each switch position.
QString RangeFigure(int position) {
    switch (position) {
    case 0:
        return "OFF";
    case 1:
        return "750";
    case 2:
        return "200";
    case 3:
        return "2000µ";
    case 4:
        return "20m";
    case 5:
        return "200m";
    case 6:
        return "10";
    case 10:
        return "200";
    case 11:
        return "2000";
    case 12:
        return "20k";
    case 13:
        return "200k";
    case 14:
        return "2000k";
    case 15:
        return "200m";
    case 16:
        return "2000m";
    case 17:
        return "20";
    case 18:
        return "200";
    case 19:
        return "1000";
    default:
        return QString();
    }
}

QColor RangeColour(int position) {
    return position >= 3 && position <= 6 ? AmpPrint : Print;
}

// The coloured arcs that group the ranges of one function, just outside the tick marks.
void ZoneArc(QPainter& p, int fromPosition, int toPosition, const QColor& colour) {
    const double r = 50.2;
    const double start = 90 - fromPosition * 18.0;
    const double span = -(toPosition - fromPosition) * 18.0;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour, 1.3, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(DialCentre.x() - r, DialCentre.y() - r, 2 * r, 2 * r), int(start * 16),
              int(span * 16));
}

QImage Face() {
    QImage image(FaceW, FaceH, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(58, 61, 66)); // what shows past the holster's rounded corners
    {
        QPainter p(&image);
        Smooth(p);
        // The holster.
        const QRectF outer(0.5, 0.5, FaceW - 1, FaceH - 1);
        QLinearGradient rubber(0, 0, FaceW, FaceH);
        rubber.setColorAt(0, Lighter(Holster, 0.18));
        rubber.setColorAt(0.6, Holster);
        rubber.setColorAt(1, Darker(Holster, 0.22));
        p.setPen(QPen(Darker(Holster, 0.55), 1));
        p.setBrush(rubber);
        p.drawRoundedRect(outer, 15, 15);
    }
    Grain(image, 0.05, 601);
    QPainter p(&image);
    Smooth(p);
    // The case inside the holster, with the holster's lip throwing a thin shadow on it.
    const QRectF face(6, 6, FaceW - 12, FaceH - 13);
    p.setPen(Qt::NoPen);
    p.setBrush(WithAlpha(Qt::black, 0.35));
    p.drawRoundedRect(face.adjusted(-1, -1, 1, 1), 10, 10);
    QLinearGradient caseLight(0, face.top(), 0, face.bottom());
    caseLight.setColorAt(0, Lighter(Case, 0.08));
    caseLight.setColorAt(1, Darker(Case, 0.18));
    p.setBrush(caseLight);
    p.drawRoundedRect(face, 9, 9);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(WithAlpha(Qt::white, 0.10), 1));
    p.drawRoundedRect(face.adjusted(1, 1, -1, -1), 8, 8);

    // The display: a black bezel round the glass, the glass itself flat, with a thin shadow
    // along its upper and left edges (outside every segment).
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(18, 19, 21));
    p.drawRoundedRect(GlassRect.adjusted(-5, -4, 5, 4), 4, 4);
    p.setPen(QPen(WithAlpha(Qt::white, 0.16), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(GlassRect.adjusted(-5.5, -4.5, 5.5, 4.5), 4.5, 4.5);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(GlassRect, Glass);
    p.fillRect(QRectF(GlassRect.left(), GlassRect.top(), GlassRect.width(), 1),
               Darker(Glass, 0.28));
    p.fillRect(QRectF(GlassRect.left(), GlassRect.top() + 1, GlassRect.width(), 1),
               Darker(Glass, 0.12));
    p.fillRect(QRectF(GlassRect.left(), GlassRect.top(), 1, GlassRect.height()),
               Darker(Glass, 0.22));
    p.fillRect(QRectF(GlassRect.left() + 1, GlassRect.top() + 1, 1, GlassRect.height() - 1),
               Darker(Glass, 0.08));
    p.setRenderHint(QPainter::Antialiasing, true);

    // The maker's name under the display.
    p.setFont(Font(7.5));
    p.setPen(AmpPrint);
    p.drawText(QRectF(10, 57, 70, 9), Qt::AlignLeft | Qt::AlignVCenter, "VEXILO");
    p.setFont(Font(5.5, false, true));
    p.setPen(WithAlpha(Print, 0.8));
    p.drawText(QRectF(60, 57, 84, 9), Qt::AlignRight | Qt::AlignVCenter, "DIGITAL MULTIMETER");

    // The switch: a well round the knob, tick marks at the positions, coloured arcs that group
    // the functions, the range figures and the function names.
    QRadialGradient well(DialCentre, WellRadius + 2);
    well.setColorAt(0.85, QColor(16, 17, 19));
    well.setColorAt(1.0, QColor(30, 31, 34));
    p.setPen(Qt::NoPen);
    p.setBrush(well);
    p.drawEllipse(DialCentre, WellRadius + 1, WellRadius + 1);
    QConicalGradient lip(DialCentre, 135);
    lip.setColorAt(0.0, WithAlpha(Qt::black, 0.5));
    lip.setColorAt(0.5, WithAlpha(Qt::white, 0.22));
    lip.setColorAt(1.0, WithAlpha(Qt::black, 0.5));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(lip), 1.0));
    p.drawEllipse(DialCentre, WellRadius + 1.2, WellRadius + 1.2);

    for (int k = 0; k < 20; ++k) {
        if (!Selectable(k)) continue;
        const QPointF d = Direction(k);
        p.setPen(QPen(RangeColour(k), 1.3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(DialCentre + d * 46.0, DialCentre + d * 49.4);
    }
    ZoneArc(p, 1, 2, QColor(120, 180, 240));  // AC volts
    ZoneArc(p, 3, 6, AmpPrint);               // direct current
    ZoneArc(p, 9, 14, QColor(120, 210, 130)); // resistance and continuity
    ZoneArc(p, 15, 19, Print);                // DC volts

    for (int k = 0; k < 20; ++k) {
        const QString figure = RangeFigure(k);
        if (figure.isEmpty()) continue;
        const QPointF at = DialCentre + Direction(k) * LabelRadius;
        Centred(p, at, figure, Font(figure.size() > 3 ? 6.0 : 6.8, true, figure.size() > 3),
                RangeColour(k));
    }
    BeeperSign(p, DialCentre + Direction(9) * LabelRadius + QPointF(1, 0), QColor(120, 210, 130));
    FunctionMark(p, {126, 71}, "V", false, Print);
    FunctionMark(p, {25, 71}, "V", true, Print);
    FunctionMark(p, {128, 172}, "A", true, AmpPrint);
    Centred(p, {20, 196}, "Ω", Font(10), QColor(120, 210, 130));

    // The input sockets with their names to the left: 10 A, V-Ω-mA and COM.
    const char* const names[3] = {"10A", "VΩmA", "COM"};
    for (int i = 0; i < 3; ++i) {
        const QPointF s = Sockets[i];
        const QColor shroud = i == 2 ? QColor(30, 30, 32) : SocketRed;
        p.setPen(Qt::NoPen);
        p.setBrush(WithAlpha(Qt::black, 0.45));
        p.drawEllipse(s + QPointF(0.8, 1.0), 7.6, 7.6);
        QRadialGradient ring(s + QPointF(-2.5, -2.5), 10);
        ring.setColorAt(0, Lighter(shroud, 0.35));
        ring.setColorAt(1, Darker(shroud, 0.35));
        p.setBrush(ring);
        p.setPen(QPen(Darker(shroud, 0.6), 0.7));
        p.drawEllipse(s, 7.2, 7.2);
        QRadialGradient hole(s + QPointF(0.8, 0.8), 4);
        hole.setColorAt(0, QColor(4, 4, 5));
        hole.setColorAt(1, QColor(40, 40, 44));
        p.setBrush(hole);
        p.setPen(QPen(QColor(190, 170, 110), 0.9)); // the brass contact
        p.drawEllipse(s, 3.2, 3.2);
        p.setFont(Font(5.8, true, true));
        p.setPen(i == 0 ? AmpPrint : Print);
        p.drawText(QRectF(s.x() - 40, s.y() - 5, 30, 10), Qt::AlignRight | Qt::AlignVCenter,
                   QString::fromUtf8(names[i]));
    }
    // The limits, as a real meter warns of them.
    p.setFont(Font(4.8, true, true));
    p.setPen(WithAlpha(Print, 0.85));
    p.drawText(QRectF(86, 252, 60, 7), Qt::AlignRight | Qt::AlignVCenter, "MAX 1000V DC  750V AC");
    p.setPen(WithAlpha(AmpPrint, 0.9));
    p.drawText(QRectF(86, 200, 40, 7), Qt::AlignRight | Qt::AlignVCenter, "10A MAX");

    // The number plate, where the program writes the meter's number.
    p.setPen(QPen(WithAlpha(Qt::white, 0.12), 0.8));
    p.setBrush(QColor(28, 29, 32));
    p.drawRoundedRect(QRectF(10.5, 226.5, 24, 27), 4, 4);

    // The case screw at the bottom.
    Screw(p, {74.5, 257}, 3.0, 35, QColor(150, 152, 156), true);
    return image;
}

// --- The leads
// ------------------------------------------------------------------------------------

// A probe lying with its tip on the picture's middle. `towardsRight` says where its cable goes;
// `rings` white rings on the handle tell which meter it belongs to; `letter` names a channel.
QImage Probe(bool red, bool towardsRight, int rings, const QString& letter) {
    return Render(32, 32, [=](QPainter& p) {
        if (!towardsRight) {
            p.translate(32, 0);
            p.scale(-1, 1);
        }
        const QColor body = red ? QColor(212, 32, 28) : QColor(40, 40, 44);
        const QPointF tip(16.5, 16.5);
        const QPointF axis(std::sqrt(0.5), -std::sqrt(0.5)); // towards the upper right
        const QPointF across(axis.y(), -axis.x());
        auto at = [&](double along, double side) { return tip + axis * along + across * side; };
        // A light rim round the dark parts keeps a black probe visible on the dark board.
        const QColor rim = red ? Darker(body, 0.55) : QColor(150, 150, 156);
        // The cable, curving off the top edge clear of the corners, which stay transparent.
        QPainterPath cable;
        cable.moveTo(at(18.5, 0));
        cable.cubicTo(at(20.5, 0), QPointF(27.6, 3.4), QPointF(27.2, 0));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(rim, 4.4, Qt::SolidLine, Qt::FlatCap));
        p.drawPath(cable);
        p.setPen(QPen(Darker(body, 0.15), 3.0, Qt::SolidLine, Qt::FlatCap));
        p.drawPath(cable);
        // The needle.
        QPolygonF needle;
        needle << at(0, 0) << at(5.4, -1.1) << at(5.4, 1.1);
        p.setPen(QPen(QColor(80, 82, 86), 0.5));
        p.setBrush(QColor(226, 228, 232));
        p.drawPolygon(needle);
        // The finger guard, the handle and the boot the cable leaves by.
        QPolygonF guard;
        guard << at(5.2, -4.6) << at(7.3, -4.6) << at(7.3, 4.6) << at(5.2, 4.6);
        QPolygonF handle;
        handle << at(7.1, -3.3) << at(16.6, -3.6) << at(16.6, 3.6) << at(7.1, 3.3);
        QPolygonF boot;
        boot << at(16.4, -2.9) << at(19.2, -2.1) << at(19.2, 2.1) << at(16.4, 2.9);
        QLinearGradient shade(at(0, -4), at(0, 4));
        shade.setColorAt(0, Lighter(body, red ? 0.5 : 0.42));
        shade.setColorAt(0.4, body);
        shade.setColorAt(1, Darker(body, 0.45));
        p.setPen(QPen(rim, 0.9));
        p.setBrush(shade);
        p.drawPolygon(boot);
        p.drawPolygon(handle);
        p.drawPolygon(guard);
        for (int i = 0; i < rings; ++i) {
            p.setPen(QPen(QColor(246, 246, 242), 1.2, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(at(14.4 - 2.5 * i, -3.4), at(14.4 - 2.5 * i, 3.4));
        }
        if (!letter.isEmpty()) {
            // Upright, whichever way the probe lies.
            p.resetTransform();
            const double x = towardsRight ? tip.x() + 8.6 : 32 - tip.x() - 8.6;
            p.setFont(Font(7.5));
            p.setPen(Qt::white);
            p.drawText(QRectF(x - 5, tip.y() - 8.6 - 5, 10, 10), Qt::AlignCenter, letter);
        }
    });
}

} // namespace

void DrawMeter(ArtWriter& out) {
    out.Jpeg("jpgPribor", Face(), 95);
    out.Bitmap("bmpMask", Mask());
    for (int k = 0; k < 20; ++k)
        out.Jpeg(QString("jpgHandle%1").arg(k), Knob(k), 95);
    for (int d = 0; d < 10; ++d)
        out.Bitmap(QString("Number%1").arg(d), Digit(d));
    out.Bitmap("NumberNULL", Blank(17, 31));
    out.Bitmap("Pos1Number1", HalfOne());
    out.Bitmap("Pos1Number1None", Blank(7, 29));
    out.Bitmap("NoPointBMP", Blank(2, 3));
    out.Bitmap("PointBMP", PointOn());
    out.Bitmap("NoHighVolt", Blank(12, 7));
    out.Bitmap("HighVolt", HighVoltOn());
    out.Bitmap("NoMinusBMP", Blank(10, 2));
    out.Bitmap("MinusBMP", MinusOn());
    for (int input = 1; input <= 4; ++input)
        for (bool red : {true, false}) {
            const bool right = input != 3;
            const int rings = input <= 2 ? input : 0;
            const QString letter = input == 3 ? "A" : input == 4 ? "B" : "";
            out.Bitmap(QString("bmpTestLead%1%2").arg(red ? 'R' : 'B').arg(input),
                       Probe(red, right, rings, letter));
        }
}
