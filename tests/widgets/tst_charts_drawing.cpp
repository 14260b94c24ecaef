// What the trend charts draw besides their curves: the unit captions above
// DynamicChart's axes and the arrow-headed axes of ArrowAxisChart, which follow
// the plot area; and the hot-air chart drawing with clamped extreme ranges.

#include "arrowaxischart.h"
#include "dynamicchart.h"
#include "dynamicchartairgun.h"
#include "onscreen.h"

#include <QGraphicsLineItem>
#include <QGraphicsPolygonItem>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

#include <iterator>
#include <limits>

using namespace QtCharts;

namespace {

const QColor kOrange(255, 165, 0);
const QColor kCyan(0, 255, 255);

QColor captionColour(const QGraphicsTextItem *item)
{
    return item->document()->firstBlock().begin().fragment().charFormat().foreground().color();
}

void showAndSettle(QWidget *widget)
{
    widget->show();
    QVERIFY(QTest::qWaitForWindowExposed(widget));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

} // namespace

class TestChartDrawing : public QObject
{
    Q_OBJECT

private slots:
    void captionTexts()
    {
        DynamicChart chart;
        QGraphicsTextItem *current = chart.currentCaption();
        QGraphicsTextItem *voltage = chart.voltageCaption();
        QCOMPARE(current->scene(), chart.chart()->scene());
        QCOMPARE(voltage->scene(), chart.chart()->scene());
        QCOMPARE(current->toPlainText(), QStringLiteral("mA"));
        QCOMPARE(voltage->toPlainText(), QStringLiteral("mV"));
        QCOMPARE(captionColour(current), kOrange);
        QCOMPARE(captionColour(voltage), kCyan);

        // The texts are put in as given, keeping their colours.
        chart.setUnitLabels(QStringLiteral("milliampere"), QString());
        QCOMPARE(current->toPlainText(), QStringLiteral("milliampere"));
        QCOMPARE(voltage->toPlainText(), QString());
        chart.setUnitLabels(QStringLiteral("A"), QStringLiteral("V"));
        QCOMPARE(current->toPlainText(), QStringLiteral("A"));
        QCOMPARE(voltage->toPlainText(), QStringLiteral("V"));
        QCOMPARE(captionColour(current), kOrange);
        QCOMPARE(captionColour(voltage), kCyan);

        // setUnitLabels places the captions itself, also without a layout pass.
        const QRectF area = chart.chart()->plotArea();
        QCOMPARE(current->pos(), QPointF(area.left() - 10, area.top() - 40));
        QCOMPARE(voltage->pos(), QPointF(area.right(), area.top() - 40));
    }

    void captionsAndArrowsFollowThePlotArea()
    {
        DynamicChart chart;
        chart.resize(271, 221);
        showAndSettle(&chart);
        ArrowAxisChart *view = chart.chartView();

        auto check = [&]() {
            const QRectF p = chart.chart()->plotArea();
            QVERIFY(p.isValid());
            QCOMPARE(chart.currentCaption()->pos(), QPointF(p.left() - 10, p.top() - 40));
            QCOMPARE(chart.voltageCaption()->pos(), QPointF(p.right(), p.top() - 40));
            // Above the plot area, inside the visible part of the view.
            QVERIFY(chart.currentCaption()->pos().y() >= -5);
            QVERIFY(chart.currentCaption()->pos().y() + 20 < p.top());

            QCOMPARE(view->leftAxisLine()->line(),
                     QLineF(p.left(), p.bottom(), p.left(), p.top() - 6));
            QCOMPARE(view->rightAxisLine()->line(),
                     QLineF(p.right(), p.bottom(), p.right(), p.top() - 6));
            // The lines keep their outlines between moves: still where they are drawn.
            for (QGraphicsLineItem *line : {view->leftAxisLine(), view->rightAxisLine()}) {
                QGraphicsLineItem plain(line->line());
                plain.setPen(line->pen());
                QCOMPARE(line->boundingRect(), plain.boundingRect());
            }
            const auto head = [](qreal x, qreal top) {
                return QPolygonF(
                    {QPointF(x - 6, top - 6), QPointF(x, top - 12), QPointF(x + 6, top - 6)});
            };
            QCOMPARE(view->leftArrowHead()->polygon().translated(view->leftArrowHead()->pos()),
                     head(p.left(), p.top()));
            QCOMPARE(view->rightArrowHead()->polygon().translated(view->rightArrowHead()->pos()),
                     head(p.right(), p.top()));
        };
        check();

        // Narrower axis labels ("0.0" to "1.0") widen the plot area. (Wider labels
        // would not move it: Qt Charts gives the vertical axes at most 40 % of the
        // chart width and elides the labels beyond that.)
        QRectF before = chart.chart()->plotArea();
        chart.setCurrentRange(0, 1);
        chart.setVoltageRange(0, 1);
        QTRY_VERIFY(chart.chart()->plotArea() != before);
        check();

        before = chart.chart()->plotArea();
        view->resize(400, 300);
        QTRY_VERIFY(chart.chart()->plotArea() != before);
        check();

        // The arrows are placed from the chart's plot area, whatever the caller passes.
        view->updateArrows(QRectF(1, 2, 3, 4));
        check();
    }

