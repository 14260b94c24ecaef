#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "dataprocessthread.h"
#include "languagetext.h"
#include "receivequeue.h"
#include "serialsettingdlg.h"
#include "settinginfo.h"

#include <QGuiApplication>
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
    connect(serialPort, &QSerialPort::readyRead, this, &MainWindow::serialPort_readyRead);

    dataProcessThread = new DataProcessThread(this);
    dataProcessThread->owner = this;
    dataProcessThread->bRunning = true;
    dataProcessThread->start(QThread::TimeCriticalPriority);
    connect(dataProcessThread, &DataProcessThread::decipher_sig, this, &MainWindow::decipher);

    serialDlg = new SerialSettingDlg;
    serialDlg->owner = this;
    connect(serialDlg, &SerialSettingDlg::SerialOpenSuccess_sig, this,
            &MainWindow::SerialOpenSuccess_slot);
    connect(serialDlg, &SerialSettingDlg::SerialOpenFailed_sig, this,
            &MainWindow::SerialOpenFailed_slot);

    ui->widget_3->hide();

    m_receiveTimer = new QTimer(this);
    connect(m_receiveTimer, &QTimer::timeout, this, &MainWindow::receiveTimerUpdate);

    connect(ui->action_SerialSetting, &QAction::triggered, this, &MainWindow::openSerialSettingDlg);

    statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("statusLabel"));
    statusLabel->show();
    statusLabel->setText(languageText["ids_Serialport_Language/ids_NotconnectRemind"]);
    ui->statusbar->addPermanentWidget(statusLabel, 0);

    for (int digit = 0; digit < 16; ++digit)
        hexDigitValue.insert(QString::number(digit, 16).toUpper(), digit);

    nPowerSilence = nAirgunSilence = nIronSilence = 5;

    if (serialDlg->openPort(curSetting.strSerialName))
        serialDlg->hide();
    else
        serialDlg->show();

    placeWindow();
}

MainWindow::~MainWindow()
{
    delete serialDlg;
    if (serialPort->isOpen())
        serialPort->close();
    delete ui;
}

void MainWindow::placeWindow()
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    move(available.width() - width() - 20, 50);
}

void MainWindow::keepLastMultimeterReading() {}

void MainWindow::openSerialSettingDlg()
{
    serialDlg->setVisible(true);
}

void MainWindow::on_pushButton_serial_clicked()
{
    serialDlg->setVisible(true);
}

void MainWindow::SerialOpenSuccess_slot()
{
    statusLabel->setText(languageText["ids_Serialport_Language/ids_connectRemind"]);
}

void MainWindow::SerialOpenFailed_slot()
{
    statusLabel->setText(languageText["ids_Serialport_Language/ids_NotconnectRemind"]);
}

void MainWindow::serialPort_readyRead()
{
    const QByteArray chunk = serialPort->readAll();
    QMutexLocker lock(&receiveMutex);
    receiveQueue.append(chunk);
}
