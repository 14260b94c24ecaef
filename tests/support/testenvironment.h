#pragma once

// Test start-up that gives every test process its own empty Documents folder
// (QStandardPaths resolves it from HOME and XDG_CONFIG_HOME), so no test reads
// or writes a real settings file.

#include "settinginfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QVariantMap>

#include <memory>

namespace TestEnvironment {

inline QTemporaryDir &home()
{
    static QTemporaryDir dir;
    return dir;
}

inline void useTemporaryHome()
{
    qputenv("HOME", home().path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home().path() + "/.config").toLocal8Bit());
    qunsetenv("XDG_DOCUMENTS_DIR");
}

inline QString documentsDir()
{
    return home().path() + "/Documents";
}

// A fresh default settings file in simplified Chinese, with the given keys
// changed and no stored port (so no test opens a real one); both settings
// copies start empty as at program start.
inline void writeSettings(const QVariantMap &values = {})
{
    QDir(documentsDir()).removeRecursively();
    curSetting = savedSetting = SettingInfo();
    loadSettings();
    {
        QSettings file(settingsFilePath(), QSettings::IniFormat);
        file.setValue("SerialInfo/strSerialName", "");
        // The tests' language whatever the machine's locale.
        file.setValue("ids_LanguageType/LanguageType", 0);
        for (auto it = values.begin(); it != values.end(); ++it)
            file.setValue(it.key(), it.value());
    }
    curSetting = savedSetting = SettingInfo();
}

} // namespace TestEnvironment

// Application is QCoreApplication or QApplication (include its header first).
#define KORVANTA_TEST_MAIN(Application, TestObject)                                                \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        TestEnvironment::useTemporaryHome();                                                       \
        Application app(argc, argv);                                                               \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
