#pragma once
// A movable picture on the board: the base of parts and test leads.
//
// It is a child widget without a window of its own, drawn transparently over its parent. Mouse
// handling is pixel-exact: a press or move on a transparent pixel is handed to every other flat
// object beneath it, so a lead lying over a part never hides the part's visible pixels. A press
// followed by a move of more than 5 pixels starts dragging the object.

#include "board/Dragging.h"
#include "shell/Global.h"

#include <QImage>
#include <QList>
#include <QWidget>

class QHelpEvent;
class QMouseEvent;

class TFlatObject : public QWidget, public TDragClient {
    Q_OBJECT
    Q_PROPERTY(int CenterX READ CenterX WRITE SetCenterX)
    Q_PROPERTY(int CenterY READ CenterY WRITE SetCenterY)

public:
    TFlatObject(QWidget* owner, const QString& pictureName);
    ~TFlatObject() override;

    QImage Picture;

    int CenterX() const { return x() + width() / 2; }
    void SetCenterX(int value) { move(value - width() / 2, y()); }
    int CenterY() const { return y() + height() / 2; }
    void SetCenterY(int value) { move(x(), value - height() / 2); }

    // Cursor numbers: over an opaque pixel, and while the object travels in a drag.
    int HoverCursor = crDefault;
    int DragCursor = crDrag;

    // Whether the pixel lets the mouse through to what lies beneath (a part with moving pieces
    // counts them too).
    virtual bool IsTransparentAt(QPoint p) const;
    // Test leads lie above the parts: the board raises them after every placement, in the order
    // they were made.
    virtual bool StaysAboveParts() const { return false; }
    // Counts up with every flat object made: the order of making.
    const quint64 Made;

    // The first flat object being dragged right now, or none.
    static TFlatObject* DraggingObject();

    // TDragClient: every flat object accepts whatever is dragged over it.
    bool HasDragOver() const override { return true; }
    void DragOver(TDragObject* source, int x, int y, bool& accept) override;
    void DragDrop(TDragObject* source, int x, int y) override;
    void StartDrag(TDragObject*& dragObject) override;
    void EndDrag(QWidget* target, int x, int y) override;
    int DragCursorNumber() const override { return DragCursor; }

protected:
    // The handlers subclasses extend; each override calls the base first.
    virtual void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y);
    virtual void OnMouseMove(Qt::KeyboardModifiers mods, int x, int y);
    virtual void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y);
    virtual void OnClick() {}
    virtual void OnDblClick() {}
    virtual void OnStartDrag(TDragObject*& dragObject);
    virtual void OnEndDrag(QWidget*, int, int) {}
    virtual void OnDragOver(TDragObject*, int, int, bool&) {}
    virtual void OnDragDrop(TDragObject*, int, int) {}

    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent*) override;

private:
    bool ForwardFromTransparentPixel(QMouseEvent* e);
    bool ShowHintOfVisiblePart(QHelpEvent* e);
    void Process(QMouseEvent* e);
    QPoint LastGlobalPos;
};

// Every flat object of the program, in creation order.
extern QList<TFlatObject*> FlatObjects;

// The press state all flat objects share: the left button went down on one of them, and where.
namespace FlatPress {
extern bool Pressed;
extern QPoint Point;
} // namespace FlatPress
