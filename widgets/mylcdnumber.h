#pragma once

#include "multimeterdisplay.h"

#include <QColor>
#include <QLCDNumber>
#include <QList>
#include <QPolygon>
#include <QStringList>
#include <QVector>

// The multimeter's own display, redrawn from the segment codes of its frames:
// four seven-segment digits, three decimal points and a minus sign, lit exactly
// as on the meter. The reading is derived from the lit segments as text and
// announced after every paint.
//
// A segment list handed over while the port is open is drawn by the next paint
// only; a later paint without a new list draws nothing. A list handed over while
// the port is closed stays on the display across paints, so the last reading
// remains visible after the port was closed.
//
// The base class's digit count, segment style and value are not used.
class myLCDNumber : public QLCDNumber
{
    Q_OBJECT

public:
    // Element indices: digit segments are digit + 4 * segment (digit 0 leftmost,
    // segments a..g = 0..6); then the points in front of digits 3, 2, 1 and the
    // minus sign.
    enum
    {
        PointBeforeDigit3 = MultimeterDisplay::PointBeforeDigit3,
        PointBeforeDigit2 = MultimeterDisplay::PointBeforeDigit2,
        PointBeforeDigit1 = MultimeterDisplay::PointBeforeDigit1,
        MinusSign = MultimeterDisplay::MinusSign,
        ElementCount = MultimeterDisplay::ElementCount
    };

    explicit myLCDNumber(QWidget *parent = nullptr);
    ~myLCDNumber() override;

    // Lights the elements named by the codes (codes without an element, such as
    // the indicator flags, are ignored) and schedules a repaint.
    void setSegments(const QStringList &codes, bool portOpen);
    // The reading shown by the current drawing, e.g. "-1.23", "0L" or "".
    QString valueText() const;
    // The code list last handed over, unchanged.
    QStringList segmentCodes() const;
    // Forgets the list kept for the closed port.
    void clearClosedSegments();

    // Element index of a segment code, -1 for a code without an element.
    static int segmentIndex(const QString &code);
    // The outline of every element for a widget of the given size, by index.
    static QVector<QPolygon> elementPolygons(const QSize &size);

signals:
    void sendCurValue(const QString &valueText, const QStringList &codes);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void drawSegments(QPainter &painter);

    QList<int> lstOpenSeg;
    QList<int> lstClosedSeg;
    QList<int> lstCurSeg;
    QStringList lstCodes;
    bool bPortOpen = false;
    QColor segColor = QColor(0, 0, 0, 255);
};
