#pragma once

#include "readingrecorder.h"

// Writes readings as JSON Lines (UTF-8, one object a line, "\n" line ends, no
// header) with the CSV's columns as keys, in the same order:
//   {"time":"2024-05-01T14:03:07.125+02:00","elapsed_s":0.102,"instrument":"multimeter",
//    "quantity":"reading","value":1.23,"unit":"V","detail":"DC voltage"}
// elapsed_s is a number. value is a number written with the CSV's digits (so
// 12.50 keeps its resolution), the string "OL" or "-OL" for an overload, and
// null when a row has no value. The other keys are strings, empty ones included.
class JsonlRecorder : public ReadingRecorder
{
public:
    JsonlRecorder() = default;

    // A JSON string literal, quotes included.
    static QByteArray string(const QString &text);
    // The value key's JSON text for a reading's value text.
    static QByteArray value(const QString &text);
    // One reading's JSON object, without a line end; the publishing sends the same rows.
    static QByteArray row(const QByteArray &time, const QByteArray &elapsed,
                          const Reading &reading);

protected:
    QByteArray headerLine() const override { return QByteArray(); }
    QByteArray line(const QByteArray &time, const QByteArray &elapsed,
                    const Reading &reading) const override;
};
