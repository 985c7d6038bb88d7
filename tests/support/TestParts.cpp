#include "TestParts.h"

#include "board/Frmwork.h"
#include "shell/Global.h"

TTestPart::TTestPart(double resistance, double emf, quint8 kind) : TIron(kind) {
    SetResistance(resistance);
    SetEmf(emf);
}

TComplex TTestPart::ImpedanceWhen(bool) {
    return {Resistance, Reactance};
}

void TTestPart::UpdateState() {
    Load = MaxPower > 0 ? Power / MaxPower : 0;
    TIron::UpdateState();
}

void TTestPart::BurnOut(bool burn) {
    if (!burn) return;
    if (Burnt) throw EThrownText("Already burnt !");
    Burnt = true;
    ++BurnOuts;
    Resistance = 1E60;
    PlayWaveResource("wavOnBurnOut");
}

void Place(TIron0* part, int r1, int c1, int r2, int c2) {
    part->ConnectNodes((*Framework)(r1, c1), (*Framework)(r2, c2));
    part->show();
}
