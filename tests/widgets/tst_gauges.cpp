#include "gaugeiron_widget.h"
#include "gaugewidget.h"
#include "onscreen.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPropertyAnimation>
#include <QtTest>

#include <cmath>

// A paint device that records what a widget draws: lines, texts and pixmaps, in
// device coordinates.
class RecordingEngine : public QPaintEngine
{
public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState &state) override
    {
        if (state.state() & QPaintEngine::DirtyTransform)
            transform = state.transform();
    }
    void drawLines(const QLineF *l, int count) override
    {
        for (int i = 0; i < count; ++i)
            lines << transform.map(l[i]);
    }
    void drawLines(const QLine *l, int count) override
    {
        for (int i = 0; i < count; ++i)
            lines << transform.map(QLineF(l[i]));
    }
    void drawTextItem(const QPointF &, const QTextItem &item) override { texts << item.text(); }
    void drawPixmap(const QRectF &r, const QPixmap &, const QRectF &) override
    {
        pixmaps << transform.mapRect(r);
    }
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawPath(const QPainterPath &) override {}

    QTransform transform;
    QList<QLineF> lines;
    QStringList texts;
    QList<QRectF> pixmaps;
};

class RecordingDevice : public QPaintDevice
{
public:
    // Paints the widget through a painter, so its paint calls reach the device as they are.
    explicit RecordingDevice(QWidget *w) : size(w->size())
    {
        QPainter painter(this);
        w->render(&painter);
    }
    QPaintEngine *paintEngine() const override { return &engine; }
    // The value box comes after the six scale labels; a glyph missing from the
    // digit font may split its text into several pieces.
    QString valueBox() const { return engine.texts.mid(6).join(QString()); }

    mutable RecordingEngine engine;

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return size.width();
        case PdmHeight:
            return size.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDevicePixelRatio:
            return 1;
        default:
            return QPaintDevice::metric(m);
        }
    }

private:
    QSize size;
};

static QPropertyAnimation *animationOf(QWidget *w)
{
    return w->findChild<QPropertyAnimation *>();
}

class TestGauges : public QObject
{
    Q_OBJECT

private slots:
    void ironValueIsClampedAndAimed_data()
    {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<double>("input");
        QTest::addColumn<double>("shown");
        QTest::addColumn<double>("angle");

        QTest::newRow("above maximum") << 0.0 << 600.0 << 700.0 << 600.0 << 180.0;
        QTest::newRow("below minimum") << 0.0 << 600.0 << -20.0 << 0.0 << 0.0;
        QTest::newRow("middle") << 0.0 << 600.0 << 300.0 << 300.0 << 90.0;
        QTest::newRow("offset scale") << 200.0 << 500.0 << 275.0 << 275.0 << 45.0;
    }

    void ironValueIsClampedAndAimed()
    {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(double, input);
        QFETCH(double, shown);
        QFETCH(double, angle);

        GaugeIron_widget gauge;
        QCOMPARE(gauge.angle(), 0.0);
        gauge.setRange(minimum, maximum);
        gauge.setValue(input);
        QCOMPARE(gauge.value(), shown);
        QPropertyAnimation *animation = animationOf(&gauge);
        QCOMPARE(animation->endValue().toDouble(), angle);
        QTRY_COMPARE_WITH_TIMEOUT(animation->state(), QAbstractAnimation::Stopped, 2000);
        QCOMPARE(gauge.angle(), angle);

        // Not a number leaves the gauge as it was.
        gauge.setValue(std::nan(""));
        QCOMPARE(gauge.value(), shown);
        QCOMPARE(animation->state(), QAbstractAnimation::Stopped);
    }

    void angleIsClampedAndFuzzyCompared()
    {
        GaugeIron_widget iron;
        GaugeWidget dial;
        QCOMPARE(dial.angle(), 180.0);

        for (QWidget *w : {static_cast<QWidget *>(&iron), static_cast<QWidget *>(&dial)}) {
            w->setProperty("angle", 250.0);
            QCOMPARE(w->property("angle").toDouble(), 210.0);
            w->setProperty("angle", -5.0);
            QCOMPARE(w->property("angle").toDouble(), 0.0);
            w->setProperty("angle", 100.0);
            // A difference within rounding noise is not a change: the old value stays.
            w->setProperty("angle", 100.0 + 1e-12);
            QCOMPARE(w->property("angle").toDouble(), 100.0);
            w->setProperty("angle", 100.5);
            QCOMPARE(w->property("angle").toDouble(), 100.5);
        }
    }

    void newValueContinuesFromTheNeedle()
    {
        GaugeIron_widget gauge;
        QPropertyAnimation *animation = animationOf(&gauge);
        gauge.setValue(600);
        QCOMPARE(animation->state(), QAbstractAnimation::Running);
        // A quarter into the linear 200 ms glide the needle is at 45 degrees.
        animation->setCurrentTime(50);
        QCOMPARE(gauge.angle(), 45.0);

        gauge.setValue(300);
        QCOMPARE(animation->state(), QAbstractAnimation::Running);
        QCOMPARE(animation->startValue().toDouble(), 45.0);
        QCOMPARE(animation->endValue().toDouble(), 90.0);
        QCOMPARE(gauge.angle(), 45.0);
        QTRY_COMPARE_WITH_TIMEOUT(gauge.angle(), 90.0, 2000);
    }

