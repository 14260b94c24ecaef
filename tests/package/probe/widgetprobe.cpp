#include "widgetprobe.h"

#include <QApplication>
#include <QLCDNumber>
#include <QLabel>

#include <cstdio>

WidgetProbe::WidgetProbe()
{
    connect(&timer, &QTimer::timeout, this, &WidgetProbe::look);
    timer.start(100);
}

void WidgetProbe::look()
{
    for (QWidget *widget : QApplication::allWidgets()) {
        if (widget->objectName().isEmpty())
            continue;
        QString content;
        if (auto *label = qobject_cast<QLabel *>(widget))
            content = label->text();
        else if (auto *lcd = qobject_cast<QLCDNumber *>(widget))
            content = QString::number(lcd->value());
        else
            continue;
        auto it = shown.find(widget);
        if (it != shown.end() && *it == content)
            continue;
        shown.insert(widget, content);
        std::fprintf(stderr, "probe %s %s\n", qPrintable(widget->objectName()),
                     content.toUtf8().constData());
        std::fflush(stderr);
    }
}
