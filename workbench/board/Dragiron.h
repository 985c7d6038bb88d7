#pragma once
// The drag object of a part, from the parts box or lifted off the board. It shows the part's
// picture in the orientation the part would take if dropped now, and makes sure a part released
// where nothing accepts it is never lost.

#include "board/Dragging.h"

#include <QPointer>

class TIron;

class TDragIron : public TDragObject {
public:
    explicit TDragIron(TIron* part);

    QPointer<TIron> Iron;
    bool Vertical = true; // the board updates it while the drag passes over it

    // Cursor 2 shows the vertical picture, 1 the horizontal one, accepted or not.
    int GetDragCursor(bool accepted, int x, int y) override;
    void Finished(QWidget* target, int x, int y, bool accepted) override;
};
