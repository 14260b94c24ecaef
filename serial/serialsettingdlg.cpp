#include "serialsettingdlg.h"
#include "ui_serialsettingdlg.h"

#include "languagetext.h"
#include "receivequeue.h"
#include "settinginfo.h"
#include "textfit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLineEdit>
#include <QScrollBar>
#include <QSerialPort>
#include <QTimer>

namespace {

// How often a lost port is looked for: often enough to reopen it well within
// two seconds of its return, even when its first open is refused while the
// system is still setting up the device's permissions.
const int kReconnectIntervalMs = 500;

// Behind a hidden dialog the system's port list is read only when a device
// node came or went (or every few ticks where that cannot be watched): reading
// it costs far more than looking for one device file, and a removed adapter
// takes its device file with it.
const int kHiddenEnumerateTicks = 5;
const char kDeviceFolder[] = "/dev";

} // namespace

SerialSettingDlg::SerialSettingDlg(QWidget *parent) : QDialog(parent), ui(new Ui::SerialSettingDlg)
{
    ui->setupUi(this);
    // A dialog window, so that the window manager keeps it above its
    // transient parent, the main window.
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    setWindowTitle(languageText["ids_MenuBar_Language/ids_serialsetting"]);
    applyLanguage();
    deviceWatcher = new QFileSystemWatcher(this);
    bDevicesWatched = QFileInfo(QLatin1String(kDeviceFolder)).isDir() &&
                      deviceWatcher->addPath(QLatin1String(kDeviceFolder));
    connect(deviceWatcher, &QFileSystemWatcher::directoryChanged, this,
            [this] { bDevicesChanged = true; });
    portNameTimer = new QTimer(this);
    portNameTimer->start(1000);
    connect(portNameTimer, &QTimer::timeout, this, &SerialSettingDlg::portNameTick);
    ui->pushButton_close->setEnabled(false);

    reconnectTimer = new QTimer(this);
    reconnectTimer->setInterval(kReconnectIntervalMs);
    connect(reconnectTimer, &QTimer::timeout, this, &SerialSettingDlg::reconnectTimerUpdate);
    // Queued: the port must not be closed from inside its own error report.
    if (serialPort)
        connect(serialPort, &QSerialPort::errorOccurred, this, &SerialSettingDlg::portErrorOccurred,
                Qt::QueuedConnection);
    // Only the user's own choices: the list refresh changes the box silently.
    connect(ui->comboBox_serialname, &QComboBox::textActivated, this,
            &SerialSettingDlg::portNameChosen);
    connect(ui->comboBox_serialname->lineEdit(), &QLineEdit::textEdited, this,
            &SerialSettingDlg::portNameChosen);
    connect(ui->comboBox_serialname, &QComboBox::currentTextChanged, ui->comboBox_serialname,
            &QWidget::setToolTip);
}

SerialSettingDlg::~SerialSettingDlg()
{
    // QDialog's destructor hides the dialog, and the port box's editor then
    // reports its text as chosen on losing the focus: by then nothing of this
    // dialog may answer.
    ui->comboBox_serialname->disconnect(this);
    ui->comboBox_serialname->lineEdit()->disconnect(this);
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
    stopWaiting();
    if (openDevice(portName))
        return true;
    setPortStatus(PortStatus::ofFailedOpen(*serialPort, portName));
    return false;
}

bool SerialSettingDlg::openDevice(const QString &portName)
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
    strOpenPort = portName;
    bOpenPortListed = false;
    // The box shows the open port (the next refresh lists it), so that after
    // a close the open button opens the same port again.
    QComboBox *box = ui->comboBox_serialname;
    const int index = box->findText(portName, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        box->setCurrentIndex(index);
    else
        box->setEditText(portName);
    setPortStatus({});
    emit SerialOpenSuccess_sig();
    return true;
}

void SerialSettingDlg::on_pushButton_open_clicked()
{
    const QString name = ui->comboBox_serialname->currentText().trimmed();
    if (openPort(name)) {
        ui->pushButton_close->setEnabled(true);
        ui->pushButton_open->setEnabled(false);
        curSetting.strSerialName = name;
        saveSettings();
    } else {
        emit SerialOpenFailed_sig();
    }
}

void SerialSettingDlg::on_pushButton_close_clicked()
{
    stopWaiting();
    closePort();
}

void SerialSettingDlg::closePort()
{
    ui->pushButton_close->setEnabled(false);
    ui->pushButton_open->setEnabled(true);
    if (serialPort->isOpen())
        serialPort->close();
    emit SerialClosed_sig();
    emit SerialOpenFailed_sig();
}

