// Station decoding of MainWindow: power supply, soldering iron, hot-air gun,
// silence detection and the reaction to a closed or failed port.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "c1frame.h"
#include "dataprocessthread.h"
#include "digitalairgun_widget.h"
#include "digitalelectriciron_widget.h"
#include "digitalmul_widget.h"
#include "digitalpower_widget.h"
#include "historystore.h"
#include "languagetext.h"
#include "stationrecords.h"

#include <QLabel>
#include <QTimer>

void MainWindow::parseDevData(const std::optional<QList<StationRecords::Record>> &records)
{
    if (!records)
        return;
    // Records 0-2 are shown; a short frame leaves the missing ones empty.
    QList<StationRecords::Record> shown = records->mid(0, 3);
    while (shown.size() < 3)
        shown.append(StationRecords::Record());

    if (nDevType == C1Frame::PowerSupply)
        showPowerSupply(shown);
    else if (nDevType == C1Frame::SolderingIron || nDevType == C1Frame::HotAirGun)
        showTemperatureStation(shown);
}

void MainWindow::showPowerSupply(const QList<StationRecords::Record> &records)
{
    const StationRecords::Electrical voltage = StationRecords::voltage(records[0]);
    if (voltage.recognised) {
        ui->lcdNumber_voltage->display(StationRecords::displayText(records[0].value));
        ui->label_voltageUnit->setText(StationRecords::unitText(records[0].unitCode));
    }
    const StationRecords::Electrical current = StationRecords::current(records[1]);
    if (current.recognised) {
        ui->label_currentUnit->setText(StationRecords::unitText(records[1].unitCode));
        ui->lcdNumber_current->display(StationRecords::displayText(records[1].value));
    }
    // Without both factors there is no power to show: dashes, not a number
    // that would read as watts.
    if (const auto watts = StationRecords::power(voltage, current))
        ui->lcdNumber_power->display(*watts);
    else
        ui->lcdNumber_power->display(QStringLiteral("--"));

    digitalPowerWidget->setData(StationRecords::number(records[1].value),
                                StationRecords::number(records[0].value), current.unitIndex,
                                voltage.unitIndex);
}

void MainWindow::showTemperatureStation(const QList<StationRecords::Record> &records)
{
    const bool iron = nDevType == C1Frame::SolderingIron;
    QLabel *setUnitLabel = iron ? ui->label_settingTempUnit_e : ui->label_settingTempUnit_a;
    QLabel *realUnitLabel = iron ? ui->label_realTempUnit_e : ui->label_realTempUnit_a;

    int tempUnit = 0;
    const auto applyUnit = [&tempUnit](QLabel *label, const QString &unitCode) {
        if (StationRecords::isTemperatureUnit(unitCode)) {
            label->setText(StationRecords::unitText(unitCode));
            tempUnit = unitCode == QLatin1String("0046") ? 1 : 0;
        }
    };
    applyUnit(setUnitLabel, records[0].unitCode);
    applyUnit(realUnitLabel, records[1].unitCode);

    (iron ? ui->lcdNumber_settingTemp_e : ui->lcdNumber_settingTemp_a)
        ->display(StationRecords::displayText(records[0].value));
    (iron ? ui->lcdNumber_realTemp_e : ui->lcdNumber_realTemp_a)
        ->display(StationRecords::displayText(records[1].value));

    const double realTemp = StationRecords::number(records[1].value);
    const double setTemp = StationRecords::number(records[0].value);
    if (iron) {
        digitalElectricIronWidget->setData(realTemp, setTemp, tempUnit);
        return;
    }
    if (StationRecords::isPercentUnit(records[2].unitCode))
        ui->lcdNumber_speed->display(StationRecords::displayText(records[2].value));
    digitalAirgunWidget->setData(realTemp, StationRecords::number(records[2].value), setTemp,
                                 tempUnit);
}

void MainWindow::receiveTimerUpdate()
{
    if (nPowerSilence == 5 && nAirgunSilence == 5 && nIronSilence == 5)
        m_receiveTimer->stop();

    if (nPowerSilence == 5) {
        ui->lcdNumber_voltage->display(0);
        ui->lcdNumber_current->display(0);
        ui->lcdNumber_power->display(0);
        nPowerSilence = 0;
    } else {
        ++nPowerSilence;
    }
    if (nAirgunSilence == 5) {
        ui->lcdNumber_realTemp_a->display(0);
        ui->lcdNumber_settingTemp_a->display(0);
        ui->lcdNumber_speed->display(0);
        nAirgunSilence = 0;
    } else {
        ++nAirgunSilence;
    }
    if (nIronSilence == 5) {
        ui->lcdNumber_realTemp_e->display(0);
        ui->lcdNumber_settingTemp_e->display(0);
        nIronSilence = 0;
    } else {
        ++nIronSilence;
    }
}

void MainWindow::SerialClosed_slot()
{
    dataProcessThread->clearReceived();
    keepLastMultimeterReading();
    historyStore->breakAll();
    if (m_receiveTimer->isActive())
        m_receiveTimer->stop();
}

void MainWindow::SerialOpenFailed_slot()
{
    dataProcessThread->bReceiveEnabled = false;
    statusLabel->setText(languageText["ids_Serialport_Language/ids_NotconnectRemind"]);
    digitalAirgunWidget->clearData();
    digitalElectricIronWidget->clearData();
    digitalMulWidget->clearData();
    digitalPowerWidget->clearData();
}
