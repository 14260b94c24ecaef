// The multimeter's seven-segment display: value texts, painting with the port
// open and closed, and the value announced after each paint.
// With KORVANTA_SHOT_DIR set, the painted displays are also written there as PNGs.
#include "mylcdnumber.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QColor kBackground(0xdd, 0xbb, 0xc1); // the multimeter group box

// Codes as the meter's segment matrix names them: digit k uses rows 1+2k
// (a, f, e, point in front) and 2+2k (b, g, c, d); "13" is the minus sign.
QStringList codes(int digit, const QString &segments)
{
    QStringList list;
    for (QChar s : segments) {
        const int pos = QStringLiteral("afe.bgcd").indexOf(s);
        list << QString::number(1 + 2 * digit + pos / 4) + QString::number(pos % 4);
    }
    return list;
}

const QStringList k123 = {"40", "42", "50", "52", "53", "60", "61",
                          "63", "70", "80", "81", "82", "83"};
// The elements those codes light: digit 0 is blank, the point stands before digit 2.
const QList<int> k123Lit = {5, 9, 29, 2, 6, 14, 18, 26, 3, 7, 11, 15, 27};

// Element index -> a pixel well inside it, for the display's form size 171 x 101
// (segment length 28, thickness 4, digit origins (15 + 40k, 25)).
QPoint probe(int index)
{
    if (index == myLCDNumber::MinusSign)
        return QPoint(3, 53); // the visible right end of the clipped sign
    if (index >= 28) {
        const int digit = 3 - (index - 28);
        return QPoint(15 + 40 * digit - 6, 81);
    }
    const int x0 = 15 + 40 * (index % 4);
    const QPoint offsets[7] = {{14, 2}, {26, 14}, {26, 43}, {14, 56}, {2, 43}, {2, 14}, {14, 28}};
    return QPoint(x0, 25) + offsets[index / 4];
}

void saveShot(const QImage &image, const QString &shotName)
{
    const QString dir = qEnvironmentVariable("KORVANTA_SHOT_DIR");
    if (!dir.isEmpty() && !shotName.isEmpty() && QDir().mkpath(dir))
        image.save(dir + "/mylcdnumber_" + shotName + ".png");
}

QImage paint(myLCDNumber &lcd, const QString &shotName = QString())
{
    QImage image(lcd.size(), QImage::Format_ARGB32);
    image.fill(kBackground);
    lcd.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    saveShot(image, shotName);
    return image;
}

// Every element's probe is black when lit and untouched background otherwise.
void verifyLit(const QImage &image, const QList<int> &lit)
{
    for (int index = 0; index < myLCDNumber::ElementCount; ++index) {
        const QColor expected = lit.contains(index) ? QColor(Qt::black) : kBackground;
        const QColor actual = image.pixelColor(probe(index));
        if (actual != expected)
            QFAIL(qPrintable(QString("element %1 at (%2,%3) is %4, expected %5")
                                 .arg(index)
                                 .arg(probe(index).x())
                                 .arg(probe(index).y())
                                 .arg(actual.name(), expected.name())));
    }
}

// The smallest rectangle holding every painted pixel; empty when nothing was painted.
QRect paintedArea(const QImage &image)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != kBackground)
                area |= QRect(x, y, 1, 1);
    return area;
}

bool isBlank(const QImage &image)
{
    return paintedArea(image).isEmpty();
}

} // namespace

