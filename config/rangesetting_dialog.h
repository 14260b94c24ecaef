#pragma once

#include <QDialog>

class MainWindow;
class QDoubleValidator;

namespace Ui {
class RangeSetting_Dialog;
}

// Lets the user set the axis and scale ranges and the display units of the power
// supply, soldering iron and hot-air gun panels. The stored values reach the
// panels once at construction and again at every save.
class RangeSetting_Dialog : public QDialog
{
    Q_OBJECT

public:
    explicit RangeSetting_Dialog(MainWindow *mainWindow, QWidget *parent = nullptr);
    ~RangeSetting_Dialog() override;

    // Fills the fields and unit boxes from curSetting.
    void loadFromSettings();
    // Writes the captions, group titles and button text of the current language.
    void applyLanguage();

public slots:
    // Takes every field into curSetting, hands the values to the panels and saves.
    void on_pushButton_save_clicked();

private:
    MainWindow *mainWindow = nullptr;
    QDoubleValidator *rangeValidator = nullptr;
    Ui::RangeSetting_Dialog *ui = nullptr;
};
