#include "programversion.h"

QString programVersion()
{
    return QStringLiteral(KORVANTA_VERSION);
}
