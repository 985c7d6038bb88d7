// The workbench under a monkey: random presses, drags (parts box to board, board to board, onto
// the trash can, back into the box), double clicks, right clicks with a pick from the menu,
// clicks on the meters' switches and keys, on the real main window, offscreen. After every
// action the board must still be sound:
//   - every part lies on one edge between neighbouring nodes, its first node the upper or left
//     one, and no two parts share an edge;
//   - every node lists exactly the elements whose terminals lie on it, once per terminal;
//   - at most 60 parts;
//   - a battery and a generator never share the board, and the parts box offers neither beside
//     the other.
// In the suite: 2,000 actions from a fixed seed. `make monkey SECONDS=N` runs it for N seconds
// from a random seed (environment MONKEY_SECONDS and MONKEY_SEED) and prints the seed on failure,
// so that the run can be repeated.

#include "support/Mouse.h"
#include "support/Seams.h"

#include "board/Dragging.h"
#include "board/Frmwork.h"
#include "board/Node.h"
#include "components/Battery.h"
#include "components/Floatctrl.h"
#include "components/Generator.h"
#include "components/Iron.h"
#include "components/Kinds.h"
#include "document/Join.h"
#include "document/Scheme.h"
#include "instruments/Pribor.h"
#include "instruments/Testlead.h"
#include "shell/Auxwindows.h"
#include "shell/Partwindows.h"
#include "shell/Wiring.h"
#include "shell/Workshop.h"
#include "solver/Calculate.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QRandomGenerator>
#include <QTest>
#include <QToolButton>
#include <cstdio>
#include <optional>

namespace {

// What is wrong with the board now; empty when it is sound.
QString BrokenInvariant() {
    if (Parts.size() > 60) return QString("%1 parts on the board").arg(Parts.size());
    if (Dragging::Active()) return "a drag is still going on after the action";
    QSet<QPair<const TNode*, const TNode*>> edges;
    for (TIron* part : Parts) {
        const QString name =
            QString("%1 (kind %2)").arg(part->metaObject()->className()).arg(part->Kind);
        const TNode* a = part->FirstNode;
        const TNode* b = part->SecondNode;
        if (!a || !b) return name + " lies off the board";
        if (!Nodes.contains(const_cast<TNode*>(a)) || !Nodes.contains(const_cast<TNode*>(b)))
            return name + " lies on a node that is not the board's";
        const int dr = b->Row - a->Row, dc = b->Column - a->Column;
        if (!((dr == 1 && dc == 0) || (dr == 0 && dc == 1)))
            return name +
                   QString(" joins (%1,%2) and (%3,%4), not the upper or left end of one edge")
                       .arg(a->Row)
                       .arg(a->Column)
                       .arg(b->Row)
                       .arg(b->Column);
        const QPair<const TNode*, const TNode*> edge(a, b);
        if (edges.contains(edge)) return name + " shares its edge with another part";
        edges.insert(edge);
        if (part->isHidden()) return name + " lies on the board unseen";
    }
    // The node lists hold exactly the terminals that lie on them.
    for (const TNode* node : Nodes) {
        QHash<const TIron0*, int> listed;
        for (const TIron0* e : node->Elements)
            ++listed[e];
        for (auto it = listed.cbegin(); it != listed.cend(); ++it) {
            const TIron0* e = it.key();
            if (!CircuitElements.contains(const_cast<TIron0*>(e)))
                return QString("node (%1,%2) lists an element that no longer exists")
                    .arg(node->Row)
                    .arg(node->Column);
            const int ends = int(e->FirstNode == node) + int(e->SecondNode == node);
            if (it.value() != ends)
                return QString("node (%1,%2) lists %3 %4 times for %5 terminals")
                    .arg(node->Row)
                    .arg(node->Column)
                    .arg(e->metaObject()->className())
                    .arg(it.value())
                    .arg(ends);
        }
    }
    for (const TIron0* e : CircuitElements) {
        for (const TNode* end : {e->FirstNode, e->SecondNode})
            if (end && Nodes.contains(const_cast<TNode*>(end)) &&
                !end->Elements.contains(const_cast<TIron0*>(e)))
                return QString("%1 is not listed on its node").arg(e->metaObject()->className());
    }
    if (TBattery::BatteryCount > 0 && TGenerator::GeneratorCount > 0)
        return "a battery and a generator share the board";
    return {};
}

// The parts box refuses the kind of source the board cannot take.
QString BoxOffersAWrongSource(const TWorkshopForm& form) {
    for (const TBoxItem* item : form.BoxItems) {
        if (item->Tag == KindBattery && item->isEnabled() && TGenerator::GeneratorCount > 0)
            return "the parts box offers a battery beside a generator";
        if (item->Tag == KindGenerator && item->isEnabled() && TBattery::BatteryCount > 0)
            return "the parts box offers a generator beside a battery";
    }
    return {};
}

class TMonkey {
public:
    TMonkey(TWorkshopForm& form, quint32 seed) : Form(form), Mouse(&form), Random(seed) {}

