#pragma once

#include "multimeterdisplay.h"

#include <QString>

// How the window shows each function of the meter: the numeric view's
// function icon, the graphic view's panel and the reading table.
struct MultimeterLook
{
    QString iconStyle; // style sheet of the function icon; empty: no icon
    int panelType;     // function type (and dial stop) of the multimeter panel
    int tableType;     // row type of the reading table; -1: no row

    static const MultimeterLook &of(MultimeterDisplay::Function function);
};
