#pragma once
// The workbench's own drag and drop, inside one application window.
//
// A drag runs like this: a control starts it (its StartDrag may hand over a drag object of its
// own, otherwise the control itself travels, wrapped in a TDragControlObject); while the pointer
// moves, the control under it is asked whether it accepts the source (DragOver) and the pointer
// shows the drag object's cursor; on release the accepting control gets DragDrop, then the drag
// object's Finished runs, which by default tells the source control its drag has ended.

#include <QPoint>
#include <QPointer>

class QWidget;

class TDragObject {
public:
    virtual ~TDragObject() = default;
    // Cursor number shown while the pointer is at (x, y) of a target that accepts or refuses.
    virtual int GetDragCursor(bool accepted, int x, int y);
    // The end of the drag; target is the control under the pointer (null outside the window).
    virtual void Finished(QWidget*, int, int, bool) {}
};

// A control that takes part in drags, as a drop target and as a drag source.
class TDragClient {
public:
    virtual ~TDragClient() = default;
    // A target with a drag-over handler is asked with `accept` preset to true; others refuse.
    virtual bool HasDragOver() const { return false; }
    virtual void DragOver(TDragObject*, int, int, bool&) {}
    virtual void DragDrop(TDragObject*, int, int) {}
    // Source side: the drag begins (may hand over a drag object of its own) and ends.
    virtual void StartDrag(TDragObject*&) {}
    virtual void EndDrag(QWidget*, int, int) {}
    // Cursor number shown while this control travels and a target accepts it.
    virtual int DragCursorNumber() const;
};

// The drag object of a control that travels itself (a test lead, for example).
class TDragControlObject : public TDragObject {
public:
    explicit TDragControlObject(QWidget* control) : Control(control) {}
    int GetDragCursor(bool accepted, int x, int y) override;
    void Finished(QWidget* target, int x, int y, bool accepted) override;
    QPointer<QWidget> Control;
};

// The source a drop target is offered, as the class the target looks for: the drag object
// itself, or the control a TDragControlObject carries.
template <class T> T* DragSourceAs(TDragObject* source) {
    if (auto* own = dynamic_cast<T*>(source)) return own;
    if (auto* carried = dynamic_cast<TDragControlObject*>(source))
        return dynamic_cast<T*>(carried->Control.data());
    return nullptr;
}

namespace Dragging {
// Starts dragging `control` at once; globalPos is where the pointer is now.
void BeginDrag(QWidget* control, QPoint globalPos);
bool Active();
// Whether `control` is the control whose drag is under way.
bool IsDragging(const QWidget* control);
TDragObject* CurrentObject();
// Ends the drag as if released nowhere (Escape does the same). Called from a source's
// StartDrag, it stops the drag before it begins.
void CancelDrag();
} // namespace Dragging
