#include "components/Dragiron.h"

#include "board/Host.h"
#include "components/Iron.h"
#include "shell/Global.h"

TDragIron::TDragIron(TIron* part) : Iron(part) {
    part->hide();
    RegisterCursor(1, part->HorizontalCursor);
    RegisterCursor(2, part->VerticalCursor);
}

TBoardPart* TDragIron::DraggedPart() const {
    return Iron.data();
}

int TDragIron::GetDragCursor(bool, int, int) {
    return Vertical ? 2 : 1;
}

void TDragIron::Finished(QWidget* target, int, int, bool accepted) {
    UnregisterCursor(1);
    UnregisterCursor(2);
    // Wherever the part went, the scheme is no longer the one in its file.
    NotifyCircuitChanged(TChange::Scheme);
    if (accepted || !Iron) return; // the board or the trash can has dealt with the part

    // Released over the parts box: the part goes back into it.
    QWidget* box = BenchHost.PartsBox;
    if (box && target && (target == box || target->parentWidget() == box)) {
        delete Iron.data();
        return;
    }
    if (!Framework) return;
    // Released where nothing accepts it: it goes to a free place, or to the trash can.
    if (Framework->PlaceOnFreeEdge(Iron)) {
        PlayWaveResource("wavOnSet");
    } else {
        Framework->Discard(Iron);
    }
}
