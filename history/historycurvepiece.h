#pragma once

#include "historysample.h"

#include <QString>
#include <QVector>

// A run of samples of one quantity that a line may join: one unit, one
// function, no gap inside. A gap or a change of unit starts the next piece.
struct HistoryCurvePiece
{
    QString unit;   // as the instrument reported it: "mV", "KΩ", "°C", …
    QString detail; // the multimeter's function, else empty
    QVector<HistorySample> samples;
};
