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

struct CodeElement
{
    const char *code;
    int element;
};

// Segment code (row and column of the meter's segment matrix) to element.
const CodeElement kCodeTable[] = {
    {"10", 0},
    {"30", 1},
    {"50", 2},
    {"70", 3}, // a
    {"20", 4},
    {"40", 5},
    {"60", 6},
    {"80", 7}, // b
    {"22", 8},
    {"42", 9},
    {"62", 10},
    {"82", 11}, // c
    {"23", 12},
    {"43", 13},
    {"63", 14},
    {"83", 15}, // d
    {"12", 16},
    {"32", 17},
    {"52", 18},
    {"72", 19}, // e
    {"11", 20},
    {"31", 21},
    {"51", 22},
    {"71", 23}, // f
    {"21", 24},
    {"41", 25},
    {"61", 26},
    {"81", 27}, // g
    {"73", PointBeforeDigit3},
    {"53", PointBeforeDigit2},
    {"33", PointBeforeDigit1},
    {"13", MinusSign},
};

// Lit segments of one digit (bit 0 = a ... bit 6 = g) to its character.
QChar digitCharacter(int mask)
{
    switch (mask) {
    case 0x3F:
        return QLatin1Char('0');
    case 0x06:
        return QLatin1Char('1');
    case 0x5B:
        return QLatin1Char('2');
    case 0x4F:
        return QLatin1Char('3');
    case 0x66:
        return QLatin1Char('4');
    case 0x6D:
        return QLatin1Char('5');
    case 0x7D:
        return QLatin1Char('6');
    case 0x07:
        return QLatin1Char('7');
    case 0x7F:
        return QLatin1Char('8');
    case 0x6F:
        return QLatin1Char('9');
    case 0x38:
        return QLatin1Char('L');
    default:
        return QChar();
    }
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

std::optional<Function> functionOf(const QString &functionCode)
{
    static const QHash<QString, Function> functions = {
        {"FFFF", Function::DcVoltage},   {"FFFE", Function::AcVoltage},
        {"FFF1", Function::Resistance},  {"FFEF", Function::Continuity},
        {"FFF0", Function::Frequency},   {"FFEE", Function::Diode},
        {"FFED", Function::Capacitance},
    };
    const auto found = functions.constFind(functionCode);
    return found == functions.constEnd() ? std::nullopt : std::optional<Function>(*found);
}

QString functionName(Function function)
{
    switch (function) {
    case Function::DcVoltage:
        return QStringLiteral("DC voltage");
    case Function::AcVoltage:
        return QStringLiteral("AC voltage");
    case Function::Resistance:
    case Function::Continuity: // recordings have always named it so
        return QStringLiteral("resistance");
    case Function::Frequency:
        return QStringLiteral("frequency");
    case Function::Diode:
        return QStringLiteral("diode");
    case Function::Capacitance:
        return QStringLiteral("capacitance");
    }
    return QString();
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

int elementIndex(const QString &code)
{
    for (const CodeElement &entry : kCodeTable) {
        if (code == QLatin1String(entry.code))
            return entry.element;
    }
    return -1;
}

QList<int> elementsOf(const QStringList &codes)
{
    QList<int> elements;
    for (const CodeElement &entry : kCodeTable) {
        if (codes.contains(QLatin1String(entry.code)))
            elements.append(entry.element);
    }
    return elements;
}

QString valueText(const QList<int> &elements)
{
    int masks[4] = {0, 0, 0, 0};
    bool pointBefore[4] = {false, false, false, false};
    bool minus = false;
    for (int element : elements) {
        if (element >= 0 && element < PointBeforeDigit3)
            masks[element % 4] |= 1 << (element / 4);
        else if (element >= PointBeforeDigit3 && element <= PointBeforeDigit1)
            pointBefore[3 - (element - PointBeforeDigit3)] = true;
        else if (element == MinusSign)
            minus = true;
    }

    QString text;
    if (minus)
        text += QLatin1Char('-');
    for (int digit = 0; digit < 4; ++digit) {
        if (pointBefore[digit])
            text += QLatin1Char('.');
        const QChar character = digitCharacter(masks[digit]);
        if (!character.isNull())
            text += character;
    }
    return text;
}

State decode(const QString &functionCode, const QString &payload)
{
    static const QMap<QString, int> hexDigitValue = [] {
        QMap<QString, int> digits;
        for (int digit = 0; digit < 16; ++digit)
            digits.insert(QString::number(digit, 16).toUpper(), digit);
        return digits;
    }();
    State state;
    state.segmentCodes = decodeSegments(payload, hexDigitValue, state.matrix);
    state.function = functionOf(functionCode);
    state.unitCode = unitCode(payload);
    state.unitText = unitText(functionCode, state.unitCode);
    state.valueText = valueText(state.segmentCodes);
    state.tableKey = state.matrix[0][0];
    state.autoRange = state.matrix[0][1];
    state.highVoltage = state.matrix[0][2];
    state.buzzer = state.matrix[0][3];
    return state;
}

} // namespace MultimeterDisplay
