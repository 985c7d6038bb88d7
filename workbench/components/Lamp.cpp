#include "components/Lamp.h"

#include "board/Host.h"
#include "schemefile/SchemeIO.h"
#include "shell/Global.h"

#include <algorithm>
#include <cmath>

namespace {

// What burning out makes of a lamp's ratings and resistance: an open circuit.
constexpr double BurntValue = 1E60;
// A lamp may take 20 % more than its rated power before the overload check sees a load above 1.
constexpr double LampTolerance = 0.8333333333333334;
// The last flash of a burning lamp stays on the board this long before the burnt picture.
constexpr int LastFlashMs = 100;

TGlowPictures LampPictures;

QRgb& PixelAt(QImage& image, int x, int y) {
    return reinterpret_cast<QRgb*>(image.scanLine(y))[x];
}

QRgb PixelOf(const QImage& image, int x, int y) {
    return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
}

// One colour channel of a glow step: the share x of the brighter picture, truncated.
int Blend(int from, int to, double x) {
    return int((1 - x) * from + x * to);
}

} // namespace

// --- Glow pictures ----------------------------------------------------------------------------

void TGlowPictures::Build(const QString& kind, const QRect& region) {
    const QString name = "bmp" + kind;
    // The three states as drawn: cold, glowing dimly, glowing fully. They share one outline
    // (the same alpha everywhere), so blending their colours never changes the part's shape.
    const QImage off = LoadTransparentBitmap(name + "Off");
    const QImage min = LoadTransparentBitmap(name + "Min");
    const QImage on = LoadTransparentBitmap(name + "On");
    const QRect area = (region.isNull() ? on.rect() : region) & on.rect() & off.rect() & min.rect();

    for (int i = 0; i < Count; ++i) {
        QImage horizontal = LoadTransparentBitmap(name + "On");
        QImage vertical = LoadTransposedBitmap(name + "On");
        // The first steps warm the cold part towards a dull glow, the following ones take the
        // dull glow to full light; from step 17 on the eye cannot tell the part from full glow.
        const double x = std::min(i * 0.05, 1.0);
        if (i < 17) {
            const QImage& from = i <= 4 ? off : min;
            const QImage& to = i <= 4 ? min : on;
            for (int r = area.top(); r <= area.bottom(); ++r)
                for (int c = area.left(); c <= area.right(); ++c) {
                    const QRgb p = PixelOf(from, c, r), q = PixelOf(to, c, r);
                    const QRgb blended =
                        qRgba(Blend(qRed(p), qRed(q), x), Blend(qGreen(p), qGreen(q), x),
                              Blend(qBlue(p), qBlue(q), x), qAlpha(PixelOf(horizontal, c, r)));
                    PixelAt(horizontal, c, r) = blended;
                    PixelAt(vertical, r, c) = blended; // rows and columns exchanged
                }
        }
        // The pictures carry their transparency in their alpha channel, which the blend keeps.
        Horizontal[i] = horizontal;
        Vertical[i] = vertical;
    }
    HorizontalCursor = BitmapToCursor(Horizontal[0]);
    VerticalCursor = BitmapToCursor(Vertical[0]);
    Burnt.Load(name + "BurntOut");
}

// --- Construction -----------------------------------------------------------------------------

TLamp::TLamp() : TIron(KindLamp) {
    RatedVoltage = 2.5;
    SetRatedCurrent(0.05);
    UseGlowPictures(LampPictures);
}

// Only the bulb glows: columns 21..42 and rows 11..31 of the horizontal picture.
void TLamp::ClassStartup() {
    LampPictures.Build("Lamp", QRect(21, 11, 22, 21));
}

void TLamp::ClassExit() {
    LampPictures.Free();
}

const TGlowPictures& TLamp::ClassPictures() {
    return LampPictures;
}

void TLamp::UseGlowPictures(const TGlowPictures& pictures) {
    Glow = &pictures;
    HorizontalCursor = pictures.HorizontalCursor;
    VerticalCursor = pictures.VerticalCursor;
    ShowGlowPicture(Brightness);
}

void TLamp::ShowGlowPicture(int index) {
    HorizontalPicture = Glow->Horizontal[index];
    VerticalPicture = Glow->Vertical[index];
    ShowOrientationPicture();
}

// --- Ratings ----------------------------------------------------------------------------------

void TLamp::SetRatedCurrent(double value) {
    if (value == 0) return;
    RatedCurrent = std::fabs(value);
    RatedPower = RatedCurrent * RatedVoltage;
    if (RatedVoltage == BurntValue || RatedCurrent == BurntValue)
        SetResistance(BurntValue);
    else
        SetResistance(RatedVoltage / RatedCurrent);
    NotifyCircuitChanged();
}

