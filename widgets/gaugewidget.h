#pragma once

#include <QList>
#include <QPixmap>
#include <QPropertyAnimation>
#include <QString>
#include <QWidget>

// The multimeter's function dial: a half circle with six stops, "OFF" and five
// function pictures, and a pointer that swings to the active function like a
// rotary switch.
class GaugeWidget : public QWidget
{
    Q_OBJECT
    // Pointer angle in degrees: 180 is "OFF" at the left, 0 the last stop at the right.
    Q_PROPERTY(double angle READ angle WRITE setAngle)

public:
    explicit GaugeWidget(QWidget *parent = nullptr);

    // Swings the pointer in 200 ms to the stop of function type 0 ("OFF") to 5;
    // any other type goes to "OFF".
    void setFunctionType(int type);
    // The picture drawn at stop 1 to 5; other indexes are ignored.
    void setFunctionPixmap(QPixmap picture, int index);

    double angle() const { return dAngle; }
    // Clamps to 0..210 and repaints only when the angle really changes.
    void setAngle(double angle);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Stop
    {
        double angle;
        QString label;
        int pictureIndex;
    };

    double dPointerLength = 80;
    QPixmap pictures[6];
    double dAngle = 180;
    double dTargetAngle = 180;
    QPropertyAnimation animation;
    QList<Stop> lstStops;
    QPixmap drawing; // the whole dial as last drawn; null: draw anew

    void drawDial(QPainter &painter) const;
};
