#pragma once

#include <QHash>
#include <QPixmap>
#include <QPropertyAnimation>
#include <QString>
#include <QWidget>

// The soldering iron's thermometer: a half-circle scale from the minimum at the
// left to the maximum at the right, a needle that glides to each new value and a
// box with the value and its unit.
class GaugeIron_widget : public QWidget
{
    Q_OBJECT
    // Needle angle in degrees: 0 points at the minimum, 180 at the maximum.
    Q_PROPERTY(double angle READ angle WRITE setAngle)

public:
    explicit GaugeIron_widget(QWidget *parent = nullptr);

    // Clamps the value to the scale and lets the needle glide there in 200 ms
    // (a move of two pixels or less at the tip is made at once).
    void setValue(double value);
    void setUnit(QString unit);
    // Sets the scale ends in either order; equal ends are ignored.
    void setRange(double a, double b);
    void getRangeAndUnit(double &minimum, double &maximum, QString &unit) const;

    double angle() const { return dAngle; }
    // Clamps to 0..210 and repaints only when the angle really changes.
    void setAngle(double angle);

    // The value shown in the box: the last value, limited to the scale.
    double value() const { return dValue; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Centre and radius of the scale for the widget's size.
    void dialGeometry(double &cx, double &cy, int &radius) const;
    // How far in pixels the needle's tip moves between two angles.
    double tipTravel(double from, double to) const;
    // What the needle at an angle covers, and the value box.
    QRect needleRect(double angle) const;
    QRect valueBoxRect() const;
    void drawDial(QPainter &painter, double cx, double cy, int radius) const;
    // The value box is its frame (the orange rounded rectangle) and its text.
    static QRect valueBoxFrame(double cx, double cy, int radius);
    void drawValueBox(QPainter &painter, double cx, double cy, int radius,
                      const QString &text) const;
    void drawValueBoxFrame(QPainter &painter, double cx, double cy, int radius) const;
    void drawValueText(QPainter &painter, double cx, double cy, int radius,
                       const QString &text) const;

    double dMaximum = 600;
    double dMinimum = 0;
    double dValue = 0;
    QString strUnit;
    double dAngle = 0;
    double dPaintedAngle = 0; // where the needle was last drawn, within half a pixel of dAngle
    double dTargetAngle = 0;
    QPropertyAnimation animation;
    QPixmap dialCache;           // null: drawn anew by the next paint
    bool bValueBoxDirty = false; // a new value's text waits for the needle's next step
    QString boxText;             // the text boxPixmap shows
    QPixmap boxFramePixmap;      // the box without its text
    QPixmap boxPixmap;
    QPixmap hubPixmap;
    // Where each text drawn into boxPixmap puts its ink, and at which font
    // size: measuring the digit font's ink costs more than drawing it.
    struct FittedText
    {
        double pointSize;
        QRectF extent;
    };
    mutable QHash<QString, FittedText> fittedTexts;
};
