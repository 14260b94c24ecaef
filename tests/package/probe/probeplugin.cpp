#include "probeplugin.h"

#include "widgetprobe.h"

QObject *ProbePlugin::create(const QString &name, const QString &)
{
    // The application deletes what its generic plugins create when it ends.
    return name == QLatin1String("korvantaprobe") ? new WidgetProbe : nullptr;
}
