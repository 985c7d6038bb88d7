#include "components/Toolwindow.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int EdgeWidth = 6; // how near the right or bottom edge a press resizes
}

TToolWindow::TToolWindow(QWidget* parent, const QString& title, bool resizable)
    : QWidget(parent), Resizable(resizable), Frame(resizable ? 4 : 1) {
    setWindowTitle(title);
    setMouseTracking(true);
    ClientArea = new QWidget(this);
    ClientArea->setAutoFillBackground(true);
}

void TToolWindow::SetClientSize(int width, int height) {
    resize(width + 2 * Frame, height + CaptionHeight + 2 * Frame);
}

QRect TToolWindow::CloseBox() const {
    return QRect(width() - Frame - 14, Frame + 2, 12, 12);
}

void TToolWindow::resizeEvent(QResizeEvent*) {
    ClientArea->setGeometry(Frame, Frame + CaptionHeight, width() - 2 * Frame,
                            height() - CaptionHeight - 2 * Frame);
}

void TToolWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(24, 25, 27));
    QLinearGradient strip(0, Frame, 0, Frame + CaptionHeight);
    strip.setColorAt(0, QColor(92, 96, 104));
    strip.setColorAt(1, QColor(52, 55, 60));
    p.fillRect(QRect(Frame, Frame, width() - 2 * Frame, CaptionHeight), strip);
    QFont font = p.font();
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(232, 232, 228));
    p.drawText(QRect(Frame + 5, Frame, width() - 30, CaptionHeight),
               Qt::AlignVCenter | Qt::AlignLeft, windowTitle());
    const QRect box = CloseBox();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(232, 232, 228), 1.6));
    p.drawLine(QPointF(box.left() + 2.5, box.top() + 2.5),
               QPointF(box.right() - 1.5, box.bottom() - 1.5));
    p.drawLine(QPointF(box.right() - 1.5, box.top() + 2.5),
               QPointF(box.left() + 2.5, box.bottom() - 1.5));
}

TToolWindow::TGrip TToolWindow::GripAt(QPoint p) const {
    if (Resizable) {
        const bool right = p.x() >= width() - EdgeWidth;
        const bool bottom = p.y() >= height() - EdgeWidth;
        if (right && bottom) return TGrip::Corner;
        if (right) return TGrip::Right;
        if (bottom) return TGrip::Bottom;
    }
    return p.y() < Frame + CaptionHeight ? TGrip::Move : TGrip::None;
}

void TToolWindow::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const QPoint at = e->position().toPoint();
    if (CloseBox().contains(at)) {
        close();
        return;
    }
    raise();
    Grip = GripAt(at);
    PressPoint = at;
    PressSize = size();
}

void TToolWindow::mouseMoveEvent(QMouseEvent* e) {
    const QPoint at = e->position().toPoint();
    const QPoint shift = at - PressPoint;
    const QSize least(120, CaptionHeight + 40);
    switch (Grip) {
    case TGrip::Move:
        move(pos() + shift);
        return;
    case TGrip::Right:
        resize(qMax(least.width(), PressSize.width() + shift.x()), height());
        return;
    case TGrip::Bottom:
        resize(width(), qMax(least.height(), PressSize.height() + shift.y()));
        return;
    case TGrip::Corner:
        resize(qMax(least.width(), PressSize.width() + shift.x()),
               qMax(least.height(), PressSize.height() + shift.y()));
        return;
    case TGrip::None:
        break;
    }
    switch (GripAt(at)) {
    case TGrip::Right:
        setCursor(Qt::SizeHorCursor);
        break;
    case TGrip::Bottom:
        setCursor(Qt::SizeVerCursor);
        break;
    case TGrip::Corner:
        setCursor(Qt::SizeFDiagCursor);
        break;
    default:
        unsetCursor();
        break;
    }
}

void TToolWindow::mouseReleaseEvent(QMouseEvent*) {
    Grip = TGrip::None;
}

void TToolWindow::showEvent(QShowEvent*) {
    raise();
    if (OnShownChanged) OnShownChanged(true);
}

void TToolWindow::hideEvent(QHideEvent*) {
    if (OnShownChanged) OnShownChanged(false);
}

// Closing only hides: the window lives as long as the main window.
void TToolWindow::closeEvent(QCloseEvent* e) {
    e->ignore();
    hide();
}
