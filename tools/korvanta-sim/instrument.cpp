#include "instrument.h"

#include <QStringList>

namespace {

const QStringList &names()
{
    static const QStringList list = {"mul", "power", "iron", "hotair"};
    return list;
}

} // namespace

QString Instrument::name(int kind)
{
    return names().value(kind);
}

int Instrument::kindOf(const QString &name)
{
    return names().indexOf(name);
}

QByteArray Instrument::decimal(double value, int decimals)
{
    QByteArray text = QByteArray::number(value, 'f', decimals);
    // A reading that rounds to zero is never shown as "-0.00".
    if (text.startsWith('-') && text.count('0') == text.size() - 1 - (decimals > 0 ? 1 : 0))
        text.remove(0, 1);
    return text;
}
