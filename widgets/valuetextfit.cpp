#include "valuetextfit.h"

#include <QFontMetricsF>

namespace ValueTextFit {

QRectF extent(const QFont &font, QPaintDevice *device, const QString &text)
{
    const QFontMetricsF metrics(font, device);
    const QRectF ink =
        metrics.tightBoundingRect(text).united(metrics.tightBoundingRect(QStringLiteral("8")));
    return QRectF(0, ink.top(), metrics.horizontalAdvance(text), ink.height());
}

QRectF fitFont(QFont &font, QPaintDevice *device, const QString &text, QSizeF room)
{
    QRectF fitted = extent(font, device, text);
    for (int step = 0; step < 20 && font.pointSizeF() > 4; ++step) {
        const double scale = qMin(room.width() / fitted.width(), room.height() / fitted.height());
        if (scale >= 1)
            break;
        // Hinted glyphs do not scale exactly: always take at least half a point.
        font.setPointSizeF(qMax(4.0, qMin(font.pointSizeF() * scale, font.pointSizeF() - 0.5)));
        fitted = extent(font, device, text);
    }
    return fitted;
}

} // namespace ValueTextFit
