#include "components/Battery.h"

#include "board/Frmwork.h"
#include "board/Host.h"
#include "schemefile/SchemeIO.h"
#include "shell/Global.h"

#include <QDateTime>
#include <QMenu>
#include <QtEndian>
#include <cmath>

int TBattery::BatteryCount = 0;

namespace {

TPicturePair Normal;
// Reversed polarity: the same battery turned end for end.
TPicturePair Mirrored;

std::function<double()> Clock;

// The panel shows the capacity in milliampere-hours: 1 mA·h = 3.6 C.
constexpr double CoulombsPerMilliampereHour = 3.6;
constexpr double MilliampereHoursPerCoulomb = 0.2777777777777778;

constexpr double MsPerDay = 86400000.0;

// The seconds and milliseconds of a span of days; whole minutes, hours and days drop out.
double SecondsPart(double days) {
    const qint64 ms = std::llround(std::fabs(days) * MsPerDay) % qint64(MsPerDay);
    return double(ms / 1000 % 60) + double(ms % 1000) * 0.001;
}

// The same quantity after a trip through another unit may differ in its last bits.
bool SameValue(double a, double b) {
    return std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b));
}

} // namespace

double BatteryNow() {
    if (Clock) return Clock();
    // Date-times count days from 30 December 1899, local time; 25569 of them reach 1970.
    const QDateTime now = QDateTime::currentDateTime();
    const double localMs = double(now.toMSecsSinceEpoch()) + now.offsetFromUtc() * 1000.0;
    return localMs / MsPerDay + 25569.0;
}

void SetBatteryClock(std::function<double()> clock) {
    Clock = std::move(clock);
}

// --- Class pictures ---------------------------------------------------------------------------

void TBattery::ClassStartup() {
    Normal.Load("bmpBattery");
    // The horizontal picture turned left to right, the vertical one top to bottom: in both the
    // terminals change places.
    Mirrored.Horizontal = Normal.Horizontal.mirrored(true, false);
    Mirrored.Vertical = Normal.Vertical.mirrored(false, true);
    Mirrored.HorizontalCursor = BitmapToCursor(Mirrored.Horizontal);
    Mirrored.VerticalCursor = BitmapToCursor(Mirrored.Vertical);
}

void TBattery::ClassExit() {
    Normal.Free();
    Mirrored.Free();
}

// --- Construction -----------------------------------------------------------------------------

TBattery::TBattery() : TIron(KindBattery) {
    LastTime = BatteryNow();
    Refill();
    Normal.CopyTo(*this);
    ++BatteryCount;
    if (BenchHost.EnablePartsBoxItem) BenchHost.EnablePartsBoxItem(KindGenerator, false);
    QAction* reverse = PopupMenu()->addAction(GetText(1102), this, [this] {
        SetReversed(!Reversed);
        NotifyCircuitChanged();
    });
    reverse->setStatusTip(GetText(1103));
    reverse->setToolTip(GetText(1103));
}

TBattery::~TBattery() {
    if (--BatteryCount == 0 && BenchHost.EnablePartsBoxItem)
        BenchHost.EnablePartsBoxItem(KindGenerator, true);
}

void TBattery::Refill() {
    Emf = NominalEmf;
    Resistance = NominalResistance;
    Charge = Capacity;
    LastTime = BatteryNow();
}

// --- Electrical behaviour ---------------------------------------------------------------------

// A pure internal resistance at every frequency.
TComplex TBattery::ImpedanceWhen(bool) {
    return {Resistance, 0};
}

double TBattery::GetEmf() {
    return Reversed ? -Emf : Emf;
}

void TBattery::TurnEndForEnd() {
    TIron::TurnEndForEnd();
    SetReversed(!Reversed); // its positive terminal stays on the same node
}

void TBattery::SetReversed(bool reversed) {
    Reversed = reversed;
    (Reversed ? Mirrored : Normal).CopyTo(*this);
}

void TBattery::SetDischarging(bool discharging) {
    Discharging = discharging;
    Refill();
}

void TBattery::SetEmfHidden(bool hidden) {
    SetMarkHidden(EmfHidden, hidden);
}
void TBattery::SetResistanceHidden(bool hidden) {
    SetMarkHidden(ResistanceHidden, hidden);
}

