#pragma once
// A small horizontal slider for a continuous value: a grey strip with a track line and a black
// triangular thumb. The oscilloscope uses it for every fine control. The thumb's position is
// kept as a percentage, so a new range keeps the thumb where it is and moves the value.

#include <QWidget>
#include <functional>

class TPercentScroller : public QWidget {
    Q_OBJECT
public:
    static constexpr int Margin = 5;
    static constexpr int ThumbSize = 6;
    static constexpr int TrackRow = 3;
    static constexpr int ControlHeight = ThumbSize + TrackRow + 4; // 13

    // `target1` and `target2` (either may be null) receive Value on every change.
    TPercentScroller(QWidget* parent, int left, int top, double min, double max, double* target1,
                     double* target2, int trackLength);

    double Min = 0;
    double Max = 1;
    double Value = 0;
    double Percent = 0;
    int ThumbPos = 0;
    const int TrackLength;

    std::function<void(TPercentScroller*)> OnChange;
    std::function<void(TPercentScroller*, class QPainter&)> OnDrawExtra;

    void SetRange(double min, double max);
    void SetValue(double x);
    void SetPercent(double p);

    bool Dragging() const { return IsDragging; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void PlaceThumb();
    void Notify();
    void MoveTo(int x);

    double* Target1;
    double* Target2;
    bool IsDragging = false;
};
