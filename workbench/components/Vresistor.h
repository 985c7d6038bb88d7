#pragma once
// The variable resistor: a slide rheostat with a full-scale resistance set on the parameters
// panel and a slider the student moves in 20 steps, with the mouse or with the R key (up) and
// r (down); the resistance is step x full scale / 20. It never burns out.

#include "components/Iron.h"

class TVResistor : public TIron {
    Q_OBJECT
public:
    TVResistor();

    double MaxResistance = 0; // ohms, the full scale
    qint32 HandlePosition = 15;

    void SetMaxResistance(double value);
    // Clamped to 1..20; the circuit is solved again.
    void SetHandlePosition(int step);
    void SetResistance(double value) override;
    void SaveToFile(QIODevice& file) override;
    void LoadFromFile(QIODevice& file) override;
    QString GetHint() override;
    void FillPanel(TPanelValues& values) override;
    void TakePanel(const TPanelValues& values) override;
    // R or the Cyrillic К: a step up; r or к: a step down.
    void KeyCommand(QChar key) override;

    // Whether (x, y) of the part lies on the slider, where a press takes hold of it.
    bool InHandle(int x, int y) const;
    bool IsTransparentAt(QPoint p) const override;

    // A drag of a slider is in progress (one for all variable resistors), and where the last
    // press went down.
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
