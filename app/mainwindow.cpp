#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "dataprocessthread.h"
#include "dialogstacking.h"
#include "digitalairgun_widget.h"
#include "digitalelectriciron_widget.h"
#include "digitalmul_widget.h"
#include "digitalmultable_widget.h"
#include "digitalpower_widget.h"
#include "elidedlabel.h"
#include "historystore.h"
#include "historywindow.h"
#include "languagetext.h"
#include "limitsdialog.h"
#include "networkdialog.h"
#include "portreadpacer.h"
#include "rangesetting_dialog.h"
#include "receivequeue.h"
#include "recordingcontrol.h"
#include "repaintpacer.h"
#include "serialsettingdlg.h"
#include "settinginfo.h"
#include "vision_dialog.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QSerialPort>
#include <QTimer>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    setWindowFlags(Qt::WindowStaysOnTopHint);
    setWindowTitle(QStringLiteral("Korvanta"));

    loadSettings();
    loadLanguage();

    serialPort = new QSerialPort(this);
    serialPort->setReadBufferSize(kReadBufferBytes);
    connect(serialPort, &QSerialPort::readyRead, this, &MainWindow::serialPort_readyRead);
    readPacer = new PortReadPacer(serialPort, kStreamReadIntervalMs, this);
    // Owned by the window, as its event filter.
    new RepaintPacer(this, kStreamRepaintIntervalMs, [this] { return readPacer->isStreaming(); });
    readRetryTimer = new QTimer(this);
    readRetryTimer->setSingleShot(true);
    readRetryTimer->setInterval(int(DataProcessThread::kIdleSleepMs));
    connect(readRetryTimer, &QTimer::timeout, this, [this] {
        if (serialPort->isOpen())
            serialPort_readyRead();
    });

    dataProcessThread = new DataProcessThread(this);
    dataProcessThread->bRunning = true;
    dataProcessThread->start(QThread::TimeCriticalPriority);
    connect(dataProcessThread, &DataProcessThread::decipher_sig, this, &MainWindow::decipher);

    serialDlg = new SerialSettingDlg;
    connect(serialDlg, &SerialSettingDlg::SerialOpenSuccess_sig, this,
            &MainWindow::SerialOpenSuccess_slot);
    connect(serialDlg, &SerialSettingDlg::SerialOpenFailed_sig, this,
            &MainWindow::SerialOpenFailed_slot);
    connect(serialDlg, &SerialSettingDlg::SerialClosed_sig, this, &MainWindow::SerialClosed_slot);
    connect(serialDlg, &SerialSettingDlg::SerialPortDetail_sig, this,
            &MainWindow::SerialPortDetail_slot);

    visionDlg = new Vision_Dialog;
    visionDlg->hide();

    ui->widget_3->hide();
    createPanels();

    rangeSettingDlg = new RangeSetting_Dialog;
    connect(rangeSettingDlg, &RangeSetting_Dialog::RangesSaved_sig, this,
            &MainWindow::RangesSaved_slot);
    RangesSaved_slot(); // the panels start with the stored ranges and units
    rangeSettingDlg->hide();

    m_receiveTimer = new QTimer(this);
    connect(m_receiveTimer, &QTimer::timeout, this, &MainWindow::receiveTimerUpdate);

    connect(ui->action_SerialSetting, &QAction::triggered, this, &MainWindow::openSerialSettingDlg);

    statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("statusLabel"));
    statusLabel->show();
    statusLabel->setText(languageText["ids_Serialport_Language/ids_NotconnectRemind"]);
    ui->statusbar->addPermanentWidget(statusLabel, 0);
    portDetailLabel = new ElidedLabel(this);
    portDetailLabel->setObjectName(QStringLiteral("portDetailLabel"));
    portDetailLabel->setContentsMargins(6, 0, 0, 0); // apart from statusLabel's text
    portDetailLabel->hide();
    ui->statusbar->addPermanentWidget(portDetailLabel, 1);

    ui->label_hold->hide();
    ui->label_diode->hide();
    ui->label_buzzer->hide();
    ui->label_altaPressione->hide();

    buildMenus();
    recordingControl =
        new RecordingControl(ui->statusbar, ui->pushButton_record, recordAction, this);
    const auto record = [this](const QList<Reading> &readings) {
        if (recordingControl->isRecording())
            recordingControl->record(readings);
    };
    connect(this, &MainWindow::ReadingsDecoded_sig, recordingControl, record);
    createAlarms(record);
    createNetwork();
    createHistory();
    applyLanguage();
    applyDeviceViews();
    if (QAction *action = languageActionFor(curSetting.LanguageType))
        action->setChecked(true);

    ui->lcdNumber_multimeter->setSegments({"70", "71", "72", "80", "82", "83"}, false);
    nPowerSilence = nAirgunSilence = nIronSilence = 5;

    DialogStacking::keepAbove(this, {serialDlg, visionDlg, rangeSettingDlg, limitsDlg, networkDlg});
    if (serialDlg->openPort(curSetting.strSerialName))
        serialDlg->hide();
    else
        serialDlg->show();

    connect(ui->lcdNumber_multimeter, &myLCDNumber::sendCurValue, this, &MainWindow::sendCurValue);
    placeWindow();
}

