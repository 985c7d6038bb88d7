// The board: geometry, where dropped parts go, relocation and discarding, and the tick.

#include "board/Host.h"
#include "support/Board.h"
#include "support/TestParts.h"

#include "board/Frmwork.h"
#include "board/Node.h"
#include "components/Dragiron.h"
#include "components/Kinds.h"
#include "components/Resistor.h"
#include "document/Scheme.h"

#include <QTest>

namespace {
// An instrument's input: a circuit element that is not a part.
class TProbeElement : public TIron0 {
public:
    TProbeElement() : TIron0(Framework, "bmpResistor") {}
};

// Drops a part on the board at (x, y) as a drag would: over, then drop.
void DropAt(TIron* part, int x, int y) {
    TDragIron drag(part);
    bool accept = false;
    Framework->OnDragOver(&drag, x, y, accept);
    QVERIFY(accept);
    Framework->OnDragDrop(&drag, x, y);
    drag.Finished(Framework, x, y, true);
}

QPair<QPoint, QPoint> Ends(const TIron0* part) {
    return {QPoint(part->FirstNode->Row, part->FirstNode->Column),
            QPoint(part->SecondNode->Row, part->SecondNode->Column)};
}

// Fills every vertical edge of the lattice with a part.
void FillVerticalEdges() {
    for (int r = 1; r <= 6; ++r)
        for (int c = 0; c <= 6; ++c)
            Place(new TTestPart(1), r - 1, c, r, c);
}
} // namespace

class TestFramework : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void geometry();
    void outsideTheLatticeThrows();
    void orientationOfADropPoint_data();
    void orientationOfADropPoint();
    void dropChoosesTheEndNodes_data();
    void dropChoosesTheEndNodes();
    void dropOffTheLatticeRelocates();
    void dropOnATakenEdgeRelocates();
    void instrumentElementBlocksRelocationButNotADrop();
    void noFreeEdgeDiscardsThePart();
    void releasedNowherePartGoesToAFreeEdge();
    void releasedOverThePartsBoxGoesBack();
    void dragCursorFollowsTheOrientation();
    void runawaySolvingStopsAfter22Runs();
    void dischargingBatteryIsSolvedOn63Of64Ticks();
};

void TestFramework::initTestCase() {
    RegisterPartKinds();
    TIron::ExecuteStartups();
}

void TestFramework::geometry() {
    TBoardFixture f;
    QCOMPARE(f.Board->size(), QSize(448, 448));
    QCOMPARE(*f.Board->ColumnAt(447), 6);
    QVERIFY(!f.Board->ColumnAt(448));
    QVERIFY(!f.Board->RowAt(-1));
    QCOMPARE(*f.Board->CellAt(64, 127), QPoint(1, 1));
    QVERIFY(!f.Board->CellAt(10, 448));
    QCOMPARE(*f.Board->NodeX(6), 416);
    QVERIFY(!f.Board->NodeY(7));
    QCOMPARE(IndexOfNode((*f.Board)(6, 6)), 48);
    QCOMPARE((*f.Board)(2, 3)->LowerNode, (*f.Board)(3, 3));
}

void TestFramework::outsideTheLatticeThrows() {
    TBoardFixture f;
    try {
        (*f.Board)(7, 0);
        QFAIL("no error");
    } catch (const std::out_of_range& e) {
        QCOMPARE(QString(e.what()), QString("Range error in TFramework::operator(int, int) call"));
    }
}

void TestFramework::orientationOfADropPoint_data() {
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<bool>("vertical");
    QTest::newRow("centre") << QPoint(32, 32) << true;
    QTest::newRow("top triangle") << QPoint(32, 10) << true;
    QTest::newRow("bottom triangle") << QPoint(32, 50) << true;
    QTest::newRow("left triangle") << QPoint(10, 32) << false;
    QTest::newRow("right triangle") << QPoint(50, 32) << false;
    QTest::newRow("main diagonal belongs to the top") << QPoint(20, 20) << true;
    QTest::newRow("anti-diagonal belongs to the top") << QPoint(40, 24) << true;
    QTest::newRow("just below the main diagonal") << QPoint(20, 21) << false;
    QTest::newRow("lower main diagonal") << QPoint(50, 50) << false;
    QTest::newRow("lower anti-diagonal") << QPoint(10, 54) << false;
    QTest::newRow("just inside the bottom") << QPoint(32, 33) << true;
    QTest::newRow("top-left corner") << QPoint(0, 0) << true;
    QTest::newRow("bottom-left corner") << QPoint(0, 63) << false;
}

