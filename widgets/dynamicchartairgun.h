#pragma once

#include <QWidget>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include "trendcurves.h"

// The hot-air gun's trend chart: the last 30 temperature readings
// (orange, left axis) and fan speed readings (cyan, right axis) on one hidden
// time axis. The vertical scales have whole-number bounds.
class DynamicChartAirgun : public QWidget
{
    Q_OBJECT

public:
    explicit DynamicChartAirgun(QWidget *parent = nullptr);

    // One sample: (n, temperature) and (n, speed) with n the shared sample counter.
    void appendPoints(double temperature, double speed);
    // Empties both curves; the sample counter and every axis range stay.
    void clearPoints();
    // Both bounds are first made whole numbers with toAxisBound; then equal
    // bounds are ignored and otherwise the smaller becomes the axis minimum.
    void setTempRange(double a, double b);
    void setSpeedRange(double a, double b);

    // A range bound as a whole number: truncated toward zero, after clamping to
    // the int range so that no double (a settings file edited by hand may hold
    // 1e300 or inf) reaches an undefined conversion; NaN gives 0.
    static int toAxisBound(double value);

    // The x position of the next sample, shared by every DynamicChartAirgun.
    static int sampleCounter() { return s_sampleCounter; }

    QtCharts::QLineSeries *temperatureSeries() const
    {
        m_curves.catchUp();
        return m_curves.firstSeries;
    }
    QtCharts::QLineSeries *speedSeries() const
    {
        m_curves.catchUp();
        return m_curves.secondSeries;
    }
    QtCharts::QValueAxis *axisX() const
    {
        m_curves.catchUp();
        return m_curves.axisX;
    }
    QtCharts::QValueAxis *temperatureAxis() const { return m_curves.firstAxis; }
    QtCharts::QValueAxis *speedAxis() const { return m_curves.secondAxis; }
    QtCharts::QChart *chart() const { return m_chart; }
    QtCharts::QChartView *chartView() const { return m_chartView; }
    int tempMin() const { return m_tempMin; }
    int tempMax() const { return m_tempMax; }
    int speedMin() const { return m_speedMin; }
    int speedMax() const { return m_speedMax; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Mutable: the curve accessors show the samples still waiting too.
    mutable TrendCurves m_curves; // temperature first, fan speed second
    QtCharts::QChart *m_chart = nullptr;
    QtCharts::QChartView *m_chartView = nullptr;
    int m_tempMin = 0;
    int m_speedMin = 0;
    int m_tempMax = 600;
    int m_speedMax = 160;

    static int s_sampleCounter;
};
