#include "historyplot.h"

#include "historycurveitem.h"

#include <QDateTime>
#include <QPen>

#include <algorithm>

#include <qwt_date_scale_draw.h>
#include <qwt_date_scale_engine.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_layout.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_textlabel.h>
#include <qwt_plot_zoneitem.h>
#include <qwt_scale_map.h>
#include <qwt_scale_widget.h>
#include <qwt_text.h>

#include <cmath>

namespace {

const QColor kColours[] = {QColor(0xff, 0xa5, 0x00), QColor(0x00, 0xff, 0xff),
                           QColor(0x5f, 0xd3, 0x5f)};
const QColor kBackground(30, 30, 30);
const QColor kScaleText(200, 200, 200);
// Room for the value labels, the same in every plot so the canvases and
// with them the time axes line up.
const int kValueAxisExtent = 64;

} // namespace

// The plots of the quantities present, in the store's order: one per
// instrument, the second unit on the right axis; the power supply's third
// unit (W) gets a plot of its own, as no two units share an axis.
QList<HistoryPlot::Layout> HistoryPlot::layoutFor(const QList<HistoryStore::Key> &keys)
{
    QList<Layout> plots;
    QHash<QString, int> colourIndex;
    for (const HistoryStore::Key &key : keys) {
        if (key.second == QLatin1String("alarm"))
            continue;
        const QString &instrument = key.first;
        const int index = colourIndex[instrument]++;
        Quantity quantity{key, kColours[qMin(index, 2)], yLeft};
        if (key.second == QLatin1String("current") || key.second == QLatin1String("air_speed"))
            quantity.axis = yRight;
        QString plotName = instrument;
        if (instrument == QLatin1String("power") && key.second == QLatin1String("power"))
            plotName = QStringLiteral("power_power");
        else if (!QStringList{"multimeter", "power", "iron", "hotair"}.contains(instrument))
            plotName = instrument + QLatin1Char('_') + key.second;
        auto it = std::find_if(plots.begin(), plots.end(),
                               [&](const Layout &plot) { return plot.name == plotName; });
        if (it == plots.end())
            plots.append({plotName, {quantity}});
        else
            it->quantities.append(quantity);
    }
    return plots;
}

HistoryPlot::HistoryPlot(const Layout &layout, QWidget *parent)
    : QwtPlot(parent), m_instrument(layout.quantities.value(0).key.first),
      m_quantities(layout.quantities)
{
    setObjectName(QStringLiteral("plot_") + layout.name);
    setAutoReplot(false);
    // Five plots and the table share the window: each may shrink this far.
    setMinimumSize(200, 70);
    setAutoFillBackground(true);
    QPalette look = palette();
    look.setColor(QPalette::Window, kBackground);
    look.setColor(QPalette::WindowText, kScaleText);
    look.setColor(QPalette::Text, kScaleText);
    setPalette(look);
    auto *plotCanvas = new QwtPlotCanvas;
    plotCanvas->setFrameStyle(QFrame::NoFrame);
    plotCanvas->setPalette(look);
    setCanvas(plotCanvas);
    setCanvasBackground(kBackground);
    plotLayout()->setCanvasMargin(0);

    auto *timeScale = new QwtDateScaleDraw(Qt::LocalTime);
    // Wall-clock times; the date only where the ticks are days apart.
    timeScale->setDateFormat(QwtDate::Millisecond, QStringLiteral("hh:mm:ss.zzz"));
    timeScale->setDateFormat(QwtDate::Second, QStringLiteral("hh:mm:ss"));
    timeScale->setDateFormat(QwtDate::Minute, QStringLiteral("hh:mm"));
    timeScale->setDateFormat(QwtDate::Hour, QStringLiteral("hh:mm"));
    timeScale->setDateFormat(QwtDate::Day, QStringLiteral("ddd dd MMM"));
    setAxisScaleDraw(xBottom, timeScale);
    setAxisScaleEngine(xBottom, new QwtDateScaleEngine(Qt::LocalTime));
    enableAxis(yRight, true);
    for (int axis : {int(yLeft), int(yRight)}) {
        axisScaleDraw(axis)->setMinimumExtent(kValueAxisExtent);
        axisWidget(axis)->setPalette(look);
    }
    axisWidget(xBottom)->setPalette(look);

    auto *grid = new QwtPlotGrid;
    grid->setPen(QColor(80, 80, 80), 1, Qt::DashLine);
    grid->attach(this);

    for (const Quantity &quantity : m_quantities) {
        auto *curve = new HistoryCurveItem(quantity.colour);
        curve->setYAxis(quantity.axis);
        curve->attach(this);
        m_curves << curve;
    }
    for (QwtPlotMarker *&cursor : m_cursors) {
        cursor = new QwtPlotMarker;
        cursor->setLineStyle(QwtPlotMarker::VLine);
        cursor->setLinePen(QColor(240, 240, 240), 1, Qt::DashLine);
        cursor->setZ(30);
        cursor->attach(this);
        cursor->hide();
    }
    m_names = new QwtPlotTextLabel;
    m_names->setZ(40);
    m_names->attach(this);
}

