// The trend charts as a full-rate line drives them: one sample per batch of
// frames, laid out by the posted catch-up and painted where it changed, then
// the same with the whole chart repainted. Prints the time per sample.
//   bench_chart [SAMPLES] [PICTURE-PREFIX]
// With a prefix, each chart's final drawing is saved as PREFIX-power.png and
// PREFIX-hotair.png, so that two builds' drawings can be compared pixel by pixel.
#include "dynamicchart.h"
#include "dynamicchartairgun.h"

#include <QApplication>
#include <QChartView>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <cstdio>

namespace {

template <typename Chart>
double microsPerSample(Chart &chart, int samples, bool repaintAll, double first, double second)
{
    QRandomGenerator noise(7);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < samples; ++i) {
        chart.appendPoints(first + noise.bounded(first / 10), second + noise.bounded(second / 10));
        QCoreApplication::sendPostedEvents(); // the catch-up, the scene's and the window's updates
        if (repaintAll)
            chart.template findChild<QtCharts::QChartView *>()->viewport()->repaint();
    }
    return clock.nsecsElapsed() / 1e3 / samples;
}

template <typename Chart>
void measure(const char *name, int samples, const QString &picturePrefix, double first,
             double second)
{
    Chart chart;
    chart.resize(411, 221);
    chart.show();
    QCoreApplication::processEvents();
    microsPerSample(chart, 100, true, first, second); // fonts, caches, a whole drawing
    for (int round = 0; round < 3; ++round) {
        const double changed = microsPerSample(chart, samples, false, first, second);
        const double whole = microsPerSample(chart, samples, true, first, second);
        std::printf("%-7s sample %6.1f us, with a whole repaint %6.1f us\n", name, changed, whole);
    }
    if (!picturePrefix.isEmpty())
        chart.grab().save(picturePrefix + '-' + name + ".png");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int samples = argc > 1 ? QString(argv[1]).toInt() : 2000;
    const QString picturePrefix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    measure<DynamicChart>("power", samples, picturePrefix, 500, 1200);
    measure<DynamicChartAirgun>("hotair", samples, picturePrefix, 350, 60);
    return 0;
}
