#pragma once

#include "portnames.h"
#include "portstatus.h"

#include <QDialog>
#include <QSerialPort>
#include <QStringList>

class QFileSystemWatcher;
class QTimer;

namespace Ui {
class SerialSettingDlg;
}

// Picks the serial port and opens or closes it; follows the ports present on
// the system, closes the open port by itself when it disappears and opens it
// again when it comes back.
class SerialSettingDlg : public QDialog
{
    Q_OBJECT

public:
    explicit SerialSettingDlg(QWidget *parent = nullptr);
    ~SerialSettingDlg() override;

    // Where the stable names of the USB serial adapters are looked for.
    QString strStableNameFolder = QLatin1String(PortNames::kStableNameFolder);

    // Configures serialPort (115200 8N1, no flow control) and opens it. Every
    // call is a new attempt: it ends the wait for a lost port and replaces the
    // reason of the last failure.
    bool openPort(const QString &portName);
    void closePort();
    void applyLanguage();
    // Why the last open failed, or which lost port is awaited, in the current
    // language; empty when there is nothing to say.
    QString statusDetail() const { return portStatus.text(); }

signals:
    // The port opened: reception may start.
    void SerialOpenSuccess_sig();
    // An open from the open button failed, or the port was closed; reception stops.
    void SerialOpenFailed_sig();
    // The port was closed (by the user, a new choice or its loss): what was
    // received and not yet shown is dropped, and the last reading stays.
    void SerialClosed_sig();
    // statusDetail() has changed.
    void SerialPortDetail_sig();

public slots:
    void on_pushButton_open_clicked();
    void on_pushButton_close_clicked();
    void portNameTimerUpdate();

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    // The port name timer: the full refresh while the dialog is on screen,
    // mostly a look for the open port's device while it is hidden.
    void portNameTick();
    void reconnectTimerUpdate();
    void portErrorOccurred(QSerialPort::SerialPortError error);
    void portNameChosen(const QString &name);

private:
    bool openDevice(const QString &portName);
    void refreshPortList(const QStringList &present);
    bool openPortLost(const QStringList &enumerated);
    void portLost();
    void stopWaiting();
    void setPortStatus(const PortStatus &status);

    Ui::SerialSettingDlg *ui = nullptr;
    QTimer *portNameTimer = nullptr;
    int hiddenTicks = 0; // since the last full refresh
    QFileSystemWatcher *deviceWatcher = nullptr;
    bool bDevicesWatched = false;
    // A device node came or went since the last full refresh; true at first so
    // that the list is filled one tick after construction.
    bool bDevicesChanged = true;
    QStringList portNameList;
    // The port as it was named when it opened (the serial port keeps it shortened).
    QString strOpenPort;
    // Whether the system's port list has named the open port since it opened.
    bool bOpenPortListed = false;
    // A port that was lost while open, to be opened again when it comes back;
    // empty when none is awaited.
    QString strLostPort;
    QTimer *reconnectTimer = nullptr;
    PortStatus portStatus;
};
