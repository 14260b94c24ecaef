// The recording writers. Byte 0 picks what the rest is: a received frame, a
// station payload of the device kind byte 1 names, or five texts separated by
// 0x1F. Invariants: every value decoded for a recording is a finite number (or
// the overload mark), every row reads back, RFC 4180, as exactly the seven
// fields it was made of, every JSON Lines text and value parses back to what it
// was made of, and appending to a file succeeds.
#include "csvrecorder.h"
#include "decodedframe.h"
#include "fuzzcheck.h"
#include "jsonlrecorder.h"
#include "multimeterdisplay.h"
#include "readings.h"
#include "stationrecords.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <cmath>

namespace {

// The fields of one CSV row ending in CRLF; false when it is not one well-formed row.
bool parseRow(const QByteArray &row, QList<QByteArray> &fields)
{
    if (!row.endsWith("\r\n"))
        return false;
    const QByteArray body = row.chopped(2);
    QByteArray field;
    bool quoted = false, wasQuoted = false;
    for (int i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (quoted) {
            if (c != '"')
                field += c;
            else if (i + 1 < body.size() && body[i + 1] == '"')
                field += body[++i];
            else
                quoted = false;
        } else if (c == ',') {
            fields << field;
            field.clear();
            wasQuoted = false;
        } else if (c == '"' && field.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == '"' || c == '\r' || c == '\n' || wasQuoted) {
            return false;
        } else {
            field += c;
        }
    }
    fields << field;
    return !quoted;
}

bool isRecordedNumber(const QString &value)
{
    if (value == QLatin1String("OL") || value == QLatin1String("-OL"))
        return true;
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok && std::isfinite(number);
}

// A text and a value as the JSON Lines writer puts them parse back as the
// same text, and as null, the same number or the same text.
bool jsonReadsBack(const Reading &reading)
{
    const QByteArray array = "[" + JsonlRecorder::string(reading.detail) + "," +
                             JsonlRecorder::value(reading.value) + "]";
    QJsonParseError error;
    const QJsonArray parsed = QJsonDocument::fromJson(array, &error).array();
    if (error.error != QJsonParseError::NoError || parsed.size() != 2 ||
        parsed[0].toString() != reading.detail)
        return false;
    const QJsonValue value = parsed[1];
    if (value.isNull())
        return reading.value.isEmpty();
    if (value.isString())
        return value.toString() == reading.value;
    bool ok = false;
    const double number = reading.value.toDouble(&ok);
    return value.isDouble() && ok && value.toDouble() == number;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    static const QDateTime time(QDate(2026, 12, 7), QTime(14, 3, 7, 125), Qt::UTC);
    const QByteArray rest(reinterpret_cast<const char *>(data + 2), int(size - 2));

    QList<Reading> readings;
    switch (data[0] % 3) {
    case 0:
        readings = DecodedFrame::of(QString::fromLatin1(rest), time).readings;
        break;
    case 1: {
        const QString payload = QString::fromLatin1(rest);
        if (const auto records = StationRecords::parse(payload))
            readings = Readings::station(data[1] % 5, *records, time);
        QMap<QString, int> hexDigits;
        for (int digit = 0; digit < 16; ++digit)
            hexDigits.insert(QString::number(digit, 16).toUpper(), digit);
        MultimeterDisplay::SegmentMatrix matrix{};
        readings += Readings::multimeter(
            payload.mid(6, 4), MultimeterDisplay::decodeSegments(payload, hexDigits, matrix),
            MultimeterDisplay::unitCode(payload), time);
        break;
    }
    default: {
        const QStringList texts = QString::fromUtf8(rest).split(QChar(0x1F));
        Reading reading{time};
        QString *fields[] = {&reading.instrument, &reading.quantity, &reading.value, &reading.unit,
                             &reading.detail};
        for (int i = 0; i < texts.size() && i < 5; ++i)
            *fields[i] = texts[i];
        readings << reading;
        break;
    }
    }
    if (data[0] % 3 != 2) {
        for (const Reading &reading : readings)
            FUZZ_CHECK(isRecordedNumber(reading.value));
    }

    const qint64 elapsedMs = qint64(data[1]) * 100003;
    for (const Reading &reading : readings) {
        QList<QByteArray> fields;
        FUZZ_CHECK(parseRow(CsvRecorder::row(reading, elapsedMs), fields));
        FUZZ_CHECK(fields.size() == 7);
        FUZZ_CHECK(fields[0] == CsvRecorder::timeText(reading.time).toUtf8());
        FUZZ_CHECK(fields[2] == reading.instrument.toUtf8());
        FUZZ_CHECK(fields[3] == reading.quantity.toUtf8());
        FUZZ_CHECK(fields[4] == reading.value.toUtf8());
        FUZZ_CHECK(fields[5] == reading.unit.toUtf8());
        FUZZ_CHECK(fields[6] == reading.detail.toUtf8());
        FUZZ_CHECK(jsonReadsBack(reading));
    }

    // One file for the whole run, started afresh now and then.
    static QTemporaryDir folder;
    static CsvRecorder recorder;
    static int files = 0;
    if (!recorder.isRecording() || recorder.rowCount() > 5000) {
        recorder.stop();
        FUZZ_CHECK(recorder.start(folder.path() + QStringLiteral("/run%1.csv").arg(++files)));
    }
    FUZZ_CHECK(recorder.append(readings));
    return 0;
}
