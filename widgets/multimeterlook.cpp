#include "multimeterlook.h"

const MultimeterLook &MultimeterLook::of(MultimeterDisplay::Function function)
{
    // In the order of MultimeterDisplay::Function. AC volts share the volts'
    // dial stop and continuity the resistance's, so that the panel never keeps
    // the unit of the function before.
    static const MultimeterLook looks[] = {
        {"image: url(:/icon/dc.png);", 1, 0},   // DC voltage
        {"image: url(:/icon/ac.png);", 1, -1},  // AC voltage
        {"image: url(:/icon/Ω.png);", 2, 1},    // resistance
        {QString(), 2, -1},                     // continuity
        {"image: url(:/icon/hz.png)", 5, 4},    // frequency
        {"image: url(:/icon/diode.png)", 3, 2}, // diode
        {"image: url(:/icon/f.png);", 4, 3},    // capacitance
    };
    return looks[int(function)];
}
