#include "languagetext.h"

#include "settinginfo.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QSettings>
#include <QTextCodec>

LanguageText languageText;

namespace {

QStringList groupKeys(const QString &group, std::initializer_list<const char *> entries)
{
    QStringList keys;
    for (const char *entry : entries)
        keys << group + QLatin1Char('/') + QLatin1String(entry);
    return keys;
}

QStringList allKeys()
{
    return groupKeys("Common_Language",
                     {"ids_open", "ids_close", "ids_return", "ids_ok", "ids_cancel", "ids_save",
                      "ids_start", "ids_yes", "ids_no", "ids_stop", "ids_default", "ids_help",
                      "ids_show", "ids_large", "ids_mid", "ids_small", "ids_poweroff",
                      "ids_unknow"}) +
           groupKeys("ids_Serialport_Language", {"ids_serialDev",
                                                 "ids_multimeter",
                                                 "ids_power",
                                                 "ids_electricIron",
                                                 "ids_airgun",
                                                 "ids_connectRemind",
                                                 "ids_NotconnectRemind",
                                                 "ids_auto",
                                                 "ids_serialSetting",
                                                 "ids_portName",
                                                 "ids_baudRate",
                                                 "ids_dataBit",
                                                 "ids_parity",
                                                 "ids_stopBit",
                                                 "ids_openSerial",
                                                 "ids_stopSerial",
                                                 "ids_displaytype",
                                                 "ids_numvalue",
                                                 "ids_graphic",
                                                 "ids_range",
                                                 "ids_rangesetting",
                                                 "ids_voltage",
                                                 "ids_current",
                                                 "ids_temperature",
                                                 "ids_unit",
                                                 "ids_speed",
                                                 "ids_voltagemin",
                                                 "ids_voltagemax",
                                                 "ids_voltageunit",
                                                 "ids_currentmin",
                                                 "ids_currentmax",
                                                 "ids_currentunit",
                                                 "ids_temperaturemin",
                                                 "ids_temperaturemax",
                                                 "ids_temperatureunit",
                                                 "ids_speedmin",
                                                 "ids_speedmax",
                                                 "ids_type",
                                                 "ids_value"}) +
           groupKeys("ids_Multimeter_Language",
                     {"ids_DC", "ids_AC", "ids_resistance", "ids_frequency", "ids_buzzer",
                      "ids_diode", "ids_capacitance", "ids_altaPressione"}) +
           groupKeys("ids_Power_Language", {"ids_current", "ids_voltage", "ids_power"}) +
           groupKeys("ids_ElectricIron_Language", {"ids_settingTemp", "ids_realTemp"}) +
           groupKeys("ids_Airgun_Language", {"ids_settingTemp", "ids_realTemp", "ids_speed"}) +
           groupKeys("ids_MenuBar_Language",
                     {"ids_setting", "ids_view", "ids_help", "ids_serialsetting", "ids_exit",
                      "ids_language", "ids_version", "ids_language_cn", "ids_language_de",
                      "ids_language_en", "ids_language_fr", "ids_language_it", "ids_language_jp",
                      "ids_language_ru", "ids_language_tw", "ids_versionNum"}) +
           groupKeys("Remind_Language", {"ids_remind", "ids_ok"}) +
           groupKeys("ids_Record_Language",
                     {"ids_record", "ids_stopRecord", "ids_openFolder", "ids_rows",
                      "ids_cannotStart", "ids_stopped", "ids_diskFull", "ids_readOnly",
                      "ids_noPermission", "ids_removed", "ids_saved"}) +
           groupKeys("ids_Port_Language", {"ids_waiting", "ids_noPermission", "ids_inUse",
                                           "ids_notFound", "ids_openError"}) +
           groupKeys("ids_Alarm_Language",
                     {"ids_alarm", "ids_active", "ids_badLimit", "ids_limits", "ids_quantity",
                      "ids_low", "ids_high", "ids_delay", "ids_hysteresis", "ids_check",
                      "ids_tolerance", "ids_add", "ids_remove", "ids_mute"}) +
           groupKeys("ids_Network_Language",
                     {"ids_network", "ids_enabled", "ids_broker", "ids_bench", "ids_authFile",
                      "ids_caFile", "ids_discovery", "ids_connected", "ids_waiting", "ids_queued",
                      "ids_refused", "ids_tls", "ids_badSetting"}) +
           groupKeys("ids_History_Language",
                     {"ids_history",      "ids_span1m",     "ids_span10m",       "ids_span1h",
                      "ids_spanAll",      "ids_live",       "ids_export",        "ids_exportPng",
                      "ids_exportSvg",    "ids_exportCsv",  "ids_openRecording", "ids_recordings",
                      "ids_reading",      "ids_instrument", "ids_quantity",      "ids_unit",
                      "ids_minimum",      "ids_maximum",    "ids_mean",          "ids_deviation",
                      "ids_count",        "ids_last",       "ids_cursor1",       "ids_cursor2",
                      "ids_difference",   "ids_heatUp",     "ids_inTolerance",   "ids_excursions",
                      "ids_recovery",     "ids_cursorSpan", "ids_cursorHint",    "ids_saved",
                      "ids_notSaved",     "ids_cannotOpen", "ids_notRecording",  "ids_readResult",
                      "ids_firstSkipped", "ids_cancelled"});
}

// The unquoted values of a language file as written, by full key. The INI
// reader would take a comma for a list separator, a semicolon for the start of
// a comment and a backslash for an escape, and so alter texts such as "1,5 V".
// Lines are read as the INI reader reads them: ";" starts a comment line,
// "[group]" a section, the first "=" ends the key, both sides are trimmed and
// the last of repeated keys counts. Quoted values are left to the INI reader.
QHash<QString, QString> unquotedValues(const QString &path)
{
    QHash<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return values;
    // With the size: a stray NUL byte must not end the file early.
    const QByteArray bytes = file.readAll();
    QString text = QString::fromUtf8(bytes.constData(), bytes.size());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));

    QString section;
    const QVector<QStringRef> lines = text.splitRef(QLatin1Char('\n'));
    for (QStringRef line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const int close = line.indexOf(QLatin1Char(']'));
            section = line.mid(1, close < 0 ? -1 : close - 1).trimmed().toString();
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        const QString key = section + QLatin1Char('/') + line.left(equals).trimmed();
        const QStringRef value = line.mid(equals + 1).trimmed();
        if (value.startsWith(QLatin1Char('"')))
            values.remove(key);
        else
            values.insert(key, value.toString());
    }
    return values;
}

} // namespace

