// Nodes, flat objects with their pixel-exact mouse handling, and the start of a drag.

#include "support/Mouse.h"
#include "support/Seams.h"

#include "board/Dragging.h"
#include "board/Flatobject.h"
#include "board/Node.h"
#include "shell/Global.h"

#include <QHelpEvent>
#include <QTest>
#include <QToolTip>
#include <memory>

namespace {
// A flat object that writes down what reaches it.
class TProbe : public TFlatObject {
public:
    TProbe(QWidget* owner, QStringList& journal, QString name)
        : TFlatObject(owner, "bmpResistor"), Journal(journal), Name(std::move(name)) {}
    int Drags = 0;

protected:
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y) override {
        TFlatObject::OnMouseDown(button, mods, x, y);
        Journal << QString("%1 down %2,%3").arg(Name).arg(x).arg(y);
    }
    void OnStartDrag(TDragObject*& dragObject) override {
        TFlatObject::OnStartDrag(dragObject);
        ++Drags;
    }

private:
    QStringList& Journal;
    QString Name;
};

// The first point of `p` (in its parent) where the test says yes.
std::optional<QPoint> FindPoint(const TFlatObject* p, const std::function<bool(QPoint)>& test) {
    for (int y = 0; y < p->height(); ++y)
        for (int x = 0; x < p->width(); ++x)
            if (test(QPoint(x, y))) return p->mapToParent(QPoint(x, y));
    return std::nullopt;
}

struct TLattice {
    TLattice() {
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 7; ++c)
                Grid[r][c] = new TNode(r, c);
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 7; ++c) {
                if (c > 0) Grid[r][c]->LeftNode = Grid[r][c - 1];
                if (c < 6) Grid[r][c]->RightNode = Grid[r][c + 1];
                if (r > 0) Grid[r][c]->UpperNode = Grid[r - 1][c];
                if (r < 6) Grid[r][c]->LowerNode = Grid[r + 1][c];
            }
    }
    ~TLattice() {
        for (auto& row : Grid)
            for (TNode* n : row)
                delete n;
    }
    TNode* Grid[7][7];
};
} // namespace

class TestBoardObjects : public QObject {
    Q_OBJECT

private slots:
    void nodeNumbersAndLinks();
    void unknownNodeThrows();
    void destroyedNodeUnlinksItsNeighbours();
    void detachRemovesTheFirstOccurrenceOnly();

    void centreCoordinates();
    void pressOnOverlappingObjects_data();
    void pressOnOverlappingObjects();
    void hintIsThatOfTheVisiblePicture_data();
    void hintIsThatOfTheVisiblePicture();
    void dragStartsAfterMoreThanFivePixels_data();
    void dragStartsAfterMoreThanFivePixels();
    void rightButtonStartsNoDrag();
    void draggingObjectIsReported();
};

void TestBoardObjects::nodeNumbersAndLinks() {
    TLattice lattice;
    QCOMPARE(Nodes.size(), 49);
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c)
            QCOMPARE(IndexOfNode(lattice.Grid[r][c]), r * 7 + c);
    TNode* topLeft = lattice.Grid[0][0];
    QVERIFY(!topLeft->LeftNode && !topLeft->UpperNode);
    QCOMPARE(topLeft->RightNode, lattice.Grid[0][1]);
    TNode* bottomRight = lattice.Grid[6][6];
    QVERIFY(!bottomRight->RightNode && !bottomRight->LowerNode);
    TNode* middle = lattice.Grid[3][3];
    QVERIFY(middle->LeftNode && middle->RightNode && middle->UpperNode && middle->LowerNode);
    QCOMPARE(middle->UpperNode->LowerNode, middle);
}

void TestBoardObjects::unknownNodeThrows() {
    TLattice lattice;
    try {
        IndexOfNode(nullptr);
        QFAIL("no error");
    } catch (const EThrownText& e) {
        QCOMPARE(e.Text(), QString("No Nodes in Array !"));
    }
}

