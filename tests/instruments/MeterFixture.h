#pragma once
// A board in a window that stands in for the main window, with recording seams, and multimeter
// panels made the way the main window's button makes them. Panels left open are closed before
// the board goes; the program's end is recorded instead of ending the test.

#include "board/Host.h"
#include "support/Board.h"
#include "support/Mouse.h"

#include "board/Frmwork.h"
#include "board/Node.h"
#include "instruments/Pribor.h"
#include "instruments/Testlead.h"

#include <QCoreApplication>
#include <QTest>
#include <optional>

struct TMeterFixture : TBoardFixture {
    TMeterFixture() {
        Window.resize(820, 620);
        SetProgramEndHandler([this](int code) { ProgramEnds.append(code); });
        BenchHost.EnableMultimeterButton = [this](bool enabled) { ButtonStates.append(enabled); };
    }
    ~TMeterFixture() {
        for (auto& panel : MultimeterPanels)
            delete panel.data();
        BenchHost.EnableMultimeterButton = nullptr;
        SetProgramEndHandler(nullptr);
    }

    // A new panel in the first free slot, shown, as the multimeter button makes it.
    TPriborPanel* NewPanel() { return ShowNewMultimeter(&Window, 80); }

    bool ShowWindow() {
        Window.show();
        return QTest::qWaitForWindowExposed(&Window);
    }

    // Where a widget's pixel lies in the window.
    QPoint InWindow(const QWidget* w, QPoint p) const { return w->mapTo(&Window, p); }
    // The middle of node (row, column) in the window.
    QPoint NodeInWindow(int row, int column) const {
        return Board->mapTo(&Window, QPoint(64 * column + 32, 64 * row + 32));
    }
    // An opaque pixel of the lead near its handle, where the student takes hold of it.
    QPoint Grip(const TTestLead* lead) const {
        for (int r = 0; r < 16; ++r)
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    const QPoint p(22 + dx, 10 + dy);
                    if (lead->rect().contains(p) && !lead->IsTransparentAt(p))
                        return InWindow(lead, p);
                }
        return InWindow(lead, lead->rect().center());
    }
    // Drags a lead with the mouse to node (row, column), or to a window point.
    void DragLead(TTestLead* lead, QPoint to) {
        TMouse mouse(&Window);
        mouse.Drag(Grip(lead), to);
    }
    void ClickSwitch(TPriborPanel* panel, int region) {
        TMouse mouse(&Window);
        mouse.Click(InWindow(panel->PriborImage, TPriborPanel::RegionCentre(region)));
    }

    QList<int> ProgramEnds;
    QList<bool> ButtonStates;
};

// Deletes what was closed: a panel closed by its window frees itself later.
inline void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
