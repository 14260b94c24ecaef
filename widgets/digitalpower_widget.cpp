#include "digitalpower_widget.h"

#include "displayunits.h"
#include "flatbackdrop.h"
#include "settinginfo.h"
#include "ui_digitalpower_widget.h"

using DisplayUnits::numberText;
using DisplayUnits::toDisplayUnit;

DigitalPower_widget::DigitalPower_widget(QWidget *parent)
    : QWidget(parent), ui(new Ui::DigitalPower_widget)
{
    ui->setupUi(this);
    // The values sit at fixed places: with their size fixed too, a new text
    // repaints the label without asking the panel for a new layout.
    for (QLabel *value : {ui->label_AValue, ui->label_VValue, ui->label_WValue}) {
        value->setFixedSize(value->size());
        FlatBackdrop::install(value, FlatBackdrop::kDarkPanel);
    }
}

DigitalPower_widget::~DigitalPower_widget()
{
    delete ui;
}

void DigitalPower_widget::setData(double current, double voltage, int currentUnit, int voltageUnit)
{
    const int displayCurrentUnit = curSetting.CurrentUnit;
    const int displayVoltageUnit = curSetting.VoltageUnit;

    const double shownCurrent = toDisplayUnit(current, currentUnit, displayCurrentUnit);
    const double shownVoltage = toDisplayUnit(voltage, voltageUnit, displayVoltageUnit);

    ui->widget_chart->appendPoints(shownCurrent, shownVoltage);

    // Each text set once: every change repaints its label.
    const QString currentSuffix =
        displayCurrentUnit == 0 ? QStringLiteral("mA") : QStringLiteral("A");
    const QString voltageSuffix =
        displayVoltageUnit == 0 ? QStringLiteral("mV") : QStringLiteral("V");
    ui->label_AValue->setText(numberText(shownCurrent) + currentSuffix);
    ui->label_VValue->setText(numberText(shownVoltage) + voltageSuffix);

    // The power in watts from the instrument's own units.
    const double amperes = currentUnit == 0 ? current / 1000 : current;
    const double volts = voltageUnit == 0 ? voltage / 1000 : voltage;
    ui->label_WValue->setText(numberText(amperes * volts) + QStringLiteral("W"));
}

void DigitalPower_widget::clearData()
{
    ui->label_AValue->clear();
    ui->label_VValue->clear();
    ui->label_WValue->clear();
    ui->widget_chart->clearPoints();
}

void DigitalPower_widget::setCurrentRange(double min, double max)
{
    ui->widget_chart->setCurrentRange(min, max);
}

void DigitalPower_widget::setVoltageRange(double min, double max)
{
    ui->widget_chart->setVoltageRange(min, max);
}

void DigitalPower_widget::setUnitLabels(const QString &currentUnit, const QString &voltageUnit)
{
    ui->widget_chart->setUnitLabels(currentUnit, voltageUnit);
}