    // One random action; its description.
    QString Act() {
        // Parts come more often than they go, so that the board fills up now and then.
        const int what = int(Random.bounded(1000));
        if (what < 400) return FromTheBox();
        if (what < 580) return AcrossTheBoard();
        if (what < 610) return IntoTheTrash();
        if (what < 630) return BackIntoTheBox();
        if (what < 700) return DoubleClick();
        if (what < 760) return RightClickAndPick();
        if (what < 840) return Click();
        if (what < 900) return Key();
        if (what < 950) return Lead();
        if (what < 980) return MeterSwitch();
        if (what < 990) return Meter();
        if (what < 995) return CloseMeter();
        return ClearBoard();
    }

private:
    QPoint Centre(QWidget* w) const { return w->mapTo(&Form, w->rect().center()); }
    QPoint AnywhereOnBoard() {
        return Form.Board->mapTo(&Form, QPoint(int(Random.bounded(TFramework::Size)),
                                               int(Random.bounded(TFramework::Size))));
    }
    // A point of the form: mostly the board, sometimes anywhere but the command buttons (they
    // open files, programs, the help and the exit; the monkey stays on the bench).
    QPoint Target() {
        if (Random.bounded(8) == 0) {
            const QPoint p(int(Random.bounded(Form.width())), int(Random.bounded(Form.height())));
            if (!qobject_cast<QToolButton*>(Form.childAt(p))) return p;
        }
        return AnywhereOnBoard();
    }
    TIron* SomePart() {
        return Parts.isEmpty() ? nullptr : Parts[int(Random.bounded(Parts.size()))];
    }
    // A pixel of the part's picture that takes the mouse (not a transparent one).
    std::optional<QPoint> Grip(TIron* part) {
        for (int tries = 0; tries < 40; ++tries) {
            const QPoint p(int(Random.bounded(part->width())), int(Random.bounded(part->height())));
            if (!part->IsTransparentAt(p)) return part->mapTo(&Form, p);
        }
        return std::nullopt;
    }
    void Settle() { QCoreApplication::processEvents(); }

