#include "digitalelectriciron_widget.h"

#include "displayunits.h"
#include "flatbackdrop.h"
#include "gaugeiron_widget.h"
#include "settinginfo.h"
#include "ui_digitalelectriciron_widget.h"

#include <QtGlobal>

using DisplayUnits::toDisplayTemperature;

DigitalElectricIron_widget::DigitalElectricIron_widget(QWidget *parent)
    : QWidget(parent), ui(new Ui::DigitalElectricIron_widget)
{
    ui->setupUi(this);
    // The value sits at a fixed place: with its size fixed too, a new text
    // repaints the label without asking the panel for a new layout.
    ui->label_settingValue->setFixedSize(ui->label_settingValue->size());
    FlatBackdrop::install(ui->label_settingValue, FlatBackdrop::kDarkPanel);
}

DigitalElectricIron_widget::~DigitalElectricIron_widget()
{
    delete ui;
}

void DigitalElectricIron_widget::setData(double realTemp, double settingTemp, int tempUnit)
{
    const int displayUnit = curSetting.elecUnit;
    realTemp = toDisplayTemperature(realTemp, tempUnit, displayUnit);
    settingTemp = toDisplayTemperature(settingTemp, tempUnit, displayUnit);

    QString suffix;
    if (displayUnit == 0)
        suffix = QStringLiteral("℃");
    else if (displayUnit == 1)
        suffix = QStringLiteral("℉");
    if (displayUnit == 0 || displayUnit == 1)
        ui->label_settingValue->setText(QString::number(settingTemp, 'g', 6) + suffix);

    ui->widget_value->setValue(realTemp);
    ui->widget_value->setUnit(suffix);
}

void DigitalElectricIron_widget::clearData()
{
    double minimum = 0;
    double maximum = 0;
    QString unit;
    ui->widget_value->getRangeAndUnit(minimum, maximum, unit);
    ui->label_settingValue->clear();
    ui->widget_value->setValue(minimum);
    ui->widget_value->setUnit(unit);
}

void DigitalElectricIron_widget::setTempRange(double min, double max)
{
    ui->widget_value->setRange(qMin(min, max), qMax(min, max));
}

void DigitalElectricIron_widget::setTempUnit(int unit)
{
    tempUnit = unit;
    if (unit == 0)
        ui->widget_value->setUnit(QStringLiteral("℃"));
    else if (unit == 1)
        ui->widget_value->setUnit(QStringLiteral("℉"));
}
