#include "components/Vcondensator.h"

#include "board/Frmwork.h"
#include "board/Host.h"
#include "components/Condensator.h"
#include "components/Handle.h"
#include "schemefile/SchemeIO.h"
#include "shell/Global.h"

#include <QPainter>
#include <cmath>

bool TVCondensator::HandleDragged = false;
int TVCondensator::PressX = 0;
int TVCondensator::PressY = 0;

namespace {
THandlePictures Pictures;
const QColor PlateLight(224, 222, 200);
const QColor PlateDark(62, 62, 62);
} // namespace

void TVCondensator::ClassStartup() {
    Pictures.Load("bmpVCondensator");
}
void TVCondensator::ClassExit() {
    Pictures.Free();
}

TVCondensator::TVCondensator() : TIron(KindVCondensator) {
    SetMaxCapacitance(0.001);
    SetHandlePosition(15);
    Pictures.CopyTo(*this);
}

void TVCondensator::SetMaxCapacitance(double value) {
    MaxCapacitance = std::fabs(value);
    SetCapacitance(MaxCapacitance);
}

void TVCondensator::SetHandlePosition(int step) {
    HandlePosition = std::clamp(step, LeastStep, MostStep);
    SetCapacitance(HandlePosition * MaxCapacitance * 0.05);
    NotifyCircuitChanged();
}

void TVCondensator::SetCapacitance(double value) {
    TIron::SetCapacitance(value);
    update(); // the knob and the plates move
}

TComplex TVCondensator::ImpedanceWhen(bool acDriven) {
    return TCondensator::ImpedanceOf(Capacitance, acDriven);
}

// Tail: the full scale. The record holds no step: a loaded part takes the step its value shows.
void TVCondensator::SaveToFile(QIODevice& file) {
    TIron::SaveToFile(file);
    SchemeIO::WriteDouble(file, MaxCapacitance);
}

void TVCondensator::LoadFromFile(QIODevice& file) {
    TIron::LoadFromFile(file);
    const double value = Capacitance;
    SetMaxCapacitance(SchemeIO::ReadDouble(file));
    SetHandlePosition(StepOfValue(value, MaxCapacitance, HandlePosition));
}

QString TVCondensator::GetHint() {
    return "C=" + FormatPrefixed(Capacitance) + GetText(161);
}

void TVCondensator::FillPanel(TPanelValues& values) {
    values.Values[0] = MaxCapacitance;
    values.Flags = 0;
}

// A new full scale keeps the knob's step.
void TVCondensator::TakePanel(const TPanelValues& values) {
    SetMaxCapacitance(values.Values[0]);
    SetHandlePosition(HandlePosition);
}

void TVCondensator::KeyCommand(QChar key) {
    if (key == 'C' || key == QChar(0x0421))
        SetHandlePosition(HandlePosition + 1);
    else if (key == 'c' || key == QChar(0x0441))
        SetHandlePosition(HandlePosition - 1);
}

// The knob rides in the slot along the top (the left side of a vertical part); a press a whole
// knob's width either side of it still takes hold of it.
bool TVCondensator::InHandle(int x, int y) const {
    const int hx = HandleShift(HandlePosition);
    const int w = Pictures.Handle.width();
    if (Vertical) return 52 - hx - w < y && y < 52 - hx + w && 5 < x && x < 13;
    return 11 + hx - w < x && x < 13 + hx + w && 6 < y && y < 13;
}

void TVCondensator::paintEvent(QPaintEvent* e) {
    TIron::paintEvent(e);
    QPainter p(this);
    const int hx = HandleShift(HandlePosition);
    if (Vertical)
        p.drawImage(6, 52 - Pictures.HandleV.height() / 2 - hx, Pictures.HandleV);
    else
        p.drawImage(12 - Pictures.Handle.width() / 2 + hx, 6, Pictures.Handle);
    // The moving plates, edge-on: each a lit line and its shadow, slid in by half a step.
    const int h = HandlePosition / 2;
    for (int line : {34, 35, 40, 41, 46, 47, 52, 53}) {
        p.setPen(line % 2 == 0 ? PlateLight : PlateDark);
        if (Vertical)
            p.drawLine(line, 47 - h, line, 32 - h);
        else
            p.drawLine(h + 15, line, h + 30, line);
    }
}

void TVCondensator::OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y) {
    if (button != Qt::LeftButton) {
        TIron::OnMouseDown(button, mods, x, y);
        return;
    }
    if (InHandle(x, y)) HandleDragged = true;
    if (Vertical)
        PressY = y;
    else
        PressX = x;
    if (!HandleDragged)
        TIron::OnMouseDown(button, mods, x, y);
    else
        FocusBench();
    Select(this);
}

void TVCondensator::OnMouseMove(Qt::KeyboardModifiers mods, int x, int y) {
    const QString hint = GetHint();
    if (hint != toolTip()) setToolTip(hint);
    setCursor(CursorByNumber(InHandle(x, y) ? crHandPoint : 112));
    if (!HandleDragged) {
        TIron::OnMouseMove(mods, x, y);
        return;
    }
    if (Vertical)
        SetHandlePosition((52 - (y + (PressY & 1))) / 2);
    else
        SetHandlePosition((x + (PressX & 1) - 12) / 2);
}

void TVCondensator::OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y) {
    if (button == Qt::LeftButton) HandleDragged = false;
    TIron::OnMouseUp(button, mods, x, y);
}
