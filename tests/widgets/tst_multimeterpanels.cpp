#include "digitalmul_widget.h"
#include "digitalmultable_widget.h"
#include "gaugeiron_widget.h"
#include "gaugewidget.h"
#include "languagetext.h"

#include <QDir>
#include <QLCDNumber>
#include <QLabel>
#include <QPropertyAnimation>
#include <QSet>
#include <QTableWidget>
#include <QtTest>

// The icon file of each function index, as both panels show it.
static const char *const iconFiles[5] = {":/icon/dc_white.png", ":/icon/resistance.png",
                                         ":/icon/diode_white.png", ":/icon/f_white.png",
                                         ":/icon/hz_white.png"};

// Puts a picture on the label that no panel ever shows, so that a later check
// can tell whether the panel replaced it.
static void mark(QLabel *label)
{
    QPixmap marker(3, 3);
    marker.fill(Qt::magenta);
    label->setPixmap(marker);
}

static bool isMarked(const QLabel *label)
{
    return label->pixmap(Qt::ReturnByValue).size() == QSize(3, 3);
}

// True when the label shows exactly the icon of the function (a null picture
// while the icon files are missing).
static bool showsIcon(const QLabel *label, int function)
{
    const QPixmap shown = label->pixmap(Qt::ReturnByValue);
    const QPixmap icon(iconFiles[function]);
    if (icon.isNull())
        return shown.isNull();
    return !shown.isNull() && shown.toImage() == icon.toImage();
}

static QStringList rowTexts(const QTableWidget *table, int row)
{
    QStringList texts;
    for (int column = 0; column < 2; ++column) {
        const QTableWidgetItem *item = table->item(row, column);
        texts << (item ? item->text() : QString("<none>"));
    }
    return texts;
}

class TestMultimeterPanels : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void functionSwitchingMovesTheDial();
    void clearDataTurnsOnlyTheDial();
    void tableKeepsFiveNewestReadings();
    void tableFollowsLanguage();
    void panelsRenderToImages();
};

void TestMultimeterPanels::init()
{
    languageText.clear();
    languageText.setText("ids_Serialport_Language/ids_type", "Type");
    languageText.setText("ids_Serialport_Language/ids_value", "Value");
    languageText.setText("ids_Multimeter_Language/ids_DC", "DC");
    languageText.setText("ids_Multimeter_Language/ids_resistance", "Ohm");
    languageText.setText("ids_Multimeter_Language/ids_buzzer", "Buzzer");
    languageText.setText("ids_Multimeter_Language/ids_diode", "Diode");
    languageText.setText("ids_Multimeter_Language/ids_capacitance", "Cap");
    languageText.setText("ids_Multimeter_Language/ids_frequency", "Freq");
}

void TestMultimeterPanels::functionSwitchingMovesTheDial()
{
    DigitalMul_widget panel;
    auto *dial = panel.findChild<GaugeWidget *>("widget_func");
    auto *icon = panel.findChild<QLabel *>("label_type");
    QVERIFY(dial && icon);
    auto *animation = dial->findChild<QPropertyAnimation *>();
    QVERIFY(animation);

    mark(icon);
    panel.setFunctionType(3);
    QCOMPARE(animation->state(), QAbstractAnimation::Running);
    QCOMPARE(animation->endValue().toDouble(), 72.0);
    QVERIFY(showsIcon(icon, 2));

    // The same type again leaves the running swing alone.
    animation->setCurrentTime(100);
    const double halfway = dial->angle();
    panel.setFunctionType(3);
    QCOMPARE(animation->startValue().toDouble(), 180.0);
    QCOMPARE(animation->currentTime(), 100);
    QCOMPARE(dial->angle(), halfway);

    mark(icon);
    panel.setFunctionType(3);
    QVERIFY(isMarked(icon));
    panel.setFunctionType(5);
    QCOMPARE(animation->endValue().toDouble(), 0.0);
    QVERIFY(showsIcon(icon, 4));

    // Outside 1 to 5: "OFF" and no icon.
    mark(icon);
    panel.setFunctionType(7);
    QCOMPARE(animation->endValue().toDouble(), 180.0);
    QVERIFY(icon->pixmap(Qt::ReturnByValue).isNull());
    QTRY_COMPARE_WITH_TIMEOUT(dial->angle(), 180.0, 2000);
}

void TestMultimeterPanels::clearDataTurnsOnlyTheDial()
{
    DigitalMul_widget panel;
    auto *dial = panel.findChild<GaugeWidget *>("widget_func");
    auto *icon = panel.findChild<QLabel *>("label_type");
    auto *lcd = panel.findChild<QLCDNumber *>("lcdNumber");
    QVERIFY(dial && icon && lcd);
    auto *animation = dial->findChild<QPropertyAnimation *>();

    mark(icon);
    panel.setFunctionType(2);
    QVERIFY(showsIcon(icon, 1));
    panel.setValueText("12.34");
    panel.setUnitText(QString::fromUtf8("k\u03a9"));
    QCOMPARE(lcd->value(), 12.34);
    QCOMPARE(panel.unitText(), QString::fromUtf8("k\u03a9"));

    panel.clearData();
    QCOMPARE(animation->endValue().toDouble(), 180.0);
    QCOMPARE(lcd->value(), 12.34);
    QCOMPARE(panel.unitText(), QString::fromUtf8("k\u03a9"));
    QVERIFY(showsIcon(icon, 1));

    // The function shown before the clear is applied again.
    panel.setFunctionType(2);
    QCOMPARE(animation->endValue().toDouble(), 108.0);
    QCOMPARE(animation->state(), QAbstractAnimation::Running);
}

