// The frame splitter fed an arbitrary character stream in arbitrary chunks.
// Byte 0 picks the largest chunk, byte 1 seeds the chunk sizes, the rest is the
// stream. Invariants: the buffer stays shorter than the longest frame; every
// candidate handed out is complete, and intact exactly when its checksum
// matches; every intact one passes the decoder's own checks; and chunking never
// loses a frame that one-piece delivery finds, nor changes their order.
#include "c1frame.h"
#include "framesplitter.h"
#include "fuzzcheck.h"

#include <QList>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int maxChunk = 1 + data[0];
    std::uint32_t state = 0x9E3779B9u ^ data[1];
    const QByteArray stream(reinterpret_cast<const char *>(data + 2), int(size - 2));

    FrameSplitter chunked;
    QList<QByteArray> intactChunked;
    for (int pos = 0; pos < stream.size();) {
        state = state * 1664525u + 1013904223u;
        const int length = 1 + int((state >> 8) % std::uint32_t(maxChunk));
        for (const FrameSplitter::Cut &cut : chunked.cut(stream.mid(pos, length))) {
            const QByteArray &text = cut.text;
            FUZZ_CHECK(text.startsWith("C1") && text.endsWith("F0"));
            FUZZ_CHECK(text.size() ==
                       C1Frame::charsForPayloadLength(C1Frame::payloadLengthAt(text, 0)));
            FUZZ_CHECK(cut.intact == C1Frame::isIntact(text, 0, text.size()));
            if (cut.intact) {
                FUZZ_CHECK(C1Frame::check(QString::fromLatin1(text)).checksumOk);
                intactChunked << text;
            }
        }
        const QByteArray &held = chunked.buffered();
        FUZZ_CHECK(held.size() < C1Frame::kMaxChars);
        FUZZ_CHECK(held.isEmpty() || held.startsWith("C1") || held == "C");
        pos += length;
    }

    FrameSplitter whole;
    const QList<QByteArray> intactWhole = whole.feed(stream);
    int next = 0;
    for (const QByteArray &frame : intactWhole) {
        while (next < intactChunked.size() && intactChunked.at(next) != frame)
            ++next;
        FUZZ_CHECK(next < intactChunked.size());
        ++next;
    }
    return 0;
}
