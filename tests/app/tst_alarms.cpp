// Alarms in the window: a red frame around the instrument in both views, the
// status bar naming the alarm, one sound per start, rows in the recording,
// and limits that do not parse named instead of obeyed.
#include "alarmcontrol.h"
#include "alarmframe.h"
#include "digitalpower_widget.h"
#include "elidedlabel.h"
#include "framebuilder.h"
#include "historystatisticstable.h"
#include "historywindow.h"
#include "limitsdialog.h"
#include "mainwindow.h"
#include "onscreen.h"
#include "recordingcontrol.h"
#include "testenvironment.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

namespace {

QString powerFrame(const char *amperes)
{
    return FrameBuilder::station(
        1, {FrameBuilder::record("12.00", 0x0056), FrameBuilder::record(amperes, 0x0041)});
}

// Pixels of the alarm colour along the widget's left edge, as on screen.
int redEdgePixels(QWidget *widget)
{
    const QImage shown = onScreen(widget);
    int red = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < AlarmFrame::kPenWidth + 1; ++x) {
            const QColor c = shown.pixelColor(x, y);
            red += c.red() > 180 && c.green() < 80 && c.blue() < 80;
        }
    }
    return red;
}

} // namespace

class AlarmsTest : public QObject
{
    Q_OBJECT

private slots:
    void alarmShowsSoundsAndIsRecorded_data()
    {
        QTest::addColumn<int>("displayType");
        QTest::newRow("numeric view") << 0;
        QTest::newRow("graphic view") << 1;
    }

    void alarmShowsSoundsAndIsRecorded()
    {
        QFETCH(int, displayType);
        TestEnvironment::writeSettings({{"ids_LanguageType/LanguageType", 2},
                                        {"SerialInfo/nDisplayType", displayType},
                                        {"Limits/power.current", ":1.5,0"}});
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget *panel =
            displayType == 0
                ? static_cast<QWidget *>(window.findChild<QGroupBox *>("groupBox_regularpower"))
                : window.powerPanel();
        auto *label = window.findChild<ElidedLabel *>("alarmLabel");
        QVERIFY(panel && label);
        QSignalSpy sounded(window.alarms(), &AlarmControl::AlarmSounded_sig);
        window.findChild<QPushButton *>("pushButton_record")->click();
        QVERIFY(window.recording()->isRecording());

        window.decipher(powerFrame("0.5"));
        QTRY_COMPARE(redEdgePixels(panel), 0);
        window.decipher(powerFrame("2.0"));
        QTRY_VERIFY(redEdgePixels(panel) > panel->height() / 2);
        QVERIFY(label->isVisible());
        QCOMPARE(label->fullText(), QString("Alarm: power.current at 2.0A (limit :1.5)"));
        window.decipher(powerFrame("1.8"));
        QCOMPARE(sounded.count(), 1); // once per start, not per reading
        QCOMPARE(window.alarms()->active().size(), 1);

        window.decipher(powerFrame("1.0"));
        QTRY_COMPARE(redEdgePixels(panel), 0);
        QVERIFY(!label->isVisible());
        window.decipher(powerFrame("3"));
        QCOMPARE(sounded.count(), 2);

        QFile file(window.recording()->csvRecorder().filePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList alarmRows;
        for (const QString &line : QString::fromUtf8(file.readAll()).split("\r\n")) {
            if (line.contains(",alarm,"))
                alarmRows << line.section(',', 2);
        }
        QCOMPARE(alarmRows, QStringList({"power,alarm,2.0,A,power.current=:1.5 start",
                                         "power,alarm,1.0,A,power.current=:1.5 end",
                                         "power,alarm,3,A,power.current=:1.5 start"}));
    }

    void limitsThatDoNotParseAreNamed()
    {
        TestEnvironment::writeSettings({{"ids_LanguageType/LanguageType", 2},
                                        {"SerialInfo/nDisplayType", 0},
                                        {"Limits/power.current", "1.5"},
                                        {"Limits/power.power", "x"},
                                        {"Limits/power.voltage", ":13,0"}});
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *label = window.findChild<ElidedLabel *>("alarmLabel");
        QCOMPARE(label->fullText(),
                 QString("Limits not understood and ignored: power.current, power.power"));
        // Too long for the narrow numeric view: its start with an ellipsis, in its room.
        QTRY_VERIFY(label->text().endsWith(QChar(0x2026)));
        QVERIFY(label->fullText().startsWith(label->text().chopped(1)));
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <=
                label->contentsRect().width());
        // The good limit still holds, and an alarm takes the message's place.
        window.decipher(FrameBuilder::station(
            1, {FrameBuilder::record("14.00", 0x0056), FrameBuilder::record("1", 0x0041)}));
        QVERIFY(label->fullText().startsWith("Alarm: power.voltage at 14.00V"));
        window.decipher(FrameBuilder::station(
            1, {FrameBuilder::record("12.00", 0x0056), FrameBuilder::record("1", 0x0041)}));
        QVERIFY(label->text().isEmpty());
    }

