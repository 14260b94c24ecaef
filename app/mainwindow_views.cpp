// Menus, device views and display types of MainWindow.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "digitalairgun_widget.h"
#include "digitalelectriciron_widget.h"
#include "digitalmul_widget.h"
#include "digitalmultable_widget.h"
#include "digitalpower_widget.h"
#include "settinginfo.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

namespace {
// The area a test has put in place of the screen's; invalid when none.
QRect testScreenArea;
// Room kept for the title bar and borders a window manager will add: the
// window has no frame yet when it is first fitted and placed.
const QSize kFrameAllowance(10, 40);
} // namespace

QRect MainWindow::availableScreenArea()
{
    if (testScreenArea.isValid())
        return testScreenArea;
    return QGuiApplication::primaryScreen()->availableGeometry();
}

void MainWindow::setAvailableScreenArea(const QRect &area)
{
    testScreenArea = area;
}

void MainWindow::buildMenus()
{
    viewMenu = new QMenu(this);
    languageMenu = new QMenu(this);
    helpMenu = new QMenu(this);
    displayTypeMenu = new QMenu(this);

    languageAction = new QAction(this);
    languageAction->setMenu(languageMenu);
    displayTypeAction = new QAction(this);
    displayTypeAction->setMenu(displayTypeMenu);
    valueAction = new QAction(this);
    valueAction->setCheckable(true);
    graphicAction = new QAction(this);
    graphicAction->setCheckable(true);
    rangeSettingAction = new QAction(this);
    recordAction = new QAction(this);
    openFolderAction = new QAction(this);
    limitsAction = new QAction(this);

    viewMenu->addActions({ui->action_multimeter, ui->action_electricIron, ui->action_regularPower,
                          ui->action_airgun, displayTypeAction, rangeSettingAction, limitsAction,
                          recordAction, openFolderAction});
    languageMenu->addActions({ui->action_ch, ui->action_tch, ui->action_en, ui->action_ge,
                              ui->action_fr, ui->action_ja, ui->action_it, ui->action_ru});
    helpMenu->addActions({languageAction, ui->action_version});
    displayTypeMenu->addActions({valueAction, graphicAction});
    ui->toolButton_view->setMenu(viewMenu);
    ui->toolButton_help->setMenu(helpMenu);

    connect(ui->action_ch, &QAction::triggered, this, &MainWindow::LanguageChangedToChinese);
    connect(ui->action_tch, &QAction::triggered, this,
            &MainWindow::LanguageChangedToTraditionalChinese);
    connect(ui->action_en, &QAction::triggered, this, &MainWindow::LanguageChangedToEnglish);
    connect(ui->action_ge, &QAction::triggered, this, &MainWindow::LanguageChangedToGerman);
    connect(ui->action_fr, &QAction::triggered, this, &MainWindow::LanguageChangedToFrench);
    connect(ui->action_ja, &QAction::triggered, this, &MainWindow::LanguageChangedToJapanese);
    connect(ui->action_it, &QAction::triggered, this, &MainWindow::LanguageChangedToItalian);
    connect(ui->action_ru, &QAction::triggered, this, &MainWindow::LanguageChangedToRussian);
    connect(ui->action_multimeter, &QAction::triggered, this, &MainWindow::actMulClicked);
    connect(ui->action_electricIron, &QAction::triggered, this,
            &MainWindow::actElectricIronClicked);
    connect(ui->action_regularPower, &QAction::triggered, this, &MainWindow::actPowerClicked);
    connect(ui->action_airgun, &QAction::triggered, this, &MainWindow::actAirGunClicked);
    connect(ui->action_version, &QAction::triggered, this, &MainWindow::actVersionClick);
    connect(valueAction, &QAction::triggered, this, &MainWindow::actValueClick);
    connect(graphicAction, &QAction::triggered, this, &MainWindow::actItemClick);
    connect(rangeSettingAction, &QAction::triggered, this, &MainWindow::actRangeSettingClick);
    connect(recordAction, &QAction::triggered, this, &MainWindow::actRecordClick);
    connect(openFolderAction, &QAction::triggered, this, &MainWindow::actOpenFolderClick);
    connect(limitsAction, &QAction::triggered, this, &MainWindow::actLimitsClick);
}

void MainWindow::fitGraphicView()
{
    topRowLayout->invalidate();
    bottomRowLayout->invalidate();
    ui->widget_3->layout()->invalidate();
    ui->widget_3->adjustSize();
    fitCentralWidget(ui->widget_3->size(), qMax(ui->widget->width(), ui->widget_3->width()));
}

void MainWindow::fitNumericView()
{
    ui->widget_2->layout()->invalidate();
    ui->widget_2->adjustSize();
    fitCentralWidget(ui->widget_2->size(), ui->widget->width());
}

QSize MainWindow::frameAllowance() const
{
    return isVisible() ? frameGeometry().size() - size() : kFrameAllowance;
}

