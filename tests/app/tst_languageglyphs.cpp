// Every character of every language file can be drawn: the fonts the program's
// texts are laid out with (the application font, regular and bold, and the
// families Qt falls back to from it) have a glyph for it. Chinese and Japanese
// need a CJK font for this; without one their texts show as boxes.

#include "languagetext.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGlyphRun>
#include <QMap>
#include <QRawFont>
#include <QSettings>
#include <QTest>
#include <QTextCodec>
#include <QTextLayout>

namespace {

// The language file of a code in the repository, found from this source file.
QString languageFile(int code)
{
    const QDir repository(QStringLiteral(KORVANTA_SOURCE_DIR));
    return QDir::cleanPath(repository.absolutePath() + languageFileName(code));
}

// Lays out one character as a label would and tells whether it came out as a
// real glyph, and in which family. Qt marks a character that neither the font
// nor any of its fallbacks can draw with glyph 0, the empty box.
bool drawable(uint ucs4, const QFont &font, QString *family)
{
    const uint chars[] = {ucs4};
    QTextLayout layout(QString::fromUcs4(chars, 1), font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.isEmpty())
        return false;
    for (const QGlyphRun &run : runs) {
        *family = run.rawFont().familyName();
        if (run.glyphIndexes().contains(0) || !run.rawFont().supportsCharacter(ucs4))
            return false;
    }
    return true;
}

// The characters of the texts that cannot be drawn in the font, each with the
// first key it appears in and the family Qt chose for it.
QStringList undrawable(const QMap<QString, QString> &texts, const QFont &font)
{
    QMap<uint, QString> firstKey;
    for (auto it = texts.begin(); it != texts.end(); ++it) {
        for (uint ucs4 : it.value().toUcs4()) {
            if (!firstKey.contains(ucs4))
                firstKey.insert(ucs4, it.key());
        }
    }
    QStringList missing;
    for (auto it = firstKey.begin(); it != firstKey.end(); ++it) {
        QString family;
        if (!drawable(it.key(), font, &family)) {
            missing << QStringLiteral("U+%1 in %2 (tried %3)")
                           .arg(it.key(), 4, 16, QLatin1Char('0'))
                           .arg(it.value(), family);
        }
    }
    return missing;
}

} // namespace

class TestLanguageGlyphs : public QObject
{
    Q_OBJECT

private slots:
    void aCharacterNoFontHasIsFound();
    void everyCharacterHasAGlyph_data();
    void everyCharacterHasAGlyph();
};

void TestLanguageGlyphs::aCharacterNoFontHasIsFound()
{
    // U+0378 is unassigned, so no font has it: the check must not pass everything.
    const QMap<QString, QString> texts{{"a/b", QStringLiteral("ok") + QChar(0x0378)}};
    const QStringList missing = undrawable(texts, QApplication::font());
    QCOMPARE(missing.size(), 1);
    QVERIFY2(missing.first().startsWith("U+0378 in a/b"), qPrintable(missing.first()));
}

void TestLanguageGlyphs::everyCharacterHasAGlyph_data()
{
    QTest::addColumn<int>("code");
    for (int code = 0; code < 8; ++code)
        QTest::newRow(qPrintable(languageFileName(code))) << code;
}

void TestLanguageGlyphs::everyCharacterHasAGlyph()
{
    QFETCH(int, code);
    QSettings file(languageFile(code), QSettings::IniFormat);
    file.setIniCodec(QTextCodec::codecForName("UTF-8"));
    QMap<QString, QString> texts;
    for (const QString &key : LanguageText::keys())
        texts.insert(key, file.value(key).toString());
    QVERIFY(!texts.value("ids_Serialport_Language/ids_connectRemind").isEmpty());

    // Labels and group titles use the application font; the main window's
    // style sheet makes some of them bold, and a bold face can fall back elsewhere.
    QFont bold = QApplication::font();
    bold.setBold(true);
    for (const QFont &font : {QApplication::font(), bold}) {
        const QStringList missing = undrawable(texts, font);
        QVERIFY2(
            missing.isEmpty(),
            qPrintable(
                QStringLiteral("%1 cannot draw: %2").arg(font.toString(), missing.join("; "))));
    }
}

QTEST_MAIN(TestLanguageGlyphs)
#include "tst_languageglyphs.moc"
