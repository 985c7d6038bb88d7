#include "components/Blackbug.h"

#include "board/Frmwork.h"
#include "board/Host.h"
#include "components/Battery.h"
#include "components/Condensator.h"
#include "components/Generator.h"
#include "components/Inductance.h"
#include "schemefile/KindRules.h"
#include "schemefile/SchemeIO.h"
#include "shell/Global.h"

namespace {
TPicturePair Pictures;
constexpr double TwoPi = 6.283185307179586;
} // namespace

void TBlackBug::ClassStartup() {
    Pictures.Load("bmpBlackBug");
}
void TBlackBug::ClassExit() {
    Pictures.Free();
}

TBlackBug::TBlackBug(int request) : TIron(KindBlackBug) {
    if (request >= 1 && request <= 4) {
        SetVariant(request);
    } else {
        // A resistor, a coil and a capacitor come with odds of one in four each; the last
        // quarter is a source of the kind already on the board, or either kind when there is
        // none yet.
        const int c = std::uniform_int_distribution<int>(0, 399)(PartRandom());
        if (c < 100)
            SetVariant(Resistor);
        else if (c < 200)
            SetVariant(Coil);
        else if (c < 300)
            SetVariant(Capacitor);
        else if (TGenerator::GeneratorCount != 0)
            SetVariant(Generator);
        else if (TBattery::BatteryCount != 0)
            SetVariant(Battery);
        else
            SetVariant(c < 350 ? Battery : Generator);
    }
    Pictures.CopyTo(*this);
}

TBlackBug::~TBlackBug() {
    ReleaseContent();
}

// The box gives up its source as a removed battery or generator would: the last one takes the
// circuit's frequency with it and frees the other kind's item in the parts box. A box whose
// content changes goes the same way, so a generator drawn and then replaced leaves no frequency
// behind on a direct-current board.
void TBlackBug::ReleaseContent() {
    if (Variant == Battery) {
        if (--TBattery::BatteryCount == 0 && BenchHost.EnablePartsBoxItem)
            BenchHost.EnablePartsBoxItem(KindGenerator, true);
    } else if (Variant == Generator) {
        if (--TGenerator::GeneratorCount == 0) {
            SetFrequency(0);
            TGenerator::FrequencyHidden = false;
            if (BenchHost.EnablePartsBoxItem) {
                BenchHost.EnablePartsBoxItem(KindGenerator, true);
                BenchHost.EnablePartsBoxItem(KindBattery, true);
            }
        }
    }
    Variant = Empty;
}

void TBlackBug::RegisterContent() {
    if (Variant == Battery) {
        ++TBattery::BatteryCount;
        if (BenchHost.EnablePartsBoxItem) BenchHost.EnablePartsBoxItem(KindGenerator, false);
    } else if (Variant == Generator) {
        TGenerator::FrequencyHidden = true;
        ++TGenerator::GeneratorCount;
        if (BenchHost.EnablePartsBoxItem) BenchHost.EnablePartsBoxItem(KindBattery, false);
    }
}

void TBlackBug::SetVariant(int variant) {
    ReleaseContent();
    // A battery never joins a generator on the board, nor the other way round. A board that
    // holds both already (a scheme file may) gets a box without a source.
    const bool batteries = TBattery::BatteryCount != 0;
    const bool generators = TGenerator::GeneratorCount != 0;
    if (variant == Battery || variant == Generator) {
        if (batteries && generators)
            variant = Resistor;
        else if (variant == Battery && generators)
            variant = Generator;
        else if (variant == Generator && batteries)
            variant = Battery;
    }
    // The random values are drawn in the order resistance, inductance, capacitance, EMF.
    switch (variant) {
    case Resistor:
        SetResistance(GetRandomDouble(100, 100000));
        SetInductance(0);
        SetCapacitance(0);
        SetEmf(0);
        break;
    case Coil:
        SetResistance(1E-6);
        SetInductance(GetRandomDouble(0.0001, 1));
        SetCapacitance(0);
        SetEmf(0);
        break;
    case Capacitor:
        SetResistance(1E30);
        SetInductance(0);
        SetCapacitance(GetRandomDouble(1E-10, 0.0001));
        SetEmf(0);
        break;
    case Battery:
        SetResistance(GetRandomDouble(0.1, 100));
        SetInductance(0);
        SetCapacitance(0);
        SetEmf(GetRandomDouble(1, 100));
        break;
    case Generator:
        SetResistance(1E-6);
        SetInductance(0);
        SetCapacitance(0);
        SetEmf(GetRandomDouble(1, 300)); // the effective voltage
        // The first alternating source brings the circuit its frequency, 1 Hz to 100 kHz.
        if (TGenerator::GeneratorCount == 0) SetFrequency(GetRandomDouble(1, 100000) * TwoPi);
        break;
    default:
        break;
    }
    Variant = quint8(variant);
    RegisterContent();
    NotifyCircuitChanged();
}

TComplex TBlackBug::ImpedanceWhen(bool acDriven) {
    switch (Variant) {
    case Coil:
        return TInductance::ImpedanceOf(Inductance, acDriven);
    case Capacitor:
        return TCondensator::ImpedanceOf(Capacitance, acDriven);
    default:
        return TIron::ImpedanceWhen(acDriven);
    }
}

// The variants the solver drives with the circuit's frequency, as a file may carry them.
bool TBlackBug::IsAlternatingSource() const {
    return AlternatingVariant(Variant);
}

QString TBlackBug::GetHint() {
    if (!BenchHost.InTeacherMode || !BenchHost.InTeacherMode()) return GetText(502);
    switch (Variant) {
    case Resistor:
        return GetText(231) + " R=" + FormatPrefixed(Resistance) + GetText(162);
    case Coil:
        return GetText(233) + " L=" + FormatPrefixed(Inductance) + GetText(165);
    case Capacitor:
        return GetText(232) + " C=" + FormatPrefixed(Capacitance) + GetText(161);
    case Battery:
        return GetText(234) + " V=" + FormatPrefixed(GetEmf()) + GetText(163) +
               ", r=" + FormatPrefixed(Resistance) + GetText(162);
    case Generator:
        // As the generator's own hint: the voltage in volts, then the frequency in hertz.
        return GetText(235) + " V=" + FormatPrefixed(GetEmf()) + GetText(163) + ", " +
               GetText(206) + "=" + FormatPrefixed(CircuitOmega * 0.5 * 0.3183098861837907) +
               GetText(167);
    default:
        return QString();
    }
}

// Tail: the content as one byte.
void TBlackBug::SaveToFile(QIODevice& file) {
    TIron::SaveToFile(file);
    SchemeIO::WriteByte(file, Variant);
}

// The record's values replace those drawn at construction; nothing is drawn anew, and the
// frequency stays the file's.
void TBlackBug::LoadFromFile(QIODevice& file) {
    TIron::LoadFromFile(file);
    const quint8 variant = SchemeIO::ReadByte(file);
    ReleaseContent();
    Variant = variant;
    RegisterContent();
}