// The central widget holds the top bar and the whole shown view. Where the
// screen is too small for that it gets the room there is, and the view scrolls.
void MainWindow::fitCentralWidget(const QSize &view, int fittedWidth)
{
    ui->widget_views->resize(view);
    const QSize fitted(fittedWidth, ui->widget->height() + view.height());
    // Never less than the top bar, whose menus bring everything else back.
    const QSize room = (availableScreenArea().size() - frameAllowance() -
                        QSize(0, ui->statusbar->sizeHint().height()))
                           .expandedTo(ui->widget->size());
    if (fitted.width() <= room.width() && fitted.height() <= room.height()) {
        ui->scrollArea_views->resize(view);
        ui->centralwidget->setFixedSize(fitted);
        return;
    }

    // A scroll bar takes room from the view, so one can make the other needed.
    const QPoint origin = ui->scrollArea_views->pos();
    const QSize space = (room - QSize(origin.x(), origin.y())).expandedTo(QSize(0, 0));
    const int barWidth = ui->scrollArea_views->verticalScrollBar()->sizeHint().width();
    const int barHeight = ui->scrollArea_views->horizontalScrollBar()->sizeHint().height();
    bool vertical = view.height() > space.height();
    const bool horizontal = view.width() + (vertical ? barWidth : 0) > space.width();
    vertical = vertical || (horizontal && view.height() + barHeight > space.height());
    const QSize area(qMin(view.width() + (vertical ? barWidth : 0), space.width()),
                     qMin(view.height() + (horizontal ? barHeight : 0), space.height()));
    ui->scrollArea_views->resize(area);
    ui->centralwidget->setFixedSize(
        qMin(qMax(fittedWidth, origin.x() + area.width()), room.width()),
        origin.y() + area.height());
}

void MainWindow::fitWindowToCentralWidget()
{
    // The status bar's hint, not its height: before the window is first laid
    // out the bar still has Qt's default height.
    setFixedSize(ui->centralwidget->width(),
                 ui->statusbar->sizeHint().height() + ui->centralwidget->height());
}

void MainWindow::applyDeviceViews()
{
    const struct
    {
        int flag;
        QWidget *groupBox;
        QAction *action;
        QWidget *shownPanel;
        QWidget *hiddenPanel;
    } devices[] = {
        {curSetting.mulView, ui->groupBox_multimeter, ui->action_multimeter, shownMultimeterPanel(),
         digitalMulWidget},
        {curSetting.elecIronView, ui->groupBox_electicIron, ui->action_electricIron,
         digitalElectricIronWidget, digitalElectricIronWidget},
        {curSetting.powerView, ui->groupBox_regularpower, ui->action_regularPower,
         digitalPowerWidget, digitalPowerWidget},
        {curSetting.airgunView, ui->groupBox_airgun, ui->action_airgun, digitalAirgunWidget,
         digitalAirgunWidget},
    };
    for (const auto &device : devices) {
        device.groupBox->setVisible(device.flag != 0);
        device.action->setChecked(device.flag != 0);
        if (device.flag != 0)
            device.shownPanel->show();
        else
            device.hiddenPanel->hide(); // the table panel keeps its visibility
    }

    const bool graphic = curSetting.nDisplayType != 0;
    rangeSettingAction->setEnabled(graphic);
    graphicAction->setChecked(graphic);
    valueAction->setChecked(!graphic);
    ui->widget_2->setVisible(!graphic);
    ui->widget_3->setVisible(graphic);
    topRowLayout->invalidate();
    bottomRowLayout->invalidate();
    if (graphic)
        fitGraphicView();
    else
        fitNumericView();
    fitWindowToCentralWidget();
}

void MainWindow::toggleDevice(int &viewFlag, QAction *action, QWidget *panel, QBoxLayout *rowLayout,
                              QWidget *groupBox)
{
    // Only the container on screen changes; the other one follows the flags
    // the next time the display type changes.
    const bool graphic = curSetting.nDisplayType != 0;
    QWidget *shown = graphic ? panel : groupBox;
    shown->setHidden(!shown->isHidden());
    action->setChecked(!shown->isHidden());
    if (graphic) {
        rowLayout->invalidate();
        fitGraphicView();
    } else {
        fitNumericView();
    }
    viewFlag = viewFlag != 0 ? 0 : 1;
    fitWindowToCentralWidget();
    placeWindow();
    saveSettings();
}

QWidget *MainWindow::shownMultimeterPanel() const
{
    return bTableMode ? static_cast<QWidget *>(digitalMulTableWidget)
                      : static_cast<QWidget *>(digitalMulWidget);
}

void MainWindow::actMulClicked()
{
    toggleDevice(curSetting.mulView, ui->action_multimeter, shownMultimeterPanel(), topRowLayout,
                 ui->groupBox_multimeter);
}

void MainWindow::actPowerClicked()
{
    toggleDevice(curSetting.powerView, ui->action_regularPower, digitalPowerWidget, topRowLayout,
                 ui->groupBox_regularpower);
}

void MainWindow::actElectricIronClicked()
{
    toggleDevice(curSetting.elecIronView, ui->action_electricIron, digitalElectricIronWidget,
                 bottomRowLayout, ui->groupBox_electicIron);
}

void MainWindow::actAirGunClicked()
{
    toggleDevice(curSetting.airgunView, ui->action_airgun, digitalAirgunWidget, bottomRowLayout,
                 ui->groupBox_airgun);
}

void MainWindow::actValueClick()
{
    curSetting.nDisplayType = 0;
    applyDeviceViews();
    placeWindow();
    saveSettings();
}

void MainWindow::actItemClick()
{
    curSetting.nDisplayType = 1;
    applyDeviceViews();
    placeWindow();
    saveSettings();
}
