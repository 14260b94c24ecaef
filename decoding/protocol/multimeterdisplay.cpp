#include "multimeterdisplay.h"

#include <QHash>

namespace MultimeterDisplay {

namespace {

constexpr int kDataTextPos = 12;

QString dataText(const QString &payload)
{
    bool ok = false;
    const int dataLength = payload.mid(10, 2).toInt(&ok, 16);
    return payload.mid(kDataTextPos, 2 * (ok ? dataLength : 0) + 6);
}

int nibbleAt(const QString &text, int pos, const QMap<QString, int> &hexDigitValue)
{
    return pos < text.size() ? hexDigitValue.value(text.mid(pos, 1), 0) : 0;
}

const QString kVolt = QStringLiteral("V");
const QString kMilliVolt = QStringLiteral("mV");

} // namespace

QStringList decodeSegments(const QString &payload, const QMap<QString, int> &hexDigitValue,
                           SegmentMatrix &matrix)
{
    const QString data = dataText(payload);
    QStringList codes;
    for (int row = 0; row < int(matrix.size()); ++row) {
        // Row 0 is the flags nibble; rows 1-8 are the nibbles of the digit bytes.
        const int nibble = nibbleAt(data, row == 0 ? 1 : row + 3, hexDigitValue);
        for (int column = 0; column < 4; ++column) {
            matrix[row][column] = (nibble >> (3 - column)) & 1;
            if (matrix[row][column])
                codes << QString::number(row) + QString::number(column);
        }
    }
    return codes;
}

QString unitCode(const QString &payload)
{
    return dataText(payload).mid(12, 4);
}

const Function *functionFor(const QString &functionCode)
{
    static const QHash<QString, Function> functions = {
        {"FFFF", {"image: url(:/icon/dc.png);", 1, 0}},
        {"FFFE", {"image: url(:/icon/ac.png);", -1, -1}},
        {"FFF1", {"image: url(:/icon/Ω.png);", 2, 1}},
        {"FFF0", {"image: url(:/icon/hz.png)", 5, 4}},
        {"FFEE", {"image: url(:/icon/diode.png)", 3, 2}},
        {"FFED", {"image: url(:/icon/f.png);", 4, 3}},
        {"FFEF", {QString(), -1, -1}},
    };
    const auto found = functions.constFind(functionCode);
    return found == functions.constEnd() ? nullptr : &found.value();
}

QString unitText(const QString &functionCode, const QString &unitCode)
{
    using Units = QHash<QString, QString>;
    static const Units voltage = {{"0056", kVolt}, {"6D56", kMilliVolt}};
    static const QHash<QString, Units> units = {
        {"FFFF", voltage},
        {"FFFE", voltage},
        {"FFEE", voltage},
        {"FFF1", {{"4B4F", "KΩ"}, {"4D4F", "MΩ"}}},
        {"FFF0", {{"0048", "Hz"}, {"4B48", "KHz"}, {"4D48", "MHz"}}},
        {"FFED", {{"6E46", "nF"}, {"7546", "uF"}, {"6D46", "mF"}}},
        {"FFEF", {{"004F", "Ω"}}},
    };
    const QString text = units.value(functionCode).value(unitCode);
    if (text.isNull() && functionCode == QLatin1String("FFF1"))
        return QStringLiteral("Ω"); // any other resistance unit reads as plain ohm
    return text;
}

} // namespace MultimeterDisplay