    void needleRestsWhereItPoints()
    {
        // A glide of a fraction of a pixel is drawn in few steps; at rest the
        // screen shows the needle and value exactly as a needle that went straight
        // there is drawn.
        GaugeIron_widget glided;
        GaugeIron_widget direct;
        for (GaugeIron_widget *gauge : {&glided, &direct})
            gauge->resize(300, 200);
        glided.show();
        QVERIFY(QTest::qWaitForWindowExposed(&glided));
        const auto fresh = [&] {
            return direct.grab().toImage().convertToFormat(QImage::Format_RGB32);
        };
        glided.setValue(300);
        QTRY_COMPARE_WITH_TIMEOUT(glided.angle(), 90.0, 2000);
        glided.setValue(304);
        direct.setValue(304);
        QCOMPARE(animationOf(&glided)->state(), QAbstractAnimation::Running);
        QTRY_COMPARE_WITH_TIMEOUT(glided.angle(), 91.2, 2000);
        QTRY_COMPARE_WITH_TIMEOUT(direct.angle(), 91.2, 2000);
        QTRY_COMPARE_WITH_TIMEOUT(onScreen(&glided), fresh(), 1000);

        // Two pixels or less at the tip (one unit of the 600 moves it 0.74 here): no
        // glide, the needle is there at once.
        glided.setValue(303);
        QCOMPARE(animationOf(&glided)->state(), QAbstractAnimation::Stopped);
        QCOMPARE(glided.angle(), 90.9);
        direct.setValue(303);
        QTRY_COMPARE_WITH_TIMEOUT(direct.angle(), 90.9, 2000);
        QTRY_COMPARE_WITH_TIMEOUT(onScreen(&glided), fresh(), 1000);
        for (GaugeIron_widget *gauge : {&glided, &direct})
            gauge->setUnit(QStringLiteral("℉"));
        QTRY_COMPARE_WITH_TIMEOUT(onScreen(&glided), fresh(), 1000);
    }

    void ironScaleIsDrawn()
    {
        GaugeIron_widget gauge;
        gauge.resize(301, 171);
        const RecordingDevice device(&gauge);

        // 51 ticks, every tenth one long, labelled at each fifth of the span.
        QCOMPARE(device.engine.lines.size(), 51);
        const double cx = 150, cy = 171 / 1.15, radius = 102;
        int major = 0;
        for (const QLineF &line : device.engine.lines) {
            QVERIFY(std::abs(QLineF(QPointF(cx, cy), line.p1()).length() - radius) < 0.01);
            const double outer = QLineF(QPointF(cx, cy), line.p2()).length();
            if (std::abs(outer - radius * 1.18) < 0.01)
                ++major;
            else
                QVERIFY(std::abs(outer - radius * 1.08) < 0.01);
        }
        QCOMPARE(major, 6);
        // The first tick is at the left end of the arc, the last at the right end.
        QVERIFY(std::abs(device.engine.lines.first().p1().x() - (cx - radius)) < 0.01);
        QVERIFY(std::abs(device.engine.lines.last().p1().x() - (cx + radius)) < 0.01);
        QCOMPARE(device.engine.texts.mid(0, 6),
                 QStringList({"0", "120", "240", "360", "480", "600"}));

        gauge.setRange(0.1, 0.7);
        const RecordingDevice small(&gauge);
        QCOMPARE(small.engine.lines.size(), 51);
        QCOMPARE(small.engine.texts.mid(0, 6),
                 QStringList({"0.1", "0.22", "0.34", "0.46", "0.58", "0.7"}));

        // A span too narrow for its own step still ends.
        gauge.setRange(1e17, 1e17 + 64);
        QVERIFY(RecordingDevice(&gauge).engine.lines.size() <= 100);
    }

    void rangeSetterRules()
    {
        GaugeIron_widget gauge;
        gauge.resize(301, 171);
        const auto range = [&gauge]() {
            double minimum = -1, maximum = -1;
            QString unit = "x";
            gauge.getRangeAndUnit(minimum, maximum, unit);
            return QString("%1..%2 %3").arg(minimum).arg(maximum).arg(unit);
        };
        QCOMPARE(range(), QString("0..600 "));

        // Equal or non-finite ends are ignored; reversed ends are ordered.
        gauge.setUnit(QStringLiteral("℉"));
        gauge.setRange(100, 100);
        QCOMPARE(range(), QString("0..600 ℉"));
        gauge.setRange(500, 200);
        QCOMPARE(range(), QString("200..500 ℉"));
        gauge.setRange(std::nan(""), 10);
        gauge.setRange(0, INFINITY);
        QCOMPARE(range(), QString("200..500 ℉"));

        // A narrower range keeps the needle where it is until the next value,
        // while the value box is limited at the next paint.
        gauge.setRange(0, 600);
        gauge.setValue(450);
        QTRY_COMPARE_WITH_TIMEOUT(gauge.angle(), 135.0, 2000);
        QCOMPARE(RecordingDevice(&gauge).valueBox(), QStringLiteral("450 ℉"));
        gauge.setRange(0, 300);
        QCOMPARE(gauge.angle(), 135.0);
        QCOMPARE(RecordingDevice(&gauge).valueBox(), QStringLiteral("300 ℉"));
        QCOMPARE(gauge.angle(), 135.0);
    }

