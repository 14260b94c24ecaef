#include "limitset.h"

#include <QSettings>

LimitSet LimitSet::fromFile(const QString &path)
{
    QSettings file(path, QSettings::IniFormat);
    file.beginGroup(QStringLiteral("Limits"));
    QList<QPair<QString, QString>> entries;
    for (const QString &key : file.childKeys()) {
        // The INI format reads a value with commas as a list.
        const QVariant value = file.value(key);
        entries.append({key, value.type() == QVariant::StringList
                                 ? value.toStringList().join(QLatin1Char(','))
                                 : value.toString()});
    }
    return fromEntries(entries);
}

LimitSet LimitSet::fromEntries(const QList<QPair<QString, QString>> &entries)
{
    LimitSet set;
    for (const auto &[key, value] : entries) {
        if (key.endsWith(QLatin1String(".tolerance"))) {
            const QString instrument = key.chopped(int(qstrlen(".tolerance")));
            if (const auto rule = ToleranceRule::parse(instrument, value)) {
                for (ToleranceRule &tolerance : set.tolerances) {
                    if (tolerance.instrument == instrument)
                        tolerance = *rule;
                }
                continue;
            }
        } else if (const auto rule = LimitRule::parse(key, value)) {
            set.limits.append(*rule);
            continue;
        }
        set.badKeys.append(key);
    }
    return set;
}
