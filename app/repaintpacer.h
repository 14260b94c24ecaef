#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class QWidget;

// Paints a window at most once per interval while a condition holds (the
// serial link streams). At the full line rate a new batch of readings comes
// every few tens of milliseconds and every batch repainted each display, chart
// and gauge; no one reads digits that change twenty times a second, and the
// painting was about 40 % of the program's work. A repaint request that comes within
// the interval after the last pass is held back: the widgets stay marked
// dirty, and the held request paints all they gathered in one pass once the
// interval is over. While the condition does not hold, and for showing,
// exposing or resizing the window, everything paints at once, as before.
class RepaintPacer : public QObject
{
public:
    RepaintPacer(QWidget *window, int intervalMs, std::function<bool()> whilePacing);

    // Whether a request is being held back now.
    bool isHolding() const { return heldRequest.isActive(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void releaseHeldRequest();

    QWidget *window;
    int intervalMs;
    std::function<bool()> whilePacing;
    QElapsedTimer sincePass;
    QTimer heldRequest;
};
