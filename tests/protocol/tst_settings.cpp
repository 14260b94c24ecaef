// The settings file: defaults, loading, saving key by key, bad content.
#include "settinginfo.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QtTest>

namespace {

QMap<QString, QString> fileEntries()
{
    QSettings file(settingsFilePath(), QSettings::IniFormat);
    QMap<QString, QString> entries;
    for (const QString &key : file.allKeys())
        entries.insert(key, file.value(key).toString());
    return entries;
}

void writeFile(const QByteArray &content)
{
    QDir().mkpath(QFileInfo(settingsFilePath()).path());
    QFile file(settingsFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

// The locale variables of the process for one test, restored afterwards.
class LocaleEnvironment
{
public:
    LocaleEnvironment(const QByteArray &all, const QByteArray &messages, const QByteArray &lang)
    {
        for (const char *name : kNames)
            saved << qgetenv(name);
        const QByteArray values[] = {all, messages, lang};
        for (int i = 0; i < 3; ++i)
            set(kNames[i], values[i]);
    }
    ~LocaleEnvironment()
    {
        for (int i = 0; i < 3; ++i)
            set(kNames[i], saved[i]);
    }

private:
    static void set(const char *name, const QByteArray &value)
    {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    static constexpr const char *kNames[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    QList<QByteArray> saved;
};

} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDir(TestEnvironment::documentsDir()).removeRecursively();
        curSetting = savedSetting = SettingInfo();
    }

    void pathIsUnderDocuments()
    {
        QCOMPARE(settingsFilePath(),
                 TestEnvironment::documentsDir() + "/Korvanta/settings/settings.ini");
    }

    void firstStartWritesDefaultsKeyByKey()
    {
        const LocaleEnvironment locale("", "", "C");
        QVERIFY(!QFile::exists(settingsFilePath()));
        loadSettings();
        QVERIFY(QFile::exists(settingsFilePath()));
        const QMap<QString, QString> expected = {
            {"ids_LanguageType/LanguageType", "0"}, {"ids_DevView/mulView", "1"},
            {"ids_DevView/airgunView", "1"},        {"ids_DevView/elecIronView", "1"},
            {"ids_DevView/powerView", "1"},         {"SerialInfo/nDisplayType", "0"},
            {"SerialInfo/strSerialName", "COM2"},   {"powerPangePameter/CurrentMax", "100"},
            {"powerPangePameter/CurrentUnit", "0"}, {"powerPangePameter/VoltageMax", "100"},
            {"powerPangePameter/VoltageUnit", "0"}, {"powerPangePameter/CurrentMin", "10"},
            {"powerPangePameter/VoltageMin", "10"}, {"electricPangePameter/max", "600"},
            {"electricPangePameter/unit", "0"},     {"electricPangePameter/min", "0"},
            {"airgunPangePameter/TempMax", "500"},  {"airgunPangePameter/speedMax", "200"},
            {"airgunPangePameter/TempMin", "0"},    {"airgunPangePameter/speedMin", "0"},
        };
        QCOMPARE(fileEntries(), expected);

        QCOMPARE(curSetting.mulView, 1);
        QCOMPARE(curSetting.strSerialName, QString("COM2"));
        QCOMPARE(curSetting.CurrentMin, 10.0);
        QCOMPARE(curSetting.elecMax, 600.0);
        QCOMPARE(curSetting.speedMax, 200.0);
        QCOMPARE(curSetting.TempUnit, 0);
        QVERIFY(curSetting.strVersion.isEmpty());
        QVERIFY(!settingsChanged());
    }

    void firstStartSpeaksTheDesktopsLanguage_data()
    {
        QTest::addColumn<QByteArray>("all");
        QTest::addColumn<QByteArray>("messages");
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<int>("language");
        QTest::newRow("C") << QByteArray() << QByteArray() << QByteArray("C") << 0;
        QTest::newRow("POSIX") << QByteArray() << QByteArray() << QByteArray("POSIX") << 0;
        QTest::newRow("nothing set") << QByteArray() << QByteArray() << QByteArray() << 0;
        QTest::newRow("none of ours")
            << QByteArray() << QByteArray() << QByteArray("es_ES.UTF-8") << 0;
        QTest::newRow("China") << QByteArray() << QByteArray() << QByteArray("zh_CN.UTF-8") << 0;
        QTest::newRow("Singapore") << QByteArray() << QByteArray() << QByteArray("zh_SG") << 0;
        QTest::newRow("Taiwan") << QByteArray() << QByteArray() << QByteArray("zh_TW.UTF-8") << 1;
        QTest::newRow("Hong Kong")
            << QByteArray() << QByteArray() << QByteArray("zh_HK.UTF-8") << 1;
        QTest::newRow("Macau") << QByteArray() << QByteArray() << QByteArray("zh_MO") << 1;
        QTest::newRow("English") << QByteArray() << QByteArray() << QByteArray("en_US.UTF-8") << 2;
        QTest::newRow("Russian") << QByteArray() << QByteArray() << QByteArray("ru_RU.UTF-8") << 3;
        QTest::newRow("German") << QByteArray() << QByteArray() << QByteArray("de_DE.UTF-8") << 4;
        QTest::newRow("French") << QByteArray() << QByteArray() << QByteArray("fr_CA.UTF-8") << 5;
        QTest::newRow("Japanese") << QByteArray() << QByteArray() << QByteArray("ja_JP.UTF-8") << 6;
        QTest::newRow("Italian") << QByteArray() << QByteArray() << QByteArray("it_CH@euro") << 7;
        QTest::newRow("LC_ALL before LANG")
            << QByteArray("C") << QByteArray() << QByteArray("de_DE.UTF-8") << 0;
        QTest::newRow("LC_MESSAGES before LANG")
            << QByteArray() << QByteArray("fr_FR.UTF-8") << QByteArray("de_DE.UTF-8") << 5;
    }

    void firstStartSpeaksTheDesktopsLanguage()
    {
        QFETCH(QByteArray, all);
        QFETCH(QByteArray, messages);
        QFETCH(QByteArray, lang);
        QFETCH(int, language);
        const LocaleEnvironment locale(all, messages, lang);
        loadSettings();
        QCOMPARE(curSetting.LanguageType, language);
        QCOMPARE(fileEntries().value("ids_LanguageType/LanguageType"), QString::number(language));
        QCOMPARE(fileEntries().size(), 20); // the other defaults as ever
    }

    void existingFileKeepsItsLanguage()
    {
        const LocaleEnvironment locale("", "", "de_DE.UTF-8");
        const QByteArray content = "[ids_LanguageType]\nLanguageType=7\n";
        writeFile(content);
        loadSettings();
        QCOMPARE(curSetting.LanguageType, 7);
        QFile file(settingsFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
    }

    void secondStartDoesNotRewriteTheFile()
    {
        loadSettings();
        const QDateTime written = QFileInfo(settingsFilePath()).lastModified();
        const QByteArray content = [] {
            QFile file(settingsFilePath());
            file.open(QIODevice::ReadOnly);
            return file.readAll();
        }();
        loadSettings();
        QFile file(settingsFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
        QCOMPARE(QFileInfo(settingsFilePath()).lastModified(), written);
    }

    void saveWritesOnlyChangedKeysAndKeepsForeignOnes()
    {
        writeFile("[Configue]\nstrVersion=V2.1.0\n[SerialInfo]\nstrSerialName=ttyUSB0\n"
                  "[powerPangePameter]\nCurrentUnit=0\nCurrentMax=0100\n[Other]\nkeep=me\n");
        loadSettings();
        QCOMPARE(curSetting.strVersion, QString("V2.1.0"));
        QCOMPARE(curSetting.CurrentMax, 100.0);

        // Nothing changed: the file is left alone.
        const QDateTime written = QFileInfo(settingsFilePath()).lastModified();
        QTest::qSleep(20);
        saveSettings();
        QCOMPARE(QFileInfo(settingsFilePath()).lastModified(), written);

        curSetting.CurrentUnit = 1;
        QVERIFY(settingsChanged());
        saveSettings();
        QVERIFY(!settingsChanged());
        const QMap<QString, QString> entries = fileEntries();
        QCOMPARE(entries.value("powerPangePameter/CurrentUnit"), QString("1"));
        QCOMPARE(entries.value("powerPangePameter/CurrentMax"), QString("0100")); // untouched text
        QCOMPARE(entries.value("Configue/strVersion"), QString("V2.1.0"));
        QCOMPARE(entries.value("Other/keep"), QString("me"));
        QCOMPARE(entries.size(), 5); // no other key was written

        // A view switched on and off again: written twice, 1 then 0.
        curSetting.mulView = 1;
        saveSettings();
        QCOMPARE(fileEntries().value("ids_DevView/mulView"), QString("1"));
        curSetting.mulView = 0;
        saveSettings();
        QCOMPARE(fileEntries().value("ids_DevView/mulView"), QString("0"));
    }

    void decimalsAndTextsRoundTrip()
    {
        loadSettings();
        curSetting.CurrentMin = 12.5;
        curSetting.elecMax = 123.456;
        curSetting.strSerialName = "/dev/pts/7";
        saveSettings();
        curSetting = savedSetting = SettingInfo();
        loadSettings();
        QCOMPARE(curSetting.CurrentMin, 12.5);
        QCOMPARE(curSetting.elecMax, 123.456);
        QCOMPARE(curSetting.strSerialName, QString("/dev/pts/7"));
    }

    void unreadableValuesReadAsZero()
    {
        writeFile("[ids_DevView]\nmulView=yes\nairgunView=1.5\n"
                  "[powerPangePameter]\nCurrentMin=nan\nCurrentMax=inf\nVoltageMin=-inf\n"
                  "VoltageMax=abc\nVoltageUnit=99999999999\n[airgunPangePameter]\nTempMax= 7.25\n");
        loadSettings();
        QCOMPARE(curSetting.mulView, 0);
        QCOMPARE(curSetting.airgunView, 0);
        QCOMPARE(curSetting.powerView, 0); // missing
        QCOMPARE(curSetting.CurrentMin, 0.0);
        QCOMPARE(curSetting.CurrentMax, 0.0);
        QCOMPARE(curSetting.VoltageMin, 0.0);
        QCOMPARE(curSetting.VoltageMax, 0.0);
        QCOMPARE(curSetting.VoltageUnit, 0);
        QCOMPARE(curSetting.TempMax, 7.25);
        QVERIFY(curSetting.strSerialName.isEmpty());
        QVERIFY(!settingsChanged());
    }

    void emptyFileGivesZeros()
    {
        const LocaleEnvironment locale("", "", "ja_JP.UTF-8");
        writeFile("");
        loadSettings();
        QCOMPARE(curSetting.mulView, 0);
        QCOMPARE(curSetting.LanguageType, 0);
        QCOMPARE(curSetting.elecMax, 0.0);
        QCOMPARE(fileEntries().size(), 0); // an existing file is never replaced by defaults
    }

    void unwritableDocumentsKeepsValuesInMemory()
    {
        // A file where the program's folder should be: nothing can be written
        // below it, not even by root.
        QDir().mkpath(TestEnvironment::documentsDir());
        QFile blocker(TestEnvironment::documentsDir() + "/Korvanta");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        loadSettings();
        QVERIFY(!QFile::exists(settingsFilePath()));
        QCOMPARE(curSetting.mulView, 0);
        curSetting.LanguageType = 3;
        saveSettings();
        QVERIFY(!QFile::exists(settingsFilePath()));
        QCOMPARE(curSetting.LanguageType, 3);
        QCOMPARE(savedSetting.LanguageType, 3);
        QVERIFY(!settingsChanged()); // a failed write is not retried
    }
};

KORVANTA_TEST_MAIN(QCoreApplication, SettingsTest)
#include "tst_settings.moc"