class MyLcdNumberTest : public QObject
{
    Q_OBJECT

private slots:
    void valueText_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("text");
        QTest::newRow("blank digit 0, point") << k123 << "1.23";
        QTest::newRow("minus") << (QStringList(k123) << "13") << "-1.23";
        QTest::newRow("only middle bars") << QStringList{"21", "41", "61", "81"} << "";
        QTest::newRow("overload") << codes(0, "abcdef") + codes(1, "def") << "0L";
        QTest::newRow("point before 8") << codes(1, ".abcdefg") << ".8";
        QTest::newRow("everything lit")
            << QStringList{"13"} + codes(0, "abcdefg") + codes(1, ".abcdefg") +
                   codes(2, ".abcdefg") + codes(3, ".abcdefg")
            << "-8.8.8.8";
        QTest::newRow("1234") << codes(0, "bc") + codes(1, "abdeg") + codes(2, "abcdg") +
                                     codes(3, "bcfg")
                              << "1234";
        QTest::newRow("5679") << codes(0, "acdfg") + codes(1, "acdefg") + codes(2, "abc") +
                                     codes(3, "abcdfg")
                              << "5679";
        QTest::newRow("start-up zero") << QStringList{"70", "71", "72", "80", "82", "83"} << "0";
        QTest::newRow("unknown pattern") << codes(3, "ab") << "";
        QTest::newRow("flags, junk, repeats")
            << QStringList{"00", "01", "02", "03", "99", "", "8", "80", "82", "80"} << "1";
        QTest::newRow("nothing") << QStringList() << "";
    }

    void valueText()
    {
        QFETCH(QStringList, list);
        QFETCH(QString, text);
        for (bool portOpen : {false, true}) {
            myLCDNumber lcd;
            lcd.resize(171, 101);
            QSignalSpy spy(&lcd, &myLCDNumber::sendCurValue);
            lcd.setSegments(list, portOpen);
            QCOMPARE(lcd.valueText(), text);
            QCOMPARE(lcd.segmentCodes(), list);
            paint(lcd);
            QCOMPARE(spy.count(), 1);
            QCOMPARE(spy[0][0].toString(), text);
            QCOMPARE(spy[0][1].toStringList(), list);
        }
    }

    void closedPortListIsDrawnOnEveryPaint()
    {
        myLCDNumber lcd;
        lcd.resize(171, 101);
        QSignalSpy spy(&lcd, &myLCDNumber::sendCurValue);
        lcd.setSegments(k123, false);
        for (int i = 0; i < 3; ++i)
            verifyLit(paint(lcd, i == 0 ? "1.23" : QString()), k123Lit);
        QCOMPARE(spy.count(), 3);
        for (const QList<QVariant> &args : spy) {
            QCOMPARE(args[0].toString(), QString("1.23"));
            QCOMPARE(args[1].toStringList(), k123);
        }
    }

    void openPortListIsDrawnOnce()
    {
        myLCDNumber lcd;
        lcd.resize(171, 101);
        QSignalSpy spy(&lcd, &myLCDNumber::sendCurValue);
        const QStringList all = QStringList{"13"} + codes(0, "abcdefg") + codes(1, ".abcdefg") +
                                codes(2, ".abcdefg") + codes(3, ".abcdefg");
        lcd.setSegments(all, true);
        QList<int> every;
        for (int i = 0; i < myLCDNumber::ElementCount; ++i)
            every << i;
        verifyLit(paint(lcd, "all_lit"), every);
        QCOMPARE(spy.last()[0].toString(), QString("-8.8.8.8"));

        // A repaint without a new list, e.g. after the window was covered.
        QVERIFY(isBlank(paint(lcd, "open_port_repaint")));
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.last()[0].toString(), QString());
        QCOMPARE(spy.last()[1].toStringList(), all);
        QCOMPARE(lcd.valueText(), QString());

        lcd.setSegments(k123, true);
        QCOMPARE(spy.count(), 2); // painting waits for the event loop
        verifyLit(paint(lcd), k123Lit);
    }

    void closingThePortKeepsTheLastReading()
    {
        myLCDNumber lcd;
        lcd.resize(171, 101);
        lcd.setSegments({"70", "71", "72", "80", "82", "83"}, false);
        lcd.setSegments(k123, true);
        paint(lcd);
        QVERIFY(isBlank(paint(lcd)));

        // The port-closing code: forget the old closed list, hand the last one over.
        lcd.clearClosedSegments();
        lcd.setSegments(lcd.segmentCodes(), false);
        QVERIFY(!isBlank(paint(lcd)));
        QCOMPARE(lcd.valueText(), QString("1.23"));

        lcd.clearClosedSegments();
        QVERIFY(isBlank(paint(lcd)));
        QCOMPARE(lcd.valueText(), QString());
    }

    void requestsBeforeOnePaintGiveOnePaint()
    {
        myLCDNumber lcd;
        lcd.resize(171, 101);
        lcd.show();
        QVERIFY(QTest::qWaitForWindowExposed(&lcd));
        QTest::qWait(50);
        QSignalSpy spy(&lcd, &myLCDNumber::sendCurValue);
        lcd.setSegments(codes(3, "bc"), true);
        lcd.setSegments(codes(3, "abc"), true);
        lcd.setSegments(k123, true);
        QTRY_COMPARE(spy.count(), 1);
        QTest::qWait(50);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy[0][0].toString(), QString("1.23"));
    }

    void digitOutlineAtFormSize()
    {
        // An 8 in digit 3 fills x 135..162 and y 25..82 (the bottom bar ends at 83.4,
        // cut to 83), and nothing else.
        myLCDNumber lcd;
        lcd.resize(171, 101);
        lcd.setSegments(codes(3, "abcdefg"), false);
        QCOMPARE(paintedArea(paint(lcd)), QRect(135, 25, 28, 58));
        lcd.setSegments({"13"}, false);
        QCOMPARE(paintedArea(paint(lcd)), QRect(0, 51, 9, 4)); // minus, clipped at the left
    }

    void otherSizesDoNotBreakPainting()
    {
        myLCDNumber lcd;
        lcd.setSegments(codes(0, "abcdefg"), false);
        lcd.resize(240, 160); // segment length 40, thickness 6, origin (15, 40)
        const QImage big = paint(lcd);
        QCOMPARE(big.pixelColor(35, 43), QColor(Qt::black)); // a
        QCOMPARE(big.pixelColor(35, 80), QColor(Qt::black)); // g
        QCOMPARE(big.pixelColor(35, 60), kBackground);       // the hole of the 8
        QSignalSpy spy(&lcd, &myLCDNumber::sendCurValue);
        for (const QSize &size : {QSize(1, 1), QSize(5, 3)}) {
            lcd.resize(size);
            paint(lcd);
            QCOMPARE(spy.last()[0].toString(), QString("8"));
        }
        QCOMPARE(spy.count(), 2);
    }

    // The display in the multimeter box of the numeric view: the box shows through
    // the unlit segments. Every icon of the program loads as a picture.
    void displayInTheMultimeterBox()
    {
        const QStringList icons =
            QString("a A_blue ac airgun altaPressione app buzzer dc dc_white diode diode_white f "
                    "f_white freeze help hz hz_white realTemp resistance setting settingTemp "
                    "settingTemp_blue speed temp_yellow v v_yellow view w w_green \u03a9")
                .split(' ');
        for (const QString &name : icons)
            QVERIFY2(!QImage(":/icon/" + name + ".png").isNull(), qPrintable(name));

        QGroupBox box;
        box.setObjectName("groupBox_multimeter");
        box.setFixedSize(281, 161);
        box.setStyleSheet("QWidget { border: none; border-radius: 20px; }"
                          "#groupBox_multimeter { background-color: #ddbbc1; }");
        const QList<QPair<QString, QRect>> places = {{"dc", {10, 70, 61, 51}},
                                                     {"freeze", {130, 34, 21, 21}},
                                                     {"diode", {160, 34, 21, 21}},
                                                     {"buzzer", {190, 34, 21, 21}},
                                                     {"altaPressione", {220, 34, 21, 21}}};
        for (const auto &place : places) {
            auto *label = new QLabel(&box);
            label->setGeometry(place.second);
            label->setStyleSheet("image: url(:/icon/" + place.first + ".png);");
        }
        auto *unit = new QLabel("V", &box);
        unit->setGeometry(235, 100, 41, 41);
        unit->setFont(QFont(unit->font().family(), 18, 75));
        unit->setAlignment(Qt::AlignCenter);
        auto *lcd = new myLCDNumber(&box);
        lcd->setGeometry(70, 50, 171, 101);
        lcd->setSegments(QStringList(k123) << "13", false);

        const QImage shot = box.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        saveShot(shot, "in_multimeter_box");
        QCOMPARE(shot.pixelColor(QPoint(70, 50) + probe(2)), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(QPoint(70, 50) + probe(0)), kBackground);
    }
};

QTEST_MAIN(MyLcdNumberTest)
#include "tst_mylcdnumber.moc"
