#include "framesplitter.h"

#include "c1frame.h"

QList<QByteArray> FrameSplitter::feed(const QByteArray &chunk)
{
    QList<QByteArray> frames;
    rawBuffer.append(chunk);

    int searchFrom = 0;
    int keepFrom = rawBuffer.size();
    for (;;) {
        const int start = rawBuffer.indexOf("C1", searchFrom);
        if (start < 0) {
            // A trailing "C" may be the first half of the next start marker.
            if (rawBuffer.endsWith('C'))
                keepFrom = rawBuffer.size() - 1;
            break;
        }
        const int available = rawBuffer.size() - start;
        if (available < C1Frame::kPayloadPos) {
            keepFrom = start; // the length field has not arrived yet
            break;
        }
        const int chars =
            C1Frame::charsForPayloadLength(C1Frame::payloadLengthAt(rawBuffer, start));
        if (available < chars) {
            keepFrom = start;
            break;
        }
        if (C1Frame::isIntact(rawBuffer, start, chars)) {
            frames.append(rawBuffer.mid(start, chars));
            searchFrom = start + chars;
        } else {
            searchFrom = start + 1;
        }
    }
    rawBuffer.remove(0, keepFrom);
    return frames;
}
