#include "csvrecorder.h"

QByteArray CsvRecorder::header()
{
    return QByteArrayLiteral("time,elapsed_s,instrument,quantity,value,unit,detail\r\n");
}

QByteArray CsvRecorder::row(const Reading &reading, qint64 elapsedMs)
{
    return csvLine(timeText(reading.time).toLatin1(), elapsedText(elapsedMs), reading);
}

QByteArray CsvRecorder::csvLine(const QByteArray &time, const QByteArray &elapsed,
                                const Reading &reading)
{
    // The time text never needs quotes.
    QByteArray text = time + ',' + elapsed;
    for (const QString *value :
         {&reading.instrument, &reading.quantity, &reading.value, &reading.unit, &reading.detail}) {
        text += ',';
        text += field(*value);
    }
    text += "\r\n";
    return text;
}

QByteArray CsvRecorder::field(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') ||
        bytes.contains('\n')) {
        bytes.replace("\"", "\"\"");
        bytes.prepend('"');
        bytes.append('"');
    }
    return bytes;
}
