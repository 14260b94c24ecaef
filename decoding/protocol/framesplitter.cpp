#include "framesplitter.h"

#include "c1frame.h"

QList<FrameSplitter::Cut> FrameSplitter::cut(const QByteArray &chunk)
{
    QList<Cut> cuts;
    rawBuffer.append(chunk);
    const int size = rawBuffer.size();

    // The buffer is walked from its start on every call with the same rules, so
    // every candidate complete last time is met again with the same outcome;
    // only the ones that have become complete since are handed out.
    int pendingFrom = -1; // the first candidate still waiting for characters
    int pos = 0;
    for (;;) {
        const int start = rawBuffer.indexOf("C1", pos);
        if (start < 0)
            break;
        if (size - start < C1Frame::kPayloadPos) {
            // Its length has not arrived yet, and no later candidate can be complete.
            if (pendingFrom < 0)
                pendingFrom = start;
            break;
        }
        const int chars =
            C1Frame::charsForPayloadLength(C1Frame::payloadLengthAt(rawBuffer, start));
        const int end = start + chars;
        if (end > size) {
            // Waiting for more; look on inside it for frames that are complete.
            if (pendingFrom < 0)
                pendingFrom = start;
            pos = start + 1;
            continue;
        }
        const bool fresh = end > decidedSize;
        if (C1Frame::isIntact(rawBuffer, start, chars)) {
            if (fresh)
                cuts.append({rawBuffer.mid(start, chars), true});
            pos = end;
            continue;
        }
        if (fresh && rawBuffer.at(end - 2) == 'F' && rawBuffer.at(end - 1) == '0')
            cuts.append({rawBuffer.mid(start, chars), false});
        pos = start + 1;
    }

    // Keep everything from the first waiting candidate on (it is shorter than
    // the longest frame, or it would be complete), else a trailing "C" that may
    // be the first half of the next start marker.
    int keepFrom = size;
    if (pendingFrom >= 0)
        keepFrom = pendingFrom;
    else if (rawBuffer.endsWith('C'))
        keepFrom = size - 1;
    rawBuffer.remove(0, keepFrom);
    decidedSize = rawBuffer.size();
    return cuts;
}

QList<QByteArray> FrameSplitter::feed(const QByteArray &chunk)
{
    QList<QByteArray> frames;
    for (const Cut &candidate : cut(chunk)) {
        if (candidate.intact)
            frames.append(candidate.text);
    }
    return frames;
}

void FrameSplitter::clear()
{
    rawBuffer.clear();
    decidedSize = 0;
}
