#include "components/Kinds.h"

#include "components/Battery.h"
#include "components/Blackbug.h"
#include "components/Condensator.h"
#include "components/Conductor.h"
#include "components/Generator.h"
#include "components/Heater.h"
#include "components/Inductance.h"
#include "components/Protector.h"
#include "components/Resistor.h"
#include "components/Switch.h"
#include "components/Vcondensator.h"
#include "components/Vresistor.h"
#include "components/Wire.h"

namespace {
struct TKindEntry {
    quint8 Kind;
    TIron* (*Make)(TPartOrigin);
    void (*Startup)();
    void (*Exit)();
};

template <class T> TIron* Make(TPartOrigin) {
    return new T;
}

// From the parts box a black box draws its content; the loader's box is a resistor until its
// record says otherwise.
TIron* MakeBlackBug(TPartOrigin origin) {
    return new TBlackBug(origin == TPartOrigin::SchemeFile ? TBlackBug::Resistor : -1);
}

// Every kind, in the order the loading window shows them.
const TKindEntry KindTable[] = {
    {KindWire, Make<TWire>, TWire::ClassStartup, TWire::ClassExit},
    {KindResistor, Make<TResistor>, TResistor::ClassStartup, TResistor::ClassExit},
    {KindVResistor, Make<TVResistor>, TVResistor::ClassStartup, TVResistor::ClassExit},
    {KindCondensator, Make<TCondensator>, TCondensator::ClassStartup, TCondensator::ClassExit},
    {KindVCondensator, Make<TVCondensator>, TVCondensator::ClassStartup, TVCondensator::ClassExit},
    {KindInductance, Make<TInductance>, TInductance::ClassStartup, TInductance::ClassExit},
    {KindProtector, Make<TProtector>, TProtector::ClassStartup, TProtector::ClassExit},
    {KindConductor, Make<TConductor>, TConductor::ClassStartup, TConductor::ClassExit},
    {KindBattery, Make<TBattery>, TBattery::ClassStartup, TBattery::ClassExit},
    {KindGenerator, Make<TGenerator>, TGenerator::ClassStartup, TGenerator::ClassExit},
    {KindBlackBug, MakeBlackBug, TBlackBug::ClassStartup, TBlackBug::ClassExit},
    {KindSwitch, Make<TSwitch>, TSwitch::ClassStartup, TSwitch::ClassExit},
    {KindLamp, Make<TLamp>, TLamp::ClassStartup, TLamp::ClassExit},
    {KindHeater, Make<THeater>, THeater::ClassStartup, THeater::ClassExit},
};

const TKindEntry* Entry(quint8 kind) {
    for (const TKindEntry& entry : KindTable)
        if (entry.Kind == kind) return &entry;
    return nullptr;
}
} // namespace

TIron* CreatePart(quint8 kind, TPartOrigin origin) {
    const TKindEntry* entry = Entry(kind);
    return entry ? entry->Make(origin) : nullptr;
}

bool KindAvailable(quint8 kind) {
    return Entry(kind) != nullptr;
}

void RegisterPartKinds() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    for (const TKindEntry& entry : KindTable)
        RegisterClassSteps(entry.Startup, entry.Exit);
}
