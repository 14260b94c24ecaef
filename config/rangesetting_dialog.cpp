#include "rangesetting_dialog.h"

#include "languagetext.h"
#include "settinginfo.h"
#include "textfit.h"
#include "ui_rangesetting_dialog.h"

#include <QDoubleValidator>
#include <QLineEdit>

#include <cmath>

namespace {

// The number a field holds; text that is not a number, and a number too large
// for a double (which would reach the panels as infinity), count as 0.
double fieldValue(const QLineEdit *edit)
{
    bool ok = false;
    const double value = edit->text().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString fieldText(double value)
{
    return QString::number(value, 'g', 6);
}

} // namespace

RangeSetting_Dialog::RangeSetting_Dialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::RangeSetting_Dialog)
{
    ui->setupUi(this);
    // A dialog window, so that the window manager keeps it above its
    // transient parent, the main window.
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    // Set once: the title keeps the language the dialog was created in.
    setWindowTitle(languageText["ids_Serialport_Language/ids_rangesetting"]);
    loadFromSettings();
    on_pushButton_save_clicked(); // the stored values, read back through the fields
    applyLanguage();

    rangeValidator = new QDoubleValidator(-9999, 9999, 5, this);
    for (QLineEdit *edit :
         {ui->lineEdit_vmin, ui->lineEdit_vmax, ui->lineEdit_amin, ui->lineEdit_amax,
          ui->lineEdit_electrictempmin, ui->lineEdit_electrictempmax, ui->lineEdit_airguntempmin,
          ui->lineEdit_airguntempmax, ui->lineEdit_speedmin, ui->lineEdit_speedmax})
        edit->setValidator(rangeValidator);
}

RangeSetting_Dialog::~RangeSetting_Dialog()
{
    delete ui;
}

void RangeSetting_Dialog::loadFromSettings()
{
    ui->lineEdit_vmin->setText(fieldText(curSetting.VoltageMin));
    ui->lineEdit_vmax->setText(fieldText(curSetting.VoltageMax));
    ui->lineEdit_amin->setText(fieldText(curSetting.CurrentMin));
    ui->lineEdit_amax->setText(fieldText(curSetting.CurrentMax));
    ui->lineEdit_electrictempmin->setText(fieldText(curSetting.elecMin));
    ui->lineEdit_electrictempmax->setText(fieldText(curSetting.elecMax));
    ui->lineEdit_airguntempmin->setText(fieldText(curSetting.TempMin));
    ui->lineEdit_airguntempmax->setText(fieldText(curSetting.TempMax));
    ui->lineEdit_speedmin->setText(fieldText(curSetting.speedMin));
    ui->lineEdit_speedmax->setText(fieldText(curSetting.speedMax));
    ui->comboBox_v->setCurrentIndex(curSetting.VoltageUnit);
    ui->comboBox_a->setCurrentIndex(curSetting.CurrentUnit);
    ui->comboBox_electrictemp->setCurrentIndex(curSetting.elecUnit);
    ui->comboBox_airguntemp->setCurrentIndex(curSetting.TempUnit);
}

void RangeSetting_Dialog::applyLanguage()
{
    const auto text = [](const char *entry) {
        return languageText[QStringLiteral("ids_Serialport_Language/") + QLatin1String(entry)];
    };
    ui->groupBox_power->setTitle(fitText(ui->groupBox_power, text("ids_power")));
    ui->groupBox_electriciron->setTitle(
        fitText(ui->groupBox_electriciron, text("ids_electricIron")));
    ui->groupBox_airgun->setTitle(fitText(ui->groupBox_airgun, text("ids_airgun")));
    ui->label_v->setText(fitText(ui->label_v, text("ids_voltage")));
    ui->label_a->setText(fitText(ui->label_a, text("ids_current")));
    ui->label_vunit->setText(fitText(ui->label_vunit, text("ids_unit")));
    ui->label_aunit->setText(fitText(ui->label_aunit, text("ids_unit")));
    ui->label_electrictemp->setText(fitText(ui->label_electrictemp, text("ids_temperature")));
    ui->label_electrictempunit->setText(fitText(ui->label_electrictempunit, text("ids_unit")));
    ui->label_airguntemp->setText(fitText(ui->label_airguntemp, text("ids_temperature")));
    ui->label_airguntempunit->setText(fitText(ui->label_airguntempunit, text("ids_unit")));
    ui->label_speed->setText(fitText(ui->label_speed, text("ids_speed")));
    ui->pushButton_save->setText(
        fitText(ui->pushButton_save, languageText["Common_Language/ids_save"]));
}

void RangeSetting_Dialog::on_pushButton_save_clicked()
{
    curSetting.VoltageMin = fieldValue(ui->lineEdit_vmin);
    curSetting.VoltageMax = fieldValue(ui->lineEdit_vmax);
    curSetting.CurrentMin = fieldValue(ui->lineEdit_amin);
    curSetting.CurrentMax = fieldValue(ui->lineEdit_amax);
    curSetting.VoltageUnit = ui->comboBox_v->currentIndex();
    curSetting.CurrentUnit = ui->comboBox_a->currentIndex();
    curSetting.elecMin = fieldValue(ui->lineEdit_electrictempmin);
    curSetting.elecMax = fieldValue(ui->lineEdit_electrictempmax);
    curSetting.elecUnit = ui->comboBox_electrictemp->currentIndex();
    curSetting.TempMin = fieldValue(ui->lineEdit_airguntempmin);
    curSetting.TempMax = fieldValue(ui->lineEdit_airguntempmax);
    curSetting.speedMin = fieldValue(ui->lineEdit_speedmin);
    curSetting.speedMax = fieldValue(ui->lineEdit_speedmax);
    curSetting.TempUnit = ui->comboBox_airguntemp->currentIndex();
    emit RangesSaved_sig();
    saveSettings();
}
