// The bench: the wooden top the window shows behind everything, the mounting board in its
// aluminium frame with the printed lattice, and the brass screw terminal drawn at every node.
#include "Art.h"
#include "ArtWriter.h"
#include "Paint.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

using namespace art;

namespace {

constexpr double Pi = 3.14159265358979323846;

// A lacquered oak bench top of planks running left to right. With `tileable` every noise repeats
// across the picture's edges and the planks fit its height exactly, so copies of it tile.
QImage BenchTop(int width, int height, bool tileable, uint32_t seed) {
    const int planks = tileable ? 4 : int(std::lround(height / 128.0));
    const double plankHeight = double(height) / planks;
    const QColor light(184, 132, 84), dark(112, 70, 38), pore(70, 42, 22);

    // Noise of a given feature size in pixels; in the tileable picture the size is rounded so
    // that a whole number of lattice cells spans the picture.
    auto noise = [&](double x, double y, double sx, double sy, int octaves, uint32_t s) {
        if (!tileable) return Fbm(x / sx, y / sy, octaves, s);
        const int cx = std::max(1, int(std::lround(width / sx)));
        const int cy = std::max(1, int(std::lround(height / sy)));
        return Fbm(x * cx / width, y * cy / height, octaves, s, cx, cy);
    };

    // Each plank is a row of boards butted end to end; every board has its own tone, ring
    // spacing and the centre of its arched "cathedral" figure.
    struct Board {
        int Start;
        double Tone, RingPeriod, Phase, ArchX, ArchDepth;
    };
    std::vector<std::vector<Board>> rows;
    Rng rng(seed);
    for (int k = 0; k < planks; ++k) {
        std::vector<Board> boards;
        double x = tileable ? 0 : -rng.Range(0, 500);
        do {
            boards.push_back({int(x), rng.Range(-0.12, 0.12), rng.Range(10, 17), rng.Range(0, 40),
                              x + rng.Range(150, 650), rng.Range(10, 28)});
            x += rng.Range(650, 1100);
        } while (!tileable && x < width);
        rows.push_back(boards);
    }
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const int k = std::min(planks - 1, int(y / plankHeight));
        const std::vector<Board>& boards = rows[size_t(k)];
        const double v = y - k * plankHeight; // depth into the plank from its top edge
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        size_t b = 0;
        for (int x = 0; x < width; ++x) {
            while (b + 1 < boards.size() && x >= boards[b + 1].Start)
                ++b;
            const Board& board = boards[b];
            const uint32_t s = seed + 97u * uint32_t(k) + 7919u * uint32_t(b);
            // Growth rings: lines along the plank, bent by slow noise; on the big bench top they
            // also arch round each board's figure centre.
            double bend = 22 * noise(x, y, 340, 70, 3, s) + 7 * noise(x, y, 90, 24, 2, s + 5);
            if (!tileable) {
                const double d = (x - board.ArchX) / 260.0;
                bend += board.ArchDepth * (1 - std::exp(-d * d)) * (d < 0 ? 1.0 : 0.8);
            }
            const double ring =
                0.5 + 0.5 * std::sin(2 * Pi * (v + bend + board.Phase) / board.RingPeriod);
            const double rings = std::pow(ring, 3.0);
            // Long fine streaks and the open pores of oak.
            const double streak = noise(x, y, 200, 2.6, 4, s + 11) - 0.5;
            const double pores = std::max(0.0, noise(x, y, 16, 1.1, 2, s + 23) - 0.7) * 3.0;
            const double sheen = noise(x, y, 700, 500, 2, seed + 3) - 0.5;
            double t = 0.36 + 0.5 * rings + 0.6 * streak + board.Tone - 0.25 * sheen;
            QColor c = Mix(light, dark, t);
            c = Mix(c, pore, std::min(0.5, pores));
            // Plank seams: a dark gap, a lit upper edge below it, a shaded lower edge above it.
            double shade = 0;
            if (v < 1)
                shade = -0.55;
            else if (v < 2)
                shade = 0.10;
            else if (v > plankHeight - 1.5)
                shade = -0.22;
            if (!tileable && b > 0 && x == board.Start)
                shade = -0.5;
            else if (!tileable && b > 0 && x == board.Start + 1)
                shade = std::max(shade, 0.08);
            if (shade < 0)
                c = Darker(c, -shade);
            else if (shade > 0)
                c = Lighter(c, shade);
            line[x] = c.rgb();
        }
    }
    return image;
}

