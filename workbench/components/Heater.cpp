#include "components/Heater.h"

#include "shell/Global.h"

#include <cmath>

namespace {
TGlowPictures HeaterPictures;
}

THeater::THeater() {
    Kind = KindHeater;
    RatedVoltage = 240;
    SetRatedPower(800);
    UseGlowPictures(HeaterPictures);
}

// The whole heater is its spiral: every pixel of its pictures glows.
void THeater::ClassStartup() {
    HeaterPictures.Build("Heater", QRect());
}

void THeater::ClassExit() {
    HeaterPictures.Free();
}

const TGlowPictures& THeater::ClassPictures() {
    return HeaterPictures;
}

void THeater::UpdateState() {
    TIron::UpdateState();
    if (Burnt) {
        Load = 0;
        return;
    }
    // The spiral's temperature, and with it its glow, follows the current. Without both
    // ratings (only a file can lack them) there is no rated current to compare with.
    const double rated = RatedVoltage != 0 ? RatedPower / RatedVoltage : 0;
    if (!(rated > 0) || !std::isfinite(rated)) {
        Load = 0;
        ShowGlowFor(0);
        return;
    }
    Load = std::fabs(Current.real()) / rated;
    ShowGlowFor(std::fabs(Current.real() / rated));
}

QString THeater::GetHint() {
    if (Burnt) return GetText(506);
    return TLamp::GetHint();
}

void THeater::FillPanel(TPanelValues& values) {
    values = TPanelValues();
    if (Resistance == 1E60) return; // burnt: nothing left to show
    values.Values[0] = RatedVoltage;
    values.Values[1] = RatedPower;
    if (VoltageHidden) values.Flags |= HiddenFlag(0);
    if (PowerHidden) values.Flags |= HiddenFlag(1);
}

void THeater::TakePanel(const TPanelValues& values) {
    if (Resistance == 1E60) return; // a burnt heater cannot be mended
    SetVoltageHidden(values.Flags & HiddenFlag(0));
    SetPowerHidden(values.Flags & HiddenFlag(1));
    SetRatedVoltage(values.Values[0]);
    // The page sends a power; the lamp's rules take a current, P / U (a heater without a rated
    // voltage takes the power as its current, as SetRatedPower does).
    SetRatedCurrent(values.Values[1] / (RatedVoltage == 0 ? 1 : RatedVoltage));
}
