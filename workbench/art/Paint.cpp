#include "Paint.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <vector>

namespace art {

uint32_t Rng::Next() {
    // xorshift64*: small, fast and the same on every machine.
    State ^= State >> 12;
    State ^= State << 25;
    State ^= State >> 27;
    return uint32_t((State * 0x2545F4914F6CDD1Dull) >> 32);
}

namespace {
uint32_t Hash(int x, int y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u;
    h ^= uint32_t(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= uint32_t(y) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

double Lattice(int x, int y, uint32_t seed, int px, int py) {
    if (px > 0) x = ((x % px) + px) % px;
    if (py > 0) y = ((y % py) + py) % py;
    return Hash(x, y, seed) / 4294967295.0;
}

double Fade(double t) {
    return t * t * (3 - 2 * t);
}
} // namespace

double ValueNoise(double x, double y, uint32_t seed, int periodX, int periodY) {
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    const double tx = Fade(x - fx), ty = Fade(y - fy);
    const double a = Lattice(ix, iy, seed, periodX, periodY);
    const double b = Lattice(ix + 1, iy, seed, periodX, periodY);
    const double c = Lattice(ix, iy + 1, seed, periodX, periodY);
    const double d = Lattice(ix + 1, iy + 1, seed, periodX, periodY);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

double Fbm(double x, double y, int octaves, uint32_t seed, int periodX, int periodY) {
    double sum = 0, norm = 0, amp = 1;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * ValueNoise(x, y, seed + 101u * uint32_t(i), periodX, periodY);
        norm += amp;
        amp *= 0.5;
        x *= 2;
        y *= 2;
        periodX *= 2;
        periodY *= 2;
    }
    return sum / norm;
}

QColor Mix(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t),
                            float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor Lighter(const QColor& c, double amount) {
    return Mix(c, QColor(255, 255, 255, c.alpha()), amount);
}
QColor Darker(const QColor& c, double amount) {
    return Mix(c, QColor(0, 0, 0, c.alpha()), amount);
}

QColor WithAlpha(QColor c, double alpha) {
    c.setAlphaF(float(std::clamp(alpha, 0.0, 1.0)));
    return c;
}

QImage Canvas(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void Smooth(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

namespace {
// One box pass along rows (horizontal) or columns, over all four premultiplied channels.
void BoxPass(QImage& image, int radius, bool horizontal) {
    const int w = image.width(), h = image.height();
    const int lines = horizontal ? h : w, length = horizontal ? w : h;
    std::vector<int> in(size_t(length) * 4), acc(4);
    const int span = 2 * radius + 1;
    for (int line = 0; line < lines; ++line) {
        auto px = [&](int i) -> QRgb& {
            return horizontal ? reinterpret_cast<QRgb*>(image.scanLine(line))[i]
                              : reinterpret_cast<QRgb*>(image.scanLine(i))[line];
        };
        for (int i = 0; i < length; ++i) {
            const QRgb v = px(i);
            in[size_t(i) * 4 + 0] = qAlpha(v);
            in[size_t(i) * 4 + 1] = qRed(v);
            in[size_t(i) * 4 + 2] = qGreen(v);
            in[size_t(i) * 4 + 3] = qBlue(v);
        }
        std::fill(acc.begin(), acc.end(), 0);
        // Outside the picture everything is transparent, so the window starts empty.
        for (int i = 0; i <= radius && i < length; ++i)
            for (int c = 0; c < 4; ++c)
                acc[c] += in[size_t(i) * 4 + c];
        for (int i = 0; i < length; ++i) {
            px(i) = qRgba(acc[1] / span, acc[2] / span, acc[3] / span, acc[0] / span);
            const int add = i + radius + 1, drop = i - radius;
            for (int c = 0; c < 4; ++c) {
                if (add < length) acc[c] += in[size_t(add) * 4 + c];
                if (drop >= 0) acc[c] -= in[size_t(drop) * 4 + c];
            }
        }
    }
}
} // namespace

void Blur(QImage& image, int radius) {
    if (radius <= 0) return;
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int pass = 0; pass < 3; ++pass) {
        BoxPass(image, radius, true);
        BoxPass(image, radius, false);
    }
}

QImage Shadow(const QImage& shape, double radius, QPointF offset, double opacity) {
    QImage mask = Canvas(shape.width(), shape.height());
    for (int y = 0; y < shape.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(shape.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < shape.width(); ++x) {
            const int a = int(qAlpha(src[x]) * opacity);
            dst[x] = qRgba(0, 0, 0, a);
        }
    }
    // Three box passes of radius r approximate a gaussian of about r standard deviations.
    Blur(mask, std::max(1, int(std::lround(radius))));
    QImage out = Canvas(shape.width(), shape.height());
    QPainter p(&out);
    Smooth(p);
    p.translate(offset);
    p.drawImage(0, 0, mask);
    return out;
}

QImage WithShadow(const QImage& layer, double radius, QPointF offset, double opacity) {
    QImage out = Shadow(layer, radius, offset, opacity);
    QPainter p(&out);
    p.drawImage(0, 0, layer);
    p.end();
    ClearFaint(out);
    return out;
}

void ClearFaint(QImage& image, int alpha) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) < alpha) line[x] = 0;
    }
}

