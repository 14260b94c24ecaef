#include "historynumber.h"

#include <QLocale>
#include <QString>

#include <cmath>
#include <limits>

namespace {

const double powersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Plain "-12.345": up to 15 digits, so mantissa / 10^decimals is exact
// rounding (both fit a double exactly), the same result as strtod.
template <typename Char> bool parsePlain(const Char *text, int length, HistoryNumber::Parsed &out)
{
    int at = 0;
    bool negative = false;
    if (at < length && text[at] == '-') {
        negative = true;
        ++at;
    }
    qint64 mantissa = 0;
    int digits = 0;
    int decimals = -1;
    for (; at < length; ++at) {
        const Char c = text[at];
        if (c >= '0' && c <= '9') {
            mantissa = mantissa * 10 + (c - '0');
            if (++digits > 15)
                return false;
            if (decimals >= 0)
                ++decimals;
        } else if (c == '.' && decimals < 0) {
            decimals = 0;
        } else {
            return false;
        }
    }
    if (digits == 0)
        return false;
    const double value = decimals > 0 ? double(mantissa) / powersOfTen[decimals] : double(mantissa);
    out.kind = HistoryNumber::Kind::Number;
    out.value = negative ? -value : value;
    out.decimals = decimals < 0 ? 0 : decimals;
    return true;
}

HistoryNumber::Parsed special(bool empty, bool overload, bool negativeOverload)
{
    HistoryNumber::Parsed parsed;
    if (empty) {
        parsed.kind = HistoryNumber::Kind::Empty;
        parsed.value = std::numeric_limits<double>::quiet_NaN();
    } else if (overload || negativeOverload) {
        parsed.kind = HistoryNumber::Kind::Overload;
        parsed.value = negativeOverload ? -std::numeric_limits<double>::infinity()
                                        : std::numeric_limits<double>::infinity();
    } else {
        parsed.value = std::numeric_limits<double>::quiet_NaN();
    }
    return parsed;
}

HistoryNumber::Parsed fallback(const QString &text)
{
    HistoryNumber::Parsed parsed;
    bool ok = false;
    const double value = text.toDouble(&ok); // QString::toDouble is C-locale
    if (ok && std::isfinite(value)) {
        parsed.kind = HistoryNumber::Kind::Number;
        parsed.value = value;
    } else {
        parsed.value = std::numeric_limits<double>::quiet_NaN();
    }
    return parsed;
}

} // namespace

HistoryNumber::Parsed HistoryNumber::parse(QStringView text)
{
    Parsed parsed;
    if (parsePlain(text.utf16(), int(text.size()), parsed))
        return parsed;
    if (text.isEmpty() || text == QLatin1String("OL") || text == QLatin1String("-OL"))
        return special(text.isEmpty(), text == QLatin1String("OL"), text == QLatin1String("-OL"));
    return fallback(text.toString().trimmed());
}

HistoryNumber::Parsed HistoryNumber::parse(const char *text, int length)
{
    Parsed parsed;
    if (parsePlain(text, length, parsed))
        return parsed;
    const bool ol = length == 2 && text[0] == 'O' && text[1] == 'L';
    const bool minusOl = length == 3 && text[0] == '-' && text[1] == 'O' && text[2] == 'L';
    if (length == 0 || ol || minusOl)
        return special(length == 0, ol, minusOl);
    return fallback(QString::fromLatin1(text, length).trimmed());
}

QString HistoryNumber::text(double value, int decimals)
{
    if (std::isnan(value))
        return QString();
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("OL") : QStringLiteral("-OL");
    if (decimals >= 0 && decimals <= 15) {
        const QString fixed = QString::number(value, 'f', decimals);
        if (fixed.toDouble() == value)
            return fixed;
    }
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}
