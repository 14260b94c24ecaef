// The history window on known readings: spans and live following, zoom and
// pan that pause it, statistics and cursors that follow the range, curves
// and gaps where they belong in pixels, damaged recordings, and export and
// reopening that keep the statistics.
#include "historycurveitem.h"
#include "historyexport.h"
#include "historynames.h"
#include "historyplot.h"
#include "historystatisticstable.h"
#include "historystore.h"
#include "historywindow.h"
#include "languagetext.h"
#include "mainwindow.h"
#include "recordingreader.h"
#include "settinginfo.h"
#include "testenvironment.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>
#include <functional>

#include <qwt_plot_canvas.h>
#include <qwt_scale_div.h>
#include <qwt_scale_draw.h>
#include <qwt_scale_map.h>

namespace {

const qint64 kStart = QDateTime(QDate(2026, 3, 2), QTime(9, 0)).toMSecsSinceEpoch();

Reading reading(qint64 ms, const QString &instrument, const QString &quantity, double value,
                const QString &unit)
{
    return {QDateTime::fromMSecsSinceEpoch(ms),
            instrument,
            quantity,
            QString::number(value),
            unit,
            QString()};
}

// One reading a second over [from, to).
void fill(HistoryStore &store, const QString &instrument, const QString &quantity,
          const QString &unit, qint64 from, qint64 to, const std::function<double(qint64)> &value)
{
    for (qint64 t = from; t < to; t += 1000)
        store.add({reading(t, instrument, quantity, value(t), unit)});
}

// The canvas as drawn, and the pixel row of a value there.
QImage canvasImage(HistoryPlot *plot)
{
    return plot->canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool orangeInColumn(const QImage &image, int x, int fromY = 0, int toY = -1)
{
    toY = toY < 0 ? image.height() - 1 : toY;
    for (int y = qMax(0, fromY); y <= qMin(toY, image.height() - 1); ++y)
        if (image.pixel(x, y) == qRgb(0xff, 0xa5, 0x00))
            return true;
    return false;
}

// A press, one move and a release (QTest's mouseMove only moves the pointer).
void drag(QWidget *widget, Qt::MouseButton button, QPoint from, QPoint to)
{
    QTest::mousePress(widget, button, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, to, widget->mapToGlobal(to), Qt::NoButton, button,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QTest::mouseRelease(widget, button, Qt::NoModifier, to);
}

QString cell(HistoryWindow &window, int row, int column)
{
    auto *table = window.findChild<QTableWidget *>("tableWidget_statistics");
    return table->item(row, column) ? table->item(row, column)->text() : QString();
}

} // namespace

class TestHistoryWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestEnvironment::writeSettings({{"ids_LanguageType/LanguageType", 2}});
        loadSettings();
        loadLanguage();
    }
    void spansAndLiveFollowing();
    void zoomAndPanPauseFollowing();
    void statisticsAndCursorsFollowTheRange();
    void curvesAndGapsInPixels();
    void timeLabelsInWallClockTime();
    void unitChangesAndAlignedPlots();
    void sessionStoreAndDamagedRecording();
    void exportedCsvOpensWithTheSameStatistics();
    void languageSwitchAndUnreadableFiles();
};

void TestHistoryWindow::spansAndLiveFollowing()
{
    HistoryStore store;
    fill(store, "multimeter", "reading", "V", kStart, kStart + 7200 * 1000,
         [](qint64) { return 1; });
    HistoryWindow window(&store);
    window.show();
    const qint64 last = store.lastTimeMs();
    QVERIFY(window.isFollowing());
    auto *span = window.findChild<QComboBox *>("comboBox_span");
    QCOMPARE(span->count(), 4);
    const qint64 spans[] = {60000, 600000, 3600000};
    for (int i = 0; i < 3; ++i) {
        window.setSpan(i);
        QCOMPARE(window.toMs(), last);
        QCOMPARE(window.toMs() - window.fromMs(), spans[i]);
    }
    window.setSpan(HistoryWindow::Everything);
    QCOMPARE(window.fromMs(), kStart);
    // New readings move the view along on the window's own timer.
    window.setSpan(HistoryWindow::OneMinute);
    fill(store, "multimeter", "reading", "V", last + 1000, last + 11000, [](qint64) { return 2; });
    QTRY_COMPARE(window.toMs(), last + 10000);
    QCOMPARE(window.fromMs(), last + 10000 - 60000);
    QCOMPARE(window.plots().size(), 1);
}

