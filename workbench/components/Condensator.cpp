#include "components/Condensator.h"

#include "schemefile/KindRules.h"
#include "schemefile/SchemeIO.h"
#include "shell/Global.h"

#include <cmath>

namespace {
TPicturePair Intact;
TPicturePair BurntPictures;
} // namespace

void TCondensator::ClassStartup() {
    Intact.Load("bmpCondensator");
    BurntPictures.Load("bmpCondensatorBurntOut");
}

void TCondensator::ClassExit() {
    Intact.Free();
    BurntPictures.Free();
}

TCondensator::TCondensator() : TIron(KindCondensator) {
    SetCapacitance(1E-6);
    SetResistance(1E30);
    SetMaxVoltage(50);
    Intact.CopyTo(*this);
}

void TCondensator::SetMaxVoltage(double value) {
    SetRating(MaxVoltage, value);
}

TComplex TCondensator::ImpedanceOf(double capacitance, bool acDriven) {
    return CapacitorImpedance(capacitance, acDriven, CircuitOmega);
}

TComplex TCondensator::ImpedanceWhen(bool acDriven) {
    return ImpedanceOf(Capacitance, acDriven);
}

void TCondensator::UpdateState() {
    TIron::UpdateState();
    Load = MaxVoltage > 0 ? std::fabs(Voltage.real()) / MaxVoltage : 0;
}

void TCondensator::BurnOut(bool burn) {
    if (!burn) return;
    if (Burnt) throw EThrownText("Already burnt !");
    Burnt = true;
    SetResistance(1E60);
    SetMaxVoltage(1E60);
    SetCapacitance(0);
    Load = 0;
    ShowBurnt(BurntPictures);
}

void TCondensator::SaveToFile(QIODevice& file) {
    TIron::SaveToFile(file);
    SchemeIO::WriteDouble(file, MaxVoltage);
}

void TCondensator::LoadFromFile(QIODevice& file) {
    TIron::LoadFromFile(file);
    MaxVoltage = SchemeIO::ReadDouble(file);
    SetMaxVoltage(MaxVoltage);
}

QString TCondensator::GetHint() {
    if (Burnt) return GetText(503);
    QString hint = "C=";
    const QString farad = GetText(161);
    if (!Hidden)
        hint += FormatPrefixed(Capacitance) + farad + ", ";
    else
        hint += HiddenRange("100", GetText(172) + farad, "100", GetText(173) + farad) + ", ";
    return hint + "V" + GetText(182) + GetText(180) + "=" + FormatPrefixed(MaxVoltage) +
           GetText(163);
}

void TCondensator::FillPanel(TPanelValues& values) {
    values.Values[0] = Capacitance;
    values.Values[1] = MaxVoltage;
    if (Hidden) values.Flags |= HiddenFlag(0);
}

void TCondensator::TakePanel(const TPanelValues& values) {
    if (Burnt) return;
    SetHidden(values.Flags & HiddenFlag(0));
    SetCapacitance(values.Values[0]);
    SetMaxVoltage(values.Values[1]);
}
