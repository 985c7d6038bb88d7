// Test leads: where they rest, how they plug into nodes and come out again with the mouse, what
// the instrument's element sees of it, and that they always lie above the parts.

#include "MeterFixture.h"
#include "support/TestParts.h"

#include "components/Dragiron.h"
#include "components/Iron.h"
#include "components/Kinds.h"
#include "shell/Global.h"

#include <QTest>

namespace {
// Where a lead lies when centred on node (row, column).
QPoint OnNode(const TTestLead* lead, int row, int column) {
    return {64 * column + 32 - lead->width() / 2, 64 * row + 32 - lead->height() / 2};
}

int StackIndex(const QWidget* w) {
    return int(w->parentWidget()->children().indexOf(w));
}
} // namespace

class TestTestLeads : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void strangeInputNumberIsRefused_data();
    void strangeInputNumberIsRefused();
    void leadsRestInTheirMetersSockets_data();
    void leadsRestInTheirMetersSockets();
    void draggedFromTheSocketOntoANode();
    void draggedFromNodeToNode();
    void draggedOffTheBoardGoesHome();
    void bothLeadsOnOneNode();
    void leadsLieAbovePlacedParts();
    void partDroppedOnALead();
};

void TestTestLeads::initTestCase() {
    RegisterPartKinds();
    TIron::ExecuteStartups();
}

void TestTestLeads::strangeInputNumberIsRefused_data() {
    QTest::addColumn<int>("input");
    QTest::newRow("0") << 0;
    QTest::newRow("5") << 5;
    QTest::newRow("-1") << -1;
}

void TestTestLeads::strangeInputNumberIsRefused() {
    // Reported as a wrong number, not as a missing picture of that number.
    QFETCH(int, input);
    TMeterFixture f;
    const int leads = int(TestLeads.size());
    try {
        TTestLead lead(nullptr, true, input);
        QFAIL("no error");
    } catch (const EThrownText& e) {
        QCOMPARE(e.Text(), QString("Странный № щупа?%1").arg(input));
    }
    QCOMPARE(int(TestLeads.size()), leads);
}

void TestTestLeads::leadsRestInTheirMetersSockets_data() {
    QTest::addColumn<int>("meter"); // 1 or 2
    QTest::newRow("first meter") << 1;
    QTest::newRow("second meter") << 2;
}

void TestTestLeads::leadsRestInTheirMetersSockets() {
    QFETCH(int, meter);
    TMeterFixture f;
    TPriborPanel* first = f.NewPanel();
    TPriborPanel* panel = meter == 1 ? first : f.NewPanel();
    TMultimeter* element = panel->Element();
    QCOMPARE(element->Number, meter);
    for (TTestLead* lead : {element->RedLead.data(), element->BlackLead.data()}) {
        QCOMPARE(lead->InputNumber, meter);
        QCOMPARE(lead->parentWidget(), panel->PriborImage);
        QCOMPARE(lead->pos(), lead->IsRed ? QPoint(118, 203) : QPoint(118, 228));
        QCOMPARE(lead->size(), QSize(32, 32));
        QVERIFY(!lead->isHidden());
        QVERIFY(!lead->Node);
        // While it travels, the pointer shows this lead's own picture.
        const int cursor = 60 + 2 * (meter - 1) + (lead->IsRed ? 0 : 1);
        QCOMPARE(lead->DragCursorNumber(), cursor);
        QVERIFY(CursorRegistered(cursor));
    }
    QVERIFY(element->RedLead->IsRed);
    QVERIFY(!element->BlackLead->IsRed);
    QVERIFY(!element->FirstNode && !element->SecondNode);
}

void TestTestLeads::draggedFromTheSocketOntoANode() {
    TMeterFixture f;
    QVERIFY(f.ShowWindow());
    TMultimeter* element = f.NewPanel()->Element();
    TTestLead* red = element->RedLead;
    f.Board->CircuitChanged = false;

    f.DragLead(red, f.NodeInWindow(4, 2) + QPoint(9, -7)); // anywhere in the node's cell
    QCOMPARE(red->Node, (*f.Board)(4, 2));
    QCOMPARE(element->FirstNode, (*f.Board)(4, 2));
    QVERIFY((*f.Board)(4, 2)->Elements.contains(element));
    QCOMPARE(red->parentWidget(), f.Board);
    QCOMPARE(red->pos(), OnNode(red, 4, 2));
    QVERIFY(red->isVisible());
    QVERIFY(f.Board->CircuitChanged);
}

void TestTestLeads::draggedFromNodeToNode() {
    // Lifting the lead takes the meter out of the first node at once and asks for a solve; the
    // drop puts it into the second node and asks again.
    TMeterFixture f;
    QVERIFY(f.ShowWindow());
    TMultimeter* element = f.NewPanel()->Element();
    TTestLead* black = element->BlackLead;
    TNode* from = (*f.Board)(1, 1);
    TNode* to = (*f.Board)(3, 5);
    black->SetNode(from);
    f.Board->CircuitChanged = false;

    TMouse mouse(&f.Window);
    const QPoint grip = f.Grip(black);
    const QPoint target = f.NodeInWindow(3, 5);
    mouse.Press(grip);
    for (int i = 1; i <= 4; ++i)
        mouse.Move(grip + (target - grip) * i / 8);
    QVERIFY(Dragging::Active());
    QVERIFY(!from->Elements.contains(element));
    QVERIFY(!element->SecondNode);
    QVERIFY(f.Board->CircuitChanged);
    f.Board->CircuitChanged = false;
    for (int i = 5; i <= 8; ++i)
        mouse.Move(grip + (target - grip) * i / 8);
    mouse.Release(target);

    QVERIFY(!Dragging::Active());
    QVERIFY(f.Board->CircuitChanged);
    QCOMPARE(to->Elements, QList<TIron0*>{element});
    QVERIFY(from->Elements.isEmpty());
    QCOMPARE(element->SecondNode, to);
    QCOMPARE(black->pos(), OnNode(black, 3, 5));
}

