#include "refreshticker.h"

void RefreshTicker::updateCurrentTime(int currentTime)
{
    Q_UNUSED(currentTime)
    emit tick();
}
