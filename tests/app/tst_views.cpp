// Device views and display types of the main window, used through its menus.
#include "digitalairgun_widget.h"
#include "digitalelectriciron_widget.h"
#include "digitalmul_widget.h"
#include "digitalmultable_widget.h"
#include "digitalpower_widget.h"
#include "mainwindow.h"
#include "settinginfo.h"
#include "testenvironment.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>

namespace {

// Group box heights of the numeric view and the spacing between them.
const int multimeterBoxHeight = 161;
const int powerBoxHeight = 241;
const int ironBoxHeight = 161;
const int airgunBoxHeight = 231;
const int boxSpacing = 10;
const int topBarHeight = 41;
const int topBarWidth = 291;

using TestEnvironment::writeSettings;

int storedInt(const QString &key)
{
    return QSettings(settingsFilePath(), QSettings::IniFormat).value(key).toInt();
}

// Widgets and actions of one window, found the way a user meets them.
struct Window
{
    MainWindow window;
    QWidget *topBar = nullptr;
    QWidget *numericView = nullptr;
    QWidget *graphicView = nullptr;
    QStatusBar *statusBar = nullptr;
    QAction *valueAction = nullptr;
    QAction *graphicAction = nullptr;
    QAction *rangeSettingAction = nullptr;

    Window()
    {
        topBar = window.findChild<QWidget *>("widget");
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

    QAction *action(const char *name) { return window.findChild<QAction *>(name); }
    QWidget *box(const char *name) { return window.findChild<QGroupBox *>(name); }

    // The window stands at the top right of the primary screen.
    bool placed() const
    {
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        return window.pos() == QPoint(available.width() - window.width() - 20, 50);
    }

    QSize numericSize(int boxesHeight) const
    {
        return QSize(topBarWidth, statusBar->height() + topBarHeight + boxesHeight);
    }

    // The graphic view is exactly as large as its panels need, and the window
    // exactly as large as the top bar, that view and the status bar.
    void verifyGraphicFit() const
    {
        QCOMPARE(graphicView->size(), graphicView->sizeHint());
        QCOMPARE(window.size(), QSize(qMax(topBarWidth, graphicView->width()),
                                      statusBar->height() + topBarHeight + graphicView->height()));
    }
};

} // namespace

class ViewsTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { curSetting = savedSetting = SettingInfo(); }

    // The start-up size must be the fitted size the window returns to after any
    // view change, with the status bar measured as the window lays it out.
    void startUpSizeFitsShownViews_data()
    {
        QTest::addColumn<int>("displayType");
        QTest::newRow("numeric") << 0;
        QTest::newRow("graphic") << 1;
    }

    void startUpSizeFitsShownViews()
    {
        QFETCH(int, displayType);
        writeSettings({{"SerialInfo/nDisplayType", displayType}});
        Window w;
        QCOMPARE(w.numericView->isVisible(), displayType == 0);
        QCOMPARE(w.graphicView->isVisible(), displayType != 0);
        QCOMPARE(w.valueAction->isChecked(), displayType == 0);
        QCOMPARE(w.graphicAction->isChecked(), displayType != 0);
        QCOMPARE(w.rangeSettingAction->isEnabled(), displayType != 0);
        QVERIFY(w.placed());
        const QSize startUpSize = w.window.size();

        w.action("action_airgun")->trigger();
        w.action("action_airgun")->trigger();
        const QSize refitSize = w.window.size();
        if (displayType)
            w.verifyGraphicFit();
        else
            QCOMPARE(refitSize, w.numericSize(multimeterBoxHeight + powerBoxHeight + ironBoxHeight +
                                              airgunBoxHeight + 3 * boxSpacing));
        QCOMPARE(startUpSize, refitSize);
    }

