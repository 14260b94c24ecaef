// Publishing of MainWindow: the readings and alarm rows to an MQTT broker, and
// the network dialog.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "alarmcontrol.h"
#include "languagetext.h"
#include "networkcontrol.h"
#include "networkdialog.h"
#include "networksettings.h"
#include "settinginfo.h"

#include <QMenu>

void MainWindow::createNetwork()
{
    networkControl = new NetworkControl(ui->statusbar, this);
    connect(this, &MainWindow::ReadingsDecoded_sig, networkControl, &NetworkControl::publish);
    connect(alarmControl, &AlarmControl::AlarmRows_sig, networkControl,
            &NetworkControl::publishAlarms);
    networkControl->apply(NetworkSettings::load(settingsFilePath()));

    networkAction = new QAction(this);
    viewMenu->insertAction(recordAction, networkAction);
    connect(networkAction, &QAction::triggered, this, &MainWindow::actNetworkClick);

    networkDlg = new NetworkDialog;
    networkDlg->hide();
    connect(networkDlg, &NetworkDialog::NetworkSaved_sig, this, &MainWindow::NetworkSaved_slot);
}

void MainWindow::applyNetworkLanguage()
{
    networkAction->setText(languageText["ids_Network_Language/ids_network"]);
    networkDlg->applyLanguage();
    networkControl->applyLanguage();
}

void MainWindow::actNetworkClick()
{
    if (!networkDlg->isVisible()) {
        networkDlg->loadFromSettings();
        networkDlg->setVisible(true);
    }
    networkDlg->raise();
    networkDlg->activateWindow();
}

void MainWindow::NetworkSaved_slot()
{
    networkControl->apply(NetworkSettings::load(settingsFilePath()));
}
