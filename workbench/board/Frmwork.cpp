#include "board/Frmwork.h"

#include "board/Dragiron.h"
#include "board/Node.h"
#include "components/Iron.h"
#include "shell/Global.h"
#include "solver/Calculate.h"

#include <QPainter>
#include <cstdlib>
#include <ctime>
#include <stdexcept>

TFramework* Framework = nullptr;
QImage NodeImage;
QPointer<QWidget> TrashCanWidget;
QPointer<QWidget> PartsBoxWidget;
std::function<void()> AllLeadsToFront;

TFramework::TFramework(QWidget* parent) : QWidget(parent) {
    setFixedSize(Size, Size);
    lower();
    BoardImage = LoadJpegResource("jpgBoard");
    NodeImage = LoadTransparentBitmap("bmpNode");
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c) Lattice[r * 7 + c] = new TNode(r, c);
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
    // The elements still on the board (children of it, destroyed after this) leave their nodes
    // first. The nodes belong to the program run; a board made again (in tests) makes its own.
    for (TNode* n : Lattice) {
        for (TIron0* e : n->Elements) {
            if (e->FirstNode == n) e->FirstNode = nullptr;
            if (e->SecondNode == n) e->SecondNode = nullptr;
        }
        n->Elements.clear();
    }
    for (TNode*& n : Lattice) {
        delete n;
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

void TFramework::timerEvent(QTimerEvent*) { Tick(); }

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
    const QList<TIron*> parts = Parts; // a part's tick could take parts away; walk a copy
    for (TIron* part : parts) {
        if (!Parts.contains(part)) continue;
        part->TimerTick();
        if (part->Kind == KindBattery && part->DischargingNow()) discharging = true;
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
        if (TCircle::Circle()) CircuitChanged = true; // parts burnt out: solve the new circuit
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
    } else if (auto* drag = dynamic_cast<TDragIron*>(source)) {
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
    auto* drag = dynamic_cast<TDragIron*>(source);
    if (!drag || !drag->Iron) return;
    TIron* part = drag->Iron;

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
    for (TIron0* element : first->Elements)
        if (dynamic_cast<TIron*>(element) && second->Elements.contains(element))
            return Relocate(part, RelocationsTaken);

    PlaceAt(part, first, second);
    PlayWaveResource("wavOnSet");
    CircuitChanged = true;
    BringLeadsToFront();
}

void TFramework::PlaceAt(TIron* part, TNode* first, TNode* second) {
    part->ConnectNodes(first, second);
    part->show();
}

bool TFramework::PlaceOnFreeEdge(TIron* part) {
    for (int r = 6; r >= 1; --r) {
        for (int c = 6; c >= 0; --c) {
            TNode* upper = Lattice[(r - 1) * 7 + c];
            TNode* lower = Lattice[r * 7 + c];
            bool taken = false;
            for (TIron0* element : upper->Elements)
                if (lower->Elements.contains(element)) taken = true;
            if (taken) continue;
            PlaceAt(part, upper, lower);
            return true;
        }
    }
    return false;
}

void TFramework::Relocate(TIron* part, int& counter) {
    if (PlaceOnFreeEdge(part)) {
        ++counter;
        PlayWaveResource(QString::asprintf("wavNeg%i", counter % 4));
        CircuitChanged = true;
    } else {
        Discard(part);
    }
    BringLeadsToFront();
}

void TFramework::Discard(TIron* part) {
    ShowOnTrashCan(part);
    Wait(500);
    DisposeOfPart(part, true);
}

void TFramework::ShowOnTrashCan(TIron* part) {
    if (!TrashCanWidget || !TrashCanWidget->parentWidget()) return;
    part->setParent(TrashCanWidget->parentWidget());
    part->move(TrashCanWidget->pos());
    part->raise();
    part->show();
    part->repaint();
}

void TFramework::DisposeOfPart(TIron* part, bool withSound) {
    if (withSound) PlayWaveResource("wavOnTrash");
    delete part;
    CircuitChanged = true;
}

void TFramework::BringLeadsToFront() {
    if (AllLeadsToFront) AllLeadsToFront();
}
