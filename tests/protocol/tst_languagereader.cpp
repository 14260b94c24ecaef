// Reading language files: texts come back exactly as the translator wrote them.
#include "languagetext.h"
#include "testenvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTextCodec>
#include <QtTest>

namespace {

QString writeFile(const QByteArray &contents)
{
    const QString path = TestEnvironment::home().path() + "/language.ini";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(contents);
    return path;
}

} // namespace

class LanguageReaderTest : public QObject
{
    Q_OBJECT

private slots:
    void textsReadBackAsWritten_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("comma") << QByteArray("ids_unit=1,5 V") << "1,5 V";
        QTest::newRow("comma and space") << QByteArray("ids_unit=Volt, Ampere") << "Volt, Ampere";
        QTest::newRow("semicolon") << QByteArray("ids_unit=Port;name") << "Port;name";
        QTest::newRow("backslash") << QByteArray("ids_unit=C:\\ports\\new") << "C:\\ports\\new";
        QTest::newRow("spaces around") << QByteArray("  ids_unit =  Einheit  ") << "Einheit";
        QTest::newRow("UTF-8") << QByteArray("ids_unit=温度 ℃") << QString::fromUtf8("温度 ℃");
        QTest::newRow("quoted, escapes")
            << QByteArray("ids_unit=\"a, \\\"b\\\"; c\"") << "a, \"b\"; c";
        QTest::newRow("last of repeated")
            << QByteArray("ids_unit=first\nids_unit=second") << "second";
        QTest::newRow("comment line") << QByteArray("; ids_unit=no\nids_unit=yes") << "yes";
        QTest::newRow("CR LF") << QByteArray("ids_unit=Volt\r\nids_auto=x") << "Volt";
    }

    void textsReadBackAsWritten()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, expected);
        LanguageText texts;
        readLanguageFile(writeFile("[ids_Serialport_Language]\n" + line + "\n"), texts);
        QCOMPARE(texts["ids_Serialport_Language/ids_unit"], expected);
    }

    void shippedFilesReadAsTheIniReaderReadsThem()
    {
        // None of them needs the exact reading: for them nothing changes.
        for (int code = 0; code < 8; ++code) {
            const QString path = QCoreApplication::applicationDirPath() + languageFileName(code);
            QVERIFY2(QFile::exists(path), qPrintable(path));
            LanguageText texts;
            readLanguageFile(path, texts);
            QSettings ini(path, QSettings::IniFormat);
            ini.setIniCodec(QTextCodec::codecForName("UTF-8"));
            for (const QString &key : LanguageText::keys())
                QCOMPARE(texts[key], ini.value(key).toString());
            QVERIFY(!texts["ids_MenuBar_Language/ids_version"].isEmpty());
        }
    }

    void missingFileGivesEmptyTexts()
    {
        LanguageText texts;
        texts.setText("Remind_Language/ids_ok", "old");
        readLanguageFile(TestEnvironment::home().path() + "/missing.ini", texts);
        QVERIFY(texts["Remind_Language/ids_ok"].isEmpty());
    }
};

KORVANTA_TEST_MAIN(QCoreApplication, LanguageReaderTest)
#include "tst_languagereader.moc"
