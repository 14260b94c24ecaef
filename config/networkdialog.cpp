#include "networkdialog.h"
#include "ui_networkdialog.h"

#include "languagetext.h"
#include "networksettings.h"
#include "settinginfo.h"

#include <QFileDialog>

namespace {

QString networkText(const char *entry)
{
    return languageText[QStringLiteral("ids_Network_Language/") + QLatin1String(entry)];
}

} // namespace

NetworkDialog::NetworkDialog(QWidget *parent) : QDialog(parent), ui(new Ui::NetworkDialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    // Filled from the settings file each time it is opened, not at start-up.
    applyLanguage();
}

NetworkDialog::~NetworkDialog()
{
    delete ui;
}

void NetworkDialog::applyLanguage()
{
    setWindowTitle(networkText("ids_network"));
    ui->checkBox_enabled->setText(networkText("ids_enabled"));
    ui->label_broker->setText(networkText("ids_broker"));
    ui->label_bench->setText(networkText("ids_bench"));
    ui->label_authFile->setText(networkText("ids_authFile"));
    ui->label_caFile->setText(networkText("ids_caFile"));
    ui->checkBox_discovery->setText(networkText("ids_discovery"));
    ui->pushButton_save->setText(languageText["Common_Language/ids_save"]);
}

void NetworkDialog::loadFromSettings()
{
    const NetworkSettings settings = NetworkSettings::load(settingsFilePath());
    ui->checkBox_enabled->setChecked(settings.enabled);
    ui->lineEdit_broker->setText(settings.broker);
    ui->lineEdit_bench->setText(settings.bench);
    ui->lineEdit_authFile->setText(settings.authFile);
    ui->lineEdit_caFile->setText(settings.caFile);
    ui->checkBox_discovery->setChecked(settings.discovery);
}

void NetworkDialog::on_pushButton_save_clicked()
{
    NetworkSettings settings;
    settings.enabled = ui->checkBox_enabled->isChecked();
    settings.broker = ui->lineEdit_broker->text();
    settings.bench = ui->lineEdit_bench->text();
    settings.authFile = ui->lineEdit_authFile->text();
    settings.caFile = ui->lineEdit_caFile->text();
    settings.discovery = ui->checkBox_discovery->isChecked();
    settings.save(settingsFilePath());
    emit NetworkSaved_sig();
}

void NetworkDialog::on_toolButton_authFile_clicked()
{
    browse(ui->lineEdit_authFile);
}

void NetworkDialog::on_toolButton_caFile_clicked()
{
    browse(ui->lineEdit_caFile);
}

void NetworkDialog::browse(QLineEdit *edit)
{
    const QString path = QFileDialog::getOpenFileName(this, QString(), edit->text());
    if (!path.isEmpty())
        edit->setText(path);
}