void TestBoardObjects::destroyedNodeUnlinksItsNeighbours() {
    TLattice lattice;
    TNode* left = lattice.Grid[2][1];
    TNode* right = lattice.Grid[2][3];
    delete lattice.Grid[2][2];
    lattice.Grid[2][2] = nullptr;
    QVERIFY(!left->RightNode);
    QVERIFY(!right->LeftNode);
    QCOMPARE(Nodes.size(), 48);
}

void TestBoardObjects::detachRemovesTheFirstOccurrenceOnly() {
    TNode node(0, 0);
    auto* a = reinterpret_cast<TIron0*>(0x10);
    auto* b = reinterpret_cast<TIron0*>(0x20);
    node.Attach(a);
    node.Attach(b);
    node.Attach(a);
    node.Attach(nullptr);
    QCOMPARE(node.Count(), 3);
    node.Detach(a);
    QCOMPARE(node.Elements, QList<TIron0*>({b, a}));
    node.Detach(reinterpret_cast<TIron0*>(0x30)); // not there: nothing changes
    node.Detach(nullptr);
    QCOMPARE(node.Elements, QList<TIron0*>({b, a}));
}

void TestBoardObjects::centreCoordinates() {
    QWidget parent;
    QStringList journal;
    TProbe p(&parent, journal, "p");
    p.move(10, 20);
    QCOMPARE(p.CenterX(), 10 + p.width() / 2);
    p.SetCenterY(100);
    QCOMPARE(p.y(), 100 - p.height() / 2);
    QCOMPARE(FlatObjects.last(), &p);
}

void TestBoardObjects::pressOnOverlappingObjects_data() {
    QTest::addColumn<bool>("clearOnTop");
    QTest::addColumn<QString>("receiver");
    QTest::newRow("a clear pixel on top reaches the object beneath") << true << "lower";
    QTest::newRow("an opaque pixel on top stays on top") << false << "upper";
}

void TestBoardObjects::pressOnOverlappingObjects() {
    QFETCH(bool, clearOnTop);
    QFETCH(QString, receiver);
    QWidget parent;
    parent.resize(200, 200);
    QStringList journal;
    TProbe lower(&parent, journal, "lower");
    TProbe upper(&parent, journal, "upper"); // made later: lies above
    lower.move(20, 20);
    upper.move(20, 40);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    TMouse mouse(&parent);
    // A point where the lower picture is opaque and the upper one clear or opaque as asked.
    const auto spot = FindPoint(&upper, [&](QPoint p) {
        const QPoint inLower = lower.mapFromParent(upper.mapToParent(p));
        return upper.IsTransparentAt(p) == clearOnTop && lower.rect().contains(inLower) &&
               !lower.IsTransparentAt(inLower);
    });
    QVERIFY(spot);
    mouse.Press(*spot, Qt::LeftButton);
    mouse.Release(*spot, Qt::LeftButton);
    const TProbe& expected = receiver == "lower" ? lower : upper;
    const QPoint local = expected.mapFromParent(*spot);
    QCOMPARE(journal,
             QStringList({QString("%1 down %2,%3").arg(receiver).arg(local.x()).arg(local.y())}));
}

void TestBoardObjects::hintIsThatOfTheVisiblePicture_data() {
    QTest::addColumn<QString>("spot"); // what lies under the pointer
    QTest::addColumn<QString>("hint");
    QTest::newRow("the upper picture") << "upper"
                                       << "upper hint";
    QTest::newRow("the lower picture through a clear pixel") << "lower"
                                                             << "lower hint";
    QTest::newRow("the board through both") << "none"
                                            << "";
}