// The discharge step, on every tick of the board. The charge falls by the current times the time
// since the last step; the emf follows the charge left. The internal resistance stays nominal.
void TBattery::TimerTick() {
    if (!Discharging) return;
    const double now = BatteryNow();
    // Only the seconds of the pause count: a long stall of the program (a modal window, a
    // sleeping machine) must not drain the battery at once.
    const double dt = SecondsPart(now - LastTime);
    Charge -= std::fabs(Current.real()) * dt;
    if (Charge < 0) Charge = 0;
    LastTime = now;
    const double g = Capacity > 0 ? Charge / Capacity : 0;
    Emf = g > 0 ? NominalEmf * (0.25 * g + 0.75) : NominalEmf * 0.01;
}

// --- Scheme file --------------------------------------------------------------------------------

// Tail of version 1.2 files: Capacity (double), Discharging (byte), NominalEmf (double),
// NominalResistance (double), Reversed (byte). Older versions have none.
void TBattery::SaveToFile(QIODevice& file) {
    using namespace SchemeIO;
    TIron::SaveToFile(file);
    if (FormatVersion < Version12) return;
    WriteDouble(file, Capacity);
    WriteByte(file, Discharging ? 1 : 0);
    WriteDouble(file, NominalEmf);
    WriteDouble(file, NominalResistance);
    WriteByte(file, Reversed ? 1 : 0);
}

void TBattery::LoadFromFile(QIODevice& file) {
    using namespace SchemeIO;
    // The common record's resistance and emf pass the battery by (its setters ignore them), but
    // an older file keeps the battery's values nowhere else: look at them before they go by.
    // After the marker (4 bytes) come Resistance, Inductance, Capacitance and Emf.
    char common[36];
    const bool seen = file.peek(common, sizeof common) == qint64(sizeof common);
    TIron::LoadFromFile(file);
    if (FormatVersion < Version12) {
        if (seen) {
            NominalResistance = std::fabs(qFromLittleEndian<double>(common + 4));
            NominalEmf = std::fabs(qFromLittleEndian<double>(common + 28));
        }
        Refill();
        return;
    }
    Capacity = std::fabs(ReadDouble(file));
    Discharging = ReadByte(file) != 0;
    NominalEmf = std::fabs(ReadDouble(file));
    NominalResistance = std::fabs(ReadDouble(file));
    Refill(); // a loaded battery starts full, from the values just read
    SetReversed(ReadByte(file) != 0);
}

// --- Hint and parameters panel ------------------------------------------------------------------

QString TBattery::GetHint() {
    QString hint = GetText(200) + "=";
    if (EmfHidden)
        hint += HiddenRange("1", GetText(163), "100", GetText(163)) + ", ";
    else
        hint +=
            FormatPrefixed(NominalEmf) + GetText(163) + ", "; // the nominal, not the present emf
    hint += "r=";
    if (ResistanceHidden)
        hint += HiddenRange("1", GetText(162), "100", GetText(162));
    else
        hint += FormatPrefixed(Resistance) + GetText(162);
    return hint;
}

void TBattery::FillPanel(TPanelValues& values) {
    values.Values[0] = NominalEmf;
    values.Values[1] = NominalResistance;
    values.Values[2] = Capacity * MilliampereHoursPerCoulomb;
    values.Flags = 0;
    if (Reversed) values.Flags |= 0x04;
    values.Flags |= Discharging ? 0x08 : 0x10;
    if (EmfHidden) values.Flags |= HiddenFlag(0);
    if (ResistanceHidden) values.Flags |= HiddenFlag(1);
}

// Every change on the panel sends all values; only those that differ refill the battery, so a
// running-down battery is not refilled by a change of its polarity or a hidden mark. The battery
// keeps magnitudes, so a value differs when its magnitude does.
void TBattery::TakePanel(const TPanelValues& values) {
    const quint32 flags = values.Flags;
    if (flags & 0x04) SetReversed(!Reversed);
    if ((flags & 0x08) && !Discharging) SetDischarging(true);
    if ((flags & 0x10) && Discharging) SetDischarging(false);
    SetEmfHidden(flags & HiddenFlag(0));
    if (std::fabs(values.Values[0]) != NominalEmf) {
        NominalEmf = std::fabs(values.Values[0]);
        Refill();
    }
    SetResistanceHidden(flags & HiddenFlag(1));
    if (std::fabs(values.Values[1]) != NominalResistance) {
        NominalResistance = std::fabs(values.Values[1]);
        Refill();
    }
    // The capacity travels in milliampere-hours; the conversion is not exact both ways.
    if (!SameValue(Capacity * MilliampereHoursPerCoulomb, std::fabs(values.Values[2]))) {
        Capacity = std::fabs(values.Values[2] * CoulombsPerMilliampereHour);
        Refill();
    }
}
