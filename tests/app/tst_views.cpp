// Device views and display types of the main window, used through its menus.
#include "digitalairgun_widget.h"
#include "digitalelectriciron_widget.h"
#include "digitalmul_widget.h"
#include "digitalmultable_widget.h"
#include "digitalpower_widget.h"
#include "dynamicchart.h"
#include "dynamicchartairgun.h"
#include "framebuilder.h"
#include "gaugeiron_widget.h"
#include "mainwindow.h"
#include "settinginfo.h"
#include "testenvironment.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QMenu>
#include <QScrollArea>
#include <QSettings>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>

namespace {

// The four instruments in the order of their panels, with the numeric view's
// group box heights; the boxes stand 10 pixels apart.
struct Device
{
    const char *action, *box, *key;
    int boxHeight;
};
const Device devices[4] = {
    {"action_multimeter", "groupBox_multimeter", "ids_DevView/mulView", 161},
    {"action_regularPower", "groupBox_regularpower", "ids_DevView/powerView", 241},
    {"action_electricIron", "groupBox_electicIron", "ids_DevView/elecIronView", 161},
    {"action_airgun", "groupBox_airgun", "ids_DevView/airgunView", 231}};
// The graphic view's rows: multimeter and power supply, iron and hot-air gun.
const int rowMate[4] = {1, 0, 3, 2};
const int boxSpacing = 10;
const int topBarHeight = 41;
const int topBarWidth = 291;
using Flags = QVector<bool>;
const Flags allOn(4, true);

using TestEnvironment::writeSettings;

int storedInt(const QString &key)
{
    return QSettings(settingsFilePath(), QSettings::IniFormat).value(key).toInt();
}

// Widgets and actions of one window, found the way a user meets them.
struct Window
{
    MainWindow window;
    QWidget *numericView = nullptr;
    QWidget *graphicView = nullptr;
    QStatusBar *statusBar = nullptr;
    QAction *valueAction = nullptr;
    QAction *graphicAction = nullptr;
    QAction *rangeSettingAction = nullptr;

