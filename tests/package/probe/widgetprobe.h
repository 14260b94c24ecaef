#pragma once

#include <QHash>
#include <QObject>
#include <QTimer>
#include <QWidget>

// Writes "probe <object name> <content>" to the standard error output whenever a
// named label shows a new text or a named LCD readout a new number.
class WidgetProbe : public QObject
{
    Q_OBJECT

public:
    WidgetProbe();

private:
    void look();

    QTimer timer;
    QHash<const QWidget *, QString> shown;
};
