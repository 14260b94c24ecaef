#include "textfit.h"

#include <QFontMetrics>
#include <QWidget>

QString fitText(const QWidget *widget, const QString &text, int width)
{
    return widget->fontMetrics().elidedText(text, Qt::ElideRight,
                                            width < 0 ? widget->width() : width);
}
