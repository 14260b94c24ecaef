// The settings loader on arbitrary file contents. Invariants: every number it
// yields is finite, and a value saved on top of whatever the file held reads
// back unchanged.
#include "fuzzcheck.h"
#include "settinginfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>

namespace {

bool allFinite(const SettingInfo &s)
{
    for (double value : {s.CurrentMin, s.CurrentMax, s.VoltageMin, s.VoltageMax, s.elecMin,
                         s.elecMax, s.TempMin, s.TempMax, s.speedMin, s.speedMax}) {
        if (!std::isfinite(value))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // A private Documents folder, the one the loader computes from HOME.
    static QTemporaryDir home;
    static const bool ready = [] {
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
        qunsetenv("XDG_DOCUMENTS_DIR");
        return QDir().mkpath(QFileInfo(settingsFilePath()).path());
    }();
    FUZZ_CHECK(ready);

    {
        QFile file(settingsFilePath());
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    curSetting = savedSetting = SettingInfo();
    loadSettings();
    FUZZ_CHECK(allFinite(curSetting) && allFinite(savedSetting));
    FUZZ_CHECK(!settingsChanged());

    curSetting.elecMax = savedSetting.elecMax + 1.5;
    curSetting.LanguageType = savedSetting.LanguageType == 2 ? 3 : 2;
    const SettingInfo expected = curSetting;
    saveSettings();
    FUZZ_CHECK(!settingsChanged());
    loadSettings();
    FUZZ_CHECK(allFinite(curSetting));
    FUZZ_CHECK(curSetting.elecMax == expected.elecMax);
    FUZZ_CHECK(curSetting.LanguageType == expected.LanguageType);
    return 0;
}
