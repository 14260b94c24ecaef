#pragma once

#include <QDialog>

class QDoubleValidator;

namespace Ui {
class RangeSetting_Dialog;
}

// Lets the user set the axis and scale ranges and the display units of the power
// supply, soldering iron and hot-air gun panels. Each save puts them into
// curSetting, announces them for the panels and saves them.
class RangeSetting_Dialog : public QDialog
{
    Q_OBJECT

public:
    explicit RangeSetting_Dialog(QWidget *parent = nullptr);
    ~RangeSetting_Dialog() override;

    // Fills the fields and unit boxes from curSetting.
    void loadFromSettings();
    // Writes the captions, group titles and button text of the current language.
    void applyLanguage();

signals:
    // curSetting holds the saved ranges and units.
    void RangesSaved_sig();

public slots:
    // Takes every field into curSetting, announces the values and saves.
    void on_pushButton_save_clicked();

private:
    QDoubleValidator *rangeValidator = nullptr;
    Ui::RangeSetting_Dialog *ui = nullptr;
};
