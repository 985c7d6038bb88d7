#pragma once
// The small painting toolkit every picture of the workbench is made with: deterministic noise for
// wood and plastic grain, colour helpers, soft shadows, and the few recurring pieces of hardware
// (bare leads, screws, cylinders lit from the top left).
//
// Conventions shared by all pictures: light falls from the top left, shadows fall to the bottom
// right, and a picture with a transparent background keeps its top-left pixel fully transparent.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <cstdint>
#include <functional>

namespace art {

// A small deterministic random generator: the same build always draws the same pictures.
class Rng {
public:
    explicit Rng(uint64_t seed) : State(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
    uint32_t Next();
    double Uniform() { return Next() / 4294967296.0; }                   // 0 <= u < 1
    double Range(double a, double b) { return a + (b - a) * Uniform(); } // a <= u < b
    double Signed() { return 2 * Uniform() - 1; }                        // -1 <= u < 1

private:
    uint64_t State;
};

// Smooth value noise in 0..1 on a unit lattice; a non-zero period makes it repeat after that
// many lattice cells, which is how tileable textures are made.
double ValueNoise(double x, double y, uint32_t seed, int periodX = 0, int periodY = 0);
// Fractal sum of `octaves` octaves of value noise, normalised to 0..1. With periods the result
// repeats after periodX x periodY cells of the first octave.
double Fbm(double x, double y, int octaves, uint32_t seed, int periodX = 0, int periodY = 0);

// Colours.
QColor Mix(const QColor& a, const QColor& b, double t);
QColor Lighter(const QColor& c, double amount); // towards white, 0..1
QColor Darker(const QColor& c, double amount);  // towards black, 0..1
QColor WithAlpha(QColor c, double alpha);

// A transparent canvas in the format the program loads pictures in.
QImage Canvas(int width, int height);
// A painter with antialiasing on.
void Smooth(QPainter& p);

// Blurs the alpha channel (and colour) of a premultiplied image with three box passes.
void Blur(QImage& image, int radius);
// A soft shadow of `shape`'s opaque pixels: blurred, shifted and darkened.
QImage Shadow(const QImage& shape, double radius, QPointF offset, double opacity);
// Draws `layer` over its own soft shadow onto a new canvas of the same size.
QImage WithShadow(const QImage& layer, double radius = 1.6, QPointF offset = {1.6, 2.2},
                  double opacity = 0.45);
// Clears pixels whose alpha is below `alpha` to exact zero, so the faint fringe of a shadow
// neither catches the mouse nor leaves dirt on the transparent colour.
void ClearFaint(QImage& image, int alpha = 10);

// A picture drawn by a painter function on a transparent canvas, with its soft shadow.
using Painter = std::function<void(QPainter&)>;
QImage Render(int width, int height, const Painter& paint, bool shadow = true);

// Gradient across a cylinder whose axis runs from `a` to `b` sideways: a bright highlight near
// the lit side, the body colour in the middle, a dark rim on the far side.
QLinearGradient CylinderAcross(QPointF from, QPointF to, const QColor& body, double gloss = 0.6);
// A bare metal lead (tinned copper) from `a` to `b`.
void Lead(QPainter& p, QPointF a, QPointF b, double width = 2.2,
          const QColor& metal = QColor(196, 198, 200));
// A round screw head seen from above, its slot turned by `angle` degrees.
void Screw(QPainter& p, QPointF centre, double radius, double angle,
           const QColor& metal = QColor(200, 200, 196), bool cross = false);
// A rounded box with a vertical gradient (lit top, darker bottom) and a thin dark edge.
void Plastic(QPainter& p, const QRectF& box, double radius, const QColor& colour,
             double edgeDarkness = 0.45);

// Writes brushed-metal texture (fine streaks along x) over `image` inside `rect`.
void BrushedStreaks(QImage& image, const QRect& rect, double strength, uint32_t seed);
// Adds fine monochrome grain to every opaque pixel.
void Grain(QImage& image, double strength, uint32_t seed);

} // namespace art
