#pragma once
// The multimeter: a 3½-digit hand-held meter in a small window inside the main window. The
// student turns its rotary switch with the mouse, plugs its two test leads into board nodes and
// reads the display.
//
// A multimeter is two objects. The panel (TPriborPanel) draws the instrument and handles the
// mouse. The hidden circuit element (TMultimeter) takes part in the circuit like any part: in
// every switch position it has a definite internal resistance, and in the resistance ranges an
// internal 2 V source, so the meter loads the circuit as a real one would, and the reading comes
// from the current and voltage the solver finds for it.
//
// The face is laid out in design units of half a pixel: design (d, e) is pixel (d / 2, e / 2).

#include "components/Iron0.h"
#include "instruments/Meterdisplay.h"
#include "instruments/Testlead.h"

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>

class QLabel;
class QTimer;
class TPriborPanel;

class TMultimeter : public TIron0, public TLeadListener {
    Q_OBJECT
public:
    // Makes the red and then the black lead of input `number` and rests them in their sockets.
    TMultimeter(TPriborPanel* panel, int number);
    ~TMultimeter() override;

    const QPointer<TPriborPanel> Panel;
    const int Number; // 1 or 2, also the input number of the leads
    QPointer<TTestLead> RedLead;
    QPointer<TTestLead> BlackLead;

    void SetCurrent(TComplex current) override;
    void UpdateState() override;
    // The leads go where the terminals go.
    void ConnectNodes(TNode* first, TNode* second) override;
    // Switched off, the meter is an open circuit that breaks every loop through it.
    bool BreaksLoops() const override { return Resistance >= 1E30; }
    void TerminalMoved() override;

    // Both leads on one node: the meter closes a loop through itself alone.
    bool LeadsShorted() const { return FirstNode && FirstNode == SecondNode; }
    // Sets the current of that loop of its own after the leads or the internal values changed.
    void RefreshOwnLoop();
};

class TPriborPanel : public QWidget {
    Q_OBJECT
public:
    // Takes the first free slot of MultimeterPanels; the caller makes sure one is free.
    explicit TPriborPanel(QWidget* mainWindow);
    ~TPriborPanel() override;

    static constexpr int ClientWidth = 152;
    static constexpr int ClientHeight = 274;

    QTimer* Timer1; // the continuity beeper, every 500 ms, in position 9 only
    QLabel* label1; // the meter's number on its face
    QLabel* label2;
    QWidget* PriborImage; // the client area: the instrument itself

    int Position = 0;      // the rotary switch, 0..19
    double ShownValue = 0; // the last value given to ShowValue
    bool SkipUnchanged = false;
    TMeterDisplay Display; // what the display shows now
    QImage Canvas;         // the instrument as painted: face, dial and display

    TMultimeter* Element() const { return ElementObject; }
    int Slot() const { return SlotIndex; } // 0 or 1 in MultimeterPanels

    // The mouse regions of the face, in order: 0..19 the switch positions, 20 the display,
    // 21..23 the sockets, 24 the self-test spot, 25 a plain spot; -1 outside them all.
    static int RegionAt(QPoint pixel);
    // The middle of a region, in pixels (for whoever needs to point at it).
    static QPoint RegionCentre(int region);

    // What a click on switch position `position` does.
    void SwitchTo(int position);
    void UpdateReading();
    void ShowValue(double x);
    void ShowZero();
    void ShowOverload();
    // Three turns of the dial, a count on the display, then who made the meter.
    void SelfTest();

    // The shared pictures of all multimeters: loaded once, freed at the end of the program.
    static bool PictureStartup();
    static void PictureCleanup();
    static bool PicturesLoaded();

    void PriborImageMouseDown(Qt::MouseButton button, QPoint at);
    void PriborImageMouseMove(QPoint at);
    void PriborImageMouseUp(QPoint at);
    void Timer1Timer();

protected:
    void showEvent(QShowEvent* e) override; // FormShow
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void PaintFace();
    void PaintDial();
    void PaintDisplay();
    void RepaintImage();
    QRect CloseBox() const;

    QPointer<TMultimeter> ElementObject;
    int SlotIndex = 0;
    bool Moving = false;
    QPoint MovePoint;
};

// The first and the second multimeter panel, null while absent.
extern QPointer<TPriborPanel> MultimeterPanels[2];

// The multimeter button: a new panel in the first free slot, its top at `top`, shown. Errors
// are swallowed; null when none was made.
TPriborPanel* ShowNewMultimeter(QWidget* mainWindow, int top);
// Whether both slots are taken (the button is then disabled).
bool MultimeterSlotsTaken();

// Ends the program when the multimeter's pictures cannot be loaded; tests record the call.
void SetProgramEndHandler(std::function<void(int exitCode)> handler);