void TestHistoryWindow::zoomAndPanPauseFollowing()
{
    HistoryStore store;
    fill(store, "power", "voltage", "V", kStart, kStart + 3600 * 1000, [](qint64) { return 12; });
    HistoryWindow window(&store);
    window.setSpan(HistoryWindow::TenMinutes);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    HistoryPlot *plot = window.plots().value(0);
    QVERIFY(plot);
    QWidget *canvas = plot->canvas();
    auto *live = window.findChild<QPushButton *>("pushButton_live");
    const qint64 last = store.lastTimeMs();

    // The wheel zooms in around the pointer: the time under it stays put.
    const QPoint middle = canvas->rect().center();
    const qint64 pivot = plot->xToTime(middle.x());
    QWheelEvent wheel(middle, canvas->mapToGlobal(middle), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &wheel);
    QVERIFY(!window.isFollowing());
    QVERIFY(!live->isChecked());
    QCOMPARE(window.toMs() - window.fromMs(), qint64(600000 * 0.8));
    QVERIFY(qAbs(plot->xToTime(middle.x()) - pivot) < 2000);

    // Following again, then a drag to the right shows earlier readings.
    live->click();
    QVERIFY(window.isFollowing());
    QCOMPARE(window.toMs(), last);
    drag(canvas, Qt::LeftButton, middle, middle + QPoint(100, 0));
    QVERIFY(!window.isFollowing());
    const double msPerPixel = 600000.0 / canvas->width();
    QVERIFY(qAbs(window.toMs() - (last - qint64(100 * msPerPixel))) < 2 * msPerPixel);

    // A band with the right button zooms into the range it spans.
    const qint64 a = plot->xToTime(50);
    const qint64 b = plot->xToTime(150);
    drag(canvas, Qt::RightButton, QPoint(50, 20), QPoint(150, 30));
    QCOMPARE(window.fromMs(), a);
    QCOMPARE(window.toMs(), b);
    live->click();
    QCOMPARE(window.toMs() - window.fromMs(), qint64(600000));

    // A click places a cursor, a drag that starts on it moves it, and
    // neither pauses following.
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(100, 40));
    const double pixelMs = 600000.0 / canvas->width();
    QVERIFY(qAbs(window.cursor(0) - plot->xToTime(100)) <= pixelMs);
    drag(canvas, Qt::LeftButton, QPoint(101, 40), QPoint(200, 40));
    QVERIFY(qAbs(window.cursor(0) - plot->xToTime(200)) <= pixelMs);
    QCOMPARE(window.cursor(1), qint64(-1));
    QVERIFY(window.isFollowing());
}

