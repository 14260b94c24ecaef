#pragma once

#include <QObject>

class QSocketNotifier;

// SIGINT, SIGTERM and SIGHUP as a Qt signal in the event loop: the handler
// only writes the signal's number into a pipe, which the loop reads. One
// object at a time; the default handling comes back when it goes.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

    bool isValid() const { return notifier != nullptr; }

signals:
    void received(int signal);

private:
    void readPipe();

    QSocketNotifier *notifier = nullptr;
};
