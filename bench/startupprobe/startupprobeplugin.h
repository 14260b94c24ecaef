#pragma once

#include <QGenericPlugin>

// Loaded by any Qt widget program started with QT_QPA_GENERIC_PLUGINS=startupprobe
// and this plugin's folder on QT_PLUGIN_PATH; starts a StartupProbe in it.
class StartupProbePlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "startupprobe.json")

public:
    QObject *create(const QString &name, const QString &parameters) override;
};