void TestHistoryWindow::statisticsAndCursorsFollowTheRange()
{
    HistoryStore store;
    const qint64 hour = 3600 * 1000;
    fill(store, "multimeter", "reading", "V", kStart, kStart + hour,
         [](qint64 t) { return (t - kStart) / 1000 % 10; });
    fill(store, "iron", "set_temperature", "°C", kStart + hour, kStart + 2 * hour,
         [](qint64) { return 350; });
    fill(store, "iron", "temperature", "°C", kStart + hour, kStart + 2 * hour,
         [](qint64 t) { return qMin(350.0, 25 + (t - kStart - 3600000) / 1000.0); });
    Reading start = reading(kStart + hour + 100000, "iron", "alarm", 0, QString());
    start.value.clear();
    start.detail = "iron.tolerance=±5 start";
    Reading end = start;
    end.time = end.time.addSecs(60);
    end.detail = "iron.tolerance=±5 end";
    store.add({start});
    store.add({end});
    HistoryWindow window(&store);
    window.show();
    auto *table = window.findChild<QTableWidget *>("tableWidget_statistics");

    window.setRange(kStart, kStart + hour - 1);
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(cell(window, 0, HistoryStatisticsTable::Unit), QString("V"));
    QCOMPARE(cell(window, 0, HistoryStatisticsTable::Minimum), QString("0"));
    QCOMPARE(cell(window, 0, HistoryStatisticsTable::Maximum), QString("9"));
    QCOMPARE(cell(window, 0, HistoryStatisticsTable::Count), QString("3600"));
    window.setCursor(0, kStart + 2000);
    window.setCursor(1, kStart + 7000);
    QCOMPARE(cell(window, 0, HistoryStatisticsTable::AtFirstCursor), QString("2"));
    QCOMPARE(cell(window, 0, HistoryStatisticsTable::AtSecondCursor), QString("7"));
    QCOMPARE(cell(window, 0, HistoryStatisticsTable::Difference), QString("5"));
    QVERIFY(window.findChild<QLabel *>("label_cursors")->text().contains("5"));

    // The second hour: the iron only, its heat-up of 325 s and its alarm span.
    window.setRange(kStart + hour, kStart + 2 * hour);
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(cell(window, 1, HistoryStatisticsTable::Quantity),
             HistoryNames::quantity("iron", "temperature"));
    const double heatUp = cell(window, 1, HistoryStatisticsTable::HeatUp).toDouble();
    QVERIFY2(qAbs(heatUp - 320) <= 6, qPrintable(QString::number(heatUp)));
    HistoryPlot *iron = window.findChild<HistoryPlot *>("plot_iron");
    QVERIFY(iron);
    QCOMPARE(iron->alarmSpanCount(), 1);
    QCOMPARE(window.findChild<HistoryPlot *>("plot_multimeter")->alarmSpanCount(), 0);

    // Wider numbers in the same row widen their columns: none is shown cut.
    HistoryStore wide;
    fill(wide, "power", "current", "A", kStart, kStart + 10000,
         [](qint64 t) { return t < kStart + 5000 ? 1 : 0.000123457; });
    HistoryWindow wideWindow(&wide);
    wideWindow.show();
    auto *wideTable = wideWindow.findChild<QTableWidget *>("tableWidget_statistics");
    wideWindow.setRange(kStart - 9999, kStart - 1); // no rows
    wideWindow.setRange(kStart, kStart + 4999);     // the row, narrow numbers
    wideWindow.setRange(kStart, kStart + 9999);
    QCOMPARE(cell(wideWindow, 0, HistoryStatisticsTable::Last), QString("0.000123457"));
    for (int column = HistoryStatisticsTable::Minimum; column <= HistoryStatisticsTable::Last;
         ++column)
        QVERIFY2(wideTable->columnWidth(column) >
                     wideTable->fontMetrics().horizontalAdvance(cell(wideWindow, 0, column)),
                 qPrintable(cell(wideWindow, 0, column)));
}

