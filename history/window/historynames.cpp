#include "historynames.h"

#include "languagetext.h"

namespace {

QString lookUp(const QString &key, const QString &fallback)
{
    const QString text = languageText[key];
    return text.isEmpty() ? fallback : text;
}

} // namespace

QString HistoryNames::text(const char *entry)
{
    return languageText[QStringLiteral("ids_History_Language/") + QLatin1String(entry)];
}

QString HistoryNames::instrument(const QString &instrument)
{
    static const QHash<QString, QString> keys = {
        {"multimeter", "ids_Serialport_Language/ids_multimeter"},
        {"power", "ids_Serialport_Language/ids_power"},
        {"iron", "ids_Serialport_Language/ids_electricIron"},
        {"hotair", "ids_Serialport_Language/ids_airgun"}};
    return lookUp(keys.value(instrument), instrument);
}

QString HistoryNames::quantity(const QString &instrument, const QString &quantity)
{
    static const QHash<QString, QString> keys = {
        {"multimeter/reading", "ids_History_Language/ids_reading"},
        {"power/voltage", "ids_Power_Language/ids_voltage"},
        {"power/current", "ids_Power_Language/ids_current"},
        {"power/power", "ids_Power_Language/ids_power"},
        {"iron/set_temperature", "ids_ElectricIron_Language/ids_settingTemp"},
        {"iron/temperature", "ids_ElectricIron_Language/ids_realTemp"},
        {"hotair/set_temperature", "ids_Airgun_Language/ids_settingTemp"},
        {"hotair/temperature", "ids_Airgun_Language/ids_realTemp"},
        {"hotair/air_speed", "ids_Airgun_Language/ids_speed"}};
    return lookUp(keys.value(instrument + QLatin1Char('/') + quantity), quantity);
}