    void numericToggle_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("boxHeight");
        QTest::newRow("multimeter") << "action_multimeter"
                                    << "groupBox_multimeter"
                                    << "ids_DevView/mulView" << multimeterBoxHeight;
        QTest::newRow("power") << "action_regularPower"
                               << "groupBox_regularpower"
                               << "ids_DevView/powerView" << powerBoxHeight;
        QTest::newRow("iron") << "action_electricIron"
                              << "groupBox_electicIron"
                              << "ids_DevView/elecIronView" << ironBoxHeight;
        QTest::newRow("hot-air") << "action_airgun"
                                 << "groupBox_airgun"
                                 << "ids_DevView/airgunView" << airgunBoxHeight;
    }

    void numericToggle()
    {
        QFETCH(QString, action);
        QFETCH(QString, box);
        QFETCH(QString, key);
        QFETCH(int, boxHeight);
        writeSettings();
        Window w;
        QAction *toggle = w.action(qPrintable(action));
        QWidget *groupBox = w.box(qPrintable(box));
        const int allBoxes =
            multimeterBoxHeight + powerBoxHeight + ironBoxHeight + airgunBoxHeight + 3 * boxSpacing;
        const QList<QWidget *> panels = {w.window.mulPanel(), w.window.powerPanel(),
                                         w.window.ironPanel(), w.window.airgunPanel()};

        w.window.move(0, 0);
        toggle->trigger();
        QVERIFY(!groupBox->isVisible());
        QVERIFY(!toggle->isChecked());
        QCOMPARE(w.window.size(), w.numericSize(allBoxes - boxHeight - boxSpacing));
        QVERIFY(w.placed());
        QCOMPARE(storedInt(key), 0);
        QCOMPARE(storedInt("SerialInfo/nDisplayType"), 0);
        // The graphic panels wait for the next display type switch.
        for (QWidget *panel : panels)
            QVERIFY(!panel->isHidden());

        w.window.move(0, 0);
        toggle->trigger();
        QVERIFY(groupBox->isVisible());
        QVERIFY(toggle->isChecked());
        QCOMPARE(w.window.size(), w.numericSize(allBoxes));
        QVERIFY(w.placed());
        QCOMPARE(storedInt(key), 1);
    }

    // Each row of the graphic view holds two panels: the view shrinks by a row
    // only when both are off, so each instrument is toggled with its row mate.
    void graphicToggle_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("panel");
        QTest::addColumn<QString>("mateAction");
        QTest::addColumn<int>("matePanel");
        QTest::newRow("multimeter") << "action_multimeter"
                                    << "ids_DevView/mulView" << 0 << "action_regularPower" << 1;
        QTest::newRow("power") << "action_regularPower"
                               << "ids_DevView/powerView" << 1 << "action_multimeter" << 0;
        QTest::newRow("iron") << "action_electricIron"
                              << "ids_DevView/elecIronView" << 2 << "action_airgun" << 3;
        QTest::newRow("hot-air") << "action_airgun"
                                 << "ids_DevView/airgunView" << 3 << "action_electricIron" << 2;
    }

    void graphicToggle()
    {
        QFETCH(QString, action);
        QFETCH(QString, key);
        QFETCH(int, panel);
        QFETCH(QString, mateAction);
        QFETCH(int, matePanel);
        writeSettings({{"SerialInfo/nDisplayType", 1}});
        Window w;
        const QList<QWidget *> panels = {w.window.mulPanel(), w.window.powerPanel(),
                                         w.window.ironPanel(), w.window.airgunPanel()};
        QWidget *device = panels[panel];
        QWidget *mate = panels[matePanel];
        QAction *toggle = w.action(qPrintable(action));
        QVERIFY(device->isVisible());
        QVERIFY(!w.window.mulTablePanel()->isVisible());
        const QSize fullHint = w.graphicView->sizeHint();

        w.window.move(0, 0);
        toggle->trigger();
        QVERIFY(!device->isVisible());
        QVERIFY(mate->isVisible());
        QVERIFY(!toggle->isChecked());
        w.verifyGraphicFit();
        QVERIFY(w.placed());
        QCOMPARE(storedInt(key), 0);
        QCOMPARE(storedInt("SerialInfo/nDisplayType"), 1);
        // The numeric view's group boxes wait for the next display type switch.
        for (const char *box : {"groupBox_multimeter", "groupBox_regularpower",
                                "groupBox_electicIron", "groupBox_airgun"})
            QVERIFY(!w.box(box)->isHidden());

        w.action(qPrintable(mateAction))->trigger();
        QVERIFY(!mate->isVisible());
        w.verifyGraphicFit();
        QVERIFY(w.graphicView->height() <= fullHint.height() - device->height());

        w.window.move(0, 0);
        toggle->trigger();
        QVERIFY(device->isVisible());
        QVERIFY(toggle->isChecked());
        w.verifyGraphicFit();
        QVERIFY(w.graphicView->height() > fullHint.height() - device->height());
        QVERIFY(w.placed());
        QCOMPARE(storedInt(key), 1);

        w.action(qPrintable(mateAction))->trigger();
        QCOMPARE(w.graphicView->size(), fullHint);
        w.verifyGraphicFit();
    }

    void displayTypeSwitchShowsFlaggedInstruments()
    {
        writeSettings();
        Window w;
        w.action("action_regularPower")->trigger();
        w.action("action_airgun")->trigger();

        w.window.move(0, 0);
        w.graphicAction->trigger();
        QVERIFY(w.graphicView->isVisible());
        QVERIFY(!w.numericView->isVisible());
        QVERIFY(w.graphicAction->isChecked());
        QVERIFY(!w.valueAction->isChecked());
        QVERIFY(w.rangeSettingAction->isEnabled());
        QCOMPARE(storedInt("SerialInfo/nDisplayType"), 1);
        QVERIFY(w.window.mulPanel()->isVisible());
        QVERIFY(w.window.ironPanel()->isVisible());
        QVERIFY(!w.window.powerPanel()->isVisible());
        QVERIFY(!w.window.airgunPanel()->isVisible());
        QVERIFY(!w.window.mulTablePanel()->isVisible());
        w.verifyGraphicFit();
        QVERIFY(w.placed());

        // Choosing the active type again keeps it checked.
        w.graphicAction->trigger();
        QVERIFY(w.graphicAction->isChecked());
        QVERIFY(!w.valueAction->isChecked());

        w.action("action_regularPower")->trigger();
        w.action("action_multimeter")->trigger();
        QVERIFY(w.window.powerPanel()->isVisible());
        QVERIFY(!w.window.mulPanel()->isVisible());

        w.window.move(0, 0);
        w.valueAction->trigger();
        QVERIFY(w.numericView->isVisible());
        QVERIFY(!w.graphicView->isVisible());
        QVERIFY(w.valueAction->isChecked());
        QVERIFY(!w.graphicAction->isChecked());
        QVERIFY(!w.rangeSettingAction->isEnabled());
        QCOMPARE(storedInt("SerialInfo/nDisplayType"), 0);
        QVERIFY(!w.box("groupBox_multimeter")->isVisible());
        QVERIFY(w.box("groupBox_regularpower")->isVisible());
        QVERIFY(w.box("groupBox_electicIron")->isVisible());
        QVERIFY(!w.box("groupBox_airgun")->isVisible());
        QVERIFY(!w.action("action_multimeter")->isChecked());
        QVERIFY(w.action("action_regularPower")->isChecked());
        QVERIFY(w.action("action_electricIron")->isChecked());
        QVERIFY(!w.action("action_airgun")->isChecked());
        QCOMPARE(w.window.size(), w.numericSize(powerBoxHeight + ironBoxHeight + boxSpacing));
        QVERIFY(w.placed());

        w.valueAction->trigger();
        QVERIFY(w.valueAction->isChecked());
        QVERIFY(!w.graphicAction->isChecked());

        QCOMPARE(storedInt("ids_DevView/mulView"), 0);
        QCOMPARE(storedInt("ids_DevView/powerView"), 1);
        QCOMPARE(storedInt("ids_DevView/elecIronView"), 1);
        QCOMPARE(storedInt("ids_DevView/airgunView"), 0);
    }

    void tableModeTogglesTheTablePanel()
    {
        writeSettings({{"SerialInfo/nDisplayType", 1}});
        Window w;
        // What the multimeter decoding does when the table mode begins.
        w.window.bTableMode = true;
        w.window.mulPanel()->hide();
        w.window.mulTablePanel()->show();
        QAction *toggle = w.action("action_multimeter");

        toggle->trigger();
        QVERIFY(!w.window.mulTablePanel()->isVisible());
        QVERIFY(!w.window.mulPanel()->isVisible());
        QVERIFY(!toggle->isChecked());
        w.verifyGraphicFit();
        QCOMPARE(storedInt("ids_DevView/mulView"), 0);

        toggle->trigger();
        QVERIFY(w.window.mulTablePanel()->isVisible());
        QVERIFY(!w.window.mulPanel()->isVisible());
        QVERIFY(toggle->isChecked());
        w.verifyGraphicFit();
        QCOMPARE(storedInt("ids_DevView/mulView"), 1);
    }

    void allViewsOffLeavesASmallWindow_data()
    {
        QTest::addColumn<int>("displayType");
        QTest::newRow("numeric") << 0;
        QTest::newRow("graphic") << 1;
    }

    void allViewsOffLeavesASmallWindow()
    {
        QFETCH(int, displayType);
        writeSettings({{"ids_DevView/mulView", 0},
                       {"ids_DevView/powerView", 0},
                       {"ids_DevView/elecIronView", 0},
                       {"ids_DevView/airgunView", 0},
                       {"SerialInfo/nDisplayType", displayType}});
        Window w;
        for (const char *name :
             {"action_multimeter", "action_regularPower", "action_electricIron", "action_airgun"})
            QVERIFY(!w.action(name)->isChecked());
        for (QWidget *panel : {static_cast<QWidget *>(w.window.mulPanel()),
                               static_cast<QWidget *>(w.window.powerPanel()),
                               static_cast<QWidget *>(w.window.ironPanel()),
                               static_cast<QWidget *>(w.window.airgunPanel()),
                               static_cast<QWidget *>(w.window.mulTablePanel())})
            QVERIFY(!panel->isVisible());
        for (const char *box : {"groupBox_multimeter", "groupBox_regularpower",
                                "groupBox_electicIron", "groupBox_airgun"})
            QVERIFY(!w.box(box)->isVisible());
        QWidget *view = displayType ? w.graphicView : w.numericView;
        QVERIFY(view->isVisible());
        QCOMPARE(w.window.width(), topBarWidth);
        // Only the top bar, the empty view and the status bar remain.
        const int viewHeight = w.window.height() - w.statusBar->height() - topBarHeight;
        QVERIFY2(viewHeight < 40, qPrintable(QString::number(viewHeight)));
        QVERIFY(w.placed());

        // The view menu brings an instrument back.
        w.action("action_electricIron")->trigger();
        QVERIFY(w.action("action_electricIron")->isChecked());
        QVERIFY(displayType ? w.window.ironPanel()->isVisible()
                            : w.box("groupBox_electicIron")->isVisible());
        if (displayType)
            w.verifyGraphicFit();
        else
            QCOMPARE(w.window.size(), w.numericSize(ironBoxHeight));
        QVERIFY(w.placed());
    }
};

KORVANTA_TEST_MAIN(QApplication, ViewsTest)
#include "tst_views.moc"
