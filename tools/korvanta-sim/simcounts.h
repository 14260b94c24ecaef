#pragma once

#include "instrument.h"

#include <QString>

// What the bench sent. A frame counts as sent once the reader has taken it
// from the line; frames nobody was reading are counted apart.
struct SimCounts
{
    int intact[Instrument::kKinds] = {};
    int broken[Instrument::kKinds] = {};
    int skipped = 0; // not written: nobody was reading the line
    int unread = 0;  // written, but still in the line when it closed

    void add(int kind, bool isBroken) { ++(isBroken ? broken : intact)[kind]; }
    int intactTotal() const;
    int brokenTotal() const;
    int sent() const { return intactTotal() + brokenTotal(); }

    // One line of key=value pairs, for example
    // "korvanta-sim: sent=12 intact=11 broken=1 mul=3 power=3 iron=3 hotair=2
    //  broken.mul=0 … skipped=0 unread=0 seconds=2.0"
    QString reportLine(double seconds) const;
};
