// The numeric view's units beside their readouts: every unit the instruments
// send is drawn whole, in every language, and keeps clear of the digits. With
// KORVANTA_SHOT_DIR set, the English pictures are kept there.
#include "languagetext.h"
#include "mainwindow.h"
#include "mylcdnumber.h"
#include "serialsettingdlg.h"
#include "testenvironment.h"
#include "unitlabel.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QImage>
#include <QLCDNumber>
#include <QtTest>

namespace {

struct Place
{
    const char *box, *readout, *label;
    QStringList units;
};

const Place kPlaces[] = {
    {"groupBox_multimeter",
     "lcdNumber_multimeter",
     "label_mulUnit",
     {"V", "mV", "Ω", "KΩ", "MΩ", "Hz", "KHz", "MHz", "nF", "uF", "mF"}},
    {"groupBox_regularpower", "lcdNumber_voltage", "label_voltageUnit", {"V", "mV"}},
    {"groupBox_regularpower", "lcdNumber_current", "label_currentUnit", {"A", "mA"}},
};

// Pixels of the digits and the unit; the box's own colour and what the
// antialiasing leaves near it are not ink.
bool inkInColumn(const QImage &image, int x, int top, int bottom)
{
    const QRgb background = image.pixel(image.width() / 2, 2);
    for (int y = top; y <= bottom; ++y) {
        const QRgb pixel = image.pixel(x, y);
        if (qAbs(qRed(pixel) - qRed(background)) + qAbs(qGreen(pixel) - qGreen(background)) +
                qAbs(qBlue(pixel) - qBlue(background)) >
            60)
            return true;
    }
    return false;
}

// Every digit lit: the widest the readout gets.
void lightEveryDigit(QLCDNumber *readout)
{
    if (auto *multimeter = qobject_cast<myLCDNumber *>(readout)) {
        QStringList codes;
        for (int code = 0; code < 100; ++code) {
            const QString text = QString::number(code).rightJustified(2, '0');
            const int index = myLCDNumber::segmentIndex(text);
            if (index >= 0 && index < myLCDNumber::PointBeforeDigit3)
                codes << text;
        }
        multimeter->setSegments(codes, false);
    } else {
        readout->display(QStringLiteral("88888"));
    }
}

} // namespace

class UnitLabelsTest : public QObject
{
    Q_OBJECT

private slots:
    void unitsFit_data()
    {
        QTest::addColumn<int>("language");
        for (int language = 0; language < 8; ++language)
            QTest::newRow(qPrintable(languageFileName(language))) << language;
    }

    void unitsFit()
    {
        QFETCH(int, language);
        TestEnvironment::writeSettings({{"ids_LanguageType/LanguageType", language}});
        MainWindow window;
        window.show();
        window.serialSettingDlg()->hide();
        const QString shots = qEnvironmentVariable("KORVANTA_SHOT_DIR");
        for (const Place &place : kPlaces) {
            auto *box = window.findChild<QGroupBox *>(place.box);
            auto *readout = window.findChild<QLCDNumber *>(place.readout);
            auto *unit = window.findChild<UnitLabel *>(place.label);
            QVERIFY2(box && readout && unit, place.label);
            QCOMPARE(unit->size(), QSize(41, 41)); // as the form has it
            QVERIFY(unit->font().pointSizeF() >= 18);
            lightEveryDigit(readout);
            const QRect label = unit->geometry();
            // The label's rows, less the last: the power box's separator runs there.
            const int top = label.top(), bottom = label.bottom() - 1;

            for (const QString &text : place.units) {
                const QString what = QString("%1 in %2").arg(text, place.label);
                unit->setText(text);
                // Measured: the unit's ink in the room the label leaves it.
                const UnitLabel::Placement placed = unit->placement(text);
                const QFontMetricsF metrics(placed.font);
                const qreal left = placed.rect.left() +
                                   (placed.rect.width() - metrics.horizontalAdvance(text)) / 2;
                const QRectF ink = metrics.tightBoundingRect(text).translated(left, 0);
                QVERIFY2(ink.left() >= unit->inkRoom().left() &&
                             ink.right() <= unit->inkRoom().right(),
                         qPrintable(what));
                QVERIFY2(placed.font.pointSizeF() >= UnitLabel::kMinPointSize, qPrintable(what));

                // Drawn: no ink cut off at the label's edges, a gap to the digits.
                const QImage shot = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
                if (!shots.isEmpty() && language == 2)
                    shot.save(
                        QString("%1/%2-%3.png")
                            .arg(shots, place.label, QString::number(place.units.indexOf(text))));
                int digitsRight = -1;
                for (int x = readout->x(); x < label.left(); ++x) {
                    if (inkInColumn(shot, x, top, bottom))
                        digitsRight = x;
                }
                QVERIFY2(digitsRight > readout->x(), "the digits are lit");
                bool unitInk = false;
                for (int x = label.left() + 1; x < label.right(); ++x)
                    unitInk |= inkInColumn(shot, x, top, bottom);
                QVERIFY2(unitInk, qPrintable(what));
                for (int x : {label.left(), label.right()})
                    QVERIFY2(!inkInColumn(shot, x, top, bottom),
                             qPrintable(QString("%1 cut at x = %2").arg(what).arg(x)));
                for (int x = digitsRight + 1; x <= digitsRight + 4; ++x)
                    QVERIFY2(
                        !inkInColumn(shot, x, top, bottom),
                        qPrintable(QString("%1 touches the digits at x = %2").arg(what).arg(x)));
            }
        }
    }
};

KORVANTA_TEST_MAIN(QApplication, UnitLabelsTest)
#include "tst_unitlabels.moc"