    QString FromTheBox() {
        TBoxItem* item = Form.BoxItems[int(Random.bounded(Form.BoxItems.size()))];
        const QPoint to = Target();
        Mouse.Drag(Centre(item), to, 6);
        return QString("box %1 -> (%2,%3)").arg(item->Tag).arg(to.x()).arg(to.y());
    }
    QString AcrossTheBoard() {
        TIron* part = SomePart();
        if (!part) return FromTheBox();
        const auto from = Grip(part);
        if (!from) return "no grip";
        const QPoint to = Target();
        Mouse.Drag(*from, to, 6);
        return QString("drag (%1,%2) -> (%3,%4)")
            .arg(from->x())
            .arg(from->y())
            .arg(to.x())
            .arg(to.y());
    }
    QString IntoTheTrash() {
        TIron* part = SomePart();
        if (!part) return "no part to throw away";
        const auto from = Grip(part);
        if (!from) return "no grip";
        Mouse.Drag(*from, Centre(Form.imgTrashcan), 6);
        return "into the trash";
    }
    QString BackIntoTheBox() {
        TIron* part = SomePart();
        if (!part) return "no part to put back";
        const auto from = Grip(part);
        if (!from) return "no grip";
        Mouse.Drag(*from, Centre(Form.imgToolBar), 6);
        return "back into the box";
    }
    QString DoubleClick() {
        const QPoint at = Parts.isEmpty() || Random.bounded(3) == 0
                              ? Target()
                              : Grip(SomePart()).value_or(Target());
        QWidget* under = Form.childAt(at);
        QWidget* w = under ? under : &Form;
        QTest::mouseDClick(w, Qt::LeftButton, {}, w->mapFrom(&Form, at));
        return QString("double click (%1,%2)").arg(at.x()).arg(at.y());
    }
    QString RightClickAndPick() {
        TIron* part = SomePart();
        if (!part) return "no part for a menu";
        const auto at = Grip(part);
        if (!at) return "no grip";
        Mouse.Click(*at, Qt::RightButton);
        QString picked = "nothing";
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            const QList<QAction*> actions = menu->actions();
            menu->close();
            if (!actions.isEmpty() && Random.bounded(2) == 0) {
                QAction* a = actions[int(Random.bounded(actions.size()))];
                picked = a->text();
                if (a->isEnabled()) a->trigger();
            }
        } else if (part->PopupMenu() && !part->PopupMenu()->actions().isEmpty() &&
                   Random.bounded(2) == 0) {
            // No popup shown offscreen: the menu's items all the same.
            const QList<QAction*> actions = part->PopupMenu()->actions();
            QAction* a = actions[int(Random.bounded(actions.size()))];
            picked = a->text();
            if (a->isEnabled()) a->trigger();
        }
        return "menu: " + picked;
    }
    QString Click() {
        const QPoint at = Target();
        Mouse.Click(at);
        return QString("click (%1,%2)").arg(at.x()).arg(at.y());
    }
    QString Key() {
        static const int keys[] = {Qt::Key_Delete, Qt::Key_R,      Qt::Key_C,
                                   Qt::Key_Space,  Qt::Key_Escape, Qt::Key_A};
        const int key = keys[Random.bounded(int(std::size(keys)))];
        QTest::keyClick(&Form, Qt::Key(key),
                        Random.bounded(4) == 0 ? Qt::ShiftModifier : Qt::NoModifier);
        return QString("key %1").arg(key, 0, 16);
    }
    QString Lead() {
        if (TestLeads.isEmpty()) return Meter();
        TTestLead* lead = TestLeads[int(Random.bounded(TestLeads.size()))];
        if (!lead->isVisible() || lead->window() != &Form) return "lead not in sight";
        const QPoint from = lead->mapTo(&Form, lead->rect().center());
        const QPoint to = Target();
        Mouse.Drag(from, to, 6);
        return QString("lead -> (%1,%2)").arg(to.x()).arg(to.y());
    }
    QString MeterSwitch() {
        TPriborPanel* panel = MultimeterPanels[Random.bounded(2)];
        if (!panel) return Meter();
        const int position = int(Random.bounded(20));
        panel->SwitchTo(position);
        return QString("meter switch %1").arg(position);
    }
    QString Meter() {
        if (!Form.btnMultimeter->isEnabled()) return "no meter left";
        QTest::mouseClick(Form.btnMultimeter, Qt::LeftButton);
        return "meter";
    }
    QString CloseMeter() {
        TPriborPanel* panel = MultimeterPanels[Random.bounded(2)];
        if (!panel) return "no meter to close";
        delete panel;
        Form.UpdateCommandButtons();
        return "meter closed";
    }
    QString ClearBoard() {
        // The clear command asks first; the seams answer yes.
        QTest::mouseClick(Form.btnDeleteAll, Qt::LeftButton);
        return "clear";
    }

    TWorkshopForm& Form;
    TMouse Mouse;
    QRandomGenerator Random;
};

} // namespace

class TestMonkey : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void invariantsSeeABrokenBoard_data();
    void invariantsSeeABrokenBoard();
    void boardStaysSound();
};

void TestMonkey::initTestCase() {
    QVERIFY(LoadLanguageFile(VEXILO_SOURCE_DIR "/workbench/lang/English.lng"));
    RegisterPartKinds();
    TIron::ExecuteStartups();
    TPriborPanel::PictureStartup();
}

void TestMonkey::invariantsSeeABrokenBoard_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("reported");
    QTest::newRow("sound") << "none"
                           << "";
    QTest::newRow("off the board") << "off"
                                   << "lies off the board";
    QTest::newRow("not neighbours") << "far"
                                    << "not the upper or left end of one edge";
    QTest::newRow("lower end first") << "reversed"
                                     << "not the upper or left end of one edge";
    QTest::newRow("shared edge") << "shared"
                                 << "shares its edge";
    QTest::newRow("listed twice") << "listed"
                                  << "times for 1 terminals";
    QTest::newRow("battery beside a generator") << "sources"
                                                << "a battery and a generator";
}

