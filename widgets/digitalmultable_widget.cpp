#include "digitalmultable_widget.h"

#include "flatbackdrop.h"
#include "languagetext.h"
#include "ui_digitalmultable_widget.h"

#include <QHeaderView>
#include <QStringList>
#include <QStyle>
#include <QTableWidgetItem>

namespace {

const int maxRows = 5;

// In function order: DC voltage, resistance, diode, capacitance, frequency.
const char *const iconPaths[5] = {":/icon/dc_white.png", ":/icon/resistance.png",
                                  ":/icon/diode_white.png", ":/icon/f_white.png",
                                  ":/icon/hz_white.png"};
const char *const functionKeys[5] = {
    "ids_Multimeter_Language/ids_DC", "ids_Multimeter_Language/ids_resistance",
    "ids_Multimeter_Language/ids_diode", "ids_Multimeter_Language/ids_capacitance",
    "ids_Multimeter_Language/ids_frequency"};

} // namespace

DigitalMulTable_widget::DigitalMulTable_widget(QWidget *parent)
    : QWidget(parent), ui(new Ui::DigitalMulTable_widget)
{
    ui->setupUi(this);
    // The header was polished with the panel's rules before the table got its own
    // style sheet and would keep drawing plain sections; polish it again.
    QHeaderView *header = ui->tableWidget->horizontalHeader();
    header->style()->unpolish(header);
    header->style()->polish(header);
    updateHeaderLabels();
    for (int i = 0; i < 5; ++i)
        pixIcons[i] = QPixmap(iconPaths[i]);
    FlatBackdrop::install(ui->label_value, FlatBackdrop::kDarkPanel);
}

DigitalMulTable_widget::~DigitalMulTable_widget()
{
    delete ui;
}

void DigitalMulTable_widget::addRecord(int function, const QString &valueText)
{
    // -1 means no function; anything beyond the five known ones has no text or icon.
    if (function < 0 || function > 4)
        return;

    QTableWidget *table = ui->tableWidget;
    if (table->rowCount() < maxRows) {
        table->insertRow(0);
    } else {
        // A full log moves its items down a row and drops the oldest: inserting
        // and removing rows would lay the whole table out again for every reading.
        for (int row = maxRows - 1; row > 0; --row) {
            for (int column = 0; column < table->columnCount(); ++column)
                table->setItem(row, column, table->takeItem(row - 1, column));
        }
    }
    auto *typeItem = new QTableWidgetItem(languageText[functionKeys[function]]);
    auto *valueItem = new QTableWidgetItem(valueText);
    typeItem->setTextAlignment(Qt::AlignCenter);
    valueItem->setTextAlignment(Qt::AlignCenter);
    // Readings of one function arrive in long runs; load its icon only on a change.
    if (function != nLastFunction) {
        ui->label_type->setPixmap(pixIcons[function]);
        nLastFunction = function;
    }
    table->setItem(0, 0, typeItem);
    table->setItem(0, 1, valueItem);
    while (table->rowCount() > maxRows)
        table->removeRow(table->rowCount() - 1);
    ui->label_value->setText(valueText);
}

void DigitalMulTable_widget::updateHeaderLabels()
{
    QStringList labels;
    const int columns = ui->tableWidget->columnCount();
    if (columns > 0)
        labels << languageText["ids_Serialport_Language/ids_type"];
    if (columns > 1)
        labels << languageText["ids_Serialport_Language/ids_value"];
    ui->tableWidget->setHorizontalHeaderLabels(labels);
}