void TestHistoryWindow::curvesAndGapsInPixels()
{
    HistoryStore store;
    // 1 V for 20 s, nothing for 20 s (a gap), then 3 V for 20 s.
    fill(store, "multimeter", "reading", "V", kStart, kStart + 20000, [](qint64) { return 1; });
    fill(store, "multimeter", "reading", "V", kStart + 40000, kStart + 60000,
         [](qint64) { return 3; });
    HistoryWindow window(&store);
    window.resize(800, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setRange(kStart, kStart + 60000);
    HistoryPlot *plot = window.plots().value(0);
    QVERIFY(plot);
    const QImage image = canvasImage(plot);
    const QwtScaleMap y = plot->canvasMap(QwtPlot::yLeft);
    const int low = int(std::lround(y.transform(1)));
    const int high = int(std::lround(y.transform(3)));
    QVERIFY(high < low - 20);
    const int x10 = int(std::lround(plot->timeToX(kStart + 10000)));
    const int x30 = int(std::lround(plot->timeToX(kStart + 30000)));
    const int x50 = int(std::lround(plot->timeToX(kStart + 50000)));
    QVERIFY(orangeInColumn(image, x10, low - 2, low + 2));
    QVERIFY(!orangeInColumn(image, x10, high - 5, high + 5));
    QVERIFY(orangeInColumn(image, x50, high - 2, high + 2));
    QVERIFY(!orangeInColumn(image, x50, low - 5, low + 5));
    // The gap is empty over the whole height: no line joins the two pieces.
    QVERIFY(!orangeInColumn(image, x30));
}

void TestHistoryWindow::timeLabelsInWallClockTime()
{
    // Berlin's clocks go from 02:00 to 03:00 on 29 March 2026.
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    const auto at = [](const char *iso) {
        return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate).toMSecsSinceEpoch();
    };
    HistoryStore store;
    fill(store, "power", "voltage", "V", at("2026-03-29T00:00:00+01:00"),
         at("2026-03-29T06:00:00+02:00"), [](qint64) { return 5; });
    HistoryWindow window(&store);
    window.show();
    const auto label = [&window, at](const char *iso) {
        return window.plots().value(0)->axisScaleDraw(QwtPlot::xBottom)->label(at(iso)).text();
    };
    // Across the change and after it: every label in the time the clock showed then.
    window.setRange(at("2026-03-29T00:30:00+01:00"), at("2026-03-29T05:00:00+02:00"));
    const QStringList acrossTheChange{label("2026-03-29T01:00:00+01:00"),
                                      label("2026-03-29T03:00:00+02:00")};
    window.setRange(at("2026-03-29T04:00:00+02:00"), at("2026-03-29T05:00:00+02:00"));
    const QString afterIt = label("2026-03-29T04:30:00+02:00");
    if (zone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", zone);
    tzset();
    QCOMPARE(acrossTheChange, QStringList({"01:00", "03:00"}));
    QCOMPARE(afterIt, QString("04:30"));
}

void TestHistoryWindow::unitChangesAndAlignedPlots()
{
    HistoryStore store;
    // 5 V for 20 s, then 1000 Ω: the axis takes the newest unit, and the
    // volts are a band, not scaled into ohms.
    fill(store, "multimeter", "reading", "V", kStart, kStart + 20000, [](qint64) { return 5; });
    fill(store, "multimeter", "reading", "Ω", kStart + 20000, kStart + 40000,
         [](qint64) { return 1000; });
    fill(store, "hotair", "air_speed", "%", kStart, kStart + 40000, [](qint64) { return 60; });
    fill(store, "power", "current", "A", kStart, kStart + 40000, [](qint64) { return 0.5; });
    HistoryWindow window(&store);
    window.resize(800, 700);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setRange(kStart, kStart + 40000);
    HistoryPlot *meter = window.findChild<HistoryPlot *>("plot_multimeter");
    QVERIFY(meter);
    QCOMPARE(meter->axisUnit(QwtPlot::yLeft), QString("Ω"));
    const QwtScaleDiv &scale = meter->axisScaleDiv(QwtPlot::yLeft);
    QVERIFY(scale.lowerBound() > 900 && scale.upperBound() < 1100);
    const QImage image = canvasImage(meter);
    // Below the band's label no line: the volts are not drawn on the ohm scale.
    QVERIFY(!orangeInColumn(image, int(meter->timeToX(kStart + 10000)), 24));
    QVERIFY(orangeInColumn(image, int(meter->timeToX(kStart + 30000))));
    window.setRange(kStart, kStart + 15000);
    QCOMPARE(meter->axisUnit(QwtPlot::yLeft), QString("V"));

    // Whatever their axes show, the canvases line up under one time axis.
    QCOMPARE(window.plots().size(), 3);
    for (HistoryPlot *plot : window.plots()) {
        QCOMPARE(plot->canvas()->geometry().left(), meter->canvas()->geometry().left());
        QCOMPARE(plot->canvas()->width(), meter->canvas()->width());
    }
}

void TestHistoryWindow::sessionStoreAndDamagedRecording()
{
    TestEnvironment::writeSettings({{"ids_LanguageType/LanguageType", 2}});
    MainWindow window;
    emit window.ReadingsDecoded_sig({reading(kStart, "power", "voltage", 5, "V")});
    window.SerialClosed_slot();
    emit window.ReadingsDecoded_sig({reading(kStart + 1000, "power", "voltage", 6, "V")});
    // Fed while no history window is open; the port's close breaks the line.
    QVERIFY(!window.historyWindow());
    QCOMPARE(window.history()->curve({"power", "voltage"}, kStart, kStart + 1000, 100).size(), 2);
    window.findChild<QPushButton *>("pushButton_history")->click();
    QVERIFY(window.historyWindow() && window.historyWindow()->isVisible());
    QCOMPARE(window.historyWindow()->plots().size(), 1);

    QTemporaryDir dir;
    const QString path = dir.filePath("damaged.csv");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(HistoryExport::writeCsv(*window.history(), kStart, kStart + 1000, file));
        file.write("not,a,row\r\n");
        file.write("2026-03-02T09:00:05.000+01:00,5.000,power,voltage,12x,V,\r\n");
    }
    HistoryStore reference;
    const RecordingReader::Result expected = RecordingReader::read(path, reference);
    QCOMPARE(expected.skipped, qint64(2));
    HistoryWindow *opened = window.openRecording(path);
    QVERIFY(opened->windowTitle().startsWith("damaged.csv"));
    QTRY_VERIFY(!opened->isLoading() && opened->store());
    auto *label = opened->findChild<QLabel *>("label_recording");
    QVERIFY(label->isVisible());
    QCOMPARE(label->text(),
             HistoryNames::text("ids_readResult")
                     .arg(expected.rows)
                     .arg(2)
                     .arg(expected.skippedMalformed)
                     .arg(expected.skippedBadTime)
                     .arg(expected.skippedBadValue) +
                 " " + HistoryNames::text("ids_firstSkipped").arg(expected.firstSkippedLine));
    QCOMPARE(opened->store()->keys(), window.history()->keys());
}

