#include "recordingfolder.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace RecordingFolder {

QString path()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
           QStringLiteral("/Korvanta/recordings");
}

QString fileName(const QDateTime &start)
{
    const QDateTime local = start.toLocalTime();
    return QString::asprintf("korvanta-%04d%02d%02d-%02d%02d%02d.csv", local.date().year(),
                             local.date().month(), local.date().day(), local.time().hour(),
                             local.time().minute(), local.time().second());
}

QString newFilePath(const QString &folder, const QDateTime &start)
{
    const QString name = fileName(start);
    QString candidate = folder + QLatin1Char('/') + name;
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = folder + QLatin1Char('/') + name.chopped(4) + QStringLiteral("-%1.csv").arg(n);
    return candidate;
}

} // namespace RecordingFolder
