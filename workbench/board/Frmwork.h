#pragma once
// The mounting board: a 448 x 448 plate with a 7 x 7 lattice of nodes, 64 pixels apart. Parts
// lie on lattice edges between neighbouring nodes, test leads on nodes. The board places what is
// dropped on it and, on every tick, has the circuit solved while it has changed.

#include "board/Dragging.h"

#include <QImage>
#include <QList>
#include <QWidget>
#include <optional>

class TNode;

// What the board needs of a part it places, ticks and throws away. Every part is one; the board
// knows no kind of part.
class TBoardPart {
public:
    virtual ~TBoardPart() = default;
    virtual QWidget* PartWidget() = 0;
    // Attaches the part to both nodes and lays its picture on the edge between them.
    virtual void ConnectNodes(TNode* first, TNode* second) = 0;
    // Whether the part lies on the edge between these two nodes (either way round).
    virtual bool Joins(const TNode* a, const TNode* b) const = 0;
    // The part's periodic work on every tick of the board.
    virtual void TimerTick() = 0;
    // A battery that runs down on the tick: the board solves again with its new values.
    virtual bool DischargingNow() const = 0;
};

// Every part, in creation order: the board ticks them in this order.
extern QList<TBoardPart*> BoardParts;

// The drag of a part: which part, and which way it would lie if it were dropped now.
class TPartDrag : public TDragObject {
public:
    bool Vertical = true; // the board updates it while the drag passes over it
    virtual TBoardPart* DraggedPart() const = 0;
};

// What the board needs of a test lead dropped on it: to be plugged into a node.
class TLeadPlug {
public:
    virtual ~TLeadPlug() = default;
    virtual void SetNode(TNode* node) = 0;
};

class TFramework : public QWidget, public TDragClient {
    Q_OBJECT
public:
    static constexpr int Pitch = 64;
    static constexpr int Size = 7 * Pitch;

    explicit TFramework(QWidget* parent);
    ~TFramework() override;

    TNode* Lattice[7 * 7];
    QImage BoardImage;
    // Raised by every change of the circuit; only Tick reads and clears it.
    bool CircuitChanged = false;

    // The node at (row, column); outside the lattice throws std::out_of_range.
    TNode* operator()(int row, int column) const;
    std::optional<int> ColumnAt(int x) const;
    std::optional<int> RowAt(int y) const;
    std::optional<QPoint> CellAt(int x, int y) const; // (column, row)
    std::optional<int> NodeX(int column) const;
    std::optional<int> NodeY(int row) const;
    // Whether a part dropped at (x, y) lies vertically: nearer the cell's top or bottom edge.
    static bool IsVert(int x, int y);

    // Every 120 ms: solve while the circuit changed (at most 22 runs), then tick every part.
    void Tick();
    // Solves while the circuit keeps changing, at most 22 times; false when it had to stop. The
    // solve itself is the host's (BenchHost.SolveCircuit): the board knows no solver.
    bool SolveWhileChanged();

    // Drops of parts and leads; parts and leads lying on the board pass theirs on here.
    void OnDragOver(TDragObject* source, int x, int y, bool& accept);
    void OnDragDrop(TDragObject* source, int x, int y);

    // Puts a part that has nowhere to go on the first free vertical edge, searched from the
    // bottom-right corner; false when every vertical edge is taken.
    bool PlaceOnFreeEdge(TBoardPart* part);
    // A part with no place left goes to the trash can and is destroyed.
    void Discard(TBoardPart* part);
    // The trash can's two halves: a part on its way out is shown on it for a moment; then the
    // sound (when asked for), the part destroyed, the circuit changed.
    void ShowOnTrashCan(TBoardPart* part);
    void DisposeOfPart(TBoardPart* part, bool withSound);

    // How many relocations each reason caused (the edge leaves the lattice; it is taken).
    int RelocationsOffBoard = 0;
    int RelocationsTaken = 0;
    // Counts the ticks that saw a discharging battery (8 bits, wrapping).
    quint8 BatteryResolveCounter = 0;

    // Raises the objects that stay above the parts (the test leads) over everything placed.
    void BringLeadsToFront();

    // TDragClient
    bool HasDragOver() const override { return true; }
    void DragOver(TDragObject* source, int x, int y, bool& accept) override {
        OnDragOver(source, x, y, accept);
    }
    void DragDrop(TDragObject* source, int x, int y) override { OnDragDrop(source, x, y); }

protected:
    void paintEvent(QPaintEvent*) override;
    void timerEvent(QTimerEvent*) override;

private:
    void Relocate(TBoardPart* part, int& counter);
    void PlaceAt(TBoardPart* part, TNode* first, TNode* second);
};

// The one board of the program.
extern TFramework* Framework;
// The picture of one node, shared by the whole program.
extern QImage NodeImage;
