// The multimeter's display image turned into segments, indicators, function,
// unit, panel value and table rows.
#include "digitalmul_widget.h"
#include "digitalmultable_widget.h"
#include "framebuilder.h"
#include "mainwindow.h"
#include "mylcdnumber.h"
#include "settinginfo.h"
#include "testenvironment.h"

#include <QApplication>
#include <QLCDNumber>
#include <QLabel>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTableWidget>
#include <QtTest>

namespace {

const quint16 kDc = 0xFFFF, kAc = 0xFFFE, kOhm = 0xFFF1, kHz = 0xFFF0, kDiode = 0xFFEE,
              kCap = 0xFFED, kPlainOhm = 0xFFEF;
const quint8 kTableFlag = 0x08, kAutoFlag = 0x04, kHighVoltageFlag = 0x02, kBuzzerFlag = 0x01;

struct Fixture
{
    Fixture()
    {
        curSetting = savedSetting = SettingInfo();
        window.reset(new MainWindow);
        window->show();
    }
    template <typename T> T *child(const char *name) const { return window->findChild<T *>(name); }
    myLCDNumber *display() const { return child<myLCDNumber>("lcdNumber_multimeter"); }
    QString unitLabel() const { return child<QLabel>("label_mulUnit")->text(); }
    QString iconStyle() const { return child<QLabel>("label_type")->styleSheet(); }
    double panelValue() const
    {
        return window->mulPanel()->findChild<QLCDNumber *>("lcdNumber")->value();
    }
    QTableWidget *table() const { return window->mulTablePanel()->findChild<QTableWidget *>(); }
    QStringList tableValues() const
    {
        QStringList values;
        for (int row = 0; row < table()->rowCount(); ++row)
            values << (table()->item(row, 1) ? table()->item(row, 1)->text() : QString());
        return values;
    }

    std::unique_ptr<MainWindow> window;
};

} // namespace

class MultimeterDecodingTest : public QObject
{
    Q_OBJECT

private slots:
    void initialDisplayShowsZero()
    {
        Fixture f;
        QCOMPARE(f.display()->valueText(), QString("0"));
        QCOMPARE(f.display()->segmentCodes(), (QStringList{"70", "71", "72", "80", "82", "83"}));
    }

    void segmentCodesAndValueText()
    {
        Fixture f;
        f.window->decipher(FrameBuilder::multimeter(kDc, " 123", 0x0056, 0, {2}));
        QCOMPARE(f.window->lstSegCodes, (QStringList{"40", "42", "50", "52", "53", "60", "61", "63",
                                                     "70", "80", "81", "82", "83"}));
        QCOMPARE(f.display()->valueText(), QString("1.23"));
        QCOMPARE(f.panelValue(), 1.23);

        // Only segment a of digit 0.
        QString frame = QString::fromLatin1(
            FrameEncoder::multimeterFrame(kDc, QByteArray::fromHex("0000800000000056")));
        f.window->decipher(frame);
        QCOMPARE(f.window->lstSegCodes, QStringList{"10"});

        f.window->decipher(FrameBuilder::multimeter(kDc, " 0L ", 0x0056, 0, {}, true));
        QCOMPARE(f.display()->valueText(), QString("-0L"));
    }

    void indicatorFlags()
    {
        Fixture f;
        auto *autoLabel = f.child<QLabel>("label_Auto");
        auto *highVoltage = f.child<QLabel>("label_altaPressione");
        auto *buzzer = f.child<QLabel>("label_buzzer");
        QVERIFY(!highVoltage->isVisible() && !buzzer->isVisible());
        QVERIFY(!f.child<QLabel>("label_hold")->isVisible());
        QVERIFY(!f.child<QLabel>("label_diode")->isVisible());

        f.window->decipher(FrameBuilder::multimeter(kDc, "   1", 0x0056,
                                                    kAutoFlag | kHighVoltageFlag | kBuzzerFlag));
        QVERIFY(autoLabel->isVisible() && highVoltage->isVisible() && buzzer->isVisible());
        f.window->decipher(FrameBuilder::multimeter(kDc, "   1", 0x0056, kAutoFlag));
        QVERIFY(autoLabel->isVisible());
        QVERIFY(!highVoltage->isVisible() && !buzzer->isVisible());
        f.window->decipher(FrameBuilder::multimeter(kDc, "   1", 0x0056));
        QVERIFY(!autoLabel->isVisible());
    }