    // The leftmost digits of the reading show their top, middle and bottom bars (runs
    // of 8 dark pixels) inside the box, clear of its border also when the reading is
    // too wide for the font's full size.
    void valueBoxHoldsWholeDigits()
    {
        GaugeIron_widget gauge;
        gauge.resize(301, 171);
        gauge.setRange(0, 1000);
        gauge.setUnit(QStringLiteral("℉"));
        const QRect box(95, 127, 110, 30);
        for (double value : {888.0, 888.8}) {
            gauge.setValue(value);
            const QImage image = gauge.grab().toImage();
            const auto ink = [&image](int x, int y) { return qGray(image.pixel(x, y)) < 100; };
            int bars = 0;
            bool inBar = false;
            for (int y = box.top() + 1; y < box.bottom(); ++y) {
                int run = 0, longest = 0;
                for (int x = box.left() + 8; x < box.center().x(); ++x)
                    longest = qMax(longest, run = ink(x, y) ? run + 1 : 0);
                bars += longest >= 8 && !inBar;
                inBar = longest >= 8;
            }
            QCOMPARE(bars, 3);
            for (int y = box.top() + 10; y <= box.bottom() - 10; ++y)
                QVERIFY(!ink(box.left() + 2, y) && !ink(box.right() - 2, y));
        }
    }

    void dialStopsAndPointer_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("angle");
        QTest::newRow("OFF") << 0 << 180.0;
        QTest::newRow("mV") << 1 << 144.0;
        QTest::newRow("resistance") << 2 << 108.0;
        QTest::newRow("diode") << 3 << 72.0;
        QTest::newRow("capacitance") << 4 << 36.0;
        QTest::newRow("frequency") << 5 << 0.0;
        QTest::newRow("unknown") << 7 << 180.0;
        QTest::newRow("negative") << -1 << 180.0;
    }

    void dialStopsAndPointer()
    {
        QFETCH(int, type);
        QFETCH(double, angle);

        GaugeWidget dial;
        dial.setProperty("angle", 90.0);
        dial.setFunctionType(type);
        QCOMPARE(animationOf(&dial)->endValue().toDouble(), angle);
        QTRY_COMPARE_WITH_TIMEOUT(dial.angle(), angle, 2000);
    }

    void dialRestartsFromThePointer()
    {
        GaugeWidget dial;
        QPropertyAnimation *animation = animationOf(&dial);
        dial.setFunctionType(3);
        QCOMPARE(animation->startValue().toDouble(), 180.0);
        // A quarter of the linear 200 ms swing.
        animation->setCurrentTime(50);
        QCOMPARE(dial.angle(), 153.0);
        dial.setFunctionType(3);
        QCOMPARE(animation->startValue().toDouble(), 153.0);
        QCOMPARE(animation->endValue().toDouble(), 72.0);
        QTRY_COMPARE_WITH_TIMEOUT(dial.angle(), 72.0, 2000);
    }

    void dialDrawsOnlyTheStopsItHas()
    {
        GaugeWidget dial;
        dial.resize(301, 181);
        QPixmap picture(24, 24);
        picture.fill(Qt::red);
        // Stop 0 is "OFF" and has no picture; indexes past the last stop do not exist.
        for (int index : {2, 5, 0, 6, -1})
            dial.setFunctionPixmap(picture, index);

        const RecordingDevice device(&dial);
        QCOMPARE(device.engine.texts, QStringList{"OFF"});

        // Stop 2 at 108 degrees, stop 5 at 0 degrees, on the circle of radius R + 20.
        const double cx = 150, cy = 181 / 1.15, r = 181 * 0.6 + 20;
        auto expected = [&](double a) {
            const double rad = qDegreesToRadians(a);
            return QRectF(int(cx + r * std::cos(rad) - 12), int(cy - r * std::sin(rad) - 10), 24,
                          24);
        };
        QCOMPARE(device.engine.pixmaps, QList<QRectF>({expected(108), expected(0)}));

        // The pointer line runs from the centre 80 pixels towards "OFF".
        QCOMPARE(device.engine.lines.size(), 1);
        const QLineF pointer = device.engine.lines.first();
        QVERIFY(std::abs(pointer.p2().x() - (cx - 80)) < 1e-9);
        QVERIFY(std::abs(pointer.p2().y() - cy) < 1e-9);
    }
};

QTEST_MAIN(TestGauges)
#include "tst_gauges.moc"
