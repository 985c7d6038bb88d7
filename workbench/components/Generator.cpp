#include "components/Generator.h"
#include "board/Host.h"

#include "shell/Global.h"

#include <cmath>

int TGenerator::GeneratorCount = 0;
bool TGenerator::FrequencyHidden = false;

namespace {

TPicturePair Pictures;

constexpr double TwoPi = 6.283185307179586;
constexpr double OneOverPi = 0.3183098861837907;
constexpr double MainsOmega = 314.1592653589793; // 50 Hz

double Hertz(double omega) {
    return omega * 0.5 * OneOverPi;
}

} // namespace

void TGenerator::ClassStartup() {
    Pictures.Load("bmpGenerator");
}
void TGenerator::ClassExit() {
    Pictures.Free();
}

TGenerator::TGenerator() : TIron(KindGenerator) {
    SetResistance(1E-6);
    SetEmf(220); // effective value, as the mains
    Pictures.CopyTo(*this);
    // The first generator brings the circuit its frequency; later ones join it.
    if (GeneratorCount == 0) SetFrequency(MainsOmega);
    ++GeneratorCount;
    if (BenchHost.EnablePartsBoxItem) BenchHost.EnablePartsBoxItem(KindBattery, false);
}

TGenerator::~TGenerator() {
    if (--GeneratorCount == 0) {
        // With the last generator the circuit is a direct-current one again.
        SetFrequency(0);
        // The next generator's frequency is a new one: nothing of it is hidden yet.
        FrequencyHidden = false;
        if (BenchHost.EnablePartsBoxItem) BenchHost.EnablePartsBoxItem(KindBattery, true);
    }
}

void TGenerator::SetAmplitudeHidden(bool hidden) {
    SetMarkHidden(AmplitudeHidden, hidden);
}
void TGenerator::SetFrequencyHidden(bool hidden) {
    SetMarkHidden(FrequencyHidden, hidden);
}

QString TGenerator::GetHint() {
    QString hint = "V=";
    if (AmplitudeHidden)
        hint += HiddenRange("1", GetText(163), "100", GetText(163)) + ", ";
    else
        hint += FormatPrefixed(GetEmf()) + GetText(163) + ", ";
    hint += GetText(206) + "=";
    if (FrequencyHidden)
        hint += HiddenRange("0.1", GetText(167), "100", GetText(167));
    else
        hint += FormatPrefixed(Hertz(CircuitOmega)) + GetText(167);
    return hint;
}

// The panel's slots: frequency in hertz, amplitude, angular frequency, effective voltage.
void TGenerator::FillPanel(TPanelValues& values) {
    values.Values[0] = Hertz(CircuitOmega);
    values.Values[1] = std::sqrt(2.0) * GetEmf();
    values.Values[2] = CircuitOmega;
    values.Values[3] = GetEmf();
    values.Flags = 0;
    if (AmplitudeHidden) values.Flags |= HiddenFlag(3);
    if (FrequencyHidden) values.Flags |= HiddenFlag(0);
}

void TGenerator::TakePanel(const TPanelValues& values) {
    SetAmplitudeHidden(values.Flags & HiddenFlag(3));
    SetFrequencyHidden(values.Flags & HiddenFlag(0));
    SetEmf(values.Values[3]);
    SetFrequency(values.Values[0] * TwoPi);
}
