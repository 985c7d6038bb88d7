#include "board/Frmwork.h"

#include "board/Flatobject.h"
#include "board/Host.h"
#include "board/Node.h"
#include "shell/Global.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <stdexcept>

TFramework* Framework = nullptr;
QImage NodeImage;
QList<TBoardPart*> BoardParts;
TBenchHost BenchHost;

void NotifyCircuitChanged(TChange change) {
    if (Framework) Framework->CircuitChanged = true;
    if (change == TChange::Scheme && BenchHost.SchemeModified) BenchHost.SchemeModified();
}

TFramework::TFramework(QWidget* parent) : QWidget(parent) {
    setFixedSize(Size, Size);
    lower();
    BoardImage = LoadJpegResource("jpgBoard");
    NodeImage = LoadTransparentBitmap("bmpNode");
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c)
            Lattice[r * 7 + c] = new TNode(r, c);
    for (int r = 0; r < 7; ++r) {
        for (int c = 0; c < 7; ++c) {
            TNode* n = Lattice[r * 7 + c];
            n->LeftNode = c > 0 ? Lattice[r * 7 + c - 1] : nullptr;
            n->RightNode = c < 6 ? Lattice[r * 7 + c + 1] : nullptr;
            n->UpperNode = r > 0 ? Lattice[(r - 1) * 7 + c] : nullptr;
            n->LowerNode = r < 6 ? Lattice[(r + 1) * 7 + c] : nullptr;
        }
    }
    Framework = this;
    SetDragProbe([] { return Dragging::Active(); });
}

TFramework::~TFramework() {
    // The nodes belong to the program run; a board made again (in tests) makes its own. A node
    // that elements still hang on (children of the board, destroyed after this) goes with the
    // last of them.
    for (TNode*& n : Lattice) {
        n->Retire();
        n = nullptr;
    }
    if (Framework == this) Framework = nullptr;
}

TNode* TFramework::operator()(int row, int column) const {
    if (row < 0 || row > 6 || column < 0 || column > 6)
        throw std::out_of_range("Range error in TFramework::operator(int, int) call");
    return Lattice[row * 7 + column];
}

std::optional<int> TFramework::ColumnAt(int x) const {
    if (x < 0 || x >= Size) return std::nullopt;
    return x / Pitch;
}

std::optional<int> TFramework::RowAt(int y) const {
    if (y < 0 || y >= Size) return std::nullopt;
    return y / Pitch;
}

std::optional<QPoint> TFramework::CellAt(int x, int y) const {
    const auto column = ColumnAt(x);
    const auto row = RowAt(y);
    if (!column || !row) return std::nullopt;
    return QPoint(*column, *row);
}

std::optional<int> TFramework::NodeX(int column) const {
    if (column < 0 || column > 6) return std::nullopt;
    return Pitch * column + Pitch / 2;
}

std::optional<int> TFramework::NodeY(int row) const {
    if (row < 0 || row > 6) return std::nullopt;
    return Pitch * row + Pitch / 2;
}

bool TFramework::IsVert(int x, int y) {
    // The cell's two diagonals cut it into four triangles: the top and bottom ones give a
    // vertical part, the left and right ones a horizontal part.
    const int dx = x % Pitch;
    const int dy = y % Pitch;
    if (dx >= dy) return dy <= Pitch - dx; // top triangle, diagonals included
    return dy > Pitch - dx;                // bottom triangle
}

void TFramework::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, BoardImage);
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, width() - 1, height() - 1);
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c)
            p.drawImage(*NodeX(c) - NodeImage.width() / 2, *NodeY(r) - NodeImage.height() / 2,
                        NodeImage);
}

void TFramework::timerEvent(QTimerEvent*) {
    Tick();
}

// --- The tick ---------------------------------------------------------------------------------

void TFramework::Tick() {
    // Parts that draw random values see a sequence seeded once per tick.
    std::srand(unsigned(std::time(nullptr)));
    std::rand();

    if (!SolveWhileChanged()) {
        ShowMessage("Расчёт зациклился и принудительно остановлен.", "Система зашиты",
                    TMsgButtons::OkCancel);
        return;
    }

    bool discharging = false;
    const QList<TBoardPart*> parts = BoardParts; // a part's tick could take parts away; walk a copy
    for (TBoardPart* part : parts) {
        if (!BoardParts.contains(part)) continue;
        part->TimerTick();
        if (part->DischargingNow()) discharging = true;
    }
    if (discharging) {
        // A discharging battery changes its values: solve again, except every 64th such tick.
        if (BatteryResolveCounter % 64 != 0) CircuitChanged = true;
        ++BatteryResolveCounter;
    }
}

