#pragma once
// A small tool window inside the main window: a slim caption strip with the window's title and a
// close box, and a client area below. It has no window of its own (it is a child of the main
// window, as the multimeters are): the caption strip moves it, the close box only hides it, and
// a resizable one is sized from its right and bottom edges.

#include <QWidget>
#include <functional>

class TToolWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int CaptionHeight = 16;

    TToolWindow(QWidget* parent, const QString& title, bool resizable);

    // The area below the caption strip that holds the window's controls.
    QWidget* Client() const { return ClientArea; }
    // Sizes the window so that its client area gets the given size.
    void SetClientSize(int width, int height);
    QRect CloseBox() const;

    // Told when the window is shown or hidden (the main window's button shows the state).
    std::function<void(bool shown)> OnShownChanged;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    enum class TGrip { None, Move, Right, Bottom, Corner };
    TGrip GripAt(QPoint p) const;

    QWidget* ClientArea;
    bool Resizable;
    int Frame; // a resizable window has a frame wide enough to take hold of
    TGrip Grip = TGrip::None;
    QPoint PressPoint;
    QSize PressSize;
};