// The mounting board: a dark green glass-textolite plate with a cream printed lattice joining
// the node positions (64 pixels apart, the first 32 pixels in), in a brushed aluminium frame.
QImage MountingBoard() {
    constexpr int Size = 448, Pitch = 64, Frame = 9;
    QImage plate(Size, Size, QImage::Format_ARGB32_Premultiplied);
    const QColor resin(34, 82, 62), resinDark(22, 58, 44);
    for (int y = 0; y < Size; ++y) {
        auto* line = reinterpret_cast<QRgb*>(plate.scanLine(y));
        for (int x = 0; x < Size; ++x) {
            // The glass cloth shows faintly through the resin as a fine weave.
            const double weave = 0.5 +
                                 0.25 * (std::sin(2 * Pi * x / 5.0) * std::sin(2 * Pi * y / 5.0)) +
                                 0.25 * std::sin(2 * Pi * (x + y) / 5.0) * 0.3;
            const double mottle = Fbm(x / 60.0, y / 60.0, 4, 77);
            const double light = 0.15 * (1.0 - (x + y) / double(2 * Size)); // lit from the top left
            QColor c = Mix(resinDark, resin, 0.35 + 0.55 * mottle + 0.12 * weave);
            c = Lighter(c, light);
            line[x] = c.rgba();
        }
    }
    Grain(plate, 0.05, 5);

    QPainter p(&plate);
    Smooth(p);
    // The printed lattice: lines between neighbouring nodes and a ring round each node.
    const QColor ink(226, 222, 186);
    p.setPen(QPen(WithAlpha(ink, 0.55), 1.6, Qt::SolidLine, Qt::FlatCap));
    constexpr double RingRadius = 12.5;
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c) {
            const QPointF n(Pitch * c + 32.5, Pitch * r + 32.5);
            if (c < 6)
                p.drawLine(n + QPointF(RingRadius + 1, 0), n + QPointF(Pitch - RingRadius - 1, 0));
            if (r < 6)
                p.drawLine(n + QPointF(0, RingRadius + 1), n + QPointF(0, Pitch - RingRadius - 1));
        }
    p.setBrush(Qt::NoBrush);
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c) {
            const QPointF n(Pitch * c + 32.5, Pitch * r + 32.5);
            p.setPen(QPen(WithAlpha(ink, 0.6), 1.4));
            p.drawEllipse(n, RingRadius, RingRadius);
            // A darker countersink round the terminal's seat.
            p.setPen(Qt::NoPen);
            QRadialGradient seat(n, 11);
            seat.setColorAt(0.6, WithAlpha(QColor(0, 0, 0), 0.35));
            seat.setColorAt(1.0, WithAlpha(QColor(0, 0, 0), 0.0));
            p.setBrush(seat);
            p.drawEllipse(n, 11, 11);
            p.setBrush(Qt::NoBrush);
        }
    // Short tick marks half way between nodes, where a part's body lies.
    p.setPen(QPen(WithAlpha(ink, 0.35), 1.2));
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c) {
            const QPointF n(Pitch * c + 32.5, Pitch * r + 32.5);
            if (c < 6) p.drawLine(n + QPointF(32, -3.5), n + QPointF(32, 3.5));
            if (r < 6) p.drawLine(n + QPointF(-3.5, 32), n + QPointF(3.5, 32));
        }

    // The frame: four bevelled aluminium bars, lit on the top and left.
    const QColor alu(178, 182, 186);
    QPainterPath outer, inner;
    outer.addRect(0, 0, Size, Size);
    inner.addRect(Frame, Frame, Size - 2 * Frame, Size - 2 * Frame);
    p.setPen(Qt::NoPen);
    p.setBrush(alu);
    p.drawPath(outer.subtracted(inner));
    p.end();
    BrushedStreaks(plate, QRect(0, 0, Size, Frame), 0.18, 31);
    BrushedStreaks(plate, QRect(0, Size - Frame, Size, Frame), 0.18, 32);
    {
        // Streaks along the vertical bars run vertically: brush a transposed strip.
        QImage side = plate.copy(0, 0, Frame, Size).transformed(QTransform(0, 1, 1, 0, 0, 0));
        BrushedStreaks(side, side.rect(), 0.18, 33);
        QImage back = side.transformed(QTransform(0, 1, 1, 0, 0, 0));
        QPainter q(&plate);
        q.drawImage(0, Frame, back.copy(0, Frame, Frame, Size - 2 * Frame));
        side = plate.copy(Size - Frame, 0, Frame, Size).transformed(QTransform(0, 1, 1, 0, 0, 0));
        BrushedStreaks(side, side.rect(), 0.18, 34);
        back = side.transformed(QTransform(0, 1, 1, 0, 0, 0));
        q.drawImage(Size - Frame, Frame, back.copy(0, Frame, Frame, Size - 2 * Frame));
    }
    p.begin(&plate);
    Smooth(p);
    auto bevel = [&](QPolygonF poly, const QColor& c) {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawPolygon(poly);
    };
    // Chamfers: a lit strip on the outer top/left, a dark one on the outer bottom/right.
    bevel(QPolygonF({QPointF(0, 0), QPointF(Size, 0), QPointF(Size - 2, 2), QPointF(2, 2)}),
          WithAlpha(Qt::white, 0.45));
    bevel(QPolygonF({QPointF(0, 0), QPointF(2, 2), QPointF(2, Size - 2), QPointF(0, Size)}),
          WithAlpha(Qt::white, 0.35));
    bevel(QPolygonF({QPointF(0, Size), QPointF(2, Size - 2), QPointF(Size - 2, Size - 2),
                     QPointF(Size, Size)}),
          WithAlpha(Qt::black, 0.35));
    bevel(QPolygonF({QPointF(Size, 0), QPointF(Size, Size), QPointF(Size - 2, Size - 2),
                     QPointF(Size - 2, 2)}),
          WithAlpha(Qt::black, 0.3));
    // Inner edge: the plate sits below the frame, so the frame casts a shadow onto it.
    p.setPen(QPen(WithAlpha(Qt::black, 0.55), 1));
    p.drawRect(QRectF(Frame - 0.5, Frame - 0.5, Size - 2 * Frame + 1, Size - 2 * Frame + 1));
    QLinearGradient topShadow(0, Frame, 0, Frame + 5);
    topShadow.setColorAt(0, WithAlpha(Qt::black, 0.35));
    topShadow.setColorAt(1, WithAlpha(Qt::black, 0));
    p.fillRect(QRectF(Frame, Frame, Size - 2 * Frame, 5), topShadow);
    QLinearGradient leftShadow(Frame, 0, Frame + 5, 0);
    leftShadow.setColorAt(0, WithAlpha(Qt::black, 0.3));
    leftShadow.setColorAt(1, WithAlpha(Qt::black, 0));
    p.fillRect(QRectF(Frame, Frame, 5, Size - 2 * Frame), leftShadow);
    p.setPen(QPen(WithAlpha(Qt::white, 0.35), 1));
    p.drawLine(QPointF(Frame + 0.5, Size - Frame - 0.5),
               QPointF(Size - Frame - 0.5, Size - Frame - 0.5));
    p.drawLine(QPointF(Size - Frame - 0.5, Frame + 0.5),
               QPointF(Size - Frame - 0.5, Size - Frame - 0.5));
    // Countersunk screws hold the frame at the corners.
    for (QPointF s : {QPointF(4.5, 4.5), QPointF(Size - 4.5, 4.5), QPointF(4.5, Size - 4.5),
                      QPointF(Size - 4.5, Size - 4.5)})
        Screw(p, s, 3.2, 40, QColor(190, 192, 194), true);
    p.end();
    return plate;
}