void HistoryPlot::useTimeZoneOf(qint64 fromMs, qint64 toMs)
{
    // In local time every tick and label asks the system's time zone anew
    // (the C library looks at its file each time): most of a redraw. One
    // offset serves where the whole range has it; a range across a change of
    // daylight saving keeps local time, so every label stays right.
    const qint64 longestFixedMs = 7LL * 24 * 3600 * 1000; // no zone changes twice in a week
    const int offset = QDateTime::fromMSecsSinceEpoch(fromMs).offsetFromUtc();
    const bool fixed = toMs - fromMs <= longestFixedMs &&
                       QDateTime::fromMSecsSinceEpoch(toMs).offsetFromUtc() == offset;
    const Qt::TimeSpec kind = fixed ? Qt::OffsetFromUTC : Qt::LocalTime;
    auto *draw = static_cast<QwtDateScaleDraw *>(axisScaleDraw(xBottom));
    if (draw->timeSpec() == kind && (!fixed || draw->utcOffset() == offset))
        return;
    auto *engine = static_cast<QwtDateScaleEngine *>(axisScaleEngine(xBottom));
    draw->setTimeSpec(kind);
    engine->setTimeSpec(kind);
    if (fixed) {
        draw->setUtcOffset(offset);
        engine->setUtcOffset(offset);
    }
    // The labels cached so far go with the next scale division, set right after.
}

QString HistoryPlot::axisUnit(int axis) const
{
    return axis >= 0 && axis < axisCnt ? m_axisUnits[axis] : QString();
}

void HistoryPlot::setNames(const QString &instrumentName, const QStringList &names)
{
    m_instrumentName = instrumentName;
    m_quantityNames = names;
    showNames();
}

void HistoryPlot::showNames()
{
    // The units go with the names: axis titles would differ in width from
    // plot to plot and shift the canvases apart.
    QString html = QStringLiteral("<span style='color:%1;'>%2</span>&nbsp;&nbsp;")
                       .arg(kScaleText.name(), m_instrumentName.toHtmlEscaped());
    for (int i = 0; i < m_quantityNames.size() && i < m_quantities.size(); ++i) {
        const QString &unit = m_axisUnits[m_quantities[i].axis];
        const QString name =
            unit.isEmpty() ? m_quantityNames[i]
                           : m_quantityNames[i] + QStringLiteral(" (") + unit + QLatin1Char(')');
        html += QStringLiteral("<span style='color:%1;'>%2</span>&nbsp;&nbsp;")
                    .arg(m_quantities[i].colour.name(), name.toHtmlEscaped());
    }
    if (html == m_namesHtml)
        return;
    m_namesHtml = html;
    QwtText text(html, QwtText::RichText);
    text.setRenderFlags(Qt::AlignLeft | Qt::AlignTop);
    QFont font = text.font();
    font.setBold(true);
    text.setFont(font);
    m_names->setText(text);
}

void HistoryPlot::alignValueAxes(const QList<HistoryPlot *> &plots)
{
    // The scales' labels, once for both axes.
    for (HistoryPlot *plot : plots)
        plot->updateAxes();
    for (int axis : {int(yLeft), int(yRight)}) {
        int extent = kValueAxisExtent;
        for (HistoryPlot *plot : plots) {
            QwtAbstractScaleDraw *draw = plot->axisScaleDraw(axis);
            const int minimum = int(draw->minimumExtent());
            draw->setMinimumExtent(0);
            extent = qMax(extent, int(std::ceil(draw->extent(plot->axisWidget(axis)->font()))));
            draw->setMinimumExtent(minimum);
        }
        for (HistoryPlot *plot : plots)
            if (int(plot->axisScaleDraw(axis)->minimumExtent()) != extent) {
                plot->axisScaleDraw(axis)->setMinimumExtent(extent);
                plot->updateLayout();
            }
    }
}

