#pragma once

// What korvanta-log writes, read back: its CSV and JSON Lines rows.

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QStringList>

struct Row
{
    QString instrument, quantity, value, unit, detail;
    double elapsed = 0;
};

// The fields of one RFC 4180 line.
inline QStringList csvFields(const QString &line)
{
    QStringList fields{QString()};
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
            fields.last() += line[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields << QString();
        else
            fields.last() += c;
    }
    return fields;
}

inline QList<Row> parseCsv(const QByteArray &bytes)
{
    QList<Row> rows;
    const QStringList lines = QString::fromUtf8(bytes).split("\r\n");
    if (lines.value(0) != "time,elapsed_s,instrument,quantity,value,unit,detail")
        return {};
    for (const QString &line : lines.mid(1, lines.size() - 2)) {
        const QStringList f = csvFields(line);
        rows << Row{f.value(2), f.value(3), f.value(4),
                    f.value(5), f.value(6), f.value(1).toDouble()};
    }
    return rows;
}

inline QList<Row> parseJsonl(const QByteArray &bytes)
{
    QList<Row> rows;
    for (const QByteArray &line : bytes.split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        const QJsonValue value = o.value("value");
        // A number compares by value: 12.50 reads back as 12.5.
        const QString valueText =
            value.isDouble() ? QString::number(value.toDouble(), 'g', 15) : value.toString();
        rows << Row{o.value("instrument").toString(),
                    o.value("quantity").toString(),
                    valueText,
                    o.value("unit").toString(),
                    o.value("detail").toString(),
                    o.value("elapsed_s").toDouble(-1)};
    }
    return rows;
}

inline QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
