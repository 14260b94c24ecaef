#include "simcounts.h"

#include <QStringList>

int SimCounts::intactTotal() const
{
    int total = 0;
    for (int count : intact)
        total += count;
    return total;
}

int SimCounts::brokenTotal() const
{
    int total = 0;
    for (int count : broken)
        total += count;
    return total;
}

QString SimCounts::reportLine(double seconds) const
{
    QStringList fields;
    fields << QStringLiteral("sent=%1").arg(sent())
           << QStringLiteral("intact=%1").arg(intactTotal())
           << QStringLiteral("broken=%1").arg(brokenTotal());
    for (int kind = 0; kind < Instrument::kKinds; ++kind)
        fields << QStringLiteral("%1=%2").arg(Instrument::name(kind)).arg(intact[kind]);
    for (int kind = 0; kind < Instrument::kKinds; ++kind)
        fields << QStringLiteral("broken.%1=%2").arg(Instrument::name(kind)).arg(broken[kind]);
    fields << QStringLiteral("skipped=%1").arg(skipped) << QStringLiteral("unread=%1").arg(unread)
           << QStringLiteral("seconds=%1").arg(seconds, 0, 'f', 1);
    return QStringLiteral("korvanta-sim: ") + fields.join(' ');
}
