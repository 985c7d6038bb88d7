#pragma once
// The picture of the filter beside the inputs: R1 and R2 in series from the input, C1 from their
// junction back to the output, C2 from the follower's input to ground, and the follower DA1
// marked "+1". It is drawn, not loaded, so it stays sharp at any screen scaling.

#include <QWidget>

class TSchematic : public QWidget {
    Q_OBJECT
public:
    // The drawing's own coordinate frame: the picture is 100 x 49 pixels on a 96 dpi screen.
    static constexpr int DesignWidth = 100;
    static constexpr int DesignHeight = 49;

    explicit TSchematic(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