void TestMonkey::invariantsSeeABrokenBoard() {
    // The monkey is only as good as its checks: each kind of damage is seen.
    QFETCH(QString, fault);
    QFETCH(QString, reported);
    TTestSeams seams;
    QWidget window;
    JoinCircuit();
    TFramework board(&window);
    auto place = [&](quint8 kind, int r1, int c1, int r2, int c2) {
        TIron* part = CreatePart(kind);
        part->ConnectNodes(board(r1, c1), board(r2, c2));
        part->show();
        return part;
    };
    TIron* resistor = place(KindResistor, 1, 1, 1, 2);
    if (fault == "off") resistor->ConnectNodes(nullptr, nullptr);
    if (fault == "far") resistor->ConnectNodes(board(1, 1), board(3, 3));
    if (fault == "reversed") resistor->TIron0::ConnectNodes(board(1, 2), board(1, 1));
    if (fault == "shared") place(KindWire, 1, 1, 1, 2);
    if (fault == "listed") board(1, 1)->Attach(resistor);
    if (fault == "sources") {
        place(KindBattery, 2, 2, 3, 2);
        place(KindGenerator, 4, 4, 4, 5);
    }
    const QString broken = BrokenInvariant();
    if (fault == "listed") board(1, 1)->Detach(resistor);
    DestroyAllParts();
    if (reported.isEmpty())
        QVERIFY2(broken.isEmpty(), qPrintable(broken));
    else
        QVERIFY2(broken.contains(reported), qPrintable(broken));
}

void TestMonkey::boardStaysSound() {
    // A fixed seed and a fixed count in the suite; a random seed for a time when asked for.
    const qint64 seconds = qEnvironmentVariableIntValue("MONKEY_SECONDS");
    bool seeded = false;
    quint32 seed = quint32(qEnvironmentVariable("MONKEY_SEED").toULong(&seeded));
    if (!seeded) seed = seconds > 0 ? QRandomGenerator::system()->generate() : 20261209u;
    const int actions = seconds > 0 ? std::numeric_limits<int>::max() : 2000;
    std::printf("monkey: seed %u, %s\n", seed,
                seconds > 0 ? qPrintable(QString("%1 seconds").arg(seconds)) : "2000 actions");
    std::fflush(stdout);

    TTestSeams seams;
    Solver::LogPath.clear();
    // Nothing may wait for a person: dialogs are cancelled.
    SetFileDialogHandler([](const TFileDialogRequest&) { return QString(); });
    SetModalHandler([](QDialog*) { return int(QDialog::Rejected); });
    SeedPartRandom(seed);
    TWorkshopForm form;
    form.resize(1280, 800);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.TimerCat->stop(); // one tick after every action, by hand
    JoinWindows(&form);
    CreatePartWindows(&form);

    TMonkey monkey(form, seed);
    QElapsedTimer clock;
    clock.start();
    QStringList last; // the actions that led here
    int done = 0;
    int most = 0; // the most parts the board held
    for (; done < actions && (seconds <= 0 || clock.elapsed() < seconds * 1000); ++done) {
        last << monkey.Act();
        if (qEnvironmentVariableIsSet("MONKEY_TRACE"))
            std::printf("%d: %s -> %d parts\n", done, qPrintable(last.last()), int(Parts.size()));
        if (last.size() > 12) last.removeFirst();
        QCoreApplication::processEvents();
        form.OnTimer();
        most = std::max(most, int(Parts.size()));
        QString broken = BrokenInvariant();
        if (broken.isEmpty()) broken = BoxOffersAWrongSource(form);
        if (!broken.isEmpty()) {
            std::printf(
                "monkey: FAILED after %d actions with seed %u (MONKEY_SEED=%u repeats it): %s\n"
                "monkey: the last actions: %s\n",
                done + 1, seed, seed, qPrintable(broken), qPrintable(last.join(" | ")));
            std::fflush(stdout);
            QFAIL(qPrintable(broken));
        }
    }
    std::printf("monkey: %d actions, board sound throughout (at most %d parts, %d messages)\n",
                done, most, int(seams.Messages.size()));
    for (auto& panel : MultimeterPanels)
        delete panel.data();
    SetFileDialogHandler(nullptr);
    SetModalHandler(nullptr);
}

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
