#include "serialsettingdlg.h"
#include "ui_serialsettingdlg.h"

#include "dataprocessthread.h"
#include "languagetext.h"
#include "mainwindow.h"
#include "receivequeue.h"
#include "settinginfo.h"
#include "textfit.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QTimer>

namespace {

// The device file a port name stands for, as the serial port resolves it.
QString deviceFileOf(const QString &portName)
{
    if (portName.startsWith(QLatin1Char('/')) || portName.startsWith(QLatin1String("./")) ||
        portName.startsWith(QLatin1String("../")))
        return portName;
    return QStringLiteral("/dev/") + portName;
}

} // namespace

SerialSettingDlg::SerialSettingDlg(QWidget *parent) : QDialog(parent), ui(new Ui::SerialSettingDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::WindowStaysOnTopHint);
    setWindowTitle(languageText["ids_MenuBar_Language/ids_serialsetting"]);
    applyLanguage();
    portNameTimer = new QTimer(this);
    portNameTimer->start(1000);
    connect(portNameTimer, &QTimer::timeout, this, &SerialSettingDlg::portNameTimerUpdate);
    ui->pushButton_close->setEnabled(false);
}

SerialSettingDlg::~SerialSettingDlg()
{
    delete ui;
}

void SerialSettingDlg::applyLanguage()
{
    const auto text = [](const char *entry) {
        return languageText[QStringLiteral("ids_Serialport_Language/") + QLatin1String(entry)];
    };
    ui->label_serialname->setText(fitText(ui->label_serialname, text("ids_portName")));
    ui->label_BaudRate->setText(fitText(ui->label_BaudRate, text("ids_baudRate")));
    ui->label_databit->setText(fitText(ui->label_databit, text("ids_dataBit")));
    ui->label_parity->setText(fitText(ui->label_parity, text("ids_parity")));
    ui->label_stopbit->setText(fitText(ui->label_stopbit, text("ids_stopBit")));
    ui->pushButton_open->setText(fitText(ui->pushButton_open, text("ids_openSerial")));
    ui->pushButton_close->setText(fitText(ui->pushButton_close, text("ids_stopSerial")));
    setWindowTitle(languageText["ids_MenuBar_Language/ids_serialsetting"]);
}

bool SerialSettingDlg::openPort(const QString &portName)
{
    serialPort->setPortName(portName);
    serialPort->setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);

    switch (ui->comboBox_datarate->currentText().toInt()) {
    case 5:
        serialPort->setDataBits(QSerialPort::Data5);
        break;
    case 6:
        serialPort->setDataBits(QSerialPort::Data6);
        break;
    case 7:
        serialPort->setDataBits(QSerialPort::Data7);
        break;
    case 8:
        serialPort->setDataBits(QSerialPort::Data8);
        break;
    default:
        serialPort->setDataBits(QSerialPort::UnknownDataBits);
        break;
    }

    switch (ui->comboBox_parity->currentIndex()) {
    case 0:
        serialPort->setParity(QSerialPort::EvenParity);
        break;
    case 1:
        serialPort->setParity(QSerialPort::OddParity);
        break;
    case 2:
        serialPort->setParity(QSerialPort::NoParity);
        break;
    default:
        serialPort->setParity(QSerialPort::UnknownParity);
        break;
    }

    switch (ui->comboBox_stopbit->currentIndex()) {
    case 0:
        serialPort->setStopBits(QSerialPort::OneStop);
        break;
    case 1:
        serialPort->setStopBits(QSerialPort::OneAndHalfStop);
        break;
    case 2:
        serialPort->setStopBits(QSerialPort::TwoStop);
        break;
    default:
        serialPort->setStopBits(QSerialPort::UnknownStopBits);
        break;
    }

    serialPort->setFlowControl(QSerialPort::NoFlowControl);
    if (!serialPort->open(QIODevice::ReadWrite))
        return false;

    ui->pushButton_close->setEnabled(true);
    ui->pushButton_open->setEnabled(false);
    bOpenPortListed = false;
    owner->worker()->bReceiveEnabled = true;
    emit SerialOpenSuccess_sig();
    return true;
}

void SerialSettingDlg::on_pushButton_open_clicked()
{
    const QString name = ui->comboBox_serialname->currentText();
    if (openPort(name)) {
        ui->pushButton_close->setEnabled(true);
        ui->pushButton_open->setEnabled(false);
        curSetting.strSerialName = name;
        owner->worker()->bReceiveEnabled = true;
        saveSettings();
    } else {
        owner->worker()->bReceiveEnabled = false;
        emit SerialOpenFailed_sig();
    }
}

void SerialSettingDlg::on_pushButton_close_clicked()
{
    closePort();
}

void SerialSettingDlg::closePort()
{
    ui->pushButton_close->setEnabled(false);
    ui->pushButton_open->setEnabled(true);
    serialPort->close();
    owner->worker()->clearReceived();
    owner->keepLastMultimeterReading();
    if (owner->receiveTimer()->isActive())
        owner->receiveTimer()->stop();
    emit SerialOpenFailed_sig();
}

void SerialSettingDlg::portNameTimerUpdate()
{
    QStringList present;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        present << info.portName();

    for (const QString &name : qAsConst(present)) {
        if (!portNameList.contains(name)) {
            portNameList << name;
            ui->comboBox_serialname->addItem(name);
        }
    }
    const QStringList known = portNameList;
    for (const QString &name : known) {
        if (present.contains(name))
            continue;
        const int index =
            ui->comboBox_serialname->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            ui->comboBox_serialname->removeItem(index);
        portNameList.removeAll(name);
    }

    if (openPortLost())
        closePort();
}

bool SerialSettingDlg::openPortLost()
{
    // Open state as the buttons show it: the port may have closed itself on an I/O error.
    if (!ui->pushButton_close->isEnabled())
        return false;
    if (!serialPort->isOpen())
        return true;
    if (portNameList.contains(serialPort->portName())) {
        bOpenPortListed = true;
        return false;
    }
    // A port the system lists is lost as soon as it leaves the list; one it never
    // listed (a pseudo-terminal, a symlink, a network bridge) when its device
    // file disappears.
    if (bOpenPortListed)
        return true;
    return !QFileInfo::exists(deviceFileOf(serialPort->portName()));
}