MainWindow::~MainWindow()
{
    delete serialDlg;
    delete visionDlg;
    delete limitsDlg;
    delete networkDlg;
    delete historyWnd; // before the store it shows
    historyWnd = nullptr;
    delete historyStore;
    if (serialPort->isOpen())
        serialPort->close();
    delete ui;
    // The range dialog has no parent and lives as long as the process.
}

void MainWindow::createPanels()
{
    digitalMulWidget = new DigitalMul_widget(ui->widget_3);
    digitalElectricIronWidget = new DigitalElectricIron_widget(ui->widget_3);
    digitalPowerWidget = new DigitalPower_widget(ui->widget_3);
    digitalAirgunWidget = new DigitalAirgun_widget(ui->widget_3);
    digitalMulTableWidget = new DigitalMulTable_widget(ui->widget_3);

    topRowLayout = new QHBoxLayout;
    topRowLayout->addWidget(digitalMulTableWidget);
    digitalMulTableWidget->hide();
    topRowLayout->addWidget(digitalMulWidget);
    topRowLayout->addWidget(digitalPowerWidget);
    bottomRowLayout = new QHBoxLayout;
    bottomRowLayout->addWidget(digitalAirgunWidget);
    bottomRowLayout->addWidget(digitalElectricIronWidget);
    panelColumnLayout = new QVBoxLayout;
    panelColumnLayout->addLayout(topRowLayout);
    panelColumnLayout->addLayout(bottomRowLayout);
    ui->widget_3->setLayout(panelColumnLayout);
}

void MainWindow::RangesSaved_slot()
{
    // The panels order the two ends themselves and ignore equal ends.
    digitalPowerWidget->setVoltageRange(curSetting.VoltageMin, curSetting.VoltageMax);
    digitalPowerWidget->setCurrentRange(curSetting.CurrentMin, curSetting.CurrentMax);
    // Unit index 1 is the base unit, 0 its thousandth, as in the dialog's boxes.
    digitalPowerWidget->setUnitLabels(curSetting.CurrentUnit == 1 ? "A" : "mA",
                                      curSetting.VoltageUnit == 1 ? "V" : "mV");
    digitalElectricIronWidget->setTempRange(curSetting.elecMin, curSetting.elecMax);
    digitalElectricIronWidget->setTempUnit(curSetting.elecUnit);
    digitalAirgunWidget->setTempRange(curSetting.TempMin, curSetting.TempMax);
    digitalAirgunWidget->setSpeedRange(curSetting.speedMin, curSetting.speedMax);
    digitalAirgunWidget->setTempUnit(curSetting.TempUnit);
}

void MainWindow::placeWindow()
{
    // Top right of the screen, moved only as far as it takes to keep the whole
    // window, frame included, inside the available area.
    const QRect available = availableScreenArea();
    const QSize frame = size() + frameAllowance();
    move(qBound(available.left(), available.width() - width() - 20,
                available.right() + 1 - frame.width()),
         qBound(available.top(), 50, available.bottom() + 1 - frame.height()));
}

void MainWindow::openSerialSettingDlg()
{
    serialDlg->setVisible(true);
}

void MainWindow::on_pushButton_serial_clicked()
{
    serialDlg->setVisible(true);
}

void MainWindow::actRangeSettingClick()
{
    if (!rangeSettingDlg->isVisible())
        rangeSettingDlg->setVisible(true);
}

void MainWindow::actVersionClick()
{
    visionDlg->show();
}

void MainWindow::on_pushButton_record_clicked()
{
    recordingControl->toggle();
}

void MainWindow::actRecordClick()
{
    recordingControl->toggle();
}

void MainWindow::actOpenFolderClick()
{
    recordingControl->openFolder();
}

void MainWindow::SerialOpenSuccess_slot()
{
    dataProcessThread->bReceiveEnabled = true;
    statusLabel->setText(languageText["ids_Serialport_Language/ids_connectRemind"]);
}

void MainWindow::SerialPortDetail_slot()
{
    if (!portDetailLabel)
        return;
    const QString detail = serialDlg->statusDetail();
    portDetailLabel->setFullText(detail);
    portDetailLabel->setVisible(!detail.isEmpty());
}

void MainWindow::serialPort_readyRead()
{
    {
        // The worker is that far behind only while the GUI thread cannot take
        // its frames: the characters wait in the port (whose buffer is bounded
        // too) and are read once the queue has gone down.
        QMutexLocker lock(&receiveMutex);
        if (receiveQueue.size() >= kMaxQueuedChunks) {
            lock.unlock();
            readRetryTimer->start();
            return;
        }
    }
    // readAll() would grow a buffer of the port's whole read buffer size first.
    const QByteArray chunk = serialPort->read(serialPort->bytesAvailable());
    {
        QMutexLocker lock(&receiveMutex);
        receiveQueue.append(chunk);
    }
    readPacer->chunkRead();
}