void HistoryPlot::showTimeAxis(bool shown)
{
    enableAxis(xBottom, shown);
    // A hidden axis is still laid out at every change of range: without
    // labels that costs nothing.
    axisScaleDraw(xBottom)->enableComponent(QwtAbstractScaleDraw::Labels, shown);
}

void HistoryPlot::refresh(const HistoryStore &store, qint64 fromMs, qint64 toMs)
{
    useTimeZoneOf(fromMs, toMs);
    setAxisScale(xBottom, double(fromMs), double(toMs));
    // A sample per pixel column: each keeps its minimum and maximum, so the
    // band shows every peak.
    const int maxSamples = qMax(200, canvas()->width());
    QList<QList<HistoryCurvePiece>> pieces;
    for (const Quantity &quantity : m_quantities)
        pieces << store.curve(quantity.key, fromMs, toMs, maxSamples);
    for (int axis : {int(yLeft), int(yRight)}) {
        m_axisUnits[axis].clear();
        // The newest piece of the axis' first quantity that has one names the unit.
        for (int i = 0; i < m_quantities.size() && m_axisUnits[axis].isEmpty(); ++i)
            if (m_quantities[i].axis == axis)
                m_axisUnits[axis] = HistoryCurveItem::newestUnit(pieces[i], toMs);
    }
    for (int i = 0; i < m_quantities.size(); ++i)
        m_curves[i]->setPieces(pieces[i], m_axisUnits[m_quantities[i].axis]);
    scaleAxis(yLeft, fromMs, toMs);
    scaleAxis(yRight, fromMs, toMs);
    showNames();

    const QList<HistoryAlarmSpan> alarms = store.alarms(fromMs, toMs);
    int used = 0;
    for (const HistoryAlarmSpan &alarm : alarms) {
        if (alarm.instrument != m_instrument)
            continue;
        if (used == m_zones.size()) {
            auto *zone = new QwtPlotZoneItem;
            zone->setOrientation(Qt::Vertical);
            zone->setBrush(QColor(224, 32, 32, 70));
            zone->setPen(QColor(224, 32, 32, 160), 1);
            zone->setZ(10);
            zone->attach(this);
            m_zones << zone;
        }
        const qint64 end = alarm.endMs < 0 ? toMs : alarm.endMs;
        m_zones[used++]->setInterval(double(alarm.startMs), double(qMax(end, alarm.startMs)));
    }
    while (m_zones.size() > used)
        delete m_zones.takeLast();
}

void HistoryPlot::scaleAxis(int axis, qint64 fromMs, qint64 toMs)
{
    bool any = false;
    double low = 0;
    double high = 1;
    for (int i = 0; i < m_quantities.size(); ++i) {
        if (m_quantities[i].axis != axis)
            continue;
        double curveLow = 0;
        double curveHigh = 0;
        if (!m_curves[i]->valueRange(fromMs, toMs, curveLow, curveHigh))
            continue;
        low = any ? qMin(low, curveLow) : curveLow;
        high = any ? qMax(high, curveHigh) : curveHigh;
        any = true;
    }
    if (!any && axis == yRight) {
        // Nothing on the right: it repeats the left scale.
        setAxisScaleDiv(yRight, axisScaleDiv(yLeft));
        return;
    }
    // A little room above and below, and a flat line in the middle.
    const double margin = high > low ? (high - low) * 0.08 : qMax(std::abs(high) * 0.05, 0.5);
    setAxisScale(axis, low - margin, high + margin);
}

void HistoryPlot::setCursors(qint64 first, qint64 second)
{
    const qint64 times[2] = {first, second};
    for (int i = 0; i < 2; ++i) {
        m_cursors[i]->setXValue(double(times[i]));
        m_cursors[i]->setVisible(times[i] >= 0);
    }
}

double HistoryPlot::timeToX(qint64 timeMs) const
{
    return canvasMap(xBottom).transform(double(timeMs));
}

qint64 HistoryPlot::xToTime(double x) const
{
    return qint64(std::llround(canvasMap(xBottom).invTransform(x)));
}
