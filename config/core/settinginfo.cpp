#include "settinginfo.h"

#include "systemlanguage.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <cmath>
#include <variant>

SettingInfo curSetting;
SettingInfo savedSetting;

namespace {

using FieldPtr = std::variant<int SettingInfo::*, double SettingInfo::*, QString SettingInfo::*>;

struct PersistedField
{
    const char *key;
    FieldPtr field;
};

// The persisted fields in the order saveSettings visits them.
const PersistedField kPersistedFields[] = {
    {"ids_LanguageType/LanguageType", &SettingInfo::LanguageType},
    {"ids_DevView/mulView", &SettingInfo::mulView},
    {"ids_DevView/airgunView", &SettingInfo::airgunView},
    {"ids_DevView/powerView", &SettingInfo::powerView},
    {"ids_DevView/elecIronView", &SettingInfo::elecIronView},
    {"SerialInfo/strSerialName", &SettingInfo::strSerialName},
    {"powerPangePameter/CurrentMin", &SettingInfo::CurrentMin},
    {"powerPangePameter/CurrentMax", &SettingInfo::CurrentMax},
    {"powerPangePameter/CurrentUnit", &SettingInfo::CurrentUnit},
    {"powerPangePameter/VoltageMin", &SettingInfo::VoltageMin},
    {"powerPangePameter/VoltageMax", &SettingInfo::VoltageMax},
    {"powerPangePameter/VoltageUnit", &SettingInfo::VoltageUnit},
    {"electricPangePameter/min", &SettingInfo::elecMin},
    {"electricPangePameter/max", &SettingInfo::elecMax},
    {"electricPangePameter/unit", &SettingInfo::elecUnit},
    {"SerialInfo/nDisplayType", &SettingInfo::nDisplayType},
    {"airgunPangePameter/TempMin", &SettingInfo::TempMin},
    {"airgunPangePameter/TempMax", &SettingInfo::TempMax},
    {"airgunPangePameter/TempUnit", &SettingInfo::TempUnit},
    {"airgunPangePameter/speedMin", &SettingInfo::speedMin},
    {"airgunPangePameter/speedMax", &SettingInfo::speedMax},
};

const char kVersionKey[] = "Configue/strVersion";

// Unreadable numbers, and numbers that are not finite, read as 0.
int readInt(const QSettings &file, const char *key)
{
    bool ok = false;
    const int value = file.value(key, QString()).toString().trimmed().toInt(&ok);
    return ok ? value : 0;
}

double readDouble(const QSettings &file, const char *key)
{
    bool ok = false;
    const double value = file.value(key, QString()).toString().trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

void readField(const QSettings &file, const PersistedField &entry, SettingInfo &into)
{
    std::visit(
        [&](auto member) {
            using Value = std::decay_t<decltype(into.*member)>;
            if constexpr (std::is_same_v<Value, int>)
                into.*member = readInt(file, entry.key);
            else if constexpr (std::is_same_v<Value, double>)
                into.*member = readDouble(file, entry.key);
            else
                into.*member = file.value(entry.key, QString()).toString();
        },
        entry.field);
}

bool differs(const PersistedField &entry, const SettingInfo &a, const SettingInfo &b)
{
    // Plain != on doubles: a NaN on either side counts as a difference.
    return std::visit([&](auto member) { return a.*member != b.*member; }, entry.field);
}

} // namespace

QString settingsFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
           QStringLiteral("/Korvanta/settings/settings.ini");
}

void createDefaultSettings(const QString &path, int languageType)
{
    QSettings file(path, QSettings::IniFormat);
    const std::pair<const char *, QVariant> defaults[] = {
        {"ids_LanguageType/LanguageType", languageType},
        {"ids_DevView/mulView", 1},
        {"ids_DevView/airgunView", 1},
        {"ids_DevView/elecIronView", 1},
        {"ids_DevView/powerView", 1},
        {"SerialInfo/nDisplayType", 0},
        {"SerialInfo/strSerialName", QStringLiteral("COM2")},
        {"powerPangePameter/CurrentMax", 100},
        {"powerPangePameter/CurrentUnit", 0},
        {"powerPangePameter/VoltageMax", 100},
        {"powerPangePameter/VoltageUnit", 0},
        {"powerPangePameter/CurrentMin", 10},
        {"powerPangePameter/VoltageMin", 10},
        {"electricPangePameter/max", 600},
        {"electricPangePameter/unit", 0},
        {"electricPangePameter/min", 0},
        {"airgunPangePameter/TempMax", 500},
        {"airgunPangePameter/speedMax", 200},
        {"airgunPangePameter/TempMin", 0},
        {"airgunPangePameter/speedMin", 0},
    };
    for (const auto &[key, value] : defaults)
        file.setValue(key, value);
    file.sync(); // writes the file, creating the missing folders
}

void loadSettings()
{
    const QString path = settingsFilePath();
    // A first start speaks the desktop's language where it is one of ours.
    if (!QFile::exists(path))
        createDefaultSettings(path, SystemLanguage::code(0));

    const QSettings file(path, QSettings::IniFormat);
    SettingInfo loaded;
    for (const PersistedField &entry : kPersistedFields)
        readField(file, entry, loaded);
    loaded.strVersion = file.value(kVersionKey, QString()).toString();
    savedSetting = loaded;
    curSetting = loaded;
}

bool settingsChanged()
{
    for (const PersistedField &entry : kPersistedFields) {
        if (differs(entry, curSetting, savedSetting))
            return true;
    }
    return false;
}

void saveSettings()
{
    if (!settingsChanged())
        return;
    QSettings file(settingsFilePath(), QSettings::IniFormat);
    for (const PersistedField &entry : kPersistedFields) {
        if (!differs(entry, curSetting, savedSetting))
            continue;
        std::visit(
            [&](auto member) {
                savedSetting.*member = curSetting.*member;
                file.setValue(entry.key, curSetting.*member);
            },
            entry.field);
    }
    // A failed write leaves savedSetting updated all the same: the program runs
    // on with the values in memory.
}