    void arrowAxisChart_items()
    {
        // Without a chart, initialisation and updates do nothing.
        ArrowAxisChart empty;
        empty.initialize();
        empty.updateArrows(QRectF(0, 0, 10, 10));
        QCOMPARE(empty.leftAxisLine(), nullptr);
        QCOMPARE(empty.arrowChart(), nullptr);

        ArrowAxisChart view;
        auto *chart = new QChart();
        view.setArrowChart(chart);
        view.initialize();
        QCOMPARE(view.chart(), chart);
        QGraphicsLineItem *leftLine = view.leftAxisLine();
        QGraphicsPolygonItem *leftHead = view.leftArrowHead();
        QVERIFY(leftLine && view.rightAxisLine() && leftHead && view.rightArrowHead());
        QCOMPARE(leftLine->pen().color(), kOrange);
        QCOMPARE(view.rightAxisLine()->pen().color(), kCyan);
        QCOMPARE(leftHead->brush().color(), kOrange);
        QCOMPARE(view.rightArrowHead()->brush().color(), kCyan);
        for (QGraphicsItem *item : std::initializer_list<QGraphicsItem *>{
                 leftLine, view.rightAxisLine(), leftHead, view.rightArrowHead()})
            QCOMPARE(item->scene(), view.scene());

        // A new pen gives the line a new outline.
        leftLine->setLine(QLineF(10, 10, 10, 100));
        QPen wide = leftLine->pen();
        wide.setWidth(9);
        const QRectF narrowBounds = leftLine->boundingRect();
        leftLine->setPen(wide);
        QVERIFY(leftLine->boundingRect().width() > narrowBounds.width() + 6);

        // A second initialisation creates nothing new.
        const int items = view.scene()->items().size();
        view.initialize();
        QCOMPARE(view.leftAxisLine(), leftLine);
        QCOMPARE(view.scene()->items().size(), items);
    }

    void airgun_drawsWithClampedRanges()
    {
        DynamicChartAirgun chart;
        chart.setTempRange(1e12, -5);
        chart.setSpeedRange(-std::numeric_limits<double>::infinity(), 1e300);
        chart.appendPoints(250, 50);
        chart.resize(271, 221);
        showAndSettle(&chart);
        QVERIFY(!chart.grab().isNull());
    }

    // The curves are repainted only around what they touch; curves that climb,
    // drop, leave the plot and come back must leave the same picture as a chart
    // drawn afresh.
    void movingCurvesLeaveNoTrace()
    {
        DynamicChart power;
        DynamicChartAirgun airgun;
        power.setCurrentRange(0, 5);
        power.setVoltageRange(0, 30);
        const double steps[] = {0, 5, 2.5, 80, -40, 3, 3, 0.1, 4.9, 1e6, 2};
        for (QWidget *chart : {static_cast<QWidget *>(&power), static_cast<QWidget *>(&airgun)}) {
            chart->resize(301, 221);
            showAndSettle(chart);
            for (int i = 0; i < 60; ++i) {
                const double value = steps[i % std::size(steps)];
                if (chart == &power)
                    power.appendPoints(value, value * 6);
                else
                    airgun.appendPoints(value * 100, value * 20);
                QCoreApplication::processEvents();
            }
            QCoreApplication::processEvents();
            // Against the curves with every sample on them, as the accessors catch up.
            const QImage shown = onScreen(chart);
            chart == &power ? void(power.currentSeries()) : void(airgun.temperatureSeries());
            QCOMPARE(shown, chart->grab().toImage().convertToFormat(QImage::Format_RGB32));
        }
    }
};

QTEST_MAIN(TestChartDrawing)
#include "tst_charts_drawing.moc"
