#include "components/Inductance.h"

#include "schemefile/KindRules.h"
#include "shell/Global.h"

namespace {
TPicturePair Pictures;
}

void TInductance::ClassStartup() {
    Pictures.Load("bmpInductance");
}
void TInductance::ClassExit() {
    Pictures.Free();
}

TInductance::TInductance() : TIron(KindInductance) {
    SetInductance(1);
    SetResistance(1E-6);
    Pictures.CopyTo(*this);
}

TComplex TInductance::ImpedanceOf(double inductance, bool acDriven) {
    return CoilImpedance(inductance, acDriven, CircuitOmega);
}

TComplex TInductance::ImpedanceWhen(bool acDriven) {
    return ImpedanceOf(Inductance, acDriven);
}

QString TInductance::GetHint() {
    const QString henry = GetText(165);
    QString hint = "L=";
    if (!Hidden)
        hint += FormatPrefixed(Inductance) + henry;
    else
        hint += HiddenRange("1", henry, "100", henry);
    return hint + ", R=1E-6 " + GetText(162);
}

void TInductance::FillPanel(TPanelValues& values) {
    values.Values[0] = Inductance;
    if (Hidden) values.Flags |= HiddenFlag(0);
}

void TInductance::TakePanel(const TPanelValues& values) {
    SetHidden(values.Flags & HiddenFlag(0));
    SetInductance(values.Values[0]);
}
