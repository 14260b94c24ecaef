#include "digitalairgun_widget.h"

#include "displayunits.h"
#include "dynamicchartairgun.h"
#include "flatbackdrop.h"
#include "settinginfo.h"
#include "ui_digitalairgun_widget.h"

using DisplayUnits::numberText;
using DisplayUnits::toDisplayTemperature;

DigitalAirgun_widget::DigitalAirgun_widget(QWidget *parent)
    : QWidget(parent), ui(new Ui::DigitalAirgun_widget)
{
    ui->setupUi(this);
    // The values sit at fixed places: with their size fixed too, a new text
    // repaints the label without asking the panel for a new layout.
    for (QLabel *value : {ui->label_realValue, ui->label_speedValue, ui->label_settingValue}) {
        value->setFixedSize(value->size());
        FlatBackdrop::install(value, FlatBackdrop::kDarkPanel);
    }
}

DigitalAirgun_widget::~DigitalAirgun_widget()
{
    delete ui;
}

void DigitalAirgun_widget::setData(double realTemp, double speed, double settingTemp, int tempUnit)
{
    const int displayUnit = curSetting.TempUnit;
    realTemp = toDisplayTemperature(realTemp, tempUnit, displayUnit);
    settingTemp = toDisplayTemperature(settingTemp, tempUnit, displayUnit);

    if (displayUnit == 0 || displayUnit == 1) {
        const QString suffix = displayUnit == 0 ? QStringLiteral("℃") : QStringLiteral("℉");
        ui->label_realValue->setText(numberText(realTemp) + suffix);
        ui->label_speedValue->setText(numberText(speed) + QStringLiteral("%"));
        ui->label_settingValue->setText(numberText(settingTemp) + suffix);
    }

    ui->widget_chart->appendPoints(realTemp, speed);
}

void DigitalAirgun_widget::clearData()
{
    ui->label_realValue->clear();
    ui->label_speedValue->clear();
    ui->label_settingValue->clear();
    ui->widget_chart->clearPoints();
}

void DigitalAirgun_widget::setTempRange(double min, double max)
{
    ui->widget_chart->setTempRange(DynamicChartAirgun::toAxisBound(min),
                                   DynamicChartAirgun::toAxisBound(max));
}

void DigitalAirgun_widget::setSpeedRange(double min, double max)
{
    ui->widget_chart->setSpeedRange(DynamicChartAirgun::toAxisBound(min),
                                    DynamicChartAirgun::toAxisBound(max));
}

void DigitalAirgun_widget::setTempUnit(int unit)
{
    tempUnit = unit;
}
