// The range dialog of a real main window: the stored ranges and units reach the
// panels at start-up without rewriting the settings file, and a save stores what
// the fields hold and writes only the keys that changed.

#include <QApplication>

#include "digitalairgun_widget.h"
#include "digitalelectriciron_widget.h"
#include "digitalpower_widget.h"
#include "dynamicchart.h"
#include "dynamicchartairgun.h"
#include "gaugeiron_widget.h"
#include "languagetext.h"
#include "mainwindow.h"
#include "rangesetting_dialog.h"
#include "settinginfo.h"
#include "testenvironment.h"

#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsTextItem>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

#include <memory>

namespace {

QStringList fileLines()
{
    QFile file(settingsFilePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n');
}

QVariant storedValue(const char *key)
{
    return QSettings(settingsFilePath(), QSettings::IniFormat).value(key);
}

} // namespace

class TestRangeDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstStartAppliesDefaults();
    void longStoredRangeIsRoundedOnce();
    void saveStoresFieldsAsEntered();
    void unitOnlyChangeWritesOneKey();
    void languageSwitchKeepsTitle();

private:
    void startMainWindow();
    QLineEdit *edit(const char *name) { return dialog->findChild<QLineEdit *>(name); }
    QComboBox *box(const char *name) { return dialog->findChild<QComboBox *>(name); }
    DynamicChart *powerChart() { return window->powerPanel()->findChild<DynamicChart *>(); }
    DynamicChartAirgun *airgunChart()
    {
        return window->airgunPanel()->findChild<DynamicChartAirgun *>();
    }
    // The iron gauge's scale as "minimum..maximum unit".
    QString ironScale()
    {
        double minimum = -1, maximum = -1;
        QString unit;
        window->ironPanel()->findChild<GaugeIron_widget *>()->getRangeAndUnit(minimum, maximum,
                                                                              unit);
        return QString("%1..%2 %3").arg(minimum).arg(maximum).arg(unit);
    }

    std::unique_ptr<MainWindow> window;
    RangeSetting_Dialog *dialog = nullptr;
};

void TestRangeDialog::init()
{
    QFile::remove(settingsFilePath());
    languageText.clear();
}

void TestRangeDialog::cleanup()
{
    window.reset();
    dialog = nullptr;
    QFile::remove(settingsFilePath());
}

void TestRangeDialog::startMainWindow()
{
    window = std::make_unique<MainWindow>();
    dialog = window->rangeDialog();
    QVERIFY(dialog);
}

void TestRangeDialog::firstStartAppliesDefaults()
{
    startMainWindow();
    QCOMPARE(edit("lineEdit_vmin")->text(), QString("10"));
    QCOMPARE(edit("lineEdit_electrictempmax")->text(), QString("600"));
    QCOMPARE(box("comboBox_a")->currentText(), QString("mA"));
    QCOMPARE(box("comboBox_v")->currentText(), QString("mV"));

    QCOMPARE(powerChart()->currentMin(), 10.0);
    QCOMPARE(powerChart()->currentMax(), 100.0);
    QCOMPARE(powerChart()->voltageMin(), 10.0);
    QCOMPARE(powerChart()->voltageMax(), 100.0);
    QCOMPARE(powerChart()->currentCaption()->toPlainText(), QString("mA"));
    QCOMPARE(powerChart()->voltageCaption()->toPlainText(), QString("mV"));
    QCOMPARE(ironScale(), QString("0..600 ℃"));
    QCOMPARE(airgunChart()->tempMin(), 0);
    QCOMPARE(airgunChart()->tempMax(), 500);
    QCOMPARE(airgunChart()->speedMin(), 0);
    QCOMPARE(airgunChart()->speedMax(), 200);

    // Building the dialog again from the same file writes nothing.
    const QDateTime old = QDateTime::currentDateTime().addDays(-1);
    QFile file(settingsFilePath());
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(old, QFileDevice::FileModificationTime));
    file.close();
    const QStringList before = fileLines();
    RangeSetting_Dialog second(window.get());
    QCOMPARE(QFileInfo(settingsFilePath()).lastModified(), old);
    QCOMPARE(fileLines(), before);
    QVERIFY(!settingsChanged());
}

void TestRangeDialog::longStoredRangeIsRoundedOnce()
{
    createDefaultSettings(settingsFilePath());
    QSettings(settingsFilePath(), QSettings::IniFormat)
        .setValue("powerPangePameter/VoltageMin", "12.3456789");

    startMainWindow();
    QCOMPARE(edit("lineEdit_vmin")->text(), QString("12.3457"));
    QCOMPARE(curSetting.VoltageMin, 12.3457);
    QCOMPARE(powerChart()->voltageMin(), 12.3457);
    QCOMPARE(storedValue("powerPangePameter/VoltageMin").toString().toDouble(), 12.3457);
}

