#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

// Writes "startup-probe shown <ns> <class> <object name>" to the standard error
// output once the program's first main window has been painted and put on
// screen; <ns> is CLOCK_MONOTONIC in nanoseconds, so a parent that noted the
// clock before starting the process gets the whole start-up, dynamic loading
// included. Generic plugins are loaded while QApplication is constructed, long
// before any window exists, and the probe does nothing the program's own code
// can see. With STARTUP_PROBE_EXIT set the process ends right after the
// report, for profiling the start-up alone.
class StartupProbe : public QObject
{
    Q_OBJECT

public:
    StartupProbe();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void customEvent(QEvent *event) override;

private:
    QPointer<QWidget> painted;
    bool reported = false;
};
