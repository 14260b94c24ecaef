// The three device panels and the two trend charts as drawn: each is rendered
// with a few readings and must not come out blank, with its colours where the
// forms put them. When KORVANTA_SHOT_DIR is set the pictures are also written
// there as PNGs, for looking at by eye.

#include "digitalairgun_widget.h"
#include "digitalelectriciron_widget.h"
#include "digitalpower_widget.h"
#include "dynamicchart.h"
#include "dynamicchartairgun.h"
#include "gaugeiron_widget.h"
#include "settinginfo.h"

#include <QDir>
#include <QImage>
#include <QSet>
#include <QtTest>

#include <cmath>

namespace {

int distinctColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

bool near(QColor actual, QColor expected)
{
    const int tolerance = 40;
    return qAbs(actual.red() - expected.red()) <= tolerance &&
           qAbs(actual.green() - expected.green()) <= tolerance &&
           qAbs(actual.blue() - expected.blue()) <= tolerance;
}

#define QVERIFY_COLOUR(image, x, y, colour)                                                        \
    do {                                                                                           \
        const QColor c_ = (image).pixelColor((x), (y));                                            \
        QVERIFY2(near(c_, (colour)), qPrintable(QStringLiteral("pixel %1,%2 is %3, expected %4")   \
                                                    .arg(x)                                        \
                                                    .arg(y)                                        \
                                                    .arg(c_.name())                                \
                                                    .arg(QColor(colour).name())));                 \
    } while (false)

} // namespace

class TestDevicePanels : public QObject
{
    Q_OBJECT

private slots:
    void renderShots();
};

void TestDevicePanels::renderShots()
{
    const QString dir = qEnvironmentVariable("KORVANTA_SHOT_DIR");
    if (!dir.isEmpty())
        QVERIFY(QDir().mkpath(dir));

    curSetting = SettingInfo();
    curSetting.TempUnit = 0;
    curSetting.CurrentUnit = 0;
    curSetting.VoltageUnit = 1;
    curSetting.elecUnit = 0;

    DigitalPower_widget power;
    power.setCurrentRange(0, 1000);
    power.setVoltageRange(0, 30);
    power.setUnitLabels(QStringLiteral("mA"), QStringLiteral("V"));
    DigitalAirgun_widget airgun;
    airgun.setTempRange(0, 500);
    airgun.setSpeedRange(0, 100);
    DigitalElectricIron_widget iron;
    iron.setTempRange(0, 600);
    iron.setTempUnit(0);
    for (int i = 0; i < 40; ++i) {
        power.setData(500 + 300 * std::sin(i / 5.0), 12 + 6 * std::cos(i / 4.0), 0, 1);
        airgun.setData(300 + 80 * std::sin(i / 6.0), 60 + 25 * std::cos(i / 3.0), 350, 0);
    }
    iron.setData(320, 350, 0);

    DynamicChart chart;
    DynamicChartAirgun chartAirgun;
    chart.resize(271, 221);
    chartAirgun.resize(271, 221);
    for (int i = 0; i < 12; ++i) {
        chart.appendPoints(100 * i, 200 * i);
        chartAirgun.appendPoints(50 * i, 10 * i);
    }

    const QList<QPair<QString, QWidget *>> shots = {
        {QStringLiteral("digitalpower_widget"), &power},
        {QStringLiteral("digitalairgun_widget"), &airgun},
        {QStringLiteral("digitalelectriciron_widget"), &iron},
        {QStringLiteral("dynamicchart"), &chart},
        {QStringLiteral("dynamicchartairgun"), &chartAirgun},
    };
    for (const auto &shot : shots) {
        shot.second->show();
        QVERIFY(QTest::qWaitForWindowExposed(shot.second));
    }
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    // Let the iron needle finish its 200 ms glide.
    auto *gauge = iron.findChild<GaugeIron_widget *>(QStringLiteral("widget_value"));
    QVERIFY(gauge);
    QTRY_COMPARE(gauge->property("angle").toDouble(), 96.0);

    for (const auto &shot : shots) {
        const QImage image = shot.second->grab().toImage();
        QCOMPARE(image.size(), shot.second->size());
        QVERIFY2(distinctColours(image) > 8, qPrintable(shot.first));
        if (!dir.isEmpty())
            QVERIFY(image.save(QDir(dir).filePath(shot.first + QStringLiteral(".png"))));
    }

    // Colours at places the forms fix.
    const QColor background(30, 30, 30);
    const QColor orange(255, 165, 0);
    const QColor cyan(0, 255, 255);
    const QColor valueBox(150, 169, 179);

    const QImage p = power.grab().toImage();
    QVERIFY_COLOUR(p, 7, 110, background);           // left of the chart
    QVERIFY_COLOUR(p, 281 + 85, 22 + 1, cyan);       // line_V: the voltage curve
    QVERIFY_COLOUR(p, 281 + 85, 94 + 1, orange);     // line_A: the current curve
    QVERIFY_COLOUR(p, 281 + 100, 112 + 8, valueBox); // label_AValue, right of the text
    QVERIFY_COLOUR(p, 281 + 45, 182 + 28, valueBox); // label_WValue, below the text

    const QImage a = airgun.grab().toImage();
    QVERIFY_COLOUR(a, 4, 110, background);
    QVERIFY_COLOUR(a, 281 + 85, 93 + 1, orange); // line_V: the temperature curve
    QVERIFY_COLOUR(a, 281 + 85, 164 + 1, cyan);  // line_A: the speed curve
    QVERIFY_COLOUR(a, 281 + 100, 42 + 8, valueBox);

    const QImage r = iron.grab().toImage();
    QVERIFY_COLOUR(r, 150, 5, background);
    QVERIFY_COLOUR(r, 63, 35, QColor(11, 160, 193)); // label_settingValue
    QVERIFY_COLOUR(r, 150, 215, background);         // below the gauge

    // The power chart's arrow heads are drawn in their colours.
    const QImage c = chart.grab().toImage();
    const QRectF area = chart.chart()->plotArea();
    QVERIFY_COLOUR(c, int(area.left()), int(area.top() - 8), orange);
    QVERIFY_COLOUR(c, int(area.right()), int(area.top() - 8), cyan);
}

QTEST_MAIN(TestDevicePanels)
#include "tst_devicepanels.moc"