    void functionTable_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("unitCode");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("unit");
        QTest::newRow("DC volt") << int(kDc) << 0x0056 << "image: url(:/icon/dc.png);"
                                 << "V";
        QTest::newRow("DC millivolt") << int(kDc) << 0x6D56 << "image: url(:/icon/dc.png);"
                                      << "mV";
        QTest::newRow("AC") << int(kAc) << 0x6D56 << "image: url(:/icon/ac.png);"
                            << "mV";
        QTest::newRow("kiloohm") << int(kOhm) << 0x4B4F << "image: url(:/icon/Ω.png);"
                                 << "KΩ";
        QTest::newRow("megaohm") << int(kOhm) << 0x4D4F << "image: url(:/icon/Ω.png);"
                                 << "MΩ";
        QTest::newRow("ohm from any code") << int(kOhm) << 0x0000 << "image: url(:/icon/Ω.png);"
                                           << "Ω";
        QTest::newRow("kilohertz") << int(kHz) << 0x4B48 << "image: url(:/icon/hz.png)"
                                   << "KHz";
        QTest::newRow("diode") << int(kDiode) << 0x0056 << "image: url(:/icon/diode.png)"
                               << "V";
        QTest::newRow("nanofarad") << int(kCap) << 0x6E46 << "image: url(:/icon/f.png);"
                                   << "nF";
        QTest::newRow("microfarad") << int(kCap) << 0x7546 << "image: url(:/icon/f.png);"
                                    << "uF";
        QTest::newRow("plain ohm") << int(kPlainOhm) << 0x004F << ""
                                   << "Ω";
    }

    void functionTable()
    {
        QFETCH(int, code);
        QFETCH(int, unitCode);
        QFETCH(QString, icon);
        QFETCH(QString, unit);
        Fixture f;
        f.window->decipher(FrameBuilder::multimeter(quint16(code), " 1.5", quint16(unitCode)));
        QCOMPARE(f.iconStyle(), icon);
        QCOMPARE(f.unitLabel(), unit);
    }

    void unlistedUnitKeepsTheLabel()
    {
        Fixture f;
        f.window->decipher(FrameBuilder::multimeter(kHz, "  50", 0x0048));
        QCOMPARE(f.unitLabel(), QString("Hz"));
        f.window->decipher(FrameBuilder::multimeter(kHz, "  50", 0x0056));
        QCOMPARE(f.unitLabel(), QString("Hz"));
        QCOMPARE(f.iconStyle(), QString("image: url(:/icon/hz.png)"));
    }

    void everyFunctionSetsThePanelUnit_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("beforeUnit");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("unitCode");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<double>("dialStop");
        QTest::newRow("continuity after megaohm")
            << int(kOhm) << 0x4D4F << int(kPlainOhm) << 0x004F << "Ω" << 108.0;
        QTest::newRow("AC volts after kiloohm")
            << int(kOhm) << 0x4B4F << int(kAc) << 0x0056 << "V" << 144.0;
        QTest::newRow("AC millivolts after microfarad")
            << int(kCap) << 0x7546 << int(kAc) << 0x6D56 << "mV" << 144.0;
    }

    void everyFunctionSetsThePanelUnit()
    {
        QFETCH(int, before);
        QFETCH(int, beforeUnit);
        QFETCH(int, code);
        QFETCH(int, unitCode);
        QFETCH(QString, unit);
        QFETCH(double, dialStop);
        Fixture f;
        f.window->decipher(FrameBuilder::multimeter(quint16(before), " 4.7", quint16(beforeUnit)));
        f.window->decipher(
            FrameBuilder::multimeter(quint16(code), "  02", quint16(unitCode), 0, {3}));
        QCOMPARE(f.unitLabel(), unit);
        QCOMPARE(f.window->mulPanel()->unitText(), unit);
        QCOMPARE(f.panelValue(), 0.2);
        auto *animation = f.window->mulPanel()->findChild<QPropertyAnimation *>();
        QVERIFY(animation);
        QCOMPARE(animation->endValue().toDouble(), dialStop);
    }

    void tableFlagTogglesThePanelsAndRefitsTheWindow()
    {
        // A screen that both panels fit on: the window stays at its top right.
        MainWindow::setAvailableScreenArea(QRect(0, 0, 1920, 1200));
        curSetting = savedSetting = SettingInfo();
        Fixture f;
        f.window->actItemClick(); // graphic view
        const QSize dialSize = f.window->size();
        QVERIFY(f.window->mulPanel()->isVisible());

        f.window->decipher(FrameBuilder::multimeter(kDc, " 123", 0x0056, kTableFlag, {2}));
        QVERIFY(f.window->bTableMode);
        QVERIFY(!f.window->mulPanel()->isVisible());
        QVERIFY(f.window->mulTablePanel()->isVisible());
        const QRect available = MainWindow::availableScreenArea();
        QCOMPARE(f.window->pos(), QPoint(available.width() - f.window->width() - 20, 50));
        QCOMPARE(f.window->minimumSize(), f.window->maximumSize()); // fixed size

        f.window->decipher(FrameBuilder::multimeter(kDc, " 123", 0x0056, kTableFlag, {2}));
        QVERIFY(!f.window->bTableMode);
        QVERIFY(f.window->mulPanel()->isVisible());
        QVERIFY(!f.window->mulTablePanel()->isVisible());
        QCOMPARE(f.window->size(), dialSize);
    }

    void tableFlagInTheNumericViewKeepsItsSize()
    {
        Fixture f;
        f.window->actValueClick();
        const QSize numericSize = f.window->size();
        f.window->decipher(FrameBuilder::multimeter(kDc, "   1", 0x0056, kTableFlag));
        QVERIFY(f.window->bTableMode);
        QCOMPARE(f.window->size(), numericSize);
    }

    void tableRowsInTableMode()
    {
        Fixture f;
        f.window->decipher(FrameBuilder::multimeter(kDc, " 123", 0x0056, kTableFlag, {2}));
        QCOMPARE(f.tableValues().first(), QString("1.23V"));
        // AC readings add no row.
        f.window->decipher(FrameBuilder::multimeter(kAc, " 230", 0x0056));
        QCOMPARE(f.tableValues().first(), QString("1.23V"));
        // No lit digit: the row holds the unit alone.
        f.window->decipher(FrameBuilder::multimeter(kDc, "    ", 0x0056));
        QCOMPARE(f.tableValues().first(), QString("V"));
        for (int i = 0; i < 7; ++i)
            f.window->decipher(FrameBuilder::multimeter(kOhm, "   7", 0x4B4F));
        QCOMPARE(f.table()->rowCount(), 5);
        QCOMPARE(f.tableValues(), QVector<QString>(5, "7KΩ").toList());
    }

    void repaintKeepsThePanelUnit()
    {
        Fixture f;
        f.window->decipher(FrameBuilder::multimeter(kOhm, " 4.7", 0x4B4F, 0, {2}));
        QCOMPARE(f.window->mulPanel()->unitText(), QString("KΩ"));
        f.display()->repaint();
        QCoreApplication::processEvents();
        QCOMPARE(f.window->mulPanel()->unitText(), QString("KΩ"));
        QCOMPARE(f.panelValue(), 4.7);
    }
};

KORVANTA_TEST_MAIN(QApplication, MultimeterDecodingTest)
#include "tst_multimeter_decoding.moc"
