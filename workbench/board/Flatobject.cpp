#include "board/Flatobject.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QToolTip>

QList<TFlatObject*> FlatObjects;

namespace FlatPress {
bool Pressed = false;
QPoint Point;
} // namespace FlatPress

namespace {
// Set while a message from a transparent pixel is handed on: an object that receives it on a
// transparent pixel of its own drops it instead of handing it on again.
bool ForwardingGuard = false;
// The object that took the last press keeps the mouse until the buttons are released, as a
// control that captures the mouse would: the gesture stays with the object it began on.
QPointer<TFlatObject> Captured;
// The object a left press went down on, for the click on release.
QPointer<TFlatObject> ClickCandidate;

std::unique_ptr<QMouseEvent> Translated(const QMouseEvent* e, QPointF local) {
    return std::make_unique<QMouseEvent>(e->type(), local, e->scenePosition(), e->globalPosition(),
                                         e->button(), e->buttons(), e->modifiers());
}
} // namespace

namespace {
quint64 ObjectsMade = 0;
}

TFlatObject::TFlatObject(QWidget* owner, const QString& pictureName)
    : QWidget(owner), Made(++ObjectsMade) {
    Picture = LoadTransparentBitmap(pictureName); // a missing picture throws: no object is made
    FlatObjects.append(this);
    resize(Picture.size());
    setMouseTracking(true);
    setAttribute(Qt::WA_NoSystemBackground);
}

TFlatObject::~TFlatObject() {
    FlatObjects.removeOne(this);
    if (Captured == this) Captured = nullptr;
}

bool TFlatObject::IsTransparentAt(QPoint p) const {
    if (Picture.isNull() || !Picture.rect().contains(p)) return true;
    return Picture.pixel(p) == Picture.pixel(0, 0);
}

TFlatObject* TFlatObject::DraggingObject() {
    for (TFlatObject* object : FlatObjects)
        if (Dragging::IsDragging(object)) return object;
    return nullptr;
}

bool TFlatObject::event(QEvent* e) {
    const QEvent::Type type = e->type();
    if (type == QEvent::ToolTip) return ShowHintOfVisiblePart(static_cast<QHelpEvent*>(e));
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress &&
        type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonRelease)
        return QWidget::event(e);

    auto* me = static_cast<QMouseEvent*>(e);
    LastGlobalPos = me->globalPosition().toPoint();

    if (Captured && Captured != this) {
        const QPointer<TFlatObject> target = Captured;
        auto copy = Translated(me, target->mapFromGlobal(me->globalPosition()));
        QCoreApplication::sendEvent(target, copy.get());
        return true;
    }
    if (Captured == this || type == QEvent::MouseButtonRelease) {
        Process(me);
        return true;
    }

    const QPoint p = me->position().toPoint();
    const bool transparent = IsTransparentAt(p);
    setCursor(CursorByNumber(transparent ? crDefault : HoverCursor));
    if (!transparent) {
        Process(me);
        return true;
    }
    return ForwardFromTransparentPixel(me);
}

// The hint belongs to what the student sees under the pointer. The window system asks the
// topmost object, whose picture may be clear there while a neighbour's shows through: the
// hint is then the neighbour's, or none over the bare board.
bool TFlatObject::ShowHintOfVisiblePart(QHelpEvent* e) {
    const QPoint inParent = mapToParent(e->pos());
    const TFlatObject* shown = nullptr;
    if (!IsTransparentAt(e->pos())) {
        shown = this;
    } else if (parentWidget()) {
        const QObjectList siblings = parentWidget()->children(); // in stacking order, topmost last
        for (auto it = siblings.crbegin(); it != siblings.crend() && !shown; ++it) {
            auto* other = qobject_cast<TFlatObject*>(*it);
            if (!other || other == this || !other->isVisible() || !FlatObjects.contains(other))
                continue;
            if (other->geometry().contains(inParent) &&
                !other->IsTransparentAt(inParent - other->pos()))
                shown = other;
        }
    }
    if (!shown || shown->toolTip().isEmpty()) {
        QToolTip::hideText();
        e->ignore();
        return true;
    }
    QToolTip::showText(e->globalPos(), shown->toolTip(), const_cast<TFlatObject*>(shown));
    return true;
}

bool TFlatObject::ForwardFromTransparentPixel(QMouseEvent* e) {
    if (ForwardingGuard) return true; // dropped
    ForwardingGuard = true;
    bool delivered = false;
    const QPoint inParent = mapToParent(e->position().toPoint());
    const QList<TFlatObject*> objects = FlatObjects; // a receiver may create or destroy objects
    for (TFlatObject* other : objects) {
        if (other == this || !FlatObjects.contains(other)) continue;
        if (other->parentWidget() != parentWidget() || !other->isVisible()) continue;
        if (!other->geometry().contains(inParent)) continue;
        auto copy = Translated(e, QPointF(inParent - other->pos()));
        QCoreApplication::sendEvent(other, copy.get());
        delivered = true;
        setCursor(other->cursor());
    }
    ForwardingGuard = false;
    if (!delivered && e->type() == QEvent::MouseMove && parentWidget()) {
        auto copy = Translated(e, QPointF(inParent));
        QCoreApplication::sendEvent(parentWidget(), copy.get());
    }
    return true;
}

void TFlatObject::Process(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    const QPointer<TFlatObject> self = this; // a handler may destroy the object
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        Captured = this;
        if (e->button() == Qt::LeftButton) ClickCandidate = this;
        OnMouseDown(e->button(), e->modifiers(), p.x(), p.y());
        break;
    case QEvent::MouseButtonDblClick:
        Captured = this;
        if (e->button() == Qt::LeftButton) OnDblClick();
        if (self) OnMouseDown(e->button(), e->modifiers(), p.x(), p.y());
        break;
    case QEvent::MouseMove:
        OnMouseMove(e->modifiers(), p.x(), p.y());
        break;
    case QEvent::MouseButtonRelease:
        if (e->buttons() == Qt::NoButton && Captured == this) Captured = nullptr;
        OnMouseUp(e->button(), e->modifiers(), p.x(), p.y());
        if (self && e->button() == Qt::LeftButton && ClickCandidate == this) {
            ClickCandidate = nullptr;
            if (rect().contains(p)) OnClick();
        }
        break;
    default:
        break;
    }
}

void TFlatObject::OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
    if (button == Qt::LeftButton) FlatPress::Pressed = true;
    FlatPress::Point = QPoint(x, y);
}

void TFlatObject::OnMouseMove(Qt::KeyboardModifiers, int x, int y) {
    if (FlatPress::Pressed &&
        (std::abs(x - FlatPress::Point.x()) > 5 || std::abs(y - FlatPress::Point.y()) > 5))
        Dragging::BeginDrag(this, LastGlobalPos);
}

void TFlatObject::OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, int, int) {
    if (button == Qt::LeftButton) FlatPress::Pressed = false;
}

void TFlatObject::OnStartDrag(TDragObject*&) {
    hide();
    FlatPress::Pressed = false;
}

void TFlatObject::StartDrag(TDragObject*& dragObject) {
    Captured = nullptr;
    ClickCandidate = nullptr;
    OnStartDrag(dragObject);
}

void TFlatObject::EndDrag(QWidget* target, int x, int y) {
    OnEndDrag(target, x, y);
}

void TFlatObject::DragOver(TDragObject* source, int x, int y, bool& accept) {
    OnDragOver(source, x, y, accept);
}

void TFlatObject::DragDrop(TDragObject* source, int x, int y) {
    OnDragDrop(source, x, y);
}

void TFlatObject::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, Picture);
}