void TestHistoryWindow::exportedCsvOpensWithTheSameStatistics()
{
    HistoryStore store;
    fill(store, "hotair", "temperature", "°C", kStart, kStart + 600000,
         [](qint64 t) { return 300 + (t / 1000) % 7; });
    fill(store, "hotair", "air_speed", "%", kStart, kStart + 600000, [](qint64) { return 60; });
    HistoryWindow window(&store);
    window.show();
    window.setRange(kStart + 60000, kStart + 360000);
    QTemporaryDir dir;
    QVERIFY(window.exportCsv(dir.filePath("range.csv")));
    QVERIFY(window.exportPng(dir.filePath("range.png")));
    QVERIFY(window.exportSvg(dir.filePath("range.svg")));
    QVERIFY(!QImage(dir.filePath("range.png")).isNull());
    QVERIFY(!window.exportCsv(dir.filePath("missing/folder/range.csv")));
    QVERIFY(window.findChild<QLabel *>("label_status")->text().contains("missing/folder"));

    QScopedPointer<HistoryWindow> opened(HistoryWindow::forRecording(dir.filePath("range.csv")));
    QTRY_VERIFY(!opened->isLoading() && opened->store());
    const auto before = store.statistics(kStart + 60000, kStart + 360000);
    const auto after = opened->store()->statistics(kStart, kStart + 600000);
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < before.size(); ++i) {
        QCOMPARE(after[i].quantity, before[i].quantity);
        QCOMPARE(after[i].count, before[i].count);
        QCOMPARE(after[i].minimum, before[i].minimum);
        QCOMPARE(after[i].maximum, before[i].maximum);
        QVERIFY(qAbs(after[i].mean - before[i].mean) < 1e-9);
    }
}

void TestHistoryWindow::languageSwitchAndUnreadableFiles()
{
    TestEnvironment::writeSettings({{"ids_LanguageType/LanguageType", 2}});
    MainWindow window;
    window.actHistoryClick();
    HistoryWindow *history = window.historyWindow();
    QCOMPARE(history->windowTitle(), QString("History"));
    window.LanguageChangedToGerman();
    QCOMPARE(history->windowTitle(), QString("Verlauf"));
    QCOMPARE(history->findChild<QComboBox *>("comboBox_span")->itemText(3), QString("Alles"));

    QTemporaryDir dir;
    QFile foreign(dir.filePath("notes.txt"));
    QVERIFY(foreign.open(QIODevice::WriteOnly));
    foreign.write("shopping list\nmilk\n");
    foreign.close();
    for (const QString &name : {QString("missing.csv"), QString("notes.txt")}) {
        HistoryWindow *opened = window.openRecording(dir.filePath(name));
        QTRY_VERIFY(!opened->isLoading() && opened->store());
        const QString text = opened->findChild<QLabel *>("label_recording")->text();
        QVERIFY2(text.contains(name), qPrintable(text));
        QVERIFY(opened->store()->isEmpty());
        QVERIFY(opened->plots().isEmpty());
        opened->close();
    }
    window.LanguageChangedToEnglish();
}

KORVANTA_TEST_MAIN(QApplication, TestHistoryWindow)
#include "tst_historywindow.moc"
