#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

namespace Ui {
class DigitalMul_widget;
}

// The multimeter's live reading: LCD digits with the unit, the icon of the
// measuring function and the function dial.
class DigitalMul_widget : public QWidget
{
    Q_OBJECT

public:
    explicit DigitalMul_widget(QWidget *parent = nullptr);
    ~DigitalMul_widget() override;

    // Type 1 to 5 shows that function (the decoder's function index plus one);
    // anything else turns the dial to "OFF" and blanks the icon.
    void setFunctionType(int type);
    void setValueText(QString text);
    void setUnitText(QString text);
    QString unitText() const;
    // Turns the dial back to "OFF"; the digits, unit and icon stay as they are.
    void clearData();

private:
    Ui::DigitalMul_widget *ui;
    QPixmap pixIcons[5];
    int nLastType = -1;
};
