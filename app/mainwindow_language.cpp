// Language texts of MainWindow and the run-time language switch.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "alarmcontrol.h"
#include "digitalmultable_widget.h"
#include "languagetext.h"
#include "limitsdialog.h"
#include "rangesetting_dialog.h"
#include "receivequeue.h"
#include "recordingcontrol.h"
#include "serialsettingdlg.h"
#include "settinginfo.h"
#include "textfit.h"
#include "vision_dialog.h"

#include <QLabel>
#include <QSerialPort>

namespace {

QString serialText(const char *entry)
{
    return languageText[QStringLiteral("ids_Serialport_Language/") + QLatin1String(entry)];
}

QString menuText(const char *entry)
{
    return languageText[QStringLiteral("ids_MenuBar_Language/") + QLatin1String(entry)];
}

} // namespace

void MainWindow::applyLanguage()
{
    ui->label_Auto->setText(fitText(ui->label_Auto, serialText("ids_auto")));
    ui->label_multimeter->setText(fitText(ui->label_multimeter, serialText("ids_multimeter"),
                                          ui->groupBox_multimeter->width()));
    ui->label_regularpower->setText(fitText(ui->label_regularpower, serialText("ids_power")));
    ui->label_electriciron->setText(
        fitText(ui->label_electriciron, serialText("ids_electricIron")));
    ui->label_airgun->setText(fitText(ui->label_airgun, serialText("ids_airgun")));

    ui->action_multimeter->setText(serialText("ids_multimeter"));
    ui->action_regularPower->setText(serialText("ids_power"));
    ui->action_electricIron->setText(serialText("ids_electricIron"));
    ui->action_airgun->setText(serialText("ids_airgun"));
    ui->action_SerialSetting->setText(menuText("ids_serialsetting"));
    ui->action_close->setText(menuText("ids_exit"));
    ui->action_ch->setText(menuText("ids_language_cn"));
    ui->action_tch->setText(menuText("ids_language_tw"));
    ui->action_en->setText(menuText("ids_language_en"));
    ui->action_ge->setText(menuText("ids_language_de"));
    ui->action_fr->setText(menuText("ids_language_fr"));
    ui->action_it->setText(menuText("ids_language_it"));
    ui->action_ja->setText(menuText("ids_language_jp"));
    ui->action_ru->setText(menuText("ids_language_ru"));
    languageAction->setText(menuText("ids_language"));
    ui->action_version->setText(menuText("ids_version"));

    statusLabel->setText(
        serialText(serialPort->isOpen() ? "ids_connectRemind" : "ids_NotconnectRemind"));
    SerialPortDetail_slot();

    ui->pushButton_serial->setToolTip(menuText("ids_serialsetting"));
    ui->toolButton_view->setToolTip(menuText("ids_view"));
    ui->toolButton_help->setToolTip(menuText("ids_help"));

    displayTypeAction->setText(serialText("ids_displaytype"));
    rangeSettingAction->setText(serialText("ids_rangesetting"));
    graphicAction->setText(serialText("ids_graphic"));
    valueAction->setText(serialText("ids_numvalue"));

    openFolderAction->setText(languageText["ids_Record_Language/ids_openFolder"]);
    recordingControl->applyLanguage();
    alarmControl->applyLanguage();
    limitsAction->setText(languageText["ids_Alarm_Language/ids_limits"]);
    limitsDlg->applyLanguage();
    applyNetworkLanguage();
    applyHistoryLanguage();
}

QAction *MainWindow::languageActionFor(int languageType) const
{
    const QList<QAction *> actions = {ui->action_ch, ui->action_tch, ui->action_en, ui->action_ru,
                                      ui->action_ge, ui->action_fr,  ui->action_ja, ui->action_it};
    return languageType >= 0 && languageType < actions.size() ? actions[languageType] : nullptr;
}

void MainWindow::uncheckLanguageActions()
{
    for (int language = 0; QAction *action = languageActionFor(language); ++language)
        action->setChecked(false);
}

void MainWindow::changeLanguage(int languageType)
{
    uncheckLanguageActions();
    languageActionFor(languageType)->setChecked(true);
    curSetting.LanguageType = languageType;
    saveSettings();
    loadLanguage();
    applyLanguage();
    serialDlg->applyLanguage();
    visionDlg->applyLanguage();
    rangeSettingDlg->applyLanguage();
    digitalMulTableWidget->updateHeaderLabels();
}

void MainWindow::LanguageChangedToChinese()
{
    changeLanguage(0);
}
void MainWindow::LanguageChangedToTraditionalChinese()
{
    changeLanguage(1);
}
void MainWindow::LanguageChangedToEnglish()
{
    changeLanguage(2);
}
void MainWindow::LanguageChangedToRussian()
{
    changeLanguage(3);
}
void MainWindow::LanguageChangedToGerman()
{
    changeLanguage(4);
}
void MainWindow::LanguageChangedToFrench()
{
    changeLanguage(5);
}
void MainWindow::LanguageChangedToJapanese()
{
    changeLanguage(6);
}
void MainWindow::LanguageChangedToItalian()
{
    changeLanguage(7);
}
