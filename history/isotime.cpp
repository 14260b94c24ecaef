#include "isotime.h"

#include <QDateTime>

namespace {

bool digits(const char *text, int count, int &value)
{
    value = 0;
    for (int i = 0; i < count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
qint64 daysFromCivil(qint64 y, int m, int d)
{
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int daysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}

bool fast(const char *t, int length, qint64 &msecs, int &utcOffset)
{
    // YYYY-MM-DDTHH:MM:SS[.mmm](Z|±HH:MM)
    if (length < 20 || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' || t[16] != ':')
        return false;
    int year, month, day, hour, minute, second, millis = 0;
    if (!digits(t, 4, year) || !digits(t + 5, 2, month) || !digits(t + 8, 2, day) ||
        !digits(t + 11, 2, hour) || !digits(t + 14, 2, minute) || !digits(t + 17, 2, second))
        return false;
    int at = 19;
    if (t[at] == '.') {
        if (length < at + 4 || !digits(t + at + 1, 3, millis))
            return false;
        at += 4;
    }
    int offset = 0;
    if (length == at + 1 && t[at] == 'Z') {
        offset = 0;
    } else if (length == at + 6 && (t[at] == '+' || t[at] == '-') && t[at + 3] == ':') {
        int oh, om;
        if (!digits(t + at + 1, 2, oh) || !digits(t + at + 4, 2, om) || oh > 23 || om > 59)
            return false;
        offset = (oh * 60 + om) * 60 * (t[at] == '-' ? -1 : 1);
    } else {
        return false;
    }
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59)
        return false;
    const qint64 days = daysFromCivil(year, month, day);
    msecs =
        ((days * 24 + hour) * 60 + minute) * 60000LL + second * 1000LL + millis - offset * 1000LL;
    utcOffset = offset;
    return true;
}

} // namespace

bool IsoTime::parse(const char *text, int length, qint64 &msecs, int &utcOffset)
{
    if (fast(text, length, msecs, utcOffset))
        return true;
    if (length <= 0 || length > 64)
        return false;
    const QDateTime time =
        QDateTime::fromString(QString::fromLatin1(text, length), Qt::ISODateWithMs);
    if (!time.isValid())
        return false;
    msecs = time.toMSecsSinceEpoch();
    utcOffset = time.offsetFromUtc();
    return true;
}
