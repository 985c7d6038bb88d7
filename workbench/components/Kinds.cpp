#include "components/Kinds.h"

#include "components/Battery.h"
#include "components/Condensator.h"
#include "components/Conductor.h"
#include "components/Generator.h"
#include "components/Heater.h"
#include "components/Inductance.h"
#include "components/Protector.h"
#include "components/Resistor.h"
#include "components/Switch.h"
#include "components/Wire.h"

TIron* CreatePart(quint8 kind, TPartOrigin) {
    switch (kind) {
    case KindWire: return new TWire;
    case KindResistor: return new TResistor;
    case KindCondensator: return new TCondensator;
    case KindInductance: return new TInductance;
    case KindBattery: return new TBattery;
    case KindGenerator: return new TGenerator;
    case KindSwitch: return new TSwitch;
    case KindProtector: return new TProtector;
    case KindLamp: return new TLamp;
    case KindConductor: return new TConductor;
    case KindHeater: return new THeater;
    default: return nullptr;
    }
}

bool KindAvailable(quint8 kind) {
    switch (kind) {
    case KindWire:
    case KindResistor:
    case KindCondensator:
    case KindInductance:
    case KindBattery:
    case KindGenerator:
    case KindSwitch:
    case KindProtector:
    case KindLamp:
    case KindConductor:
    case KindHeater: return true;
    default: return false;
    }
}

void RegisterPartKinds() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    // The order the loading window shows the kinds in.
    RegisterClassSteps(TWire::ClassStartup, TWire::ClassExit);
    RegisterClassSteps(TResistor::ClassStartup, TResistor::ClassExit);
    RegisterClassSteps(TCondensator::ClassStartup, TCondensator::ClassExit);
    RegisterClassSteps(TInductance::ClassStartup, TInductance::ClassExit);
    RegisterClassSteps(TProtector::ClassStartup, TProtector::ClassExit);
    RegisterClassSteps(TConductor::ClassStartup, TConductor::ClassExit);
    RegisterClassSteps(TBattery::ClassStartup, TBattery::ClassExit);
    RegisterClassSteps(TGenerator::ClassStartup, TGenerator::ClassExit);
    RegisterClassSteps(TSwitch::ClassStartup, TSwitch::ClassExit);
    RegisterClassSteps(TLamp::ClassStartup, TLamp::ClassExit);
    RegisterClassSteps(THeater::ClassStartup, THeater::ClassExit);
}
