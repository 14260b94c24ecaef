#pragma once

#include <QString>

// The user's settings as one plain record. Two copies live for the whole run:
// curSetting holds the values in use, savedSetting what the file is known to hold.
struct SettingInfo
{
    int mulView = 0;
    int airgunView = 0;
    int powerView = 0;
    int elecIronView = 0;
    int LanguageType = 0;
    QString strVersion;
    int nDisplayType = 0;
    QString strSerialName;
    double CurrentMin = 0;
    double CurrentMax = 0;
    int CurrentUnit = 0;
    double VoltageMin = 0;
    double VoltageMax = 0;
    int VoltageUnit = 0;
    double elecMin = 0;
    double elecMax = 0;
    int elecUnit = 0;
    double TempMin = 0;
    double TempMax = 0;
    int TempUnit = 0;
    double speedMin = 0;
    double speedMax = 0;
};

extern SettingInfo curSetting;
extern SettingInfo savedSetting;

// "<Documents>/Korvanta/settings/settings.ini", computed afresh on every call.
QString settingsFilePath();
// Reads the file into both copies; writes the default file first when it is
// missing, in the system locale's language where it is one of the eight.
void loadSettings();
void createDefaultSettings(const QString &path, int languageType = 0);
// True when a persisted field of curSetting differs from savedSetting.
bool settingsChanged();
// Writes the keys whose value differs from savedSetting, and only those.
void saveSettings();
