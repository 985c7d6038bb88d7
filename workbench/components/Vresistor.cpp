#include "components/Vresistor.h"

#include "board/Frmwork.h"
#include "board/Host.h"
#include "components/Handle.h"
#include "schemefile/SchemeIO.h"
#include "shell/Global.h"

#include <QPainter>
#include <cmath>

bool TVResistor::HandleDragged = false;
int TVResistor::PressX = 0;
int TVResistor::PressY = 0;

namespace {
THandlePictures Pictures;
}

void TVResistor::ClassStartup() {
    Pictures.Load("bmpVResistor");
}
void TVResistor::ClassExit() {
    Pictures.Free();
}

TVResistor::TVResistor() : TIron(KindVResistor) {
    SetMaxResistance(1000);
    SetHandlePosition(15);
    Pictures.CopyTo(*this);
}

void TVResistor::SetMaxResistance(double value) {
    MaxResistance = std::fabs(value);
    SetResistance(MaxResistance);
}

void TVResistor::SetHandlePosition(int step) {
    HandlePosition = std::clamp(step, LeastStep, MostStep);
    SetResistance(HandlePosition * MaxResistance * 0.05);
    NotifyCircuitChanged();
}

void TVResistor::SetResistance(double value) {
    TIron::SetResistance(value);
    update(); // the slider moves
}

// Tail: the full scale. The record holds no step: a loaded part takes the step its value shows.
void TVResistor::SaveToFile(QIODevice& file) {
    TIron::SaveToFile(file);
    SchemeIO::WriteDouble(file, MaxResistance);
}

void TVResistor::LoadFromFile(QIODevice& file) {
    TIron::LoadFromFile(file);
    const double value = Resistance;
    SetMaxResistance(SchemeIO::ReadDouble(file));
    SetHandlePosition(StepOfValue(value, MaxResistance, HandlePosition));
}

QString TVResistor::GetHint() {
    return "R=" + FormatPrefixed(Resistance) + GetText(162);
}

void TVResistor::FillPanel(TPanelValues& values) {
    values.Values[0] = MaxResistance;
    values.Flags = 0;
}

// A new full scale keeps the slider's step.
void TVResistor::TakePanel(const TPanelValues& values) {
    SetMaxResistance(values.Values[0]);
    SetHandlePosition(HandlePosition);
}

void TVResistor::KeyCommand(QChar key) {
    if (key == 'R' || key == QChar(0x041A))
        SetHandlePosition(HandlePosition + 1);
    else if (key == 'r' || key == QChar(0x043A))
        SetHandlePosition(HandlePosition - 1);
}

// The slider's centre lies at y = 52 - 2 * step on a vertical part (the value grows upwards)
// and at x = 12 + 2 * step on a horizontal one.
bool TVResistor::InHandle(int x, int y) const {
    const int hx = HandleShift(HandlePosition);
    const int w = Pictures.Handle.width();
    if (Vertical) return 52 - hx - w / 2 < y && y < 52 - hx + w / 2 && 8 < x && x < 58;
    return 12 + hx - w / 2 < x && x < 12 + hx + w / 2 && 8 < y && y < 58;
}

bool TVResistor::IsTransparentAt(QPoint p) const {
    if (!TIron::IsTransparentAt(p)) return false;
    const int hx = HandleShift(HandlePosition);
    const QImage& handle = Vertical ? Pictures.HandleV : Pictures.Handle;
    const QPoint at = Vertical ? QPoint(0, 52 - handle.height() / 2 - hx)
                               : QPoint(12 - handle.width() / 2 + hx, 0);
    const QPoint local = p - at;
    return !handle.rect().contains(local) || qAlpha(handle.pixel(local)) == 0;
}

void TVResistor::paintEvent(QPaintEvent* e) {
    TIron::paintEvent(e);
    QPainter p(this);
    const int hx = HandleShift(HandlePosition);
    if (Vertical)
        p.drawImage(0, 52 - Pictures.HandleV.height() / 2 - hx, Pictures.HandleV);
    else
        p.drawImage(12 - Pictures.Handle.width() / 2 + hx, 0, Pictures.Handle);
}

void TVResistor::OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y) {
    if (button != Qt::LeftButton) {
        TIron::OnMouseDown(button, mods, x, y);
        return;
    }
    if (InHandle(x, y)) HandleDragged = true;
    if (Vertical)
        PressY = y;
    else
        PressX = x;
    // A press beside the slider takes hold of the whole part, as on any part.
    if (!HandleDragged)
        TIron::OnMouseDown(button, mods, x, y);
    else
        FocusBench();
    Select(this);
}

void TVResistor::OnMouseMove(Qt::KeyboardModifiers mods, int x, int y) {
    const QString hint = GetHint();
    if (hint != toolTip()) setToolTip(hint);
    setCursor(CursorByNumber(InHandle(x, y) ? crHandPoint : 112));
    if (!HandleDragged) {
        TIron::OnMouseMove(mods, x, y);
        return;
    }
    // The slider follows the pointer in steps of two pixels.
    if (Vertical)
        SetHandlePosition((52 - (y + (PressY & 1))) / 2);
    else
        SetHandlePosition((x + (PressX & 1) - 12) / 2);
}

void TVResistor::OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x, int y) {
    if (button == Qt::LeftButton) HandleDragged = false;
    TIron::OnMouseUp(button, mods, x, y);
}