void TestFramework::orientationOfADropPoint() {
    QFETCH(QPoint, offset);
    QFETCH(bool, vertical);
    // The same in every cell.
    QCOMPARE(TFramework::IsVert(offset.x(), offset.y()), vertical);
    QCOMPARE(TFramework::IsVert(64 * 3 + offset.x(), 64 * 5 + offset.y()), vertical);
}

void TestFramework::dropChoosesTheEndNodes_data() {
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<QPoint>("first");
    QTest::addColumn<QPoint>("second");
    QTest::newRow("upper half, vertical") << QPoint(32, 10) << QPoint(2, 3) << QPoint(3, 3);
    QTest::newRow("centre joins the upper neighbour")
        << QPoint(32, 32) << QPoint(2, 3) << QPoint(3, 3);
    QTest::newRow("lower half, vertical") << QPoint(32, 50) << QPoint(3, 3) << QPoint(4, 3);
    QTest::newRow("left half, horizontal") << QPoint(10, 32) << QPoint(3, 2) << QPoint(3, 3);
    QTest::newRow("right half, horizontal") << QPoint(50, 32) << QPoint(3, 3) << QPoint(3, 4);
}

void TestFramework::dropChoosesTheEndNodes() {
    QFETCH(QPoint, offset);
    QFETCH(QPoint, first);
    QFETCH(QPoint, second);
    TBoardFixture f;
    auto* part = new TResistor;
    DropAt(part, 3 * 64 + offset.x(), 3 * 64 + offset.y());
    QCOMPARE(Ends(part), qMakePair(first, second));
    QVERIFY(!part->isHidden());
    QCOMPARE(part->Vertical, first.y() == second.y());
    QVERIFY(f.Board->CircuitChanged);
    QCOMPARE(f.Seams.Sounds, QStringList({"wavOnSet"}));
    // The picture spans the edge: 64 pixels from node centre to node centre.
    const QRect span = part->geometry();
    if (part->Vertical)
        QCOMPARE(span.top(), *f.Board->NodeY(first.x()));
    else
        QCOMPARE(span.left(), *f.Board->NodeX(first.y()));
}

void TestFramework::dropOffTheLatticeRelocates() {
    TBoardFixture f;
    auto* part = new TResistor;
    DropAt(part, 3 * 64 + 32, 10); // upper half of row 0: the edge would leave the board
    QCOMPARE(Ends(part), qMakePair(QPoint(5, 6), QPoint(6, 6)));
    QCOMPARE(f.Board->RelocationsOffBoard, 1);
    QCOMPARE(f.Board->RelocationsTaken, 0);
    auto* another = new TResistor;
    DropAt(another, 10, 64 * 2 + 32); // left half of column 0
    QCOMPARE(Ends(another), qMakePair(QPoint(5, 5), QPoint(6, 5)));
    QCOMPARE(f.Seams.Sounds, QStringList({"wavNeg1", "wavNeg2"}));
}

void TestFramework::dropOnATakenEdgeRelocates() {
    TBoardFixture f;
    auto* first = new TResistor;
    DropAt(first, 64 + 50, 64 + 32);
    auto* second = new TResistor;
    DropAt(second, 64 + 50, 64 + 32);
    QCOMPARE(Ends(first), qMakePair(QPoint(1, 1), QPoint(1, 2)));
    QCOMPARE(Ends(second), qMakePair(QPoint(5, 6), QPoint(6, 6)));
    QCOMPARE(f.Board->RelocationsTaken, 1);
    QCOMPARE(f.Seams.Sounds.last(), QString("wavNeg1"));
}

void TestFramework::instrumentElementBlocksRelocationButNotADrop() {
    TBoardFixture f;
    TProbeElement meter;
    meter.ConnectNodes((*f.Board)(5, 6), (*f.Board)(6, 6));
    auto* direct = new TResistor;
    DropAt(direct, 6 * 64 + 32, 6 * 64 + 10); // exactly onto the meter's edge
    QCOMPARE(Ends(direct), qMakePair(QPoint(5, 6), QPoint(6, 6)));
    direct->ConnectNodes(nullptr, nullptr);
    auto* moved = new TResistor;
    DropAt(moved, 32, 10); // must go elsewhere: the meter's edge is not free
    QCOMPARE(Ends(moved), qMakePair(QPoint(5, 5), QPoint(6, 5)));
    delete direct;
}

void TestFramework::noFreeEdgeDiscardsThePart() {
    TBoardFixture f;
    FillVerticalEdges();
    QCOMPARE(Parts.size(), 42);
    f.Board->CircuitChanged = false;
    QPointer<TResistor> part = new TResistor;
    DropAt(part, 3 * 64 + 32, 3 * 64 + 10);
    QVERIFY(!part);
    QCOMPARE(Parts.size(), 42);
    QVERIFY(f.Board->CircuitChanged);
    QCOMPARE(f.Seams.Waits, QList<int>({500}));
    QCOMPARE(f.Seams.Sounds, QStringList({"wavOnTrash"}));
}