// A node: a brass screw terminal seen from above, 19 x 19 pixels with the screw's centre on the
// middle pixel (9, 9), so the board can centre it on the node exactly.
QImage NodeTerminal() {
    return Render(
        19, 19,
        [](QPainter& p) {
            const QPointF c(9.5, 9.5);
            const QColor brass(196, 160, 78);
            // The washer.
            QRadialGradient washer(c - QPointF(2.5, 3), 10);
            washer.setColorAt(0.0, QColor(246, 224, 150));
            washer.setColorAt(0.45, brass);
            washer.setColorAt(1.0, QColor(112, 84, 34));
            p.setPen(QPen(QColor(92, 66, 24), 0.8));
            p.setBrush(washer);
            p.drawEllipse(c, 7.6, 7.6);
            // The screw head stands on the washer: a thin dark gap, then its domed top.
            p.setPen(Qt::NoPen);
            p.setBrush(WithAlpha(QColor(60, 40, 10), 0.55));
            p.drawEllipse(c + QPointF(0.5, 0.6), 5.2, 5.2);
            QRadialGradient head(c - QPointF(1.8, 2.0), 7);
            head.setColorAt(0.0, QColor(255, 240, 186));
            head.setColorAt(0.4, QColor(214, 180, 96));
            head.setColorAt(1.0, QColor(128, 96, 40));
            p.setBrush(head);
            p.setPen(QPen(QColor(100, 72, 26), 0.6));
            p.drawEllipse(c, 4.8, 4.8);
            // A cross slot.
            p.translate(c);
            p.rotate(-30);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(84, 58, 18));
            p.drawRect(QRectF(-3.6, -0.75, 7.2, 1.5));
            p.drawRect(QRectF(-0.75, -3.6, 1.5, 7.2));
            p.setBrush(WithAlpha(QColor(255, 236, 170), 0.6));
            p.drawRect(QRectF(-3.4, 0.75, 2.6, 0.5));
            p.drawRect(QRectF(0.75, 0.8, 2.6, 0.5));
        },
        false);
}

} // namespace

// A shadow for the node picture needs room the 19 pixels do not have, so the terminal carries a
// one-pixel contact shadow of its own instead of the usual soft one.
static QImage NodeWithContactShadow() {
    QImage node = NodeTerminal();
    QImage out = Canvas(node.width(), node.height());
    QPainter p(&out);
    Smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(WithAlpha(Qt::black, 0.45));
    p.drawEllipse(QPointF(10.3, 10.4), 7.9, 7.9);
    p.drawImage(0, 0, node);
    p.end();
    ClearFaint(out, 8);
    return out;
}

void DrawBench(ArtWriter& out) {
    out.Jpeg("jpgBackground", BenchTop(1600, 1024, false, 1234), 88);
    QImage tile =
        BenchTop(256, 256, true, 4321).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    out.Bitmap("bmpBackground", tile);
    out.Jpeg("jpgBoard", MountingBoard(), 92);
    out.Bitmap("bmpNode", NodeWithContactShadow());
}
