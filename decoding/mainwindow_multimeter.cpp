// Multimeter decoding of MainWindow: segment codes, indicators, function and value.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "digitalmul_widget.h"
#include "digitalmultable_widget.h"
#include "multimeterdisplay.h"
#include "readings.h"
#include "receivequeue.h"
#include "recordingcontrol.h"
#include "settinginfo.h"

#include <QDateTime>
#include <QPixmapCache>
#include <QSerialPort>

void MainWindow::parseMulData()
{
    lstSegCodes = MultimeterDisplay::decodeSegments(strPayload, hexDigitValue, segmentMatrix);
    ui->lcdNumber_multimeter->setSegments(lstSegCodes, serialPort->isOpen());

    if (lstSegCodes.contains(QLatin1String("00")))
        switchMultimeterPanel();
    ui->label_Auto->setVisible(lstSegCodes.contains(QLatin1String("01")));
    ui->label_altaPressione->setVisible(lstSegCodes.contains(QLatin1String("02")));
    ui->label_buzzer->setVisible(lstSegCodes.contains(QLatin1String("03")));

    const MultimeterDisplay::Function *function = MultimeterDisplay::functionFor(strFunCode);
    // A style sheet is parsed and its icon loaded anew on every change, even to
    // the same text: change it only when the function does.
    const QString iconStyle = function ? function->iconStyle : QString();
    if (ui->label_type->styleSheet() != iconStyle) {
        // A new style sheet loads its icon afresh, and Qt's pixmap cache keeps
        // every load's picture until the cache is full (10 MB): emptied here,
        // memory stays flat however often the function changes.
        QPixmapCache::clear();
        ui->label_type->setStyleSheet(iconStyle);
    }
    if (!function)
        return;
    const QString unit =
        MultimeterDisplay::unitText(strFunCode, MultimeterDisplay::unitCode(strPayload));
    if (!unit.isNull())
        ui->label_mulUnit->setText(unit);
    if (function->panelType >= 0) {
        digitalMulWidget->setFunctionType(function->panelType);
        digitalMulWidget->setUnitText(ui->label_mulUnit->text());
    }

    const QString value = ui->lcdNumber_multimeter->valueText();
    if (!value.isEmpty())
        digitalMulWidget->setValueText(value);
    if (bTableMode)
        digitalMulTableWidget->addRecord(function->tableType, value + digitalMulWidget->unitText());
    if (recordingControl->isRecording())
        recordingControl->record(Readings::multimeter(strFunCode, lstSegCodes,
                                                      MultimeterDisplay::unitCode(strPayload),
                                                      QDateTime::currentDateTime()));
}

void MainWindow::switchMultimeterPanel()
{
    bTableMode = !bTableMode;
    // A multimeter the user switched off stays off; the mode still flips.
    const bool shown = curSetting.mulView != 0;
    digitalMulWidget->setVisible(shown && !bTableMode);
    digitalMulTableWidget->setVisible(shown && bTableMode);
    // Only the graphic view with the multimeter in it shows the swap; anywhere
    // else the window would be fitted to exactly the size it has, at some
    // milliseconds a frame. The views fit themselves anew when they change.
    if (curSetting.nDisplayType == 0 || !shown)
        return;
    topRowLayout->invalidate();
    fitGraphicView();
    fitWindowToCentralWidget();
    placeWindow();
}

void MainWindow::sendCurValue(const QString &valueText, const QStringList &segmentCodes)
{
    Q_UNUSED(segmentCodes)
    // The panel's unit follows the unit label, which the frame decoding sets;
    // the display only refreshes the value.
    if (!valueText.isEmpty())
        digitalMulWidget->setValueText(valueText);
}

void MainWindow::keepLastMultimeterReading()
{
    ui->lcdNumber_multimeter->clearClosedSegments();
    ui->lcdNumber_multimeter->setSegments(lstSegCodes, false);
}
