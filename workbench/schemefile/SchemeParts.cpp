#include "schemefile/SchemeParts.h"

#include "schemefile/KindRules.h"
#include "solver/Calculate.h"

#include <QSet>
#include <algorithm>
#include <cmath>

namespace {

constexpr double Open = 1E60;   // a burnt part, a capacitor on direct current
constexpr double Closed = 1E-6; // a wire, a closed switch, a coil on direct current
constexpr double SwitchOpen = 1E60 * 100;
constexpr double LampTolerance = 0.8333333333333334;

int Row(int node) {
    return node / 7;
}
int Column(int node) {
    return node % 7;
}

// What an overload does to each kind: a burnt part opens the circuit. Kinds that cannot burn
// keep their values.
void BurnOut(TSchemePart& p) {
    switch (p.Kind) {
    case KindResistor:
    case KindProtector:
        p.Burnt = true;
        p.Resistance = Open;
        break;
    case KindCondensator:
        p.Burnt = true;
        p.Resistance = Open;
        p.Rating = Open;
        p.Capacitance = 0;
        p.Load = 0;
        break;
    case KindLamp:
    case KindHeater:
        p.Burnt = true;
        p.Resistance = Open;
        p.RatedPower = p.RatedVoltage = Open;
        break;
    default:
        break;
    }
}

// A part takes its solved current: voltage and power follow, and its load as its kind rates it.
void TakeCurrent(TSchemePart& p, TComplex current, double w) {
    p.Current = current;
    p.Voltage = current * p.Impedance(w);
    p.Power = p.Voltage.real() * current.real() + p.Voltage.imag() * current.imag();
    switch (p.Kind) {
    case KindResistor:
        p.Load = p.Rating > 0 ? p.Power / p.Rating : 0;
        break;
    case KindCondensator:
        p.Load = p.Rating > 0 ? std::fabs(p.Voltage.real()) / p.Rating : 0;
        break;
    case KindProtector:
        p.Load = p.Rating > 0 ? std::fabs(p.Current.real()) / p.Rating : 0;
        break;
    case KindLamp:
        p.Load = p.Burnt
                     ? 0
                     : (p.RatedPower != 0 ? std::fabs(p.Power / p.RatedPower) : 0) * LampTolerance;
        break;
    case KindHeater: {
        const double rated = p.RatedVoltage != 0 ? p.RatedPower / p.RatedVoltage : 0;
        p.Load = p.Burnt || !(rated > 0) || !std::isfinite(rated)
                     ? 0
                     : std::fabs(p.Current.real()) / rated;
        break;
    }
    default:
        break;
    }
}

// A variable part's tail: its full scale. The slider takes the step nearest the record's value,
// and the value becomes that step's share of the full scale.
void ReadSlider(QIODevice& file, TSchemePart& p, double& value) {
    p.MaxValue = std::fabs(SchemeIO::ReadDouble(file));
    p.HandlePosition = StepOfValue(value, p.MaxValue, p.HandlePosition);
    value = std::fabs(p.HandlePosition * p.MaxValue * 0.05);
}

TSchemePart ReadPart(QIODevice& file, quint8 kind, int version) {
    using namespace SchemeIO;
    TSchemePart p;
    p.Kind = kind;
    if (kind == KindVResistor) p.MaxValue = 1000;
    if (kind == KindVCondensator) p.MaxValue = 0.001;

    // An older file keeps a battery's values only in the common record, which the battery's
    // own setters pass by: look at them before they go.
    char common[36];
    const bool seen =
        kind == KindBattery && file.peek(common, sizeof common) == qint64(sizeof common);

    ReadInt32(file); // the marker
    const double r = ReadDouble(file);
    p.Inductance = std::fabs(ReadDouble(file));
    p.Capacitance = std::fabs(ReadDouble(file));
    const double emf = ReadDouble(file);
    if (kind != KindBattery) {
        p.Resistance = std::fabs(r);
        p.Emf = std::fabs(emf);
    }
    const qint32 flags = ReadInt32(file);
    const qint32 first = ReadInt32(file);
    const qint32 second = ReadInt32(file);
    if (first < 0 || first >= BoardNodes || second < 0 || second >= BoardNodes)
        throw ESchemeIO("a part of the scheme file lies outside the board",
                        TSchemeFault::OffTheBoard);
    if (std::abs(Row(first) - Row(second)) + std::abs(Column(first) - Column(second)) != 1)
        throw ESchemeIO("a part of the scheme file joins nodes that are not neighbours",
                        TSchemeFault::NotNeighbours);
    if (flags & 1) BurnOut(p);
    if (kind != KindBattery && kind != KindBlackBug) p.Hidden = flags & 2; // those two never hide
    p.First = first;
    p.Second = second;
    if (version == Version11) Skip(file, 200);

    switch (kind) {
    case KindResistor:
    case KindCondensator:
    case KindProtector:
        p.Rating = std::fabs(ReadDouble(file));
        break;
    case KindLamp:
    case KindHeater:
        p.RatedVoltage = std::fabs(ReadDouble(file));
        p.RatedCurrent = std::fabs(ReadDouble(file));
        p.RatedPower = p.RatedCurrent * p.RatedVoltage;
        break;
    case KindConductor:
        p.Section = ReadDouble(file);
        p.Length = ReadDouble(file);
        p.Resistivity = std::fabs(ReadDouble(file));
        p.Resistance = std::fabs(p.Section != 0 ? p.Resistivity * p.Length / p.Section : Open);
        break;
    case KindSwitch:
        p.On = ReadInt32(file) != 0;
        p.Resistance = p.On ? Closed : SwitchOpen;
        break;
    case KindVResistor:
        ReadSlider(file, p, p.Resistance);
        break;
    case KindVCondensator:
        ReadSlider(file, p, p.Capacitance);
        break;
    case KindBattery:
        if (version < Version12) {
            if (seen) {
                p.NominalResistance = std::fabs(qFromLittleEndian<double>(common + 4));
                p.NominalEmf = std::fabs(qFromLittleEndian<double>(common + 28));
            }
        } else {
            p.Capacity = std::fabs(ReadDouble(file));
            p.Discharging = ReadByte(file) != 0;
            p.NominalEmf = std::fabs(ReadDouble(file));
            p.NominalResistance = std::fabs(ReadDouble(file));
            p.Reversed = ReadByte(file) != 0;
        }
        // A loaded battery starts full.
        p.Emf = p.NominalEmf;
        p.Resistance = p.NominalResistance;
        break;
    case KindBlackBug:
        p.Variant = ReadByte(file);
        break;
    default:
        break;
    }

    // The first terminal lies above or left of the second; a battery turned end for end keeps
    // its positive terminal on the same node.
    if (Row(p.Second) < Row(p.First) || Column(p.Second) < Column(p.First)) {
        std::swap(p.First, p.Second);
        if (kind == KindBattery) p.Reversed = !p.Reversed;
    }
    return p;
}

bool KnownKind(quint8 kind) {
    return (kind >= KindWire && kind <= KindVCondensator) || kind == KindBlackBug;
}

// The parts of a scheme file take the solve's results.
class TSchemeSink : public TCircuitSink {
public:
    TSchemeSink(TSchemeFile& scheme,
                const std::function<void(TSolveProblem, const QString&)>& report)
        : Scheme(scheme), Tell(report) {}

