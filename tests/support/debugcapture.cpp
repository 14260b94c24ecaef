#include "debugcapture.h"

#include <QMutex>
#include <QRegularExpression>

namespace {

QMutex linesMutex;
QStringList capturedLines;

void capture(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        return;
    QMutexLocker lock(&linesMutex);
    capturedLines << message;
}

} // namespace

DebugCapture::DebugCapture()
{
    QMutexLocker lock(&linesMutex);
    capturedLines.clear();
    previous = qInstallMessageHandler(capture);
}

DebugCapture::~DebugCapture()
{
    qInstallMessageHandler(previous);
}

QStringList DebugCapture::frames() const
{
    static const QRegularExpression dataLine(QStringLiteral("^data \"?([^\"]*)\"?$"));
    QMutexLocker lock(&linesMutex);
    QStringList frames;
    for (const QString &line : capturedLines) {
        const QRegularExpressionMatch match = dataLine.match(line);
        if (match.hasMatch())
            frames << match.captured(1);
    }
    return frames;
}
