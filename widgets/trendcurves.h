#pragma once

#include <QColor>
#include <QPointF>
#include <QVector>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

// The two curves of a trend chart on one hidden time axis: the first orange on
// the left scale, the second cyan on the right scale, the newest 30 samples.
class QWidget;

struct TrendCurves
{
    static const QColor kFirstColor;  // orange #ffa500
    static const QColor kSecondColor; // cyan #00ffff
    static const QColor kBackground;  // rgb(30, 30, 30)
    static constexpr int kWindow = 30;

    // Series and axes, coloured but not yet added to a chart, so that the
    // caller can set the scales first.
    TrendCurves();
    void addTo(QtCharts::QChart *chart);
    // Adds (n, first) and (n, second), drops what falls out of the window and
    // moves the time axis to the newest samples.
    void append(int n, double first, double second);
    // For a chart that is not on screen: the sample is kept aside (the newest
    // kWindow of them) and put on the curves by catchUp(), which leaves the
    // curves and the time axis as appending each one would have.
    void defer(int n, double first, double second);
    void catchUp();
    // Each change of a curve lays the whole chart out anew: the sample waits
    // with the others that come before control returns to the event loop and
    // they go on together. A chart on no screen takes it at once; a hidden
    // chart in a shown window when it is shown (its showEvent calls catchUp).
    void appendSoon(QWidget *chart, int n, double first, double second);
    void clear();

    // Scale with five ticks, one minor tick and one decimal in the labels.
    static void setScale(QtCharts::QValueAxis *axis, double minimum, double maximum);
    // Antialiased, on the charts' background, at least 300 x 220 and growing
    // with its panel.
    static void setUpView(QtCharts::QChartView *view);

    QtCharts::QLineSeries *firstSeries;
    QtCharts::QLineSeries *secondSeries;
    QtCharts::QValueAxis *axisX;
    QtCharts::QValueAxis *firstAxis;
    QtCharts::QValueAxis *secondAxis;

private:
    int deferredLast = -1;          // n of the newest deferred sample
    QVector<QPointF> deferredFirst; // at most kWindow each
    QVector<QPointF> deferredSecond;
    bool catchUpPosted = false;
};
