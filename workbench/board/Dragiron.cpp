#include "board/Dragiron.h"

#include "board/Frmwork.h"
#include "board/Scheme.h"
#include "components/Iron.h"
#include "shell/Global.h"

TDragIron::TDragIron(TIron* part) : Iron(part) {
    part->hide();
    RegisterCursor(1, part->HorizontalCursor);
    RegisterCursor(2, part->VerticalCursor);
}

int TDragIron::GetDragCursor(bool, int, int) { return Vertical ? 2 : 1; }

void TDragIron::Finished(QWidget* target, int, int, bool accepted) {
    SchemeSaved = false;
    UnregisterCursor(1);
    UnregisterCursor(2);
    if (accepted || !Iron) return; // the board or the trash can has dealt with the part

    // Released over the parts box: the part goes back into it.
    if (PartsBoxWidget && target &&
        (target == PartsBoxWidget || target->parentWidget() == PartsBoxWidget)) {
        delete Iron.data();
        if (Framework) Framework->CircuitChanged = true;
        return;
    }
    if (!Framework) return;
    // Released where nothing accepts it: it goes to a free place, or to the trash can.
    if (Framework->PlaceOnFreeEdge(Iron)) {
        PlayWaveResource("wavOnSet");
        Framework->CircuitChanged = true;
    } else {
        Framework->Discard(Iron);
    }
}
