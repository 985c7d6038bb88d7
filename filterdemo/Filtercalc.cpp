#include "Filtercalc.h"

#include <cmath>

namespace {

// The E24 series of preferred values, one decade, as tenths.
constexpr int E24[] = {10, 11, 12, 13, 15, 16, 18, 20, 22, 24, 27, 30,
                       33, 36, 39, 43, 47, 51, 56, 62, 68, 75, 82, 91};

// The decimal factor of a unit: its prefix is found at the index of the unit in its list.
double UnitFactor(const QString& unit, const QStringList& units) {
    static const double factors[] = {1.0, 1e3, 1e6, 1e9};
    const qsizetype index = units.indexOf(unit);
    return index < 0 ? 1.0 : factors[index];
}

// Writes n tenths with a decimal comma, dropping a zero decimal: 232 -> "23,2", 1000 -> "100".
QString WriteTenths(double tenths) {
    const QString whole = QString::number(std::floor(tenths / 10.0), 'f', 0);
    const int decimal = static_cast<int>(std::fmod(tenths, 10.0));
    return decimal == 0 ? whole : whole + QLatin1Char(',') + QString::number(decimal);
}

} // namespace

QStringList FrequencyUnits() {
    return {QStringLiteral("Гц"), QStringLiteral("кГц"), QStringLiteral("МГц"),
            QStringLiteral("ГГц")};
}

QStringList ResistanceUnits() {
    return {QStringLiteral("Ом"), QStringLiteral("кОм"), QStringLiteral("МОм"),
            QStringLiteral("ГОм")};
}

QStringList ResistorValues() {
    QStringList values;
    // 1,6 is missing from the first decade of the list the students know; 16 and 160 are not.
    for (int v : E24)
        if (v != 16) values << WriteTenths(v);
    for (int v : E24)
        values << QString::number(v);
    for (int v : E24)
        values << QString::number(v * 10);
    return values;
}

double CutoffHertz(int number, const QString& unit) {
    return number * UnitFactor(unit, FrequencyUnits());
}

double ResistorOhms(const QString& number, const QString& unit) {
    QString text = number.trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok); // QString::toDouble always reads the C locale
    return ok ? value * UnitFactor(unit, ResistanceUnits()) : 0.0;
}

TCapacitors FilterCapacitors(double hertz, double ohms) {
    const double pi = 4.0 * std::atan(1.0);
    const double c2 = 1e6 / (2.0 * std::sqrt(2.0) * pi * hertz * ohms);
    return {2.0 * c2, c2};
}

TShownValue ShowMicrofarads(double microfarads) {
    // Nothing sensible can be written for a value that is not a finite capacitance.
    if (!std::isfinite(microfarads) || microfarads < 0.0) return {};
    // One microfarad and one nanofarad belong to the larger unit, so every value gets a unit.
    if (microfarads >= 1.0)
        return {WriteTenths(std::floor(microfarads * 10.0)), QStringLiteral("мкф")};
    if (microfarads >= 0.001)
        return {WriteTenths(std::floor(microfarads * 10000.0)), QStringLiteral("нф")};
    return {WriteTenths(std::floor(microfarads * 1e7)), QStringLiteral("пф")};
}