void TestFramework::releasedNowherePartGoesToAFreeEdge() {
    TBoardFixture f;
    auto* part = new TResistor;
    Place(part, 1, 1, 1, 2);
    SchemeSaved = true;
    TDragIron drag(part);
    part->ConnectNodes(nullptr, nullptr);
    drag.Finished(&f.Window, 700, 500, false);
    QCOMPARE(Ends(part), qMakePair(QPoint(5, 6), QPoint(6, 6)));
    QVERIFY(!part->isHidden());
    QVERIFY(!SchemeSaved);
    QVERIFY(!CursorRegistered(1) && !CursorRegistered(2));
    QCOMPARE(f.Seams.Sounds, QStringList({"wavOnSet"}));
}

void TestFramework::releasedOverThePartsBoxGoesBack() {
    TBoardFixture f;
    QWidget box(&f.Window);
    QWidget picture(&box);
    BenchHost.PartsBox = &box;
    QPointer<TResistor> part = new TResistor;
    {
        TDragIron drag(part);
        f.Board->CircuitChanged = false;
        drag.Finished(&picture, 5, 5, false);
    }
    QVERIFY(!part);
    QVERIFY(f.Board->CircuitChanged);
    BenchHost.PartsBox = nullptr;
}

void TestFramework::dragCursorFollowsTheOrientation() {
    TBoardFixture f;
    auto* part = new TResistor;
    TDragIron drag(part);
    QCOMPARE(drag.GetDragCursor(false, 0, 0), 2); // vertical until the board says otherwise
    QVERIFY(CursorRegistered(1) && CursorRegistered(2));
    bool accept = false;
    f.Board->OnDragOver(&drag, 64 + 10, 64 + 32, accept);
    QCOMPARE(drag.GetDragCursor(true, 0, 0), 1);
    QCOMPARE(drag.GetDragCursor(false, 0, 0), 1); // over a box it keeps the last orientation
    f.Board->OnDragOver(&drag, 64 + 32, 64 + 5, accept);
    QCOMPARE(drag.GetDragCursor(true, 0, 0), 2);
    drag.Finished(f.Board, 0, 0, true);
}

namespace {
// A part whose every solve changes the circuit again, as a broken part could.
class TRestless : public TTestPart {
public:
    using TTestPart::TTestPart;
    int Solves = 0;
    double GetEmf() override { return ++Solves % 2 ? 1 : 2; }
    void UpdateState() override {
        TTestPart::UpdateState();
        Framework->CircuitChanged = true;
    }
};

class TRunningDown : public TTestPart {
public:
    TRunningDown() : TTestPart(1, 1.5, KindBattery) {}
    bool DischargingNow() const override { return true; }
};
} // namespace

void TestFramework::runawaySolvingStopsAfter22Runs() {
    TBoardFixture f;
    auto* restless = new TRestless(1, 0);
    Place(restless, 2, 2, 2, 3);
    Place(new TTestPart(5), 2, 2, 2, 3);
    f.Board->CircuitChanged = true;
    f.Board->Tick();
    QCOMPARE(restless->Solves, 22);
    QVERIFY(!f.Board->CircuitChanged);
    QCOMPARE(f.Seams.Messages.size(), 1);
    QCOMPARE(f.Seams.Messages[0].Text, QString("Расчёт зациклился и принудительно остановлен."));
    QCOMPARE(f.Seams.Messages[0].Caption, QString("Система зашиты"));
    QCOMPARE(f.Seams.Messages[0].Buttons, TMsgButtons::OkCancel);
    // Every tick that runs away says so once.
    f.Board->CircuitChanged = true;
    f.Board->Tick();
    QCOMPARE(restless->Solves, 44);
    QCOMPARE(f.Seams.Messages.size(), 2);
}

void TestFramework::dischargingBatteryIsSolvedOn63Of64Ticks() {
    TBoardFixture f;
    Place(new TRunningDown, 3, 3, 4, 3);
    Place(new TTestPart(10), 3, 3, 4, 3);
    f.Board->BatteryResolveCounter = 0;
    int resolved = 0;
    for (int tick = 0; tick < 128; ++tick) {
        f.Board->CircuitChanged = false;
        f.Board->Tick();
        resolved += f.Board->CircuitChanged;
        if (tick == 0 || tick == 64) QVERIFY(!f.Board->CircuitChanged);
    }
    QCOMPARE(resolved, 126);
}

QTEST_MAIN(TestFramework)
#include "tst_framework.moc"
