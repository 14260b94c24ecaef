#pragma once

#include "localclock.h"
#include "multimeterdisplay.h"
#include "reading.h"
#include "stationrecords.h"

#include <QList>
#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <optional>

class AlarmControl;
class DataProcessThread;
class DigitalAirgun_widget;
class DigitalElectricIron_widget;
class DigitalMulTable_widget;
class DigitalMul_widget;
class DigitalPower_widget;
class ElidedLabel;
class HistoryStore;
class HistoryWindow;
class LimitsDialog;
class NetworkControl;
class NetworkDialog;
class PortReadPacer;
class QAction;
class QBoxLayout;
class QLabel;
class QMenu;
class QTimer;
class RangeSetting_Dialog;
class RecordingControl;
class SerialSettingDlg;
class Vision_Dialog;

namespace Ui {
class MainWindow;
}

// The one window of the program: creates and owns every other component,
// shows the instruments in the numeric or the graphic view and decodes the
// frames the worker hands over.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    DataProcessThread *worker() const { return dataProcessThread; }
    QTimer *receiveTimer() const { return m_receiveTimer; }
    SerialSettingDlg *serialSettingDlg() const { return serialDlg; }
    Vision_Dialog *versionDialog() const { return visionDlg; }
    RangeSetting_Dialog *rangeDialog() const { return rangeSettingDlg; }
    DigitalMul_widget *mulPanel() const { return digitalMulWidget; }
    DigitalMulTable_widget *mulTablePanel() const { return digitalMulTableWidget; }
    DigitalPower_widget *powerPanel() const { return digitalPowerWidget; }
    DigitalElectricIron_widget *ironPanel() const { return digitalElectricIronWidget; }
    DigitalAirgun_widget *airgunPanel() const { return digitalAirgunWidget; }
    RecordingControl *recording() const { return recordingControl; }
    AlarmControl *alarms() const { return alarmControl; }
    LimitsDialog *limitsDialog() const { return limitsDlg; }
    NetworkControl *network() const { return networkControl; }
    NetworkDialog *networkDialog() const { return networkDlg; }
    QAction *networkMenuAction() const { return networkAction; }
    HistoryStore *history() const { return historyStore; }
    // The session's history window; nullptr until it was first opened.
    HistoryWindow *historyWindow() const { return historyWnd; }

    void applyLanguage();
    void uncheckLanguageActions();
    void applyDeviceViews();
    void placeWindow();

    // The area the window is fitted into and placed in: the primary screen's
    // available geometry, unless a test has set another (an invalid rect
    // returns to the screen's).
    static QRect availableScreenArea();
    static void setAvailableScreenArea(const QRect &area);

    // State of the last frame handed to decipher.
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

    // Bounds of the receive path while the GUI thread lags behind the line:
    // chunks waiting for the worker, and characters the port holds before it
    // leaves the rest to the system's driver.
    static constexpr int kMaxQueuedChunks = 256;
    static constexpr qint64 kReadBufferBytes = 16384;
    // A port that streams is read at most this often (PortReadPacer): the
    // worker takes the chunks only every polling interval anyway.
    static constexpr int kStreamReadIntervalMs = 40;
    // While it streams, the window is painted at most this often (RepaintPacer).
    static constexpr int kStreamRepaintIntervalMs = 100;

signals:
    // The readings of one decoded frame, once per frame that has any: the
    // recording and everything else that follows the readings take them here.
    void ReadingsDecoded_sig(const QList<Reading> &readings);

