#include "components/Conductor.h"

#include "schemefile/SchemeIO.h"
#include "shell/Global.h"

#include <cmath>

namespace {
TPicturePair Pictures;

// The shortest general decimal form, up to 15 digits: 0.1, 10, 0.0172.
QString Real(double v) {
    return QString::number(v, 'g', 15);
}
} // namespace

void TConductor::ClassStartup() {
    Pictures.Load("bmpConductor");
}
void TConductor::ClassExit() {
    Pictures.Free();
}

TConductor::TConductor() : TIron(KindConductor) {
    SetSection(0.1);
    SetLength(10);
    SetResistivity(0.0172);
    Pictures.CopyTo(*this);
}

void TConductor::UpdateResistance() {
    SetResistance(Section != 0 ? Resistivity * Length / Section : 1E60);
}

void TConductor::SetSection(double value) {
    Section = std::fabs(value);
    UpdateResistance();
}

void TConductor::SetLength(double value) {
    Length = std::fabs(value);
    UpdateResistance();
}

void TConductor::SetResistivity(double value) {
    Resistivity = std::fabs(value);
    UpdateResistance();
}

void TConductor::SetLengthHidden(bool hidden) {
    SetMarkHidden(LengthHidden, hidden);
}
void TConductor::SetSectionHidden(bool hidden) {
    SetMarkHidden(SectionHidden, hidden);
}
void TConductor::SetResistivityHidden(bool hidden) {
    SetMarkHidden(ResistivityHidden, hidden);
}

void TConductor::SaveToFile(QIODevice& file) {
    TIron::SaveToFile(file);
    SchemeIO::WriteDouble(file, Section);
    SchemeIO::WriteDouble(file, Length);
    SchemeIO::WriteDouble(file, Resistivity);
}

void TConductor::LoadFromFile(QIODevice& file) {
    TIron::LoadFromFile(file);
    Section = SchemeIO::ReadDouble(file);
    Length = SchemeIO::ReadDouble(file);
    Resistivity = SchemeIO::ReadDouble(file);
    SetResistivity(Resistivity);
}

QString TConductor::GetHint() {
    const QString ohm = GetText(162), metre = GetText(166);
    const QString squareMillimetre = GetText(177) + GetText(173) + metre;
    QString hint;
    if (ResistivityHidden)
        hint += GetText(507) + ", ";
    else
        hint += GetText(207) + "=" + FormatPrefixed(Resistivity) + ohm + "·" + squareMillimetre +
                "/" + metre + ", ";
    hint += "S=";
    if (SectionHidden)
        hint += HiddenRange("0.1", squareMillimetre, "10", squareMillimetre) + ", ";
    else
        hint += Real(Section) + " " + squareMillimetre + ", ";
    hint += "L=";
    if (LengthHidden)
        hint += HiddenRange("0.01", metre, "10", metre) + ", ";
    else
        hint += Real(Length) + " " + metre;
    return hint;
}

void TConductor::FillPanel(TPanelValues& values) {
    values.Values[0] = Resistivity;
    values.Values[1] = Length;
    values.Values[2] = Section;
    if (ResistivityHidden) values.Flags |= HiddenFlag(0);
    if (LengthHidden) values.Flags |= HiddenFlag(1);
    if (SectionHidden) values.Flags |= HiddenFlag(2);
}

void TConductor::TakePanel(const TPanelValues& values) {
    SetResistivity(values.Values[0]);
    SetLength(values.Values[1]);
    SetSection(values.Values[2]);
    SetResistivityHidden(values.Flags & HiddenFlag(0));
    SetLengthHidden(values.Flags & HiddenFlag(1));
    SetSectionHidden(values.Flags & HiddenFlag(2));
}
