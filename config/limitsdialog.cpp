#include "limitsdialog.h"
#include "ui_limitsdialog.h"

#include "languagetext.h"
#include "limitset.h"
#include "settinginfo.h"

#include <QComboBox>
#include <QDoubleValidator>
#include <QHeaderView>
#include <QLayout>
#include <QLineEdit>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionHeader>

namespace {

const QStringList kQuantities = {
    "power.voltage",    "power.current",          "power.power",        "iron.set_temperature",
    "iron.temperature", "hotair.set_temperature", "hotair.temperature", "hotair.air_speed",
    "multimeter.volts", "multimeter.ohms",        "multimeter.hertz",   "multimeter.farads",
};

QString alarmText(const char *entry)
{
    return languageText[QStringLiteral("ids_Alarm_Language/") + QLatin1String(entry)];
}

QString numberText(double value)
{
    return QString::number(value, 'g', 15);
}

QString fieldText(const QWidget *field)
{
    return static_cast<const QLineEdit *>(field)->text().trimmed();
}

} // namespace

LimitsDialog::LimitsDialog(QWidget *parent) : QDialog(parent), ui(new Ui::LimitsDialog)
{
    ui->setupUi(this);
    minimumWidthAtStart = width();
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    ui->tableWidget_limits->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ui->tableWidget_limits->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (QLineEdit *edit : {ui->lineEdit_ironTolerance, ui->lineEdit_ironDelay,
                            ui->lineEdit_hotairTolerance, ui->lineEdit_hotairDelay})
        edit->setValidator(new QDoubleValidator(0, 1e6, 3, edit));
    // Filled from the settings file each time it is opened, not at start-up.
    applyLanguage();
}

LimitsDialog::~LimitsDialog()
{
    delete ui;
}

void LimitsDialog::applyLanguage()
{
    setWindowTitle(alarmText("ids_limits"));
    ui->tableWidget_limits->setHorizontalHeaderLabels(
        {alarmText("ids_quantity"), alarmText("ids_low"), alarmText("ids_high"),
         alarmText("ids_delay"), alarmText("ids_hysteresis")});
    ui->pushButton_add->setText(alarmText("ids_add"));
    ui->pushButton_remove->setText(alarmText("ids_remove"));
    ui->groupBox_tolerance->setTitle(alarmText("ids_check"));
    ui->label_tolerance->setText(alarmText("ids_tolerance"));
    ui->label_delay->setText(alarmText("ids_delay"));
    ui->checkBox_iron->setText(languageText["ids_Serialport_Language/ids_electricIron"]);
    ui->checkBox_hotair->setText(languageText["ids_Serialport_Language/ids_airgun"]);
    ui->checkBox_mute->setText(alarmText("ids_mute"));
    ui->pushButton_save->setText(languageText["Common_Language/ids_save"]);
    fitColumns();
}

void LimitsDialog::fitColumns()
{
    // The quantity column holds its longest name, each number column its
    // header in the current language; the dialog widens when they need more.
    QTableWidget *table = ui->tableWidget_limits;
    QHeaderView *header = table->horizontalHeader();
    QComboBox probe;
    probe.addItems(kQuantities);
    probe.setSizeAdjustPolicy(QComboBox::AdjustToContents);
    header->resizeSection(0, probe.sizeHint().width());
    int needed = header->sectionSize(0);
    for (int column = 1; column < table->columnCount(); ++column) {
        QStyleOptionHeader option;
        option.initFrom(header);
        option.text = table->horizontalHeaderItem(column)->text();
        // Bold: the header highlights the columns of a selected row.
        QFont font = header->font();
        font.setBold(true);
        option.fontMetrics = QFontMetrics(font);
        const int textWidth =
            header->style()
                ->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), header)
                .width();
        header->resizeSection(column, qMax(70, textWidth));
        needed += header->sectionSize(column);
    }
    const QMargins margins = layout()->contentsMargins();
    const int chrome = margins.left() + margins.right() + 2 * table->frameWidth() +
                       table->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    setFixedWidth(qMax(minimumWidthAtStart, needed + chrome));
}

