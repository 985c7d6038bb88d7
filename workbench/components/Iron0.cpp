#include "components/Iron0.h"

#include "board/Node.h"
#include "schemefile/KindRules.h"
#include "shell/Global.h"

#include <cmath>

QList<TIron0*> CircuitElements;
double CircuitOmega = 0;

TIron0::TIron0(QWidget* board, const QString& pictureName) : TFlatObject(board, pictureName) {
    CircuitElements.append(this);
    hide();
    resize(Picture.size());
}

TIron0::~TIron0() {
    CircuitElements.removeOne(this);
    if (FirstNode) FirstNode->Detach(this);
    if (SecondNode) SecondNode->Detach(this);
    FirstNode = SecondNode = nullptr;
}

void TIron0::SetResistance(double value) {
    Resistance = std::fabs(value);
}
void TIron0::SetInductance(double value) {
    Inductance = std::fabs(value);
}
void TIron0::SetCapacitance(double value) {
    Capacitance = std::fabs(value);
}
void TIron0::SetEmf(double value) {
    Emf = std::fabs(value);
}
double TIron0::GetEmf() {
    return Emf;
}

void TIron0::SetFrequency(double omega) {
    CircuitOmega = std::fabs(omega);
    // Oscilloscope channels draw with the frequency: they are told at once.
    const QList<TIron0*> elements = CircuitElements;
    for (TIron0* element : elements)
        if (element->RedrawsOnFrequencyChange()) element->UpdateState();
}

TComplex TIron0::ImpedanceWhen(bool) {
    return SeriesImpedance(Resistance, Inductance, Capacitance, CircuitOmega);
}

void TIron0::SetCurrent(TComplex current) {
    Current = current;
    Voltage = current * GetImpedance();
    Power = Voltage.real() * current.real() + Voltage.imag() * current.imag();
    UpdateState();
}

void TIron0::ConnectNodes(TNode* first, TNode* second) {
    if (FirstNode) FirstNode->Detach(this);
    if (first) first->Attach(this);
    FirstNode = first;
    if (SecondNode) SecondNode->Detach(this);
    if (second) second->Attach(this);
    SecondNode = second;
}

int IndexOfElement(const TIron0* element) {
    const qsizetype i = CircuitElements.indexOf(element);
    if (i < 0) throw EThrownText("No Iron in Array !");
    return int(i);
}
