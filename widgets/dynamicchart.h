#pragma once

#include <QString>
#include <QWidget>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include "trendcurves.h"

class ArrowAxisChart;
class QGraphicsTextItem;

// The power supply's trend chart: the last 30 current readings
// (orange, left axis) and voltage readings (cyan, right axis) on one hidden
// time axis, with arrow-headed vertical axes and a unit caption above each.
class DynamicChart : public QWidget
{
    Q_OBJECT

public:
    explicit DynamicChart(QWidget *parent = nullptr);

    // One sample: (n, current) and (n, voltage) with n the shared sample counter.
    void appendPoints(double current, double voltage);
    // Empties both curves; the sample counter and every axis range stay.
    void clearPoints();
    // Equal bounds are ignored; otherwise the smaller becomes the axis minimum.
    void setCurrentRange(double a, double b);
    void setVoltageRange(double a, double b);
    // The caption texts above the left (current) and right (voltage) axes.
    void setUnitLabels(const QString &currentUnit, const QString &voltageUnit);

    // The x position of the next sample, shared by every DynamicChart.
    static int sampleCounter() { return s_sampleCounter; }

    QtCharts::QLineSeries *currentSeries() const
    {
        m_curves.catchUp();
        return m_curves.firstSeries;
    }
    QtCharts::QLineSeries *voltageSeries() const
    {
        m_curves.catchUp();
        return m_curves.secondSeries;
    }
    QtCharts::QValueAxis *axisX() const
    {
        m_curves.catchUp();
        return m_curves.axisX;
    }
    QtCharts::QValueAxis *currentAxis() const { return m_curves.firstAxis; }
    QtCharts::QValueAxis *voltageAxis() const { return m_curves.secondAxis; }
    ArrowAxisChart *chartView() const { return m_chartView; }
    QtCharts::QChart *chart() const { return m_chart; }
    QGraphicsTextItem *currentCaption() const { return m_currentCaption; }
    QGraphicsTextItem *voltageCaption() const { return m_voltageCaption; }
    double currentMin() const { return m_currentMin; }
    double currentMax() const { return m_currentMax; }
    double voltageMin() const { return m_voltageMin; }
    double voltageMax() const { return m_voltageMax; }

public slots:
    // Puts the captions above the two sides of the current plot area.
    void updateUnitLabelsPosition();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Mutable: the curve accessors show the samples still waiting too.
    mutable TrendCurves m_curves; // current first, voltage second
    ArrowAxisChart *m_chartView = nullptr;
    QtCharts::QChart *m_chart = nullptr;
    QGraphicsTextItem *m_currentCaption = nullptr;
    QGraphicsTextItem *m_voltageCaption = nullptr;
    double m_currentMin = 0;
    double m_voltageMin = 0;
    double m_currentMax = 1000;
    double m_voltageMax = 2200;

    static int s_sampleCounter;
};
