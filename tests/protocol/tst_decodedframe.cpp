// Frames decoded once for the displays, the recording and the logger: each
// case of data/frames.txt is a frame and what it must carry.
#include "decodedframe.h"

#include <QFile>
#include <QtTest>

namespace {

QString readingsText(const QList<Reading> &readings)
{
    QStringList texts;
    for (const Reading &r : readings)
        texts << QStringList{r.quantity, r.value, r.unit, r.detail}.join(',');
    return texts.isEmpty() ? QStringLiteral("-") : texts.join(';');
}

QString flagsText(const MultimeterDisplay::State &display)
{
    QString flags;
    if (display.tableKey)
        flags += 'T';
    if (display.autoRange)
        flags += 'A';
    if (display.highVoltage)
        flags += 'H';
    if (display.buzzer)
        flags += 'B';
    return flags.isEmpty() ? QStringLiteral("-") : flags;
}

QString orDash(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("-") : text;
}

} // namespace

class DecodedFrameTest : public QObject
{
    Q_OBJECT

private slots:
    void frameCarries_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QStringList>("expected");
        QFile file(QStringLiteral(KORVANTA_SOURCE_DIR "/tests/protocol/data/frames.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        int cases = 0;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            const QStringList fields = line.split(QStringLiteral(" | "));
            QVERIFY2(fields.size() == 7, qPrintable(line));
            QTest::newRow(qPrintable(fields[0])) << fields[1] << QStringList(fields.mid(2));
            ++cases;
        }
        QVERIFY(cases >= 40);
    }

    void frameCarries()
    {
        QFETCH(QString, frame);
        QFETCH(QStringList, expected);
        const QDateTime time(QDate(2026, 12, 9), QTime(8, 30, 15, 250));
        const DecodedFrame decoded = DecodedFrame::of(frame, time);
        const bool multimeter = decoded.deviceKind == C1Frame::Multimeter;
        const QString unitLabel =
            decoded.multimeter.unitText.isNull() ? "~" : orDash(decoded.multimeter.unitText);
        const QStringList got{orDash(decoded.instrument), readingsText(decoded.readings),
                              multimeter ? orDash(decoded.multimeter.valueText) : "-",
                              multimeter ? unitLabel : "-",
                              multimeter ? flagsText(decoded.multimeter) : "-"};
        QCOMPARE(got, expected);
        for (const Reading &r : decoded.readings) {
            QCOMPARE(r.time, time);
            QCOMPARE(r.instrument, decoded.instrument);
        }
        // Whatever the frame, a reading's number is finite where it is one.
        for (const Reading &r : decoded.readings) {
            if (r.value != "OL" && r.value != "-OL")
                QVERIFY2(std::isfinite(r.value.toDouble()), qPrintable(r.value));
        }
    }
};

QTEST_GUILESS_MAIN(DecodedFrameTest)
#include "tst_decodedframe.moc"
