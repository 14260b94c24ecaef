// Station decoding of MainWindow: power supply, soldering iron, hot-air gun,
// silence detection and the reaction to a closed or failed port.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "c1frame.h"
#include "digitalairgun_widget.h"
#include "digitalelectriciron_widget.h"
#include "digitalmul_widget.h"
#include "digitalpower_widget.h"
#include "languagetext.h"
#include "stationrecords.h"

#include <QLabel>
#include <QTimer>

namespace {

// A display unit of the panels: index 1 for the base unit, 0 for its thousandth.
struct Reading
{
    bool recognised = false;
    double factor = 0; // in the base unit, for the power product
    int unitIndex = 0;
};

Reading readingOf(const QString &value, const QString &unitCode, const char *base,
                  const char *milli)
{
    const QString unit = StationRecords::unitText(unitCode);
    if (unit == QLatin1String(base))
        return {true, StationRecords::number(value), 1};
    if (unit == QLatin1String(milli))
        return {true, StationRecords::number(value) / 1000, 0};
    return {};
}

} // namespace

void MainWindow::parseDevData()
{
    const auto records = StationRecords::parse(strPayload);
    if (!records)
        return;
    for (QString &value : strRecordValues)
        value.clear();
    QStringList unitCodes;
    for (int j = 0; j < records->size() && j < int(strRecordValues.size()); ++j) {
        strRecordValues[j] = records->at(j).value;
        unitCodes << records->at(j).unitCode;
    }
    while (unitCodes.size() < 3)
        unitCodes << QString();
    const QStringList values = {strRecordValues[0], strRecordValues[1], strRecordValues[2]};

    if (nDevType == C1Frame::PowerSupply)
        showPowerSupply(values, unitCodes);
    else if (nDevType == C1Frame::SolderingIron || nDevType == C1Frame::HotAirGun)
        showTemperatureStation(values, unitCodes);
}

void MainWindow::showPowerSupply(const QStringList &values, const QStringList &unitCodes)
{
    const Reading voltage = readingOf(values[0], unitCodes[0], "V", "mV");
    if (voltage.recognised) {
        ui->lcdNumber_voltage->display(values[0]);
        ui->label_voltageUnit->setText(StationRecords::unitText(unitCodes[0]));
    }
    const Reading current = readingOf(values[1], unitCodes[1], "A", "mA");
    if (current.recognised) {
        ui->label_currentUnit->setText(StationRecords::unitText(unitCodes[1]));
        ui->lcdNumber_current->display(values[1]);
    }
    // Without both factors there is no power to show: dashes, not a number
    // that would read as watts.
    if (voltage.recognised && current.recognised)
        ui->lcdNumber_power->display(current.factor * voltage.factor);
    else
        ui->lcdNumber_power->display(QStringLiteral("--"));

    digitalPowerWidget->setData(StationRecords::number(values[1]),
                                StationRecords::number(values[0]), current.unitIndex,
                                voltage.unitIndex);
}

void MainWindow::showTemperatureStation(const QStringList &values, const QStringList &unitCodes)
{
    const bool iron = nDevType == C1Frame::SolderingIron;
    QLabel *setUnitLabel = iron ? ui->label_settingTempUnit_e : ui->label_settingTempUnit_a;
    QLabel *realUnitLabel = iron ? ui->label_realTempUnit_e : ui->label_realTempUnit_a;

    int tempUnit = 0;
    const auto applyUnit = [&tempUnit](QLabel *label, const QString &unitCode) {
        if (unitCode == QLatin1String("0043") || unitCode == QLatin1String("0046")) {
            label->setText(StationRecords::unitText(unitCode));
            tempUnit = unitCode == QLatin1String("0046") ? 1 : 0;
        }
    };
    applyUnit(setUnitLabel, unitCodes[0]);
    applyUnit(realUnitLabel, unitCodes[1]);

    (iron ? ui->lcdNumber_settingTemp_e : ui->lcdNumber_settingTemp_a)->display(values[0]);
    (iron ? ui->lcdNumber_realTemp_e : ui->lcdNumber_realTemp_a)->display(values[1]);

    const double realTemp = StationRecords::number(values[1]);
    const double setTemp = StationRecords::number(values[0]);
    if (iron) {
        digitalElectricIronWidget->setData(realTemp, setTemp, tempUnit);
        return;
    }
    if (unitCodes[2] == QLatin1String("0025"))
        ui->lcdNumber_speed->display(values[2]);
    digitalAirgunWidget->setData(realTemp, StationRecords::number(values[2]), setTemp, tempUnit);
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

void MainWindow::SerialOpenFailed_slot()
{
    statusLabel->setText(languageText["ids_Serialport_Language/ids_NotconnectRemind"]);
    digitalAirgunWidget->clearData();
    digitalElectricIronWidget->clearData();
    digitalMulWidget->clearData();
    digitalPowerWidget->clearData();
}
