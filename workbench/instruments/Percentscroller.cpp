#include "instruments/Percentscroller.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

TPercentScroller::TPercentScroller(QWidget* parent, int left, int top, double min, double max,
                                   double* target1, double* target2, int trackLength)
    : QWidget(parent), Min(min), Max(max), Value(min), TrackLength(std::max(trackLength, 1)),
      Target1(target1), Target2(target2) {
    setGeometry(left, top, TrackLength + 2 * Margin, ControlHeight);
    setCursor(Qt::PointingHandCursor);
}

// The thumb's pixel on the track, in whole percent: the track is narrower than a hundred
// distinct positions are worth.
void TPercentScroller::PlaceThumb() {
    const double p = std::isfinite(Percent) ? std::clamp(Percent, 0.0, 100.0) : 0.0;
    ThumbPos = (width() - 2 * Margin) * int(std::trunc(p)) / 100;
}

void TPercentScroller::Notify() {
    if (Target1) *Target1 = Value;
    if (Target2) *Target2 = Value;
    update();
    // The extra drawing belongs to the control's picture, which paintEvent draws in full.
    if (OnChange) OnChange(this);
}

void TPercentScroller::SetRange(double min, double max) {
    Min = min;
    Max = max;
    Value = Min + (Max - Min) * Percent / 100;
    PlaceThumb();
    Notify();
}

void TPercentScroller::SetValue(double x) {
    x = std::clamp(x, std::min(Min, Max), std::max(Min, Max));
    Value = x;
    // An empty range has only one place for its thumb: the left end.
    Percent = Max != Min ? (x - Min) / (Max - Min) * 100 : 0;
    PlaceThumb();
    Notify();
}

void TPercentScroller::SetPercent(double p) {
    p = std::isnan(p) ? 0 : std::clamp(p, 0.0, 100.0);
    Percent = p;
    Value = Min + p * (Max - Min) / 100;
    PlaceThumb();
    Notify();
}

void TPercentScroller::MoveTo(int x) {
    x = std::clamp(x, Margin, width() - Margin);
    if (x - Margin == ThumbPos) return;
    ThumbPos = x - Margin;
    Percent = double(ThumbPos) / (width() - 2 * Margin) * 100;
    Value = Min + (Max - Min) * Percent / 100;
    Notify();
}

void TPercentScroller::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const int x = int(e->position().x());
    if (x < 0 || x >= width()) return;
    IsDragging = true;
    MoveTo(x);
}

void TPercentScroller::mouseMoveEvent(QMouseEvent* e) {
    if (IsDragging) MoveTo(int(std::floor(e->position().x())));
}

void TPercentScroller::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) IsDragging = false;
}

void TPercentScroller::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(Qt::black);
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(0, 0, width() - 1, height() - 1);
    p.setPen(QColor(128, 128, 128));
    p.drawLine(Margin, TrackRow, width() - Margin, TrackRow);
    p.setPen(Qt::white);
    p.drawLine(Margin, TrackRow + 1, width() - Margin, TrackRow + 1);
    const int apex = ThumbPos + Margin;
    const QPoint thumb[3] = {
        {apex, TrackRow + 2}, {apex - 3, TrackRow + 8}, {apex + 3, TrackRow + 8}};
    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    p.drawPolygon(thumb, 3);
    if (OnDrawExtra) OnDrawExtra(this, p);
}