void LimitsDialog::loadFromSettings()
{
    const LimitSet limits = LimitSet::fromFile(settingsFilePath());
    ui->tableWidget_limits->setRowCount(0);
    for (const LimitRule &rule : limits.limits)
        addRow(rule.key(), rule.low ? numberText(*rule.low) : QString(),
               rule.high ? numberText(*rule.high) : QString(), numberText(rule.delaySeconds),
               numberText(rule.hysteresis));
    const auto showCheck = [](const ToleranceRule &rule, QCheckBox *box, QLineEdit *tolerance,
                              QLineEdit *delay) {
        box->setChecked(rule.enabled);
        const ToleranceRule shown =
            rule.enabled ? rule : ToleranceRule::defaultFor(rule.instrument);
        tolerance->setText(numberText(shown.tolerance));
        delay->setText(numberText(shown.delaySeconds));
    };
    showCheck(limits.tolerances[0], ui->checkBox_iron, ui->lineEdit_ironTolerance,
              ui->lineEdit_ironDelay);
    showCheck(limits.tolerances[1], ui->checkBox_hotair, ui->lineEdit_hotairTolerance,
              ui->lineEdit_hotairDelay);
    const QSettings file(settingsFilePath(), QSettings::IniFormat);
    ui->checkBox_mute->setChecked(file.value(QStringLiteral("Alarm/muted"), false).toBool());
}

void LimitsDialog::addRow(const QString &key, const QString &low, const QString &high,
                          const QString &delay, const QString &hysteresis)
{
    QTableWidget *table = ui->tableWidget_limits;
    const int row = table->rowCount();
    table->insertRow(row);
    auto *quantity = new QComboBox(table);
    quantity->addItems(kQuantities);
    quantity->setCurrentText(key);
    table->setCellWidget(row, 0, quantity);
    const QString texts[] = {low, high, delay, hysteresis};
    for (int column = 1; column < 5; ++column) {
        auto *edit = new QLineEdit(texts[column - 1], table);
        edit->setValidator(new QDoubleValidator(edit));
        table->setCellWidget(row, column, edit);
    }
}

void LimitsDialog::on_pushButton_add_clicked()
{
    addRow(kQuantities.value(1), QString(), QString(), numberText(LimitRule::kDefaultDelaySeconds),
           QStringLiteral("0"));
}

void LimitsDialog::on_pushButton_remove_clicked()
{
    const int row = ui->tableWidget_limits->currentRow();
    ui->tableWidget_limits->removeRow(row >= 0 ? row : ui->tableWidget_limits->rowCount() - 1);
}

void LimitsDialog::on_pushButton_save_clicked()
{
    QSettings file(settingsFilePath(), QSettings::IniFormat);
    // The keys the dialog showed are written anew; keys it did not understand
    // stay as the user wrote them.
    const QStringList notUnderstood = LimitSet::fromFile(settingsFilePath()).badKeys;
    file.beginGroup(QStringLiteral("Limits"));
    for (const QString &key : file.childKeys()) {
        if (!notUnderstood.contains(key))
            file.remove(key);
    }
    QTableWidget *table = ui->tableWidget_limits;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString key = static_cast<QComboBox *>(table->cellWidget(row, 0))->currentText();
        const QString value = fieldText(table->cellWidget(row, 1)) + QLatin1Char(':') +
                              fieldText(table->cellWidget(row, 2)) + QLatin1Char(',') +
                              fieldText(table->cellWidget(row, 3)) + QLatin1Char(',') +
                              fieldText(table->cellWidget(row, 4));
        // A row without a bound, or with bounds the wrong way round, is left out.
        if (LimitRule::parse(key, value))
            file.setValue(key, value);
    }
    const auto saveCheck = [&](const char *key, QCheckBox *box, QLineEdit *tolerance,
                               QLineEdit *delay) {
        const QString value = box->isChecked() ? tolerance->text().trimmed() + QLatin1Char(',') +
                                                     delay->text().trimmed()
                                               : QStringLiteral("off");
        if (ToleranceRule::parse(QString(key).section('.', 0, 0), value))
            file.setValue(QLatin1String(key), value);
    };
    saveCheck("iron.tolerance", ui->checkBox_iron, ui->lineEdit_ironTolerance,
              ui->lineEdit_ironDelay);
    saveCheck("hotair.tolerance", ui->checkBox_hotair, ui->lineEdit_hotairTolerance,
              ui->lineEdit_hotairDelay);
    file.endGroup();
    file.setValue(QStringLiteral("Alarm/muted"), ui->checkBox_mute->isChecked());
    file.sync();
    emit LimitsSaved_sig();
}
