#include "jsonlrecorder.h"

#include <QRegularExpression>

#include <cmath>

QByteArray JsonlRecorder::line(const QByteArray &time, const QByteArray &elapsed,
                               const Reading &reading) const
{
    return row(time, elapsed, reading) + '\n';
}

QByteArray JsonlRecorder::row(const QByteArray &time, const QByteArray &elapsed,
                              const Reading &reading)
{
    QByteArray text;
    text.reserve(160);
    text += "{\"time\":\"" + time + "\",\"elapsed_s\":" + elapsed;
    text += ",\"instrument\":" + string(reading.instrument);
    text += ",\"quantity\":" + string(reading.quantity);
    text += ",\"value\":" + value(reading.value);
    text += ",\"unit\":" + string(reading.unit);
    text += ",\"detail\":" + string(reading.detail);
    text += '}';
    return text;
}

QByteArray JsonlRecorder::string(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    QByteArray quoted;
    quoted.reserve(utf8.size() + 2);
    quoted += '"';
    for (const char c : utf8) {
        switch (c) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            if (uchar(c) < 0x20)
                quoted += "\\u00" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
            else
                quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}

QByteArray JsonlRecorder::value(const QString &text)
{
    if (text.isEmpty())
        return QByteArrayLiteral("null");
    // The instruments may pad with zeros ("007.5"), which JSON numbers may not start with.
    QString number = text;
    const int start = number.startsWith(QLatin1Char('-')) ? 1 : 0;
    while (number.size() > start + 1 && number.at(start) == QLatin1Char('0') &&
           number.at(start + 1).isDigit())
        number.remove(start, 1);
    static const QRegularExpression jsonNumber(
        QStringLiteral(R"(^-?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?$)"));
    // A number beyond a double's range would not read back as a number.
    bool converted = false;
    const double parsed = number.toDouble(&converted);
    return jsonNumber.match(number).hasMatch() && converted && std::isfinite(parsed)
               ? number.toLatin1()
               : string(text);
}