public slots:
    void openSerialSettingDlg();
    void serialPort_readyRead();
    void receiveTimerUpdate();
    void on_pushButton_serial_clicked();
    void SerialOpenSuccess_slot();
    void SerialOpenFailed_slot();
    void SerialClosed_slot();
    // Hands the ranges and units of curSetting to the panels.
    void RangesSaved_slot();
    void SerialPortDetail_slot();
    void LanguageChangedToChinese();
    void LanguageChangedToTraditionalChinese();
    void LanguageChangedToEnglish();
    void LanguageChangedToGerman();
    void LanguageChangedToJapanese();
    void LanguageChangedToItalian();
    void LanguageChangedToRussian();
    void LanguageChangedToFrench();
    void actMulClicked();
    void actPowerClicked();
    void actElectricIronClicked();
    void actAirGunClicked();
    void actValueClick();
    void actItemClick();
    void actRangeSettingClick();
    void actLimitsClick();
    // Takes the limits the dialog saved.
    void LimitsSaved_slot();
    void actNetworkClick();
    // Publishes with the network settings the dialog saved.
    void NetworkSaved_slot();
    void actVersionClick();
    void sendCurValue(const QString &valueText, const QStringList &segmentCodes);
    void decipher(const QString &frame);
    void on_pushButton_record_clicked();
    void actRecordClick();
    void actOpenFolderClick();
    void on_pushButton_history_clicked();
    void actHistoryClick();
    // A recording in a history window of its own, read on a worker thread.
    HistoryWindow *openRecording(const QString &path);

private:
    void createPanels();
    void createAlarms(const std::function<void(const QList<Reading> &)> &record);
    void createNetwork();
    void applyNetworkLanguage();
    void buildMenus();
    void createHistory();
    void applyHistoryLanguage();
    void applyHistoryTolerances(HistoryWindow *window) const;
    void changeLanguage(int languageType);
    QAction *languageActionFor(int languageType) const;
    void toggleDevice(int &viewFlag, QAction *action, QWidget *panel, QBoxLayout *rowLayout,
                      QWidget *groupBox);
    QWidget *shownMultimeterPanel() const;
    void fitGraphicView();
    void fitNumericView();
    void fitCentralWidget(const QSize &view, int fittedWidth);
    QSize frameAllowance() const;
    void fitWindowToCentralWidget();
    void switchMultimeterPanel();
    // Puts the last multimeter reading back on the display with the port
    // flag false, so it stays visible after the port closed.
    void keepLastMultimeterReading();
    void parseMulData(const MultimeterDisplay::State &display);
    void parseDevData(const std::optional<QList<StationRecords::Record>> &records);
    void showPowerSupply(const QList<StationRecords::Record> &records);
    void showTemperatureStation(const QList<StationRecords::Record> &records);

    SerialSettingDlg *serialDlg = nullptr;
    Vision_Dialog *visionDlg = nullptr;
    DataProcessThread *dataProcessThread = nullptr;
    DigitalMul_widget *digitalMulWidget = nullptr;
    DigitalElectricIron_widget *digitalElectricIronWidget = nullptr;
    DigitalPower_widget *digitalPowerWidget = nullptr;
    DigitalAirgun_widget *digitalAirgunWidget = nullptr;
    RangeSetting_Dialog *rangeSettingDlg = nullptr;
    LimitsDialog *limitsDlg = nullptr;
    DigitalMulTable_widget *digitalMulTableWidget = nullptr;
    QMenu *viewMenu = nullptr;
    QMenu *languageMenu = nullptr;
    QMenu *helpMenu = nullptr;
    QMenu *displayTypeMenu = nullptr;
    QAction *languageAction = nullptr;
    QAction *displayTypeAction = nullptr;
    QAction *valueAction = nullptr;
    QAction *graphicAction = nullptr;
    QAction *rangeSettingAction = nullptr;
    QAction *recordAction = nullptr;
    QAction *openFolderAction = nullptr;
    QAction *limitsAction = nullptr;
    RecordingControl *recordingControl = nullptr;
    AlarmControl *alarmControl = nullptr;
    NetworkControl *networkControl = nullptr;
    NetworkDialog *networkDlg = nullptr;
    QAction *networkAction = nullptr;
    HistoryStore *historyStore = nullptr;
    HistoryWindow *historyWnd = nullptr;
    QAction *historyAction = nullptr;
    QBoxLayout *topRowLayout = nullptr;
    QBoxLayout *bottomRowLayout = nullptr;
    QBoxLayout *panelColumnLayout = nullptr;
    Ui::MainWindow *ui = nullptr;
    QLabel *statusLabel = nullptr;
    // Beside statusLabel: why the port did not open, or that a lost port is awaited.
    ElidedLabel *portDetailLabel = nullptr;
    QTimer *m_receiveTimer = nullptr;
    LocalClock frameClock; // the readings' times, as the logger takes them
    QTimer *readRetryTimer = nullptr;
    PortReadPacer *readPacer = nullptr;
};
