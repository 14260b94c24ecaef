#include "stationrecords.h"

#include <QHash>

#include <cmath>

namespace StationRecords {

namespace {

constexpr int kDataTextPos = 12;
constexpr int kRecordChars = 14;

QString valueText(QString record)
{
    while (record.startsWith(QLatin1String("00")))
        record.remove(0, 2);
    QString value;
    for (int pos = 0; pos + 2 <= record.size() - 4; pos += 2) {
        bool ok = false;
        const int code = record.mid(pos, 2).toInt(&ok, 16);
        value += QChar(ok ? code : 0);
    }
    return value;
}

Electrical electrical(const Record &record, QLatin1String base, QLatin1String milli)
{
    const QString unit = unitText(record.unitCode);
    if (unit == base)
        return {true, number(record.value), 1};
    if (unit == milli)
        return {true, number(record.value) / 1000, 0};
    return {};
}

} // namespace

std::optional<QList<Record>> parse(const QString &payload)
{
    bool ok = false;
    const int dataLength = payload.mid(10, 2).toInt(&ok, 16);
    const int length = ok ? dataLength : 0;
    if (payload.mid(2 * length + 16, 2) != QLatin1String("F0"))
        return std::nullopt;
    QList<Record> records;
    for (int j = 0; j < length / 7; ++j) {
        const QString record = payload.mid(kDataTextPos + kRecordChars * j, kRecordChars);
        records.append({valueText(record), record.mid(10, 4)});
    }
    return records;
}

double number(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString displayText(const QString &text)
{
    if (text.isEmpty())
        return text;
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value) ? text : QStringLiteral("0");
}

QString unitText(const QString &unitCode)
{
    static const QHash<QString, QString> units = {
        {"0056", "V"}, {"5600", "V"},  {"6D56", "mV"}, {"0041", "A"},
        {"4100", "A"}, {"6D41", "mA"}, {"0043", "℃"},  {"0046", "℉"},
    };
    return units.value(unitCode);
}

Electrical voltage(const Record &record)
{
    return electrical(record, QLatin1String("V"), QLatin1String("mV"));
}

Electrical current(const Record &record)
{
    return electrical(record, QLatin1String("A"), QLatin1String("mA"));
}

std::optional<double> power(const Electrical &voltage, const Electrical &current)
{
    if (!voltage.recognised || !current.recognised)
        return std::nullopt;
    // Two finite factors can still overflow: such a product reads as 0.
    const double watts = current.factor * voltage.factor;
    return std::isfinite(watts) ? watts + 0.0 : 0.0;
}

bool isTemperatureUnit(const QString &unitCode)
{
    return unitCode == QLatin1String("0043") || unitCode == QLatin1String("0046");
}

bool isPercentUnit(const QString &unitCode)
{
    return unitCode == QLatin1String("0025");
}

} // namespace StationRecords
