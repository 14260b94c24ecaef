// Multimeter decoding of MainWindow: segment codes, indicators, function and value.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "digitalmul_widget.h"
#include "digitalmultable_widget.h"
#include "multimeterlook.h"
#include "receivequeue.h"
#include "settinginfo.h"

#include <QPixmapCache>
#include <QSerialPort>

void MainWindow::parseMulData(const MultimeterDisplay::State &display)
{
    lstSegCodes = display.segmentCodes;
    ui->lcdNumber_multimeter->setSegments(lstSegCodes, serialPort->isOpen());

    if (display.tableKey)
        switchMultimeterPanel();
    ui->label_Auto->setVisible(display.autoRange);
    ui->label_altaPressione->setVisible(display.highVoltage);
    ui->label_buzzer->setVisible(display.buzzer);

    const MultimeterLook *look =
        display.function ? &MultimeterLook::of(*display.function) : nullptr;
    // A style sheet is parsed and its icon loaded anew on every change, even to
    // the same text: change it only when the function does.
    const QString iconStyle = look ? look->iconStyle : QString();
    if (ui->label_type->styleSheet() != iconStyle) {
        // A new style sheet loads its icon afresh, and Qt's pixmap cache keeps
        // every load's picture until the cache is full (10 MB): emptied here,
        // memory stays flat however often the function changes.
        QPixmapCache::clear();
        ui->label_type->setStyleSheet(iconStyle);
    }
    if (!look)
        return;
    if (!display.unitText.isNull())
        ui->label_mulUnit->setText(display.unitText);
    digitalMulWidget->setFunctionType(look->panelType);
    digitalMulWidget->setUnitText(ui->label_mulUnit->text());

    const QString value = ui->lcdNumber_multimeter->valueText();
    if (!value.isEmpty())
        digitalMulWidget->setValueText(value);
    if (bTableMode)
        digitalMulTableWidget->addRecord(look->tableType, value + digitalMulWidget->unitText());
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