void SerialSettingDlg::showEvent(QShowEvent *event)
{
    if (hiddenTicks > 0)
        portNameTimerUpdate(); // the list is a few ticks old
    QDialog::showEvent(event);
}

void SerialSettingDlg::portNameTick()
{
    ++hiddenTicks;
    if (isVisible() || bDevicesChanged ||
        (!bDevicesWatched && hiddenTicks >= kHiddenEnumerateTicks)) {
        portNameTimerUpdate();
        return;
    }
    // Open state as the buttons show it: the port may have closed itself.
    if (ui->pushButton_close->isEnabled() &&
        (!serialPort->isOpen() || !PortNames::exists(strOpenPort)))
        portLost();
}

void SerialSettingDlg::portNameTimerUpdate()
{
    hiddenTicks = 0;
    bDevicesChanged = false;
    const QStringList enumerated = PortNames::enumerated();
    QStringList extras = {curSetting.strSerialName, strLostPort};
    if (serialPort->isOpen())
        extras << strOpenPort;
    refreshPortList(
        PortNames::collect(enumerated, PortNames::stableNames(strStableNameFolder), extras));
    if (openPortLost(enumerated))
        portLost();
}

void SerialSettingDlg::refreshPortList(const QStringList &present)
{
    QComboBox *box = ui->comboBox_serialname;
    QLineEdit *edit = box->lineEdit();
    const bool wasEmpty = portNameList.isEmpty();
    const QString text = box->currentText();
    const int cursor = edit->cursorPosition();
    const int selectionStart = edit->selectionStart();
    const int selectionLength = edit->selectedText().size();

    for (const QString &name : present) {
        if (!portNameList.contains(name)) {
            portNameList << name;
            box->addItem(name);
        }
    }
    const QStringList known = portNameList;
    for (const QString &name : known) {
        if (present.contains(name))
            continue;
        const int index = box->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            box->removeItem(index);
        portNameList.removeAll(name);
    }

    // Items come and go under what the user typed or picked; only the first
    // names in an untouched box may pick the shown one.
    if (box->currentText() != text && !(wasEmpty && text.isEmpty())) {
        const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            box->setCurrentIndex(index);
        else
            box->setEditText(text);
        edit->setCursorPosition(cursor);
        if (selectionStart >= 0)
            edit->setSelection(selectionStart, selectionLength);
    }
    // The list may be wider than the box: stable names are long.
    box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) +
                                 box->view()->verticalScrollBar()->sizeHint().width());
}

bool SerialSettingDlg::openPortLost(const QStringList &enumerated)
{
    // Open state as the buttons show it: the port may have closed itself.
    if (!ui->pushButton_close->isEnabled())
        return false;
    if (!serialPort->isOpen())
        return true;
    if (enumerated.contains(serialPort->portName())) {
        bOpenPortListed = true;
        return false;
    }
    // A port the system lists is lost as soon as it leaves the list; one it never
    // listed (a pseudo-terminal, a symlink, a network bridge) when its device
    // file disappears.
    if (bOpenPortListed)
        return true;
    return !PortNames::exists(strOpenPort);
}

void SerialSettingDlg::portErrorOccurred(QSerialPort::SerialPortError error)
{
    // A device that went away reports itself by failing reads: a hung-up
    // pseudo-terminal with an end of file (ReadError, over and over), a
    // removed adapter with an I/O error (ResourceError).
    if ((error == QSerialPort::ResourceError || error == QSerialPort::ReadError) &&
        ui->pushButton_close->isEnabled())
        portLost();
}

void SerialSettingDlg::portLost()
{
    const QString lost = strOpenPort;
    closePort();
    strLostPort = lost;
    reconnectTimer->start();
    setPortStatus({PortStatus::Waiting, lost});
}

void SerialSettingDlg::reconnectTimerUpdate()
{
    if (strLostPort.isEmpty() || serialPort->isOpen()) {
        stopWaiting();
        return;
    }
    // A refused open is tried again on the next tick: a device that has just
    // come back may not have its final permissions yet.
    if (PortNames::exists(strLostPort) && openDevice(strLostPort))
        stopWaiting();
}

void SerialSettingDlg::portNameChosen(const QString &name)
{
    if (strLostPort.isEmpty() || name.trimmed() == strLostPort)
        return;
    stopWaiting();
    setPortStatus({});
}

void SerialSettingDlg::stopWaiting()
{
    strLostPort.clear();
    reconnectTimer->stop();
}

void SerialSettingDlg::setPortStatus(const PortStatus &status)
{
    portStatus = status;
    emit SerialPortDetail_sig();
}
