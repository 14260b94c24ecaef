#include "systemlanguage.h"

#include <QLocale>

namespace SystemLanguage {

int codeOfLocale(const QString &localeName)
{
    // QLocale reads language[_territory][.codeset][@modifier] and takes any
    // name it cannot read, "POSIX" among them, for the C locale.
    const QLocale locale(localeName);
    switch (locale.language()) {
    case QLocale::Chinese:
        switch (locale.country()) {
        case QLocale::Taiwan:
        case QLocale::HongKong:
        case QLocale::Macau:
            return 1;
        default:
            return locale.script() == QLocale::TraditionalChineseScript ? 1 : 0;
        }
    case QLocale::English:
        return 2;
    case QLocale::Russian:
        return 3;
    case QLocale::German:
        return 4;
    case QLocale::French:
        return 5;
    case QLocale::Japanese:
        return 6;
    case QLocale::Italian:
        return 7;
    default:
        return -1;
    }
}

QString messagesLocale()
{
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return value;
    }
    return QString();
}

int code(int fallback)
{
    const int found = codeOfLocale(messagesLocale());
    return found >= 0 ? found : fallback;
}

} // namespace SystemLanguage
