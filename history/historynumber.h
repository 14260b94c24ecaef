#pragma once

#include <QStringView>

// The value text of a reading as a number: the decimal digits the
// instruments send on a fast path, anything else C-locale. An overload
// ("OL", "-OL") is ±infinity, an empty value NaN.
namespace HistoryNumber {

enum class Kind
{
    Number,
    Overload,
    Empty,
    Invalid
};

struct Parsed
{
    Kind kind = Kind::Invalid;
    double value = 0;  // ±inf for an overload, NaN when empty or invalid
    int decimals = -1; // digits after the point as written; -1 when not plain decimal
};

Parsed parse(QStringView text);
Parsed parse(const char *text, int length);

// The text a recording gets for a stored value: "OL", "-OL", "" or the
// number, with the given decimals when they give the same number back.
QString text(double value, int decimals);

} // namespace HistoryNumber
