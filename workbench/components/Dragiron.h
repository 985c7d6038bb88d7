#pragma once
// The drag object of a part, from the parts box or lifted off the board. It shows the part's
// picture in the orientation the part would take if dropped now, and makes sure a part released
// where nothing accepts it is never lost.

#include "board/Frmwork.h"

#include <QPointer>

class TIron;

class TDragIron : public TPartDrag {
public:
    explicit TDragIron(TIron* part);

    QPointer<TIron> Iron;

    TBoardPart* DraggedPart() const override;
    // Cursor 2 shows the vertical picture, 1 the horizontal one, accepted or not.
    int GetDragCursor(bool accepted, int x, int y) override;
    void Finished(QWidget* target, int x, int y, bool accepted) override;
};