const QStringList &LanguageText::keys()
{
    static const QStringList list = allKeys();
    return list;
}

void LanguageText::setText(const QString &key, const QString &text)
{
    if (isKey(key))
        texts.insert(key, text);
}

QString languageFileName(int languageType)
{
    static const char *const names[] = {"/settings/cn.ini", "/settings/tw.ini", "/settings/en.ini",
                                        "/settings/ru.ini", "/settings/de.ini", "/settings/fr.ini",
                                        "/settings/jp.ini", "/settings/it.ini"};
    if (languageType < 0 || languageType >= int(std::size(names)))
        return QString();
    return QLatin1String(names[languageType]);
}

void readLanguageFile(const QString &path, LanguageText &into)
{
    into.clear();
    const QHash<QString, QString> unquoted = unquotedValues(path);
    QSettings file(path, QSettings::IniFormat);
    file.setIniCodec(QTextCodec::codecForName("UTF-8"));
    for (const QString &key : LanguageText::keys()) {
        const auto found = unquoted.constFind(key);
        if (found != unquoted.constEnd()) {
            into.setText(key, found.value());
            continue;
        }
        // Quoted texts are the INI reader's; a quoted list reads back whole.
        const QVariant value = file.value(key, QString());
        into.setText(key, value.type() == QVariant::StringList
                              ? value.toStringList().join(QStringLiteral(", "))
                              : value.toString());
    }
}

void loadLanguage()
{
    const QString name = languageFileName(savedSetting.LanguageType);
    if (name.isEmpty()) {
        languageText.clear(); // an unknown code reads nothing: every text stays empty
        return;
    }
    readLanguageFile(QCoreApplication::applicationDirPath() + name, languageText);
}
