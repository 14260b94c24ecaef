#pragma once

#include "limitrule.h"
#include "tolerancerule.h"

#include <QList>
#include <QStringList>

// What the [Limits] section of a settings file asks for.
struct LimitSet
{
    QList<LimitRule> limits;
    // Both stations' checks, with their defaults where the section is silent.
    QList<ToleranceRule> tolerances{ToleranceRule::defaultFor(QStringLiteral("iron")),
                                    ToleranceRule::defaultFor(QStringLiteral("hotair"))};
    // Keys that did not parse, ignored.
    QStringList badKeys;

    // The section of an INI file (a settings file, or one with only the
    // section), its keys in alphabetical order; a missing file gives the defaults.
    static LimitSet fromFile(const QString &path);
    // The same from key and value texts, in the file's order.
    static LimitSet fromEntries(const QList<QPair<QString, QString>> &entries);
};
