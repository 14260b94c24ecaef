#pragma once

#include "historycurvepiece.h"

#include <QColor>
#include <QList>
#include <QString>

#include <qwt_plot_item.h>

// One quantity in a history plot, drawn piece by piece so that gaps stay
// gaps: the line through the means, and where buckets fold several readings
// a translucent band from their minima to their maxima, so peaks stay
// visible. Pieces in another unit than the axis shows are drawn as labelled
// bands over the whole height instead of being scaled into the axis.
class HistoryCurveItem : public QwtPlotItem
{
public:
    explicit HistoryCurveItem(const QColor &colour);

    void setPieces(const QList<HistoryCurvePiece> &pieces, const QString &axisUnit);
    const QList<HistoryCurvePiece> &pieces() const { return m_pieces; }
    QColor colour() const { return m_colour; }

    // The lowest and highest value of the samples in the axis unit within
    // [fromMs, toMs]; false when there are none.
    bool valueRange(qint64 fromMs, qint64 toMs, double &low, double &high) const;
    // The unit of the newest piece that has a sample at or before toMs.
    static QString newestUnit(const QList<HistoryCurvePiece> &pieces, qint64 toMs);

    int rtti() const override { return QwtPlotItem::Rtti_PlotUserItem + 1; }
    void draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect) const override;

private:
    void drawPiece(QPainter *painter, const HistoryCurvePiece &piece, const QwtScaleMap &xMap,
                   const QwtScaleMap &yMap) const;
    void drawForeignPiece(QPainter *painter, const HistoryCurvePiece &piece,
                          const QwtScaleMap &xMap, const QRectF &canvasRect) const;

    QColor m_colour;
    QList<HistoryCurvePiece> m_pieces;
    QString m_axisUnit;
};
