#pragma once

#include <QColor>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

// The two curves of a trend chart on one hidden time axis: the first orange on
// the left scale, the second cyan on the right scale, the newest 30 samples.
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
    void clear();

    // Scale with five ticks, one minor tick and one decimal in the labels.
    static void setScale(QtCharts::QValueAxis *axis, double minimum, double maximum);

    QtCharts::QLineSeries *firstSeries;
    QtCharts::QLineSeries *secondSeries;
    QtCharts::QValueAxis *axisX;
    QtCharts::QValueAxis *firstAxis;
    QtCharts::QValueAxis *secondAxis;
};
