#pragma once

#include <QAbstractAnimation>

// Emits tick() at every step of Qt's animation clock while it runs, so work
// done there is painted in the same pass as the steps of every animation
// running at the time (the gauges' needles), one display refresh apart.
class RefreshTicker : public QAbstractAnimation
{
    Q_OBJECT

public:
    using QAbstractAnimation::QAbstractAnimation;

    int duration() const override { return -1; } // runs until stopped

signals:
    void tick();

protected:
    void updateCurrentTime(int currentTime) override;
};
