#include "components/Wire.h"

#include "shell/Global.h"

namespace {
TPicturePair Pictures;
}

void TWire::ClassStartup() {
    Pictures.Load("bmpWire");
}
void TWire::ClassExit() {
    Pictures.Free();
}

TWire::TWire() : TIron(KindWire) {
    TIron::SetResistance(1E-6);
    Pictures.CopyTo(*this);
}

QString TWire::GetHint() {
    return "R=1E-6 " + GetText(162);
}
