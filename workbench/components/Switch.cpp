#include "components/Switch.h"

#include "board/Host.h"
#include "schemefile/SchemeIO.h"
#include "shell/Global.h"

#include <QMenu>

namespace {
TPicturePair OnPictures;
TPicturePair OffPictures;

constexpr double ClosedResistance = 1E-6;
constexpr double OpenResistance = 1E60 * 100;
} // namespace

void TSwitch::ClassStartup() {
    OnPictures.Load("bmpSwitchOn");
    OffPictures.Load("bmpSwitchOff");
}

void TSwitch::ClassExit() {
    OnPictures.Free();
    OffPictures.Free();
}

TSwitch::TSwitch() : TIron(KindSwitch) {
    OffPictures.CopyTo(*this);
    ToggleItem = PopupMenu()->addAction(GetText(1104), this, [this] { OnSwitchOnOff(); });
    SetOn(false);
}

void TSwitch::SetOn(bool on) {
    On = on;
    SetResistance(On ? ClosedResistance : OpenResistance);
    (On ? OnPictures : OffPictures).CopyTo(*this);
    // The menu offers the opposite of the present state.
    ToggleItem->setText(GetText(On ? 1105 : 1104));
}

void TSwitch::OnSwitchOnOff() {
    SetOn(!On);
    FillParametersPanel(); // an open switch page follows the change
    NotifyCircuitChanged();
}

void TSwitch::OnDblClick() {
    OnSwitchOnOff();
}

// Tail: On as a 32-bit integer, 1 or 0.
void TSwitch::SaveToFile(QIODevice& file) {
    TIron::SaveToFile(file);
    SchemeIO::WriteInt32(file, On ? 1 : 0);
}

void TSwitch::LoadFromFile(QIODevice& file) {
    TIron::LoadFromFile(file);
    SetOn(SchemeIO::ReadInt32(file) != 0);
}

// The switch page speaks in whole flag words: 1 open, 2 closed.
void TSwitch::FillPanel(TPanelValues& values) {
    values.Flags = On ? 2 : 1;
}

void TSwitch::TakePanel(const TPanelValues& values) {
    SetOn(values.Flags == 2);
}