void TestMultimeterPanels::tableKeepsFiveNewestReadings()
{
    DigitalMulTable_widget panel;
    auto *table = panel.findChild<QTableWidget *>("tableWidget");
    auto *value = panel.findChild<QLabel *>("label_value");
    auto *icon = panel.findChild<QLabel *>("label_type");
    QVERIFY(table && value && icon);

    for (int i = 0; i < 6; ++i)
        panel.addRecord(i % 5, QString::number(i + 1));
    QCOMPARE(table->rowCount(), 5);
    QCOMPARE(rowTexts(table, 0), QStringList({"DC", "6"}));
    QCOMPARE(rowTexts(table, 1), QStringList({"Freq", "5"}));
    QCOMPARE(rowTexts(table, 3), QStringList({"Diode", "3"}));
    QCOMPARE(rowTexts(table, 4), QStringList({"Ohm", "2"}));
    QCOMPARE(value->text(), QStringLiteral("6"));
    QVERIFY(showsIcon(icon, 0));

    // No function, or one the panel does not know, logs nothing and keeps the icon.
    mark(icon);
    panel.addRecord(-1, "7");
    panel.addRecord(5, "8");
    panel.addRecord(99, "9");
    QCOMPARE(table->rowCount(), 5);
    QCOMPARE(rowTexts(table, 0), QStringList({"DC", "6"}));
    QCOMPARE(value->text(), QStringLiteral("6"));
    QVERIFY(isMarked(icon));

    // Readings of one function arrive in runs; its icon is loaded once per run.
    panel.addRecord(0, "10");
    QVERIFY(isMarked(icon));
    panel.addRecord(3, "11");
    QVERIFY(showsIcon(icon, 3));
    mark(icon);
    panel.addRecord(3, "12");
    QVERIFY(isMarked(icon));
}

void TestMultimeterPanels::tableFollowsLanguage()
{
    DigitalMulTable_widget panel;
    auto *table = panel.findChild<QTableWidget *>("tableWidget");
    QVERIFY(table);
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("Type"));
    QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("Value"));
    panel.addRecord(4, "50Hz");

    languageText.setText("ids_Serialport_Language/ids_type", "Typ");
    languageText.setText("ids_Serialport_Language/ids_value", "Wert");
    languageText.setText("ids_Multimeter_Language/ids_frequency", "Frequenz");
    panel.updateHeaderLabels();
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("Typ"));
    QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("Wert"));
    // Rows keep the language they were logged in.
    QCOMPARE(rowTexts(table, 0), QStringList({"Freq", "50Hz"}));
    panel.addRecord(4, "60Hz");
    QCOMPARE(rowTexts(table, 0), QStringList({"Frequenz", "60Hz"}));

    // A missing text gives an empty header, not a stale one.
    languageText.clear();
    panel.updateHeaderLabels();
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QString());
}

// Renders each display; with KORVANTA_SHOT_DIR set the pictures are kept there
// so that they can be looked at.
void TestMultimeterPanels::panelsRenderToImages()
{
    GaugeIron_widget iron;
    iron.resize(301, 171);
    iron.setUnit(QStringLiteral("℃"));
    iron.setValue(350);

    GaugeWidget dial;
    dial.resize(301, 181);
    for (int i = 0; i < 5; ++i)
        dial.setFunctionPixmap(QPixmap(iconFiles[i]), i + 1);
    dial.setFunctionType(2);

    DigitalMul_widget multimeter;
    multimeter.setFunctionType(1);
    multimeter.setValueText("12.345");
    multimeter.setUnitText("mV");

    DigitalMulTable_widget table;
    const char *readings[] = {"0.512V", "1.20k", "0.61V", "4.7uF", "50.0Hz"};
    for (int i = 0; i < 5; ++i)
        table.addRecord(i, readings[i]);

    QTRY_COMPARE_WITH_TIMEOUT(iron.angle(), 105.0, 2000);
    QTRY_COMPARE_WITH_TIMEOUT(dial.angle(), 108.0, 2000);
    auto *multimeterDial = multimeter.findChild<GaugeWidget *>("widget_func");
    QTRY_COMPARE_WITH_TIMEOUT(multimeterDial->angle(), 144.0, 2000);

    const QString dir = qEnvironmentVariable("KORVANTA_SHOT_DIR");
    const QList<QPair<QString, QWidget *>> shots = {{"gaugeiron_widget", &iron},
                                                    {"gaugewidget", &dial},
                                                    {"digitalmul_widget", &multimeter},
                                                    {"digitalmultable_widget", &table}};
    for (const auto &shot : shots) {
        const QImage image = shot.second->grab().toImage();
        QCOMPARE(image.size(), shot.second->size());
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() > 10, qPrintable(shot.first + " looks blank"));
        // The dark panel background fills the middle of the left edge.
        QCOMPARE(image.pixelColor(4, image.height() / 2 + 5), QColor(30, 30, 30));
        // The table's header sections are black like its cells.
        if (shot.second == &table)
            QCOMPARE(image.pixelColor(20, 35), QColor(Qt::black));
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            QVERIFY(image.save(QDir(dir).filePath(shot.first + ".png")));
        }
    }
}

QTEST_MAIN(TestMultimeterPanels)
#include "tst_multimeterpanels.moc"
