#pragma once
// The variable capacitor: a sliding-plate trimmer with a full-scale capacitance set on the
// parameters panel and a knob the student moves in 20 steps, with the mouse or with the C key
// (up) and c (down); the capacitance is step x full scale / 20. For the circuit it is a
// capacitor; it never burns out.

#include "components/Iron.h"

class TVCondensator : public TIron {
    Q_OBJECT
public:
    TVCondensator();

    double MaxCapacitance = 0; // farads, the full scale
    qint32 HandlePosition = 15;

    void SetMaxCapacitance(double value);
    // Clamped to 1..20; the circuit is solved again.
    void SetHandlePosition(int step);
    void SetCapacitance(double value) override;
    TComplex ImpedanceWhen(bool acDriven) override;
    void SaveToFile(QIODevice& file) override;
    void LoadFromFile(QIODevice& file) override;
    QString GetHint() override;
    void FillPanel(TPanelValues& values) override;
    void TakePanel(const TPanelValues& values) override;
    // C or the Cyrillic С: a step up; c or с: a step down.
    void KeyCommand(QChar key) override;

    // Whether (x, y) of the part lies on the knob or close beside it.
    bool InHandle(int x, int y) const;

    static bool HandleDragged;
    static int PressX;
    static int PressY;

    static void ClassStartup();
    static void ClassExit();

protected:
    void paintEvent(QPaintEvent* e) override;
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y) override;
    void OnMouseMove(Qt::KeyboardModifiers mods, int x, int y) override;
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y) override;
};
