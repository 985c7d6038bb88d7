#include "components/Protector.h"

#include "schemefile/SchemeIO.h"
#include "shell/Global.h"

#include <cmath>

namespace {
TPicturePair Intact;
TPicturePair BurntOut;
// Shown only for the moment the fuse blows: no drag cursors.
QImage BurningHorizontal;
QImage BurningVertical;
} // namespace

void TProtector::ClassStartup() {
    Intact.Load("bmpProtector");
    BurningHorizontal = LoadTransparentBitmap("bmpProtectorBurning");
    BurningVertical = LoadTransposedBitmap("bmpProtectorBurning");
    BurntOut.Load("bmpProtectorBurntOut");
}

void TProtector::ClassExit() {
    Intact.Free();
    BurntOut.Free();
    BurningHorizontal = QImage();
    BurningVertical = QImage();
}

TProtector::TProtector() : TIron(KindProtector) {
    SetResistance(1E-6);
    SetMaxCurrent(1);
    Intact.CopyTo(*this);
}

void TProtector::SetMaxCurrent(double value) {
    SetRating(MaxCurrent, value);
}

void TProtector::UpdateState() {
    TIron::UpdateState();
    // The fuse answers to the current alone. One without a rating (only a file can give one)
    // cannot be overloaded.
    Load = MaxCurrent > 0 ? std::fabs(Current.real()) / MaxCurrent : 0;
}

void TProtector::BurnOut(bool burn) {
    if (!burn) return;
    Burnt = true;
    SetResistance(1E60); // the circuit is open
    // The flash of the wire melting, painted at once, then the blackened glass.
    HorizontalPicture = BurningHorizontal;
    VerticalPicture = BurningVertical;
    ShowOrientationPicture();
    repaint();
    ShowBurnt(BurntOut);
}

// Tail: MaxCurrent as a double.
void TProtector::SaveToFile(QIODevice& file) {
    TIron::SaveToFile(file);
    SchemeIO::WriteDouble(file, MaxCurrent);
}

void TProtector::LoadFromFile(QIODevice& file) {
    TIron::LoadFromFile(file);
    MaxCurrent = SchemeIO::ReadDouble(file);
    SetMaxCurrent(MaxCurrent); // stores the magnitude; the same value sends no message
}

// The same for an intact and a blown fuse: the rating is printed on it either way.
QString TProtector::GetHint() {
    return "I" + GetText(180) + "=" + FormatPrefixed(MaxCurrent) + GetText(160);
}

void TProtector::FillPanel(TPanelValues& values) {
    values.Values[0] = MaxCurrent;
    values.Flags = 0;
}

void TProtector::TakePanel(const TPanelValues& values) {
    SetMaxCurrent(values.Values[0]);
}
