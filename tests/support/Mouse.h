#pragma once
// Mouse gestures as the window system delivers them: a press goes to the widget under the
// pointer, and the moves and the release that follow go to that same widget until the button
// is let go.

#include <QPointer>
#include <QTest>

class TMouse {
public:
    explicit TMouse(QWidget* window) : Window(window) {}

    void Press(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        Grabber = Under(at);
        QTest::mousePress(Grabber, button, {}, Grabber->mapFrom(Window, at));
    }
    void Move(QPoint at) {
        QWidget* to = Grabber ? Grabber.data() : Under(at);
        QTest::mouseMove(to, to->mapFrom(Window, at));
    }
    void Release(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QWidget* to = Grabber ? Grabber.data() : Under(at);
        QTest::mouseRelease(to, button, {}, to->mapFrom(Window, at));
        Grabber = nullptr;
    }
    void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        Press(at, button);
        Release(at, button);
    }
    // Press, move step by step (so a drag can start and pass over targets), release.
    void Drag(QPoint from, QPoint to, int steps = 8) {
        Press(from);
        for (int i = 1; i <= steps; ++i)
            Move(from + (to - from) * i / steps);
        Release(to);
    }

private:
    QWidget* Under(QPoint at) const {
        QWidget* child = Window->childAt(at);
        return child ? child : Window;
    }
    QWidget* Window;
    QPointer<QWidget> Grabber;
};
