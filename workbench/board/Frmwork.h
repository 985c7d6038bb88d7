#pragma once
// The mounting board: a 448 x 448 plate with a 7 x 7 lattice of nodes, 64 pixels apart. Parts
// lie on lattice edges between neighbouring nodes, test leads on nodes. The board places what is
// dropped on it and, on every tick, has the circuit solved while it has changed.

#include "board/Dragging.h"

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class TNode;
class TIron;
class TDragIron;

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
    // Solves while the circuit keeps changing, at most 22 times; false when it had to stop.
    bool SolveWhileChanged();

    // Drops of parts and leads; parts and leads lying on the board pass theirs on here.
    void OnDragOver(TDragObject* source, int x, int y, bool& accept);
    void OnDragDrop(TDragObject* source, int x, int y);

    // Puts a part that has nowhere to go on the first free vertical edge, searched from the
    // bottom-right corner; false when every vertical edge is taken.
    bool PlaceOnFreeEdge(TIron* part);
    // A part with no place left goes to the trash can and is destroyed.
    void Discard(TIron* part);
    // The trash can's two halves: a part on its way out is shown on it for a moment; then the
    // sound (when asked for), the part destroyed, the circuit changed.
    void ShowOnTrashCan(TIron* part);
    void DisposeOfPart(TIron* part, bool withSound);

    // How many relocations each reason caused (the edge leaves the lattice; it is taken).
    int RelocationsOffBoard = 0;
    int RelocationsTaken = 0;
    // Counts the ticks that saw a discharging battery (8 bits, wrapping).
    quint8 BatteryResolveCounter = 0;

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
    void Relocate(TIron* part, int& counter);
    void PlaceAt(TIron* part, TNode* first, TNode* second);
    void BringLeadsToFront();
};

// The one board of the program.
extern TFramework* Framework;
// The picture of one node, shared by the whole program.
extern QImage NodeImage;

// What the main window lends the board: the trash can a discarded part is shown on, the parts
// box a part can be dropped back into, and the leads that must lie above the parts.
extern QPointer<QWidget> TrashCanWidget;
extern QPointer<QWidget> PartsBoxWidget;
extern std::function<void()> AllLeadsToFront;