    void TakeAcMarks(const TCircuitView& view) override {
        for (size_t e = 0; e < Scheme.Parts.size(); ++e)
            Scheme.Parts[e].AcDriven = view.Elements[e].AcDriven;
    }
    void TakeCurrent(TCircuitView& view, int e) override {
        TSchemePart& p = Scheme.Parts[size_t(e)];
        TCircuitElement& element = view.Elements[size_t(e)];
        ::TakeCurrent(p, element.Current, Scheme.Omega);
        Read(p, element);
    }
    void BurnOut(TCircuitView& view, int e) override {
        TSchemePart& p = Scheme.Parts[size_t(e)];
        TCircuitElement& element = view.Elements[size_t(e)];
        ::BurnOut(p);
        element.Impedance = p.ImpedanceWhen(false, Scheme.Omega);
        element.DrivenImpedance = p.ImpedanceWhen(true, Scheme.Omega);
        Read(p, element);
    }
    void Report(TSolveProblem problem, const QString& text) override {
        if (Tell) Tell(problem, text);
    }

    static void Read(const TSchemePart& p, TCircuitElement& e) {
        e.Current = p.Current;
        e.Voltage = p.Voltage;
        e.Load = p.Load;
        e.Burnt = p.Burnt;
    }

private:
    TSchemeFile& Scheme;
    const std::function<void(TSolveProblem, const QString&)>& Tell;
};

} // namespace

const char* TSchemePart::ClassName() const {
    switch (Kind) {
    case KindWire:
        return "TWire";
    case KindResistor:
        return "TResistor";
    case KindCondensator:
        return "TCondensator";
    case KindInductance:
        return "TInductance";
    case KindBattery:
        return "TBattery";
    case KindGenerator:
        return "TGenerator";
    case KindSwitch:
        return "TSwitch";
    case KindProtector:
        return "TProtector";
    case KindLamp:
        return "TLamp";
    case KindConductor:
        return "TConductor";
    case KindHeater:
        return "THeater";
    case KindVResistor:
        return "TVResistor";
    case KindVCondensator:
        return "TVCondensator";
    case KindBlackBug:
        return "TBlackBug";
    default:
        return "TIron";
    }
}

TComplex TSchemePart::ImpedanceWhen(bool acDriven, double omega) const {
    switch (Kind) {
    case KindBattery:
        return {Resistance, 0};
    case KindCondensator:
    case KindVCondensator:
        return CapacitorImpedance(Capacitance, acDriven, omega);
    case KindInductance:
        return CoilImpedance(Inductance, acDriven, omega);
    case KindBlackBug:
        if (Variant == 2) return CoilImpedance(Inductance, acDriven, omega);
        if (Variant == 3) return CapacitorImpedance(Capacitance, acDriven, omega);
        return SeriesImpedance(Resistance, Inductance, Capacitance, omega);
    default:
        return SeriesImpedance(Resistance, Inductance, Capacitance, omega);
    }
}

