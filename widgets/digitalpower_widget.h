#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class DigitalPower_widget;
}

// The power supply's panel: voltage, current and power texts and a
// current/voltage trend chart. Values are shown in the display units that
// curSetting's CurrentUnit (0 mA, 1 A) and VoltageUnit (0 mV, 1 V) select.
class DigitalPower_widget : public QWidget
{
    Q_OBJECT

public:
    explicit DigitalPower_widget(QWidget *parent = nullptr);
    ~DigitalPower_widget() override;

    // A reading with the units the instrument used (0 mA / mV, 1 A / V).
    void setData(double current, double voltage, int currentUnit, int voltageUnit);
    // Empties the three value labels and the chart curves.
    void clearData();
    void setCurrentRange(double min, double max);
    void setVoltageRange(double min, double max);
    // The unit captions above the chart's current and voltage axes.
    void setUnitLabels(const QString &currentUnit, const QString &voltageUnit);

private:
    Ui::DigitalPower_widget *ui;
};
