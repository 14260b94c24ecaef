#pragma once

#include <QGenericPlugin>

// Loaded by any Qt program started with QT_QPA_GENERIC_PLUGINS=korvantaprobe and
// this plugin's folder on QT_PLUGIN_PATH; starts a WidgetProbe in it.
class ProbePlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "probe.json")

public:
    QObject *create(const QString &name, const QString &parameters) override;
};
