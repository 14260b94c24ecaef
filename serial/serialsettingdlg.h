#pragma once

#include <QDialog>
#include <QStringList>

class MainWindow;
class QTimer;

namespace Ui {
class SerialSettingDlg;
}

// Picks the serial port and opens or closes it; follows the ports present on
// the system and closes the open port by itself when it disappears.
class SerialSettingDlg : public QDialog
{
    Q_OBJECT

public:
    explicit SerialSettingDlg(QWidget *parent = nullptr);
    ~SerialSettingDlg() override;

    MainWindow *owner = nullptr;

    // Configures serialPort (115200 8N1, no flow control) and opens it.
    bool openPort(const QString &portName);
    void closePort();
    void applyLanguage();

signals:
    void SerialOpenSuccess_sig();
    void SerialOpenFailed_sig();

public slots:
    void on_pushButton_open_clicked();
    void on_pushButton_close_clicked();
    void portNameTimerUpdate();

private:
    bool openPortLost();

    Ui::SerialSettingDlg *ui = nullptr;
    QTimer *portNameTimer = nullptr;
    QStringList portNameList;
    // Whether the system's port list has named the open port since it opened.
    bool bOpenPortListed = false;
};
