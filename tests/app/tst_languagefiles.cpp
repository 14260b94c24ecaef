// The eight language files shipped in "settings": every key present, read back
// whole as one text, and the texts that go into fixed-width labels short enough
// for them.

#include "languagetext.h"
#include "settinginfo.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>
#include <QSettings>
#include <QTest>
#include <QTextCodec>

namespace {

// The language file of a code in the repository, found from this source file;
// the file names begin with "/settings/".
QString languageFile(int code)
{
    const QDir repository(QStringLiteral(KORVANTA_SOURCE_DIR));
    return QDir::cleanPath(repository.absolutePath() + languageFileName(code));
}

// The own names of the eight languages, in language-code order.
const char *const kOwnNames[] = {"简体中文", "繁體中文", "English", "Русский",
                                 "Deutsch",  "Français", "日本語",  "Italiano"};
const char *const kNameKeys[] = {
    "ids_MenuBar_Language/ids_language_cn", "ids_MenuBar_Language/ids_language_tw",
    "ids_MenuBar_Language/ids_language_en", "ids_MenuBar_Language/ids_language_ru",
    "ids_MenuBar_Language/ids_language_de", "ids_MenuBar_Language/ids_language_fr",
    "ids_MenuBar_Language/ids_language_jp", "ids_MenuBar_Language/ids_language_it"};

} // namespace

class TestLanguageFiles : public QObject
{
    Q_OBJECT

private slots:
    void codesReadTheirOwnFile_data();
    void codesReadTheirOwnFile();
    void everyKeyHasOneText_data();
    void everyKeyHasOneText();
    void labelTextsFitTheirWidth_data();
    void labelTextsFitTheirWidth();
};

void TestLanguageFiles::codesReadTheirOwnFile_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("file");
    const char *const files[] = {"cn.ini", "tw.ini", "en.ini", "ru.ini",
                                 "de.ini", "fr.ini", "jp.ini", "it.ini"};
    for (int code = 0; code < 8; ++code)
        QTest::newRow(files[code]) << code << QString("/settings/") + files[code];
    QTest::newRow("below the list") << -1 << QString();
    QTest::newRow("past the list") << 8 << QString();
}

void TestLanguageFiles::codesReadTheirOwnFile()
{
    QFETCH(int, code);
    QFETCH(QString, file);
    QCOMPARE(languageFileName(code), file);
    savedSetting.LanguageType = code;
    loadLanguage();
    QSettings texts(QCoreApplication::applicationDirPath() + file, QSettings::IniFormat);
    texts.setIniCodec(QTextCodec::codecForName("UTF-8"));
    for (const QString &key : LanguageText::keys())
        QCOMPARE(languageText[key], file.isEmpty() ? QString() : texts.value(key).toString());
}

void TestLanguageFiles::everyKeyHasOneText_data()
{
    QTest::addColumn<int>("code");
    for (int code = 0; code < 8; ++code)
        QTest::newRow(qPrintable(languageFileName(code))) << code;
}

void TestLanguageFiles::everyKeyHasOneText()
{
    QFETCH(int, code);
    const QString path = languageFile(code);
    QFile raw(path);
    QVERIFY2(raw.open(QIODevice::ReadOnly), qPrintable(path));

    // The loader decodes the file as UTF-8; a stray byte would show as a replacement sign.
    QTextCodec::ConverterState state;
    QTextCodec::codecForName("UTF-8")->toUnicode(raw.readAll().constData(), int(raw.size()),
                                                 &state);
    QCOMPARE(state.invalidChars, 0);

    QSettings file(path, QSettings::IniFormat);
    file.setIniCodec(QTextCodec::codecForName("UTF-8"));
    QCOMPARE(file.status(), QSettings::NoError);
    for (const QString &key : LanguageText::keys()) {
        const QVariant value = file.value(key);
        // An unquoted comma would make a list of the text, and the loader would glue it back.
        QVERIFY2(value.type() == QVariant::String, qPrintable(key));
        QVERIFY2(!value.toString().trimmed().isEmpty(), qPrintable(key));
        QVERIFY2(!value.toString().contains(QChar::ReplacementCharacter), qPrintable(key));
    }
    // No misspelt key that the loader would silently skip.
    for (const QString &key : file.allKeys())
        QVERIFY2(LanguageText::isKey(key), qPrintable("unknown key " + key));

    // Whatever language is active, every language can be found in the menu by its own name.
    for (int other = 0; other < 8; ++other) {
        const QString name = file.value(kNameKeys[other]).toString();
        QVERIFY2(name.contains(QString::fromUtf8(kOwnNames[other])), qPrintable(name));
    }
}

void TestLanguageFiles::labelTextsFitTheirWidth_data()
{
    QTest::addColumn<int>("code");
    // The languages written in scripts that one common font covers completely.
    for (int code : {2, 3, 4, 5, 7})
        QTest::newRow(qPrintable(languageFileName(code))) << code;
}

void TestLanguageFiles::labelTextsFitTheirWidth()
{
    QFETCH(int, code);
    // Measured with a usual desktop font, 9 points at 96 dpi; results with another
    // font would say nothing.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    if (QFontInfo(font).family() != font.family())
        QSKIP("DejaVu Sans is not installed");
    QFont title = font;
    title.setPixelSize(16);
    const QFontMetrics label(font), titleMetrics(title);

    struct Place
    {
        const char *key;
        int width;
        bool isTitle;
        bool isButton;
    };
    const Place places[] = {
        {"ids_Serialport_Language/ids_multimeter", 251, true, false},
        {"ids_Serialport_Language/ids_power", 251, true, false},
        {"ids_Serialport_Language/ids_electricIron", 251, true, false},
        {"ids_Serialport_Language/ids_airgun", 251, true, false},
        {"ids_Serialport_Language/ids_auto", 111, false, false},
        {"ids_Serialport_Language/ids_portName", 71, false, false},
        {"ids_Serialport_Language/ids_baudRate", 71, false, false},
        {"ids_Serialport_Language/ids_dataBit", 71, false, false},
        {"ids_Serialport_Language/ids_parity", 71, false, false},
        {"ids_Serialport_Language/ids_stopBit", 71, false, false},
        {"ids_Serialport_Language/ids_openSerial", 75, false, true},
        {"ids_Serialport_Language/ids_stopSerial", 75, false, true},
        {"ids_Serialport_Language/ids_voltage", 91, false, false},
        {"ids_Serialport_Language/ids_current", 91, false, false},
        {"ids_Serialport_Language/ids_temperature", 91, false, false},
        {"ids_Serialport_Language/ids_unit", 91, false, false},
        {"ids_Serialport_Language/ids_speed", 91, false, false},
        {"Common_Language/ids_save", 101, false, true},
        {"ids_MenuBar_Language/ids_versionNum", 161, false, false},
    };

    QSettings file(languageFile(code), QSettings::IniFormat);
    file.setIniCodec(QTextCodec::codecForName("UTF-8"));
    for (const Place &place : places) {
        const QString text = file.value(place.key).toString();
        // A push button keeps a margin on each side of its text.
        const int room = place.isButton ? place.width - 12 : place.width;
        const int needed = (place.isTitle ? titleMetrics : label).horizontalAdvance(text);
        QVERIFY2(needed <= room, qPrintable(QStringLiteral("%1 \"%2\" needs %3 px of %4")
                                                .arg(place.key, text)
                                                .arg(needed)
                                                .arg(room)));
    }
}

QTEST_MAIN(TestLanguageFiles)
#include "tst_languagefiles.moc"