bool TFramework::SolveWhileChanged() {
    int runs = 0;
    while (CircuitChanged) {
        CircuitChanged = false;
        // Parts burnt out: solve the new circuit.
        if (BenchHost.SolveCircuit && BenchHost.SolveCircuit()) CircuitChanged = true;
        ++runs;
        if (runs - 1 > 20) {
            CircuitChanged = false;
            return false;
        }
    }
    return true;
}

// --- Drops ------------------------------------------------------------------------------------

void TFramework::OnDragOver(TDragObject* source, int x, int y, bool& accept) {
    if (DragSourceAs<TLeadPlug>(source)) {
        accept = true;
    } else if (auto* drag = dynamic_cast<TPartDrag*>(source)) {
        drag->Vertical = IsVert(x, y);
        accept = true;
    } else {
        accept = false;
    }
}

void TFramework::OnDragDrop(TDragObject* source, int x, int y) {
    const auto cell = CellAt(x, y);
    if (!cell) return;
    TNode* n = Lattice[cell->y() * 7 + cell->x()];

    if (auto* lead = DragSourceAs<TLeadPlug>(source)) {
        lead->SetNode(n);
        CircuitChanged = true;
        return;
    }
    auto* drag = dynamic_cast<TPartDrag*>(source);
    TBoardPart* part = drag ? drag->DraggedPart() : nullptr;
    if (!part) return;

    // The first node is always the upper or left one.
    const int dx = x % Pitch;
    const int dy = y % Pitch;
    TNode* first;
    TNode* second;
    if (drag->Vertical) {
        first = dy <= Pitch / 2 ? n->UpperNode : n;
        second = dy <= Pitch / 2 ? n : n->LowerNode;
    } else {
        first = dx <= Pitch / 2 ? n->LeftNode : n;
        second = dx <= Pitch / 2 ? n : n->RightNode;
    }
    if (!first || !second) return Relocate(part, RelocationsOffBoard);

    // Another part on the same edge: this one goes elsewhere. An instrument's element on the
    // edge does not block a part put there on purpose.
    for (TBoardPart* other : BoardParts)
        if (other != part && other->Joins(first, second)) return Relocate(part, RelocationsTaken);

    PlaceAt(part, first, second);
    PlayWaveResource("wavOnSet");
    CircuitChanged = true;
    BringLeadsToFront();
}

void TFramework::PlaceAt(TBoardPart* part, TNode* first, TNode* second) {
    part->ConnectNodes(first, second);
    part->PartWidget()->show();
}

bool TFramework::PlaceOnFreeEdge(TBoardPart* part) {
    for (int r = 6; r >= 1; --r) {
        for (int c = 6; c >= 0; --c) {
            TNode* upper = Lattice[(r - 1) * 7 + c];
            TNode* lower = Lattice[r * 7 + c];
            bool taken = false;
            for (const TIron0* element : upper->Elements)
                if (lower->Elements.contains(element)) taken = true;
            if (taken) continue;
            PlaceAt(part, upper, lower);
            return true;
        }
    }
    return false;
}

void TFramework::Relocate(TBoardPart* part, int& counter) {
    if (PlaceOnFreeEdge(part)) {
        ++counter;
        PlayWaveResource(QString::asprintf("wavNeg%i", counter % 4));
        CircuitChanged = true;
    } else {
        Discard(part);
    }
    BringLeadsToFront();
}

void TFramework::Discard(TBoardPart* part) {
    ShowOnTrashCan(part);
    Wait(500);
    DisposeOfPart(part, true);
}

void TFramework::ShowOnTrashCan(TBoardPart* part) {
    QWidget* can = BenchHost.TrashCan;
    if (!can || !can->parentWidget()) return;
    QWidget* picture = part->PartWidget();
    picture->setParent(can->parentWidget());
    picture->move(can->pos());
    picture->raise();
    picture->show();
    picture->repaint();
}

void TFramework::DisposeOfPart(TBoardPart* part, bool withSound) {
    if (withSound) PlayWaveResource("wavOnTrash");
    delete part;
    CircuitChanged = true;
}

void TFramework::BringLeadsToFront() {
    QList<TFlatObject*> above;
    for (QObject* child : children())
        if (auto* object = qobject_cast<TFlatObject*>(child); object && object->StaysAboveParts())
            above << object;
    std::sort(above.begin(), above.end(),
              [](const TFlatObject* a, const TFlatObject* b) { return a->Made < b->Made; });
    for (TFlatObject* object : above)
        object->raise();
}