    Window()
    {
        numericView = window.findChild<QWidget *>("widget_2");
        graphicView = window.findChild<QWidget *>("widget_3");
        statusBar = window.findChild<QStatusBar *>("statusbar");
        const QList<QAction *> viewActions =
            window.findChild<QToolButton *>("toolButton_view")->menu()->actions();
        rangeSettingAction = viewActions.value(5);
        const QList<QAction *> typeActions = viewActions.value(4)->menu()->actions();
        valueAction = typeActions.value(0);
        graphicAction = typeActions.value(1);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    QAction *action(int device) { return window.findChild<QAction *>(devices[device].action); }
    QWidget *box(int device) { return window.findChild<QGroupBox *>(devices[device].box); }
    QWidget *panel(int device)
    {
        const QList<QWidget *> panels = {window.mulPanel(), window.powerPanel(), window.ironPanel(),
                                         window.airgunPanel()};
        return panels[device];
    }
    void toggle(int device) { action(device)->trigger(); }

    // The window stands at the top right of the screen.
    bool placed() const
    {
        const QRect available = MainWindow::availableScreenArea();
        return window.pos() == QPoint(available.width() - window.width() - 20, 50);
    }

    QSize numericSize(int boxesHeight) const
    {
        return QSize(topBarWidth, statusBar->height() + topBarHeight + boxesHeight);
    }

    void verifyDisplayType(bool graphic)
    {
        QCOMPARE(numericView->isVisible(), !graphic);
        QCOMPARE(graphicView->isVisible(), graphic);
        QCOMPARE(valueAction->isChecked(), !graphic);
        QCOMPARE(graphicAction->isChecked(), graphic);
        QCOMPARE(rangeSettingAction->isEnabled(), graphic);
        QCOMPARE(storedInt("SerialInfo/nDisplayType"), int(graphic));
    }

    // The view menu's check marks and the containers on screen follow the flags;
    // the multimeter shows its table panel instead while the table mode lasts.
    void verifyDevices(const Flags &on)
    {
        const bool graphic = graphicView->isVisible();
        for (int i = 0; i < 4; ++i) {
            const bool tableInstead = graphic && i == 0 && window.bTableMode;
            QVERIFY2(action(i)->isChecked() == on[i], devices[i].action);
            QVERIFY2((graphic ? panel(i) : box(i))->isVisible() == (on[i] && !tableInstead),
                     devices[i].box);
        }
        QCOMPARE(window.mulTablePanel()->isVisible(), graphic && on[0] && window.bTableMode);
    }

    // The graphic view is exactly as large as its panels need, the numeric view
    // as its boxes, and the window exactly as large as the top bar, that view
    // and the status bar.
    void verifyFit(const Flags &on)
    {
        if (graphicView->isVisible()) {
            QCOMPARE(graphicView->size(), graphicView->sizeHint());
            QCOMPARE(window.size(),
                     QSize(qMax(topBarWidth, graphicView->width()),
                           statusBar->height() + topBarHeight + graphicView->height()));
            return;
        }
        int height = -boxSpacing;
        for (int i = 0; i < 4; ++i)
            height += on[i] ? devices[i].boxHeight + boxSpacing : 0;
        QCOMPARE(window.size(), numericSize(height));
    }
};

} // namespace

class ViewsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        curSetting = savedSetting = SettingInfo();
        // A screen large enough for every view, with a panel at the top.
        MainWindow::setAvailableScreenArea(QRect(0, 28, 1920, 1172));
    }

    void startUpSizeFitsShownViews_data()
    {
        QTest::addColumn<int>("displayType");
        QTest::newRow("numeric") << 0;
        QTest::newRow("graphic") << 1;
    }

    // The start-up size must be the fitted size the window returns to after any
    // view change, with the status bar measured as the window lays it out.
    void startUpSizeFitsShownViews()
    {
        QFETCH(int, displayType);
        writeSettings({{"SerialInfo/nDisplayType", displayType}});
        Window w;
        w.verifyDisplayType(displayType);
        w.verifyDevices(allOn);
        QVERIFY(w.placed());
        const QSize startUpSize = w.window.size();

        w.toggle(3);
        w.toggle(3);
        w.verifyFit(allOn);
        QCOMPARE(startUpSize, w.window.size());
    }

    void deviceToggle_data()
    {
        QTest::addColumn<int>("displayType");
        QTest::addColumn<int>("device");
        for (int type : {0, 1})
            for (int device = 0; device < 4; ++device)
                QTest::addRow("%s %s", type ? "graphic" : "numeric", devices[device].action)
                    << type << device;
    }

    void deviceToggle()
    {
        QFETCH(int, displayType);
        QFETCH(int, device);
        writeSettings({{"SerialInfo/nDisplayType", displayType}});
        Window w;
        const int mate = rowMate[device];
        const QSize fullHint = w.graphicView->sizeHint();
        Flags on = allOn;

        w.window.move(0, 0);
        w.toggle(device);
        on[device] = false;
        w.verifyDevices(on);
        w.verifyFit(on);
        QVERIFY(w.placed());
        QCOMPARE(storedInt(devices[device].key), 0);
        QCOMPARE(storedInt("SerialInfo/nDisplayType"), displayType);
        // The other view's containers wait for the next display type switch.
        for (int i = 0; i < 4; ++i)
            QVERIFY(!(displayType ? w.box(i) : w.panel(i))->isHidden());

        if (displayType) {
            // A row of the graphic view shrinks only when both its panels are off.
            w.toggle(mate);
            on[mate] = false;
            w.verifyDevices(on);
            w.verifyFit(on);
            QVERIFY(w.graphicView->height() <= fullHint.height() - w.panel(device)->height());
        }

        w.window.move(0, 0);
        w.toggle(device);
        on[device] = true;
        w.verifyDevices(on);
        w.verifyFit(on);
        QVERIFY(w.placed());
        QCOMPARE(storedInt(devices[device].key), 1);

        if (displayType) {
            QVERIFY(w.graphicView->height() > fullHint.height() - w.panel(device)->height());
            w.toggle(mate);
            QCOMPARE(w.graphicView->size(), fullHint);
            w.verifyFit(allOn);
        }
    }

    void displayTypeSwitchShowsFlaggedInstruments()
    {
        writeSettings();
        Window w;
        w.toggle(1);
        w.toggle(3);

        w.window.move(0, 0);
        w.graphicAction->trigger();
        w.verifyDisplayType(true);
        w.verifyDevices({true, false, true, false});
        w.verifyFit({true, false, true, false});
        QVERIFY(w.placed());
        // Choosing the active type again keeps it checked.
        w.graphicAction->trigger();
        w.verifyDisplayType(true);

        w.toggle(1);
        w.toggle(0);
        w.window.move(0, 0);
        w.valueAction->trigger();
        w.verifyDisplayType(false);
        w.verifyDevices({false, true, true, false});
        w.verifyFit({false, true, true, false});
        QVERIFY(w.placed());
        w.valueAction->trigger();
        w.verifyDisplayType(false);
    }

    void tableModeTogglesTheTablePanel()
    {
        writeSettings({{"SerialInfo/nDisplayType", 1}});
        Window w;
        // What the multimeter decoding does when the table mode begins.
        w.window.bTableMode = true;
        w.window.mulPanel()->hide();
        w.window.mulTablePanel()->show();

        w.toggle(0);
        w.verifyDevices({false, true, true, true});
        w.verifyFit({false, true, true, true});
        QCOMPARE(storedInt(devices[0].key), 0);

        w.toggle(0);
        w.verifyDevices(allOn);
        w.verifyFit(allOn);
        QCOMPARE(storedInt(devices[0].key), 1);
    }

    // Readings that come while the graphic view is hidden are not drawn there,
    // but the view shows them all once it is shown: the newest samples of the
    // charts with their time axis, the gauge at rest on the last value.
    void hiddenPanelsCatchUpWhenShown()
    {
        writeSettings({{"SerialInfo/nDisplayType", 0}});
        Window w;
        auto *power = w.window.powerPanel()->findChild<DynamicChart *>();
        auto *airgun = w.window.airgunPanel()->findChild<DynamicChartAirgun *>();
        auto *gauge = w.window.ironPanel()->findChild<GaugeIron_widget *>();
        QVERIFY(power && airgun && gauge && !power->isVisible());
        const int firstPower = DynamicChart::sampleCounter();
        const int firstAirgun = DynamicChartAirgun::sampleCounter();
        const int frames = 40; // more than a chart's window of 30
        for (int i = 1; i <= frames; ++i) {
            const QByteArray n = QByteArray::number(i);
            w.window.decipher(FrameBuilder::station(
                0x0001, {FrameBuilder::record(n, 0x0056), FrameBuilder::record("0.5", 0x0041)}));
            w.window.decipher(FrameBuilder::station(0x0003, {FrameBuilder::record("300", 0x0043),
                                                             FrameBuilder::record(n, 0x0043),
                                                             FrameBuilder::record("40", 0x0025)}));
            w.window.decipher(FrameBuilder::station(
                0x0002, {FrameBuilder::record("350", 0x0043), FrameBuilder::record(n, 0x0043)}));
        }
        w.graphicAction->trigger();
        QVERIFY(power->isVisible());

        const int lastPower = firstPower + frames - 1;
        const int lastAirgun = firstAirgun + frames - 1;
        // Read through the chart's own list: the accessors would catch up first.
        const QVector<QPointF> volts =
            static_cast<QtCharts::QLineSeries *>(power->chart()->series().at(1))->pointsVector();
        QCOMPARE(volts.size(), 30);
        const qreal shownVolts = curSetting.VoltageUnit == 0 ? 1000 : 1;
        QCOMPARE(volts.first(), QPointF(lastPower - 29, (frames - 29) * shownVolts));
        QCOMPARE(volts.last(), QPointF(lastPower, frames * shownVolts));
        const auto *temperatures =
            static_cast<QtCharts::QLineSeries *>(airgun->chart()->series().at(0));
        QCOMPARE(temperatures->count(), 30);
        QCOMPARE(temperatures->at(29).x(), qreal(lastAirgun));
        QCOMPARE(power->axisX()->max(), qreal(lastPower));
        QCOMPARE(power->axisX()->min(), qreal(lastPower - 29));
        QCOMPARE(airgun->axisX()->max(), qreal(lastAirgun));

        double minimum = 0;
        double maximum = 0;
        QString unit;
        gauge->getRangeAndUnit(minimum, maximum, unit);
        QCOMPARE(gauge->value(), double(frames));
        QVERIFY(qFuzzyCompare(gauge->angle(), 180.0 * (frames - minimum) / (maximum - minimum)));
    }

    void allViewsOffLeavesASmallWindow_data() { startUpSizeFitsShownViews_data(); }

    void allViewsOffLeavesASmallWindow()
    {
        QFETCH(int, displayType);
        writeSettings({{"ids_DevView/mulView", 0},
                       {"ids_DevView/powerView", 0},
                       {"ids_DevView/elecIronView", 0},
                       {"ids_DevView/airgunView", 0},
                       {"SerialInfo/nDisplayType", displayType}});
        Window w;
        w.verifyDisplayType(displayType);
        w.verifyDevices(Flags(4, false));
        QCOMPARE(w.window.width(), topBarWidth);
        // Only the top bar, the empty view and the status bar remain.
        const int viewHeight = w.window.height() - w.statusBar->height() - topBarHeight;
        QVERIFY2(viewHeight < 40, qPrintable(QString::number(viewHeight)));
        QVERIFY(w.placed());

        // The view menu brings an instrument back.
        w.toggle(2);
        w.verifyDevices({false, false, true, false});
        w.verifyFit({false, false, true, false});
        QVERIFY(w.placed());
    }

    void smallScreenKeepsEveryControlReachable_data()
    {
        QTest::addColumn<int>("displayType");
        QTest::addColumn<QRect>("area");
        // 1366 x 768 less a bottom panel; a screen narrower than the graphic view.
        QTest::newRow("numeric") << 0 << QRect(0, 0, 1366, 740);
        QTest::newRow("graphic") << 1 << QRect(48, 24, 752, 456);
    }

    // The window lies in the screen's available area with its whole top bar, and
    // each instrument can be scrolled wholly into view.
    void smallScreenKeepsEveryControlReachable()
    {
        QFETCH(int, displayType);
        QFETCH(QRect, area);
        MainWindow::setAvailableScreenArea(area);
        writeSettings({{"SerialInfo/nDisplayType", displayType}});
        Window w;
        // Where the platform draws no title bar (offscreen), the frame a window
        // manager adds is still to come.
        QRect framed = w.window.frameGeometry();
        if (framed.height() - w.window.height() < 20)
            framed.setSize(w.window.size() + QSize(10, 40));
        QVERIFY2(area.contains(framed), qPrintable(QString::number(framed.bottom())));
        QVERIFY(area.contains(QRect(w.statusBar->mapToGlobal(QPoint()), w.statusBar->size())));
        const auto inside = [](QWidget *item, QWidget *frame) {
            return frame->rect().contains(QRect(item->mapTo(frame, QPoint()), item->size()));
        };
        QVERIFY(inside(w.window.findChild<QWidget *>("widget"), &w.window));
        auto *scrollArea = w.window.findChild<QScrollArea *>();
        for (int i = 0; i < 4; ++i) {
            QWidget *item = displayType ? w.panel(i) : w.box(i);
            scrollArea->ensureWidgetVisible(item, 0, 0);
            QVERIFY2(inside(item, scrollArea->viewport()), devices[i].box);
        }

        // With room on the screen again the window gets its exact size back.
        MainWindow::setAvailableScreenArea(QRect(0, 0, 1920, 1200));
        (displayType ? w.graphicAction : w.valueAction)->trigger();
        w.verifyFit(allOn);
        QVERIFY(w.placed());
    }
};

KORVANTA_TEST_MAIN(QApplication, ViewsTest)
#include "tst_views.moc"
