#pragma once

#include <QMainWindow>
#include <QMap>
#include <QStringList>

#include <array>

class DataProcessThread;
class QLabel;
class QTimer;
class SerialSettingDlg;

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    DataProcessThread *worker() const { return dataProcessThread; }
    QTimer *receiveTimer() const { return m_receiveTimer; }
    SerialSettingDlg *serialSettingDlg() const { return serialDlg; }
    // Puts the last multimeter reading back on the display with the port
    // flag false, so it stays visible after the port closed.
    void keepLastMultimeterReading();

    // Decoding state of the last frame (see decipher).
    QString strFrame;
    int nDataLen = 0;
    QString strPayload;
    QString strFunCode;
    int nDevType = 0;
    QStringList lstSegCodes;
    int nPowerSilence = 5;
    int nAirgunSilence = 5;
    int nIronSilence = 5;
    bool bTableMode = false;

public slots:
    void openSerialSettingDlg();
    void serialPort_readyRead();
    void receiveTimerUpdate();
    void on_pushButton_serial_clicked();
    void SerialOpenSuccess_slot();
    void SerialOpenFailed_slot();
    void decipher(const QString &frame);

private:
    void parseMulData();
    void parseDevData();
    void placeWindow();

    SerialSettingDlg *serialDlg = nullptr;
    DataProcessThread *dataProcessThread = nullptr;
    Ui::MainWindow *ui = nullptr;
    QLabel *statusLabel = nullptr;
    QTimer *m_receiveTimer = nullptr;
    std::array<std::array<int, 4>, 9> segmentMatrix{};
    QMap<QString, int> hexDigitValue;
};
