#pragma once

#include <QWidget>

namespace Ui {
class DigitalAirgun_widget;
}

// The hot-air gun's panel: set temperature, measured temperature
// and fan speed texts and a temperature/speed trend chart. Temperatures are
// shown in the display unit that curSetting's TempUnit (0 ℃, 1 ℉) selects.
class DigitalAirgun_widget : public QWidget
{
    Q_OBJECT

public:
    explicit DigitalAirgun_widget(QWidget *parent = nullptr);
    ~DigitalAirgun_widget() override;

    // A reading; tempUnit is the unit the instrument used (0 ℃, 1 ℉).
    void setData(double realTemp, double speed, double settingTemp, int tempUnit);
    // Empties the three value labels and the chart curves.
    void clearData();
    // Both bounds are truncated toward zero to whole numbers (after clamping to
    // the int range) and passed to the chart.
    void setTempRange(double min, double max);
    void setSpeedRange(double min, double max);
    // Stores the code only; the labels follow curSetting at the next setData.
    void setTempUnit(int unit);
    int temperatureUnit() const { return tempUnit; }

private:
    Ui::DigitalAirgun_widget *ui;
    int tempUnit = 0;
};