void TLamp::SetRatedPower(double value) {
    if (value == 0) return;
    RatedPower = std::fabs(value);
    RatedCurrent = RatedPower / (RatedVoltage == 0 ? 1 : RatedVoltage);
    if (RatedVoltage == BurntValue || RatedPower == BurntValue)
        SetResistance(BurntValue);
    else
        SetResistance(RatedVoltage * RatedVoltage / RatedPower);
    NotifyCircuitChanged();
}

void TLamp::SetRatedVoltage(double value) {
    RatedVoltage = std::fabs(value);
    if (RatedVoltage == BurntValue || RatedPower == BurntValue) SetResistance(BurntValue);
    // A lamp read from a file without a power rating has no rated resistance yet: it keeps
    // the file's until a rated current arrives.
    else if (RatedPower != 0)
        SetResistance(RatedVoltage * RatedVoltage / RatedPower);
    NotifyCircuitChanged();
}

void TLamp::SetVoltageHidden(bool hidden) {
    SetMarkHidden(VoltageHidden, hidden);
}
void TLamp::SetPowerHidden(bool hidden) {
    SetMarkHidden(PowerHidden, hidden);
}

// --- State ------------------------------------------------------------------------------------

void TLamp::ShowGlowFor(double x) {
    if (!(x >= 0)) x = 0; // no rating to compare with: the part stays cold
    const int candidate = int(std::min(x, 1.0) * 20);
    if (candidate == Brightness) return;
    Brightness = candidate;
    ShowGlowPicture(Brightness);
}

void TLamp::UpdateState() {
    TIron::UpdateState();
    if (Burnt) {
        Load = 0;
        return;
    }
    // The filament's light follows the power it takes. A lamp without a power rating (only a
    // file can give one) can neither be compared with its rating nor overloaded.
    const double x = RatedPower != 0 ? std::fabs(Power / RatedPower) : 0;
    Load = x * LampTolerance;
    ShowGlowFor(x);
}

void TLamp::BurnOut(bool burn) {
    if (!burn) return;
    if (Burnt) throw EThrownText("Already burnt !");
    // The filament flares up once before it breaks. A part still being loaded is not on show.
    ShowGlowPicture(TGlowPictures::Count - 1);
    repaint();
    if (!isHidden()) Wait(LastFlashMs);
    Burnt = true;
    SetResistance(BurntValue);
    RatedPower = RatedVoltage = BurntValue;
    ShowBurnt(Glow->Burnt);
}

// --- Scheme file ------------------------------------------------------------------------------

void TLamp::SaveToFile(QIODevice& file) {
    TIron::SaveToFile(file);
    SchemeIO::WriteDouble(file, RatedVoltage);
    SchemeIO::WriteDouble(file, RatedCurrent);
}

void TLamp::LoadFromFile(QIODevice& file) {
    TIron::LoadFromFile(file);
    // The resistance comes with the common fields; the hidden marks are not kept in the file.
    RatedVoltage = std::fabs(SchemeIO::ReadDouble(file));
    RatedCurrent = std::fabs(SchemeIO::ReadDouble(file));
    RatedPower = RatedCurrent * RatedVoltage;
}

// --- Hint and parameters panel ------------------------------------------------------------------

QString TLamp::GetHint() {
    if (Burnt) return GetText(505);
    const QString volt = GetText(163), watt = GetText(164), rated = GetText(183);
    QString hint = "V" + rated + "=";
    // A hidden value shows only the range it was drawn from.
    if (VoltageHidden)
        hint += HiddenRange("1", volt, "100", volt) + ", ";
    else
        hint += FormatPrefixed(RatedVoltage) + volt + ", ";
    hint += "W" + rated + "=";
    if (PowerHidden)
        hint += HiddenRange("0.1", watt, "10", watt);
    else
        hint += FormatPrefixed(RatedPower) + watt + ", I" + rated + "=" +
                FormatPrefixed(RatedCurrent) + GetText(160);
    return hint;
}

void TLamp::FillPanel(TPanelValues& values) {
    values = TPanelValues();
    if (Resistance == BurntValue) return; // a burnt lamp has no ratings left to show
    values.Values[0] = RatedVoltage;
    values.Values[1] = RatedCurrent;
    values.Values[2] = RatedPower;
    if (VoltageHidden) values.Flags |= HiddenFlag(0);
    if (PowerHidden) values.Flags |= HiddenFlag(2);
}

void TLamp::TakePanel(const TPanelValues& values) {
    if (Resistance == BurntValue) return;
    SetVoltageHidden(values.Flags & HiddenFlag(0));
    SetRatedVoltage(values.Values[0]);
    SetPowerHidden(values.Flags & HiddenFlag(2));
    SetRatedCurrent(values.Values[1]);
}
