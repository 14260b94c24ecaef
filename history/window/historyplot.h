#pragma once

#include "historystore.h"

#include <QColor>
#include <QList>
#include <QString>

#include <qwt_plot.h>

class HistoryCurveItem;
class QwtPlotMarker;
class QwtPlotTextLabel;
class QwtPlotZoneItem;

// The plot of one instrument in the history window: its quantities over a
// time range in local wall-clock time, one or two value axes, the
// instrument's alarms as red spans and the two cursors.
class HistoryPlot : public QwtPlot
{
public:
    struct Quantity
    {
        HistoryStore::Key key;
        QColor colour;
        int axis = QwtPlot::yLeft; // or yRight
    };

    // The plots the quantities make, in the store's order: one per
    // instrument, a second unit on the right axis; the power supply's third
    // unit (W) gets a plot of its own, as no two units share an axis.
    struct Layout
    {
        QString name;
        QList<Quantity> quantities;
    };
    static QList<Layout> layoutFor(const QList<HistoryStore::Key> &keys);

    explicit HistoryPlot(const Layout &layout, QWidget *parent = nullptr);

    QString instrument() const { return m_instrument; }
    const QList<Quantity> &quantities() const { return m_quantities; }
    HistoryCurveItem *curve(int index) const { return m_curves.value(index); }
    // The unit an axis shows: that of the newest piece in view.
    QString axisUnit(int axis) const;
    int alarmSpanCount() const { return m_zones.size(); }

    // The names in the top left corner, in the curves' colours.
    void setNames(const QString &instrumentName, const QStringList &names);
    void showTimeAxis(bool shown);
    // Gives the value axes of all plots the width of the widest, so their
    // canvases and time axes line up.
    static void alignValueAxes(const QList<HistoryPlot *> &plots);
    // Takes the curves and alarms of [fromMs, toMs] from the store and scales
    // the value axes to them; replot() draws them.
    void refresh(const HistoryStore &store, qint64 fromMs, qint64 toMs);
    // Cursor times in ms since the epoch; a negative time hides the cursor.
    void setCursors(qint64 first, qint64 second);

    // The canvas pixel of a time and back.
    double timeToX(qint64 timeMs) const;
    qint64 xToTime(double x) const;

private:
    void useTimeZoneOf(qint64 fromMs, qint64 toMs);
    void scaleAxis(int axis, qint64 fromMs, qint64 toMs);
    void showNames();

    QString m_instrument;
    QList<Quantity> m_quantities;
    QList<HistoryCurveItem *> m_curves;
    QList<QwtPlotZoneItem *> m_zones;
    QwtPlotMarker *m_cursors[2] = {nullptr, nullptr};
    QwtPlotTextLabel *m_names = nullptr;
    QString m_axisUnits[QwtPlot::axisCnt];
    QString m_instrumentName;
    QStringList m_quantityNames;
    QString m_namesHtml;
};
