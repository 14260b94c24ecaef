// Limits and alarms of MainWindow: the alarm checks on every frame's readings
// and the limits dialog.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "alarmcontrol.h"
#include "digitalairgun_widget.h"
#include "digitalelectriciron_widget.h"
#include "digitalmul_widget.h"
#include "digitalmultable_widget.h"
#include "digitalpower_widget.h"
#include "historywindow.h"
#include "limitsdialog.h"
#include "settinginfo.h"

void MainWindow::createAlarms(const std::function<void(const QList<Reading> &)> &record)
{
    alarmControl = new AlarmControl(
        ui->statusbar,
        {{"multimeter", {ui->groupBox_multimeter, digitalMulWidget, digitalMulTableWidget}},
         {"power", {ui->groupBox_regularpower, digitalPowerWidget}},
         {"iron", {ui->groupBox_electicIron, digitalElectricIronWidget}},
         {"hotair", {ui->groupBox_airgun, digitalAirgunWidget}}},
        this);
    alarmControl->loadLimits(settingsFilePath());
    connect(this, &MainWindow::ReadingsDecoded_sig, alarmControl, &AlarmControl::check);
    connect(alarmControl, &AlarmControl::AlarmRows_sig, this, record);

    limitsDlg = new LimitsDialog;
    limitsDlg->hide();
    connect(limitsDlg, &LimitsDialog::LimitsSaved_sig, this, &MainWindow::LimitsSaved_slot);
}

void MainWindow::actLimitsClick()
{
    if (!limitsDlg->isVisible()) {
        limitsDlg->loadFromSettings();
        limitsDlg->setVisible(true);
    }
    limitsDlg->raise();
    limitsDlg->activateWindow();
}

void MainWindow::LimitsSaved_slot()
{
    alarmControl->loadLimits(settingsFilePath());
    for (HistoryWindow *window :
         findChildren<HistoryWindow *>(QString(), Qt::FindDirectChildrenOnly))
        applyHistoryTolerances(window);
}
