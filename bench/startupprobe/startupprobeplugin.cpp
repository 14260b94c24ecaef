#include "startupprobeplugin.h"

#include "startupprobe.h"

QObject *StartupProbePlugin::create(const QString &name, const QString &)
{
    // The application deletes what its generic plugins create when it ends.
    return name == QLatin1String("startupprobe") ? new StartupProbe : nullptr;
}
