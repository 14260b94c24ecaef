#pragma once

#include <QWidget>

namespace Ui {
class DigitalElectricIron_widget;
}

// The soldering iron's panel: the set temperature text and a gauge
// of the measured temperature. Temperatures are shown in the display unit that
// curSetting's elecUnit (0 ℃, 1 ℉) selects.
class DigitalElectricIron_widget : public QWidget
{
    Q_OBJECT

public:
    explicit DigitalElectricIron_widget(QWidget *parent = nullptr);
    ~DigitalElectricIron_widget() override;

    // A reading; tempUnit is the unit the instrument used (0 ℃, 1 ℉).
    void setData(double realTemp, double settingTemp, int tempUnit);
    // Empties the set temperature text and sweeps the needle back to the scale
    // minimum, keeping the gauge's unit text.
    void clearData();
    // The gauge scale, the two ends in either order.
    void setTempRange(double min, double max);
    // Stores the code; 0 and 1 also set the gauge's unit text to ℃ or ℉.
    void setTempUnit(int unit);
    int temperatureUnit() const { return tempUnit; }

private:
    Ui::DigitalElectricIron_widget *ui;
    int tempUnit = 0;
};