void TestRangeDialog::saveStoresFieldsAsEntered()
{
    startMainWindow();

    // Reversed ends are stored as entered; the chart orders them.
    edit("lineEdit_vmin")->setText("100");
    edit("lineEdit_vmax")->setText("10");
    // Equal ends are stored; the panel keeps its range.
    edit("lineEdit_amin")->setText("50");
    edit("lineEdit_amax")->setText("50");
    // Whole-number bounds of the hot-air chart: 10 and 10 leave its range alone.
    edit("lineEdit_airguntempmin")->setText("10.2");
    edit("lineEdit_airguntempmax")->setText("10.8");
    // An empty field, a lone sign and a number past the double range count as 0.
    edit("lineEdit_electrictempmax")->clear();
    edit("lineEdit_speedmin")->setText("-");
    edit("lineEdit_speedmax")->setText("1e999");
    dialog->findChild<QPushButton *>("pushButton_save")->click();

    QCOMPARE(curSetting.VoltageMin, 100.0);
    QCOMPARE(curSetting.VoltageMax, 10.0);
    QCOMPARE(powerChart()->voltageMin(), 10.0);
    QCOMPARE(powerChart()->voltageMax(), 100.0);

    QCOMPARE(curSetting.CurrentMin, 50.0);
    QCOMPARE(curSetting.CurrentMax, 50.0);
    QCOMPARE(powerChart()->currentMin(), 10.0);
    QCOMPARE(powerChart()->currentMax(), 100.0);

    QCOMPARE(curSetting.TempMin, 10.2);
    QCOMPARE(curSetting.TempMax, 10.8);
    QCOMPARE(airgunChart()->tempMin(), 0);
    QCOMPARE(airgunChart()->tempMax(), 500);

    QCOMPARE(curSetting.elecMax, 0.0);
    QCOMPARE(curSetting.speedMin, 0.0);
    QCOMPARE(curSetting.speedMax, 0.0);

    // The file holds the same values and reads back as the same numbers.
    QCOMPARE(storedValue("powerPangePameter/VoltageMin").toDouble(), 100.0);
    QCOMPARE(storedValue("powerPangePameter/VoltageMax").toDouble(), 10.0);
    QCOMPARE(storedValue("powerPangePameter/CurrentMin").toDouble(), 50.0);
    QCOMPARE(storedValue("airgunPangePameter/TempMin").toDouble(), 10.2);
    QCOMPARE(storedValue("airgunPangePameter/TempMax").toDouble(), 10.8);
    QCOMPARE(storedValue("electricPangePameter/max").toDouble(), 0.0);
    bool number = false;
    QCOMPARE(storedValue("airgunPangePameter/speedMax").toString().toDouble(&number), 0.0);
    QVERIFY(number);
    // The dialog stays open after saving.
    dialog->show();
    dialog->findChild<QPushButton *>("pushButton_save")->click();
    QVERIFY(dialog->isVisible());
}

void TestRangeDialog::unitOnlyChangeWritesOneKey()
{
    startMainWindow();
    const QStringList before = fileLines();
    box("comboBox_a")->setCurrentIndex(1);
    dialog->on_pushButton_save_clicked();

    const QStringList after = fileLines();
    QCOMPARE(after.size(), before.size());
    QStringList changed;
    for (int i = 0; i < after.size(); ++i) {
        if (after[i] != before[i])
            changed << after[i];
    }
    QCOMPARE(changed, QStringList{"CurrentUnit=1"});
    QCOMPARE(curSetting.CurrentUnit, 1);
    QCOMPARE(curSetting.VoltageUnit, 0);
    QCOMPARE(powerChart()->currentCaption()->toPlainText(), QString("A"));
    QCOMPARE(powerChart()->voltageCaption()->toPlainText(), QString("mV"));

    box("comboBox_electrictemp")->setCurrentIndex(1);
    dialog->on_pushButton_save_clicked();
    QCOMPARE(storedValue("electricPangePameter/unit").toInt(), 1);
    QCOMPARE(ironScale(), QString("0..600 ℉"));
}

// The other texts follow the language like those of every window (tst_languages).
void TestRangeDialog::languageSwitchKeepsTitle()
{
    startMainWindow();
    languageText.setText("ids_Serialport_Language/ids_rangesetting", "Ranges");
    RangeSetting_Dialog own(window.get());
    QCOMPARE(own.windowTitle(), QString("Ranges"));

    // The title keeps the language the dialog was made in.
    languageText.setText("ids_Serialport_Language/ids_rangesetting", "Bereiche");
    own.applyLanguage();
    QCOMPARE(own.windowTitle(), QString("Ranges"));
}

KORVANTA_TEST_MAIN(QApplication, TestRangeDialog)
#include "tst_rangedialog.moc"