void TestBoardObjects::hintIsThatOfTheVisiblePicture() {
    QFETCH(QString, spot);
    QFETCH(QString, hint);
    QWidget parent;
    parent.resize(200, 200);
    QStringList journal;
    TProbe lower(&parent, journal, "lower");
    TProbe upper(&parent, journal, "upper"); // made later: lies above, and gets the hint event
    lower.setToolTip("lower hint");
    upper.setToolTip("upper hint");
    lower.move(20, 20);
    upper.move(20, 40);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    const auto at = FindPoint(&upper, [&](QPoint p) {
        const QPoint inLower = lower.mapFromParent(upper.mapToParent(p));
        const bool lowerShows = lower.rect().contains(inLower) && !lower.IsTransparentAt(inLower);
        if (spot == "upper") return !upper.IsTransparentAt(p);
        if (spot == "lower") return upper.IsTransparentAt(p) && lowerShows;
        return upper.IsTransparentAt(p) && !lowerShows;
    });
    QVERIFY(at);
    QToolTip::hideText();
    const QPoint local = upper.mapFromParent(*at);
    QHelpEvent event(QEvent::ToolTip, local, upper.mapToGlobal(local));
    QCoreApplication::sendEvent(&upper, &event);
    QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), hint);
    QToolTip::hideText();
}

void TestBoardObjects::dragStartsAfterMoreThanFivePixels_data() {
    QTest::addColumn<QPoint>("move");
    QTest::addColumn<bool>("drags");
    QTest::newRow("5 right") << QPoint(5, 0) << false;
    QTest::newRow("5 up and 5 left") << QPoint(-5, -5) << false;
    QTest::newRow("6 right") << QPoint(6, 0) << true;
    QTest::newRow("6 down") << QPoint(0, 6) << true;
}

void TestBoardObjects::dragStartsAfterMoreThanFivePixels() {
    QFETCH(QPoint, move);
    QFETCH(bool, drags);
    QWidget parent;
    parent.resize(200, 200);
    QStringList journal;
    TProbe probe(&parent, journal, "probe");
    probe.move(60, 60);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    TMouse mouse(&parent);
    // The middle of the picture is its opaque body.
    const QPoint at = probe.mapToParent(QPoint(32, 32));
    QVERIFY(!probe.IsTransparentAt(QPoint(32, 32)));
    mouse.Press(at, Qt::LeftButton);
    mouse.Move(at + move);
    QCOMPARE(probe.Drags, drags ? 1 : 0);
    QCOMPARE(Dragging::Active(), drags);
    QCOMPARE(probe.isVisible(), !drags); // a dragged object hides
    mouse.Release(at + move, Qt::LeftButton);
    QVERIFY(!Dragging::Active());
    QVERIFY(!FlatPress::Pressed);
}

void TestBoardObjects::rightButtonStartsNoDrag() {
    QWidget parent;
    parent.resize(200, 200);
    QStringList journal;
    TProbe probe(&parent, journal, "probe");
    probe.move(60, 60);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    TMouse mouse(&parent);
    const QPoint at = probe.mapToParent(QPoint(30, 32));
    mouse.Press(at, Qt::RightButton);
    QVERIFY(!FlatPress::Pressed);
    QCOMPARE(FlatPress::Point, QPoint(30, 32)); // the press point moves all the same
    mouse.Move(at + QPoint(20, 0));
    QCOMPARE(probe.Drags, 0);
    mouse.Release(at + QPoint(20, 0), Qt::RightButton);
}

void TestBoardObjects::draggingObjectIsReported() {
    QWidget parent;
    parent.resize(200, 200);
    QStringList journal;
    TProbe first(&parent, journal, "first");
    TProbe second(&parent, journal, "second");
    first.move(0, 0);
    second.move(100, 100);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    TMouse mouse(&parent);
    QVERIFY(!TFlatObject::DraggingObject());
    const QPoint at = second.mapToParent(QPoint(32, 32));
    mouse.Press(at, Qt::LeftButton);
    mouse.Move(at + QPoint(10, 10));
    QCOMPARE(TFlatObject::DraggingObject(), &second);
    QTest::keyClick(&parent, Qt::Key_Escape); // Escape ends the drag
    QVERIFY(!TFlatObject::DraggingObject());
    mouse.Release(at + QPoint(10, 10), Qt::LeftButton);
}

QTEST_MAIN(TestBoardObjects)
#include "tst_boardobjects.moc"
