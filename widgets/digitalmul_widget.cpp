#include "digitalmul_widget.h"

#include "flatbackdrop.h"
#include "ui_digitalmul_widget.h"

namespace {

// In function order: DC voltage, resistance, diode, capacitance, frequency.
const char *const iconPaths[5] = {":/icon/dc_white.png", ":/icon/resistance.png",
                                  ":/icon/diode_white.png", ":/icon/f_white.png",
                                  ":/icon/hz_white.png"};

} // namespace

DigitalMul_widget::DigitalMul_widget(QWidget *parent)
    : QWidget(parent), ui(new Ui::DigitalMul_widget)
{
    ui->setupUi(this);
    FlatBackdrop::install(ui->lcdNumber, FlatBackdrop::kDarkPanel);
    for (int i = 0; i < 5; ++i)
        ui->widget_func->setFunctionPixmap(QPixmap(iconPaths[i]), i + 1);
    ui->widget_func->setFunctionType(0);
    for (int i = 0; i < 5; ++i)
        pixIcons[i] = QPixmap(iconPaths[i]);
}

DigitalMul_widget::~DigitalMul_widget()
{
    delete ui;
}

void DigitalMul_widget::setFunctionType(int type)
{
    // Every reading repeats the function; only a change moves the dial.
    if (type == nLastType)
        return;
    nLastType = type;
    if (type >= 1 && type <= 5) {
        ui->widget_func->setFunctionType(type);
        ui->label_type->setPixmap(pixIcons[type - 1]);
    } else {
        ui->widget_func->setFunctionType(0);
        ui->label_type->setPixmap(QPixmap());
    }
}

void DigitalMul_widget::setValueText(QString text)
{
    ui->lcdNumber->display(text);
}

void DigitalMul_widget::setUnitText(QString text)
{
    ui->label_unit->setText(text);
}

QString DigitalMul_widget::unitText() const
{
    return ui->label_unit->text();
}

void DigitalMul_widget::clearData()
{
    nLastType = -1;
    ui->widget_func->setFunctionType(0);
}