void TestTestLeads::draggedOffTheBoardGoesHome() {
    TMeterFixture f;
    QVERIFY(f.ShowWindow());
    TPriborPanel* panel = f.NewPanel();
    TMultimeter* element = panel->Element();
    TTestLead* red = element->RedLead;
    TNode* node = (*f.Board)(6, 6);
    red->SetNode(node);
    element->BlackLead->SetNode((*f.Board)(5, 6));

    f.DragLead(red, QPoint(30, f.Window.height() - 20)); // the bare window below the board
    QVERIFY(!red->Node);
    QVERIFY(!element->FirstNode);
    QVERIFY(node->Elements.isEmpty());
    QCOMPARE(red->parentWidget(), panel->PriborImage);
    QCOMPARE(red->pos(), QPoint(118, 203));
    QVERIFY(red->isVisible());
    QCOMPARE(element->SecondNode, (*f.Board)(5, 6)); // the other lead stays where it is
}

void TestTestLeads::bothLeadsOnOneNode() {
    TMeterFixture f;
    QVERIFY(f.ShowWindow());
    TMultimeter* element = f.NewPanel()->Element();
    TNode* node = (*f.Board)(3, 3);
    f.DragLead(element->RedLead, f.NodeInWindow(3, 3));
    f.DragLead(element->BlackLead, f.NodeInWindow(3, 3) + QPoint(5, 5));
    QCOMPARE(element->FirstNode, node);
    QCOMPARE(element->SecondNode, node);
    QCOMPARE(node->Elements, (QList<TIron0*>{element, element}));
    QCOMPARE(element->RedLead->pos(), element->BlackLead->pos());
}

void TestTestLeads::leadsLieAbovePlacedParts() {
    // Leads of two meters on the board; a part dropped next to them is placed under them, and
    // the leads keep the order they were made in.
    TMeterFixture f;
    TMultimeter* one = f.NewPanel()->Element();
    TMultimeter* two = f.NewPanel()->Element();
    one->RedLead->SetNode((*f.Board)(2, 2));
    two->BlackLead->SetNode((*f.Board)(2, 3));
    two->RedLead->SetNode((*f.Board)(3, 2));
    one->BlackLead->SetNode((*f.Board)(3, 3));

    auto* part = new TTestPart(10);
    TDragIron drag(part);
    bool accept = false;
    const QPoint at(64 * 2 + 40, 64 * 2 + 32); // the edge between (2,2) and (2,3)
    f.Board->OnDragOver(&drag, at.x(), at.y(), accept);
    f.Board->OnDragDrop(&drag, at.x(), at.y());
    drag.Finished(f.Board, at.x(), at.y(), true);
    QCOMPARE(part->FirstNode, (*f.Board)(2, 2));

    const QList<TTestLead*> leads = {one->RedLead, one->BlackLead, two->RedLead, two->BlackLead};
    for (int i = 0; i < leads.size(); ++i) {
        QVERIFY2(StackIndex(leads[i]) > StackIndex(part), qPrintable(QString("lead %1").arg(i)));
        if (i > 0) QVERIFY(StackIndex(leads[i]) > StackIndex(leads[i - 1]));
    }
}

void TestTestLeads::partDroppedOnALead() {
    // On the board a lead passes a drop on to the board at the same spot; in its socket on the
    // meter it is not part of the board and refuses the part.
    TMeterFixture f;
    TMultimeter* element = f.NewPanel()->Element();
    TTestLead* onBoard = element->RedLead;
    TTestLead* inSocket = element->BlackLead;
    onBoard->SetNode((*f.Board)(4, 4));

    auto* part = new TTestPart(10);
    TDragIron drag(part);
    // The lead's middle lies on node (4,4); 14 pixels below it the board's cell points down to
    // the edge to (5,4).
    const QPoint local(16, 16 + 14);
    bool accept = false;
    onBoard->DragOver(&drag, local.x(), local.y(), accept);
    QVERIFY(accept);
    QVERIFY(drag.Vertical); // the board chose the orientation for that spot
    onBoard->DragDrop(&drag, local.x(), local.y());
    drag.Finished(onBoard, local.x(), local.y(), true);
    QCOMPARE(part->FirstNode, (*f.Board)(4, 4));
    QCOMPARE(part->SecondNode, (*f.Board)(5, 4));

    auto* another = new TTestPart(10);
    TDragIron second(another);
    accept = true;
    inSocket->DragOver(&second, 16, 16, accept);
    QVERIFY(!accept);
}

QTEST_MAIN(TestTestLeads)
#include "tst_testleads.moc"
