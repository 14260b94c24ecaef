#include "historycurveitem.h"

#include <QPainter>
#include <QPolygonF>

#include <qwt_scale_map.h>

HistoryCurveItem::HistoryCurveItem(const QColor &colour) : m_colour(colour)
{
    setZ(20);
    setItemAttribute(QwtPlotItem::AutoScale, false);
}

void HistoryCurveItem::setPieces(const QList<HistoryCurvePiece> &pieces, const QString &axisUnit)
{
    m_pieces = pieces;
    m_axisUnit = axisUnit;
}

bool HistoryCurveItem::valueRange(qint64 fromMs, qint64 toMs, double &low, double &high) const
{
    bool any = false;
    for (const HistoryCurvePiece &piece : m_pieces) {
        if (piece.unit != m_axisUnit)
            continue;
        for (const HistorySample &sample : piece.samples) {
            if (sample.timeMs > toMs || sample.timeMs < fromMs)
                continue;
            if (!any) {
                low = sample.low;
                high = sample.high;
                any = true;
            } else {
                low = qMin(low, sample.low);
                high = qMax(high, sample.high);
            }
        }
    }
    return any;
}

QString HistoryCurveItem::newestUnit(const QList<HistoryCurvePiece> &pieces, qint64 toMs)
{
    QString unit;
    qint64 newest = 0;
    bool any = false;
    for (const HistoryCurvePiece &piece : pieces) {
        for (const HistorySample &sample : piece.samples) {
            if (sample.timeMs <= toMs && (!any || sample.timeMs >= newest)) {
                newest = sample.timeMs;
                unit = piece.unit;
                any = true;
            }
        }
    }
    if (!any && !pieces.isEmpty())
        unit = pieces.first().unit;
    return unit;
}

void HistoryCurveItem::draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                            const QRectF &canvasRect) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    for (const HistoryCurvePiece &piece : m_pieces) {
        if (piece.samples.isEmpty())
            continue;
        if (piece.unit == m_axisUnit)
            drawPiece(painter, piece, xMap, yMap);
        else
            drawForeignPiece(painter, piece, xMap, canvasRect);
    }
    painter->restore();
}

void HistoryCurveItem::drawPiece(QPainter *painter, const HistoryCurvePiece &piece,
                                 const QwtScaleMap &xMap, const QwtScaleMap &yMap) const
{
    const int n = piece.samples.size();
    QPolygonF line(n);
    bool folded = false;
    for (int i = 0; i < n; ++i) {
        const HistorySample &sample = piece.samples[i];
        line[i] = QPointF(xMap.transform(double(sample.timeMs)), yMap.transform(sample.mean));
        folded = folded || sample.high > sample.low;
    }
    if (folded) {
        QPolygonF band;
        band.reserve(2 * n);
        for (int i = 0; i < n; ++i)
            band << QPointF(line[i].x(), yMap.transform(piece.samples[i].high));
        for (int i = n - 1; i >= 0; --i)
            band << QPointF(line[i].x(), yMap.transform(piece.samples[i].low));
        QColor fill = m_colour;
        fill.setAlpha(110);
        painter->setPen(Qt::NoPen);
        painter->setBrush(fill);
        painter->drawPolygon(band);
        // A bucket's extremes as a vertical line, so a lone spike shows even
        // where the band is thinner than a pixel.
        painter->setPen(QPen(fill, 1));
        for (int i = 0; i < n; ++i) {
            const HistorySample &sample = piece.samples[i];
            if (sample.high > sample.low)
                painter->drawLine(QPointF(line[i].x(), yMap.transform(sample.high)),
                                  QPointF(line[i].x(), yMap.transform(sample.low)));
        }
    }
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(m_colour, 2));
    if (n == 1)
        painter->drawRect(QRectF(line[0] - QPointF(1, 1), QSizeF(2, 2)));
    else
        painter->drawPolyline(line);
}

void HistoryCurveItem::drawForeignPiece(QPainter *painter, const HistoryCurvePiece &piece,
                                        const QwtScaleMap &xMap, const QRectF &canvasRect) const
{
    const double left = xMap.transform(double(piece.samples.first().timeMs));
    const double right = qMax(left + 2, xMap.transform(double(piece.samples.last().timeMs)));
    const QRectF band(left, canvasRect.top(), right - left, canvasRect.height());
    QColor fill = m_colour;
    fill.setAlpha(40);
    painter->fillRect(band, fill);
    painter->setPen(m_colour);
    const QString label =
        piece.detail.isEmpty() ? piece.unit : piece.unit + QLatin1Char(' ') + piece.detail;
    painter->setClipRect(band.intersected(canvasRect));
    painter->drawText(band.adjusted(3, 2, -2, -2), Qt::AlignLeft | Qt::AlignTop, label);
    painter->setClipping(false);
}