    void dialogSavesWhatItShowsAndKeepsTheRest()
    {
        TestEnvironment::writeSettings({{"ids_LanguageType/LanguageType", 2},
                                        {"Limits/power.voltage", "11:13,0"},
                                        {"Limits/custom.thing", "keep me"}});
        MainWindow window;
        // The iron heats from 300 to 350 °C in 50 s, with the history window open.
        const QDateTime t0 = QDateTime::fromMSecsSinceEpoch(1714565000000);
        for (int i = 0; i <= 50; ++i)
            emit window.ReadingsDecoded_sig(
                {{t0.addSecs(i), "iron", "set_temperature", "350", "°C", ""},
                 {t0.addSecs(i), "iron", "temperature", QString::number(300 + i), "°C", ""}});
        window.findChild<QPushButton *>("pushButton_history")->click();
        HistoryWindow *history = window.historyWindow();
        history->setRange(t0.toMSecsSinceEpoch(), t0.toMSecsSinceEpoch() + 50000);
        const auto heatUp = [history] {
            const auto *table = history->findChild<QTableWidget *>("tableWidget_statistics");
            return table->item(table->rowCount() - 1, HistoryStatisticsTable::HeatUp)
                ->text()
                .toDouble();
        };
        QCOMPARE(heatUp(), 45.0);
        const QList<QAction *> action =
            window.findChild<QToolButton *>("toolButton_view")->menu()->actions();
        LimitsDialog *dialog = window.limitsDialog();
        QVERIFY(!dialog->isVisible());
        QAction *open = nullptr;
        for (QAction *a : action)
            open = a->text() == "Limits and alarms" ? a : open;
        QVERIFY(open);
        open->trigger();
        QVERIFY(dialog->isVisible());
        auto *table = dialog->findChild<QTableWidget *>("tableWidget_limits");
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(static_cast<QLineEdit *>(table->cellWidget(0, 2))->text(), QString("13"));

        // A high current limit, the hot air's check off, the sound muted.
        dialog->findChild<QPushButton *>("pushButton_add")->click();
        auto *quantity = static_cast<QComboBox *>(table->cellWidget(1, 0));
        quantity->setCurrentText("power.current");
        static_cast<QLineEdit *>(table->cellWidget(1, 2))->setText("1.5");
        static_cast<QLineEdit *>(table->cellWidget(1, 3))->setText("0");
        dialog->findChild<QCheckBox *>("checkBox_hotair")->setChecked(false);
        dialog->findChild<QLineEdit *>("lineEdit_ironTolerance")->setText("20");
        dialog->findChild<QCheckBox *>("checkBox_mute")->setChecked(true);
        QSignalSpy sounded(window.alarms(), &AlarmControl::AlarmSounded_sig);
        dialog->findChild<QPushButton *>("pushButton_save")->click();

        const QSettings file(settingsFilePath(), QSettings::IniFormat);
        QCOMPARE(file.value("Limits/power.current").toString(), QString(":1.5,0,0"));
        QCOMPARE(file.value("Limits/power.voltage").toString(), QString("11:13,0,0"));
        QCOMPARE(file.value("Limits/hotair.tolerance").toString(), QString("off"));
        QCOMPARE(file.value("Limits/iron.tolerance").toString(), QString("20,8"));
        QCOMPARE(file.value("Limits/custom.thing").toString(), QString("keep me"));
        // The window follows the saved limits at once.
        window.decipher(powerFrame("2.0"));
        QCOMPARE(window.alarms()->active().size(), 1);
        QCOMPARE(sounded.count(), 1); // announced, though muted: no sound plays
        QCOMPARE(heatUp(), 30.0);     // the open history window counts with the new tolerance
    }
};

KORVANTA_TEST_MAIN(QApplication, AlarmsTest)
#include "tst_alarms.moc"