QImage Render(int width, int height, const Painter& paint, bool shadow) {
    QImage layer = Canvas(width, height);
    {
        QPainter p(&layer);
        Smooth(p);
        paint(p);
    }
    if (shadow) return WithShadow(layer);
    ClearFaint(layer, 1);
    return layer;
}

QLinearGradient CylinderAcross(QPointF from, QPointF to, const QColor& body, double gloss) {
    QLinearGradient g(from, to);
    g.setColorAt(0.00, Darker(body, 0.25));
    g.setColorAt(0.18, Lighter(body, 0.25 * gloss));
    g.setColorAt(0.30, Lighter(body, 0.55 * gloss));
    g.setColorAt(0.42, Lighter(body, 0.12 * gloss));
    g.setColorAt(0.70, body);
    g.setColorAt(1.00, Darker(body, 0.5));
    return g;
}

void Lead(QPainter& p, QPointF a, QPointF b, double width, const QColor& metal) {
    p.save();
    p.setBrush(Qt::NoBrush);
    // The lead as a thin cylinder: dark outline, body, and a thin highlight along its lit side.
    const QPointF d = b - a;
    const double len = std::hypot(d.x(), d.y());
    const QPointF n = len > 0 ? QPointF(-d.y() / len, d.x() / len) : QPointF(0, 1);
    // Normals point to the lit side (up or left) whichever way the lead runs.
    const QPointF lit = (n.x() + n.y() > 0) ? -n : n;
    p.setPen(QPen(Darker(metal, 0.55), width + 0.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
    p.setPen(QPen(metal, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
    p.setPen(QPen(Lighter(metal, 0.75), std::max(0.6, width * 0.35), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a + lit * (width * 0.22), b + lit * (width * 0.22));
    p.restore();
}

void Screw(QPainter& p, QPointF centre, double radius, double angle, const QColor& metal,
           bool cross) {
    p.save();
    QRadialGradient g(centre - QPointF(radius * 0.35, radius * 0.4), radius * 1.3);
    g.setColorAt(0, Lighter(metal, 0.6));
    g.setColorAt(0.5, metal);
    g.setColorAt(1, Darker(metal, 0.45));
    p.setBrush(g);
    p.setPen(QPen(Darker(metal, 0.6), 0.7));
    p.drawEllipse(centre, radius, radius);
    p.translate(centre);
    p.rotate(angle);
    const double s = radius * 0.78, t = std::max(0.7, radius * 0.22);
    p.setPen(Qt::NoPen);
    p.setBrush(Darker(metal, 0.65));
    p.drawRect(QRectF(-s, -t / 2, 2 * s, t));
    if (cross) p.drawRect(QRectF(-t / 2, -s, t, 2 * s));
    // The slot's lower lip catches the light.
    p.setBrush(WithAlpha(Lighter(metal, 0.7), 0.7));
    p.drawRect(QRectF(-s * 0.9, t / 2, 1.8 * s, 0.45));
    p.restore();
}

void Plastic(QPainter& p, const QRectF& box, double radius, const QColor& colour,
             double edgeDarkness) {
    p.save();
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, Lighter(colour, 0.22));
    g.setColorAt(0.45, colour);
    g.setColorAt(1, Darker(colour, 0.28));
    p.setBrush(g);
    p.setPen(QPen(Darker(colour, edgeDarkness), 0.9));
    p.drawRoundedRect(box, radius, radius);
    // A soft sheen along the top edge.
    p.setPen(QPen(WithAlpha(Lighter(colour, 0.6), 0.55), 0.8));
    p.drawLine(QPointF(box.left() + radius, box.top() + 1.1),
               QPointF(box.right() - radius, box.top() + 1.1));
    p.restore();
}

void BrushedStreaks(QImage& image, const QRect& rect, double strength, uint32_t seed) {
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb v = line[x];
            const int a = qAlpha(v);
            if (!a) continue;
            const double n = Fbm(x / 40.0, y / 0.9, 3, seed) - 0.5;
            const int d = int(n * strength * a);
            line[x] = qRgba(std::clamp(qRed(v) + d, 0, a), std::clamp(qGreen(v) + d, 0, a),
                            std::clamp(qBlue(v) + d, 0, a), a);
        }
    }
}

void Grain(QImage& image, double strength, uint32_t seed) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb v = line[x];
            const int a = qAlpha(v);
            if (!a) continue;
            const double n = (Hash(x, y, seed) / 4294967295.0) - 0.5;
            const int d = int(n * strength * a);
            line[x] = qRgba(std::clamp(qRed(v) + d, 0, a), std::clamp(qGreen(v) + d, 0, a),
                            std::clamp(qBlue(v) + d, 0, a), a);
        }
    }
}

} // namespace art
