#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

namespace Ui {
class DigitalMulTable_widget;
}

// A running log of the multimeter's last five readings, newest on top, with the
// newest reading and the icon of its function beside the table.
class DigitalMulTable_widget : public QWidget
{
    Q_OBJECT

public:
    explicit DigitalMulTable_widget(QWidget *parent = nullptr);
    ~DigitalMulTable_widget() override;

    // Logs one reading of function index 0 to 4; -1 (no function) is ignored.
    void addRecord(int function, const QString &valueText);
    // Header texts from the current language.
    void updateHeaderLabels();

private:
    Ui::DigitalMulTable_widget *ui;
    QPixmap pixIcons[5];
    int nLastFunction = -1;
};
