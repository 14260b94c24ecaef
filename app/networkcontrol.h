#pragma once

#include "mqttstatus.h"
#include "networksettings.h"
#include "reading.h"

#include <QList>
#include <QObject>

#include <memory>

class ElidedLabel;
class MqttPublisher;
class QStatusBar;

// The window's publishing: an MQTT publisher fed with every frame's readings
// and alarm rows while the [Network] settings switch it on, and its state in
// the status bar (connected, waiting, readings queued, refused, TLS failure).
class NetworkControl : public QObject
{
    Q_OBJECT

public:
    NetworkControl(QStatusBar *statusBar, QObject *parent = nullptr);
    ~NetworkControl() override;

    // Stops the publisher there is and starts one for these settings.
    void apply(const NetworkSettings &settings);
    bool isPublishing() const { return publisher != nullptr; }
    // What the status bar shows; empty while publishing is off.
    QString statusText() const;
    void applyLanguage();

public slots:
    void publish(const QList<Reading> &readings);
    // Rows whose quantity is "alarm".
    void publishAlarms(const QList<Reading> &rows);

private:
    void showStatus();

    ElidedLabel *label;
    std::unique_ptr<MqttPublisher> publisher;
    QString broker;
    QString settingsError; // the settings could not be used
};
