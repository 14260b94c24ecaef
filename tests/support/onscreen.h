#pragma once

#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

// What the screen shows of a widget: its window's backing store as built up by
// every partial repaint since the window was shown, not a fresh rendering.
inline QImage onScreen(QWidget *widget)
{
    const QPoint origin = widget->mapTo(widget->window(), QPoint());
    return widget->screen()
        ->grabWindow(widget->window()->winId(), origin.x(), origin.y(), widget->width(),
                     widget->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}
