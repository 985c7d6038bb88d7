#include "board/Dragging.h"

#include "shell/Global.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <memory>

int TDragObject::GetDragCursor(bool accepted, int, int) {
    return accepted ? crDrag : crNoDrop;
}

int TDragClient::DragCursorNumber() const {
    return crDrag;
}

int TDragControlObject::GetDragCursor(bool accepted, int, int) {
    if (!accepted) return crNoDrop;
    auto* client = dynamic_cast<TDragClient*>(Control.data());
    return client ? client->DragCursorNumber() : crDrag;
}

void TDragControlObject::Finished(QWidget* target, int x, int y, bool) {
    if (auto* client = dynamic_cast<TDragClient*>(Control.data())) client->EndDrag(target, x, y);
}

namespace {

// One drag at a time. While it runs, an application-wide event filter takes every mouse event,
// whichever widget the window system delivers it to, so the hidden source cannot swallow them.
class TDragSession : public QObject {
public:
    TDragSession(QWidget* control, std::unique_ptr<TDragObject> object)
        : Control(control), Root(control->window()), Object(std::move(object)) {
        qApp->installEventFilter(this);
        QApplication::setOverrideCursor(CursorByNumber(crNoDrop));
    }

    ~TDragSession() override {
        qApp->removeEventFilter(this);
        QApplication::restoreOverrideCursor();
    }

    QPointer<QWidget> Control;
    QPointer<QWidget> Root;
    std::unique_ptr<TDragObject> Object;

    // Asks the control under the pointer; returns it with the point in its coordinates.
    QWidget* MoveTo(QPoint globalPos, QPoint& local, bool& accepted) {
        accepted = false;
        QWidget* target = TargetAt(globalPos);
        local = target ? target->mapFromGlobal(globalPos) : globalPos;
        if (auto* client = dynamic_cast<TDragClient*>(target)) {
            accepted = client->HasDragOver();
            if (accepted) client->DragOver(Object.get(), local.x(), local.y(), accepted);
        }
        QApplication::changeOverrideCursor(
            CursorByNumber(Object->GetDragCursor(accepted, local.x(), local.y())));
        return target;
    }

    void Drop(QPoint globalPos);
    void Cancel();

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        // A message box that opens meanwhile (a solver failure, say) gets its own clicks.
        if (QApplication::activeModalWidget()) return false;
        switch (e->type()) {
        case QEvent::MouseMove: {
            QPoint local;
            bool accepted;
            MoveTo(static_cast<QMouseEvent*>(e)->globalPosition().toPoint(), local, accepted);
            return true;
        }
        case QEvent::MouseButtonRelease:
            Drop(static_cast<QMouseEvent*>(e)->globalPosition().toPoint());
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return true;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
                Cancel();
                return true;
            }
            return false;
        default:
            return false;
        }
    }

private:
    QWidget* TargetAt(QPoint globalPos) const {
        if (!Root) return nullptr;
        const QPoint p = Root->mapFromGlobal(globalPos);
        if (!Root->rect().contains(p)) return nullptr;
        QWidget* child = Root->childAt(p);
        return child ? child : Root.data();
    }
};

TDragSession* Session = nullptr;
bool CancelledAtStart = false;

// The session ends (its filter and cursor go) before the drop and Finished run, so that what
// they do (placing a part, waiting over the trash can, a message box) happens outside the drag
// and cannot reach the session again.
std::unique_ptr<TDragObject> EndSession() {
    std::unique_ptr<TDragSession> ending(Session);
    Session = nullptr;
    return std::move(ending->Object);
}

void TDragSession::Drop(QPoint globalPos) {
    QPoint local;
    bool accepted;
    QPointer<QWidget> target = MoveTo(globalPos, local, accepted);
    std::unique_ptr<TDragObject> object = EndSession(); // `this` is gone from here on
    if (accepted && target) {
        if (auto* client = dynamic_cast<TDragClient*>(target.data()))
            client->DragDrop(object.get(), local.x(), local.y());
    }
    object->Finished(target, local.x(), local.y(), accepted);
}

void TDragSession::Cancel() {
    std::unique_ptr<TDragObject> object = EndSession();
    object->Finished(nullptr, 0, 0, false);
}

} // namespace

namespace Dragging {

void BeginDrag(QWidget* control, QPoint globalPos) {
    if (Session || !control) return;
    TDragObject* own = nullptr;
    CancelledAtStart = false;
    if (auto* client = dynamic_cast<TDragClient*>(control)) client->StartDrag(own);
    std::unique_ptr<TDragObject> object(own ? own : new TDragControlObject(control));
    if (CancelledAtStart) {
        CancelledAtStart = false;
        object->Finished(nullptr, 0, 0, false);
        return;
    }
    Session = new TDragSession(control, std::move(object));
    QPoint local;
    bool accepted;
    Session->MoveTo(globalPos, local, accepted);
}

bool Active() {
    return Session != nullptr;
}

bool IsDragging(const QWidget* control) {
    return Session && control && Session->Control == control;
}

TDragObject* CurrentObject() {
    return Session ? Session->Object.get() : nullptr;
}

void CancelDrag() {
    if (Session)
        Session->Cancel();
    else
        CancelledAtStart = true;
}

} // namespace Dragging
