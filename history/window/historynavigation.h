#pragma once

#include <QObject>
#include <QPoint>

class HistoryPlot;
class QRubberBand;

// The mouse on a history plot's canvas: the wheel zooms the time axis around
// the pointer, a drag pans, a drag with the right button (or with Shift)
// zooms into the range it spans, a click places a cursor and a drag that
// starts on a cursor moves it.
class HistoryNavigation : public QObject
{
    Q_OBJECT

public:
    explicit HistoryNavigation(HistoryPlot *plot);

    // Where the cursors are now, so a press near one drags it.
    void setCursors(qint64 first, qint64 second);

signals:
    void rangeRequested(qint64 fromMs, qint64 toMs);
    void clicked(qint64 timeMs);
    void cursorDragged(int index, qint64 timeMs);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Drag
    {
        None,
        Pending,
        Pan,
        Band,
        Cursor
    };

    HistoryPlot *plot;
    Drag drag = Drag::None;
    QPoint pressPos;
    qint64 pressFromMs = 0;
    qint64 pressToMs = 0;
    int draggedCursor = -1;
    qint64 cursors[2] = {-1, -1};
    QRubberBand *band = nullptr;
};
