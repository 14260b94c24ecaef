#pragma once

#include "readingrecorder.h"

// Writes readings to a CSV file (RFC 4180, UTF-8, CRLF line ends, header row):
//   time,elapsed_s,instrument,quantity,value,unit,detail
class CsvRecorder : public ReadingRecorder
{
public:
    CsvRecorder() = default;

    static QByteArray header();
    static QByteArray row(const Reading &reading, qint64 elapsedMs);
    // A field quoted as RFC 4180 asks when it holds a comma, quote or line break.
    static QByteArray field(const QString &text);

protected:
    QByteArray headerLine() const override { return header(); }
    QByteArray line(const QByteArray &time, const QByteArray &elapsed,
                    const Reading &reading) const override
    {
        return csvLine(time, elapsed, reading);
    }

private:
    static QByteArray csvLine(const QByteArray &time, const QByteArray &elapsed,
                              const Reading &reading);
};