bool TSchemePart::IsAlternatingSource() const {
    return Kind == KindGenerator || (Kind == KindBlackBug && AlternatingVariant(Variant));
}

TSchemeFile ReadSchemeFile(QIODevice& file) {
    TSchemeFile scheme;
    const int version = ReadSchemeVersion(file);
    if (!version) throw ESchemeIO("not a scheme file", TSchemeFault::NotAScheme);
    scheme.Omega = ReadSchemeOmega(file);
    if (file.size() > HeaderSize && file.seek(HeaderSize)) {
        QSet<int> edges;
        quint8 kind;
        while (!file.atEnd() && file.read(reinterpret_cast<char*>(&kind), 1) == 1) {
            if (scheme.Parts.size() >= size_t(BoardEdges))
                throw ESchemeIO("more parts than the board has edges", TSchemeFault::TooManyParts);
            if (!KnownKind(kind))
                throw ESchemeIO("a part of a kind this program does not know",
                                TSchemeFault::UnknownKind);
            scheme.Parts.push_back(ReadPart(file, kind, version));
            const TSchemePart& p = scheme.Parts.back();
            if (edges.contains(p.First * 64 + p.Second))
                throw ESchemeIO("two parts on one edge", TSchemeFault::EdgeTaken);
            edges.insert(p.First * 64 + p.Second);
        }
    }
    return scheme;
}

void WriteSchemeFile(QIODevice& file, const TSchemeFile& scheme) {
    using namespace SchemeIO;
    WriteExact(file, Signature12, 19);
    WriteDouble(file, scheme.Omega);
    if (!scheme.Parts.empty()) {
        const QByteArray zeros(int(HeaderSize - file.pos()), '\0');
        WriteExact(file, zeros.constData(), zeros.size());
    }
    for (const TSchemePart& p : scheme.Parts) {
        WriteByte(file, p.Kind);
        WriteInt32(file, -1);
        WriteDouble(file, p.Resistance);
        WriteDouble(file, p.Inductance);
        WriteDouble(file, p.Capacitance);
        WriteDouble(file, p.Emf);
        WriteInt32(file, (p.Burnt ? 1 : 0) | (p.Hidden ? 2 : 0));
        WriteInt32(file, p.First);
        WriteInt32(file, p.Second);
        switch (p.Kind) {
        case KindResistor:
        case KindCondensator:
        case KindProtector:
            WriteDouble(file, p.Rating);
            break;
        case KindLamp:
        case KindHeater:
            WriteDouble(file, p.RatedVoltage);
            WriteDouble(file, p.RatedCurrent);
            break;
        case KindConductor:
            WriteDouble(file, p.Section);
            WriteDouble(file, p.Length);
            WriteDouble(file, p.Resistivity);
            break;
        case KindSwitch:
            WriteInt32(file, p.On ? 1 : 0);
            break;
        case KindVResistor:
        case KindVCondensator:
            WriteDouble(file, p.MaxValue);
            break;
        case KindBattery:
            WriteDouble(file, p.Capacity);
            WriteByte(file, p.Discharging ? 1 : 0);
            WriteDouble(file, p.NominalEmf);
            WriteDouble(file, p.NominalResistance);
            WriteByte(file, p.Reversed ? 1 : 0);
            break;
        case KindBlackBug:
            WriteByte(file, p.Variant);
            break;
        default:
            break;
        }
    }
}

TCircuitView CircuitOf(const TSchemeFile& scheme) {
    TCircuitView view;
    view.NodeCount = BoardNodes;
    view.Omega = scheme.Omega;
    view.Elements.resize(scheme.Parts.size());
    for (size_t k = 0; k < scheme.Parts.size(); ++k) {
        const TSchemePart& p = scheme.Parts[k];
        TCircuitElement& e = view.Elements[k];
        e.First = p.First;
        e.Second = p.Second;
        e.Impedance = p.ImpedanceWhen(false, scheme.Omega);
        e.DrivenImpedance = p.ImpedanceWhen(true, scheme.Omega);
        e.Emf = p.SignedEmf();
        e.AlternatingSource = p.IsAlternatingSource();
        e.BreaksLoops = p.BreaksLoops();
        e.Kind = p.ClassName();
        e.AcDriven = p.AcDriven;
        TSchemeSink::Read(p, e);
    }
    return view;
}

bool SettleScheme(TSchemeFile& scheme,
                  const std::function<void(TSolveProblem, const QString&)>& report) {
    TSchemeSink sink(scheme, report);
    // As the board's tick: solve while parts burn out, and give up after 21 solves.
    for (int runs = 1;; ++runs) {
        TCircuitView view = CircuitOf(scheme);
        const bool changed = SolveCircuit(view, sink);
        if (runs - 1 > 20) return false;
        if (!changed) return true;
    }
}
