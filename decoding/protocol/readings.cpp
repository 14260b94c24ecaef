#include "readings.h"

#include "c1frame.h"
#include "multimeterdisplay.h"

#include <cmath>

namespace Readings {

namespace {

// The instrument's own text, when it is a plain decimal number.
bool isDecimal(const QString &text)
{
    int pos = text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+')) ? 1 : 0;
    int digits = 0;
    bool point = false;
    for (; pos < text.size(); ++pos) {
        const QChar c = text.at(pos);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            ++digits;
        else if (c == QLatin1Char('.') && !point)
            point = true;
        else
            return false;
    }
    return digits > 0;
}

Reading reading(const QDateTime &time, int deviceKind, const char *quantity, const QString &value,
                const QString &unit, const QString &detail = QString())
{
    return {time, instrumentName(deviceKind), QLatin1String(quantity), value, unit, detail};
}

// "°C" and "°F": the degree sign and the letter, which is what the window's
// "℃" and "℉" stand for and what scripts search for.
QString temperatureUnit(const QString &unitCode)
{
    if (unitCode == QLatin1String("0043"))
        return QStringLiteral("°C");
    if (unitCode == QLatin1String("0046"))
        return QStringLiteral("°F");
    return QString();
}

void addTemperatures(QList<Reading> &readings, const QDateTime &time, int deviceKind,
                     const QList<StationRecords::Record> &records)
{
    const char *quantities[] = {"set_temperature", "temperature"};
    for (int j = 0; j < 2 && j < records.size(); ++j) {
        const QString value = numberText(records[j].value);
        if (!value.isNull())
            readings << reading(time, deviceKind, quantities[j], value,
                                temperatureUnit(records[j].unitCode));
    }
}

void addPowerSupply(QList<Reading> &readings, const QDateTime &time,
                    const QList<StationRecords::Record> &records)
{
    const StationRecords::Record none;
    const StationRecords::Record &voltageRecord = records.size() > 0 ? records[0] : none;
    const StationRecords::Record &currentRecord = records.size() > 1 ? records[1] : none;
    const StationRecords::Electrical voltage = StationRecords::voltage(voltageRecord);
    const StationRecords::Electrical current = StationRecords::current(currentRecord);
    // The window shows voltage and current only in a unit it knows.
    if (voltage.recognised && !numberText(voltageRecord.value).isNull())
        readings << reading(time, C1Frame::PowerSupply, "voltage", numberText(voltageRecord.value),
                            StationRecords::unitText(voltageRecord.unitCode));
    if (current.recognised && !numberText(currentRecord.value).isNull())
        readings << reading(time, C1Frame::PowerSupply, "current", numberText(currentRecord.value),
                            StationRecords::unitText(currentRecord.unitCode));
    if (const auto watts = StationRecords::power(voltage, current))
        readings << reading(time, C1Frame::PowerSupply, "power", QString::number(*watts, 'g', 15),
                            QStringLiteral("W"));
}

} // namespace

QString numberText(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (isDecimal(trimmed)) {
        QString number = trimmed;
        if (number.startsWith(QLatin1Char('+')))
            number.remove(0, 1);
        const int start = number.startsWith(QLatin1Char('-')) ? 1 : 0;
        if (number.at(start) == QLatin1Char('.'))
            number.insert(start, QLatin1Char('0'));
        if (number.endsWith(QLatin1Char('.')))
            number.chop(1);
        return number;
    }
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    return ok && std::isfinite(value) ? QString::number(value, 'g', 15) : QString();
}

QList<Reading> multimeter(const QString &functionCode, const QStringList &segmentCodes,
                          const QString &unitCode, const QDateTime &time)
{
    const auto function = MultimeterDisplay::functionOf(functionCode);
    if (!function)
        return {};
    const QString shown = MultimeterDisplay::valueText(segmentCodes);
    // The open-circuit "L" marks an overload, whatever digits stand beside it.
    const QString value =
        shown.contains(QLatin1Char('L'))
            ? (shown.startsWith(QLatin1Char('-')) ? QStringLiteral("-OL") : QStringLiteral("OL"))
            : numberText(shown);
    if (value.isNull())
        return {};
    // A unit code the function does not list leaves the unit empty.
    const QString unit = MultimeterDisplay::unitText(functionCode, unitCode);
    return {reading(time, C1Frame::Multimeter, "reading", value, unit,
                    MultimeterDisplay::functionName(*function))};
}

QList<Reading> station(int deviceKind, const QList<StationRecords::Record> &records,
                       const QDateTime &time)
{
    QList<Reading> readings;
    switch (deviceKind) {
    case C1Frame::PowerSupply:
        addPowerSupply(readings, time, records);
        break;
    case C1Frame::SolderingIron:
        addTemperatures(readings, time, deviceKind, records);
        break;
    case C1Frame::HotAirGun:
        addTemperatures(readings, time, deviceKind, records);
        if (records.size() > 2 && StationRecords::isPercentUnit(records[2].unitCode)) {
            const QString value = numberText(records[2].value);
            if (!value.isNull())
                readings << reading(time, C1Frame::HotAirGun, "air_speed", value,
                                    QStringLiteral("%"));
        }
        break;
    default:
        break;
    }
    return readings;
}

QString instrumentName(int deviceKind)
{
    switch (deviceKind) {
    case C1Frame::Multimeter:
        return QStringLiteral("multimeter");
    case C1Frame::PowerSupply:
        return QStringLiteral("power");
    case C1Frame::SolderingIron:
        return QStringLiteral("iron");
    case C1Frame::HotAirGun:
        return QStringLiteral("hotair");
    default:
        return QString();
    }
}

} // namespace Readings
