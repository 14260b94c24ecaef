#include "faultinjector.h"

#include "c1frame.h"

#include <algorithm>

FrameEncoder::Fault FaultInjector::checksumFault()
{
    if (!draw(shares.badChecksum))
        return FrameEncoder::Fault::None;
    static const FrameEncoder::Fault faults[] = {FrameEncoder::Fault::WrongChecksum,
                                                 FrameEncoder::Fault::SwappedChecksum,
                                                 FrameEncoder::Fault::LowerCaseChecksum};
    return faults[random.bounded(3)];
}

bool FaultInjector::loseCharacter(QByteArray &frame)
{
    // Losing the length field or the final "0" could let a following "0"
    // complete the frame; any other character leaves a frame that cannot pass.
    const int first = C1Frame::kPayloadPos, last = frame.size() - 1;
    if (last <= first || !draw(shares.lostChar))
        return false;
    frame.remove(first + random.bounded(last - first), 1);
    return true;
}

QByteArray FaultInjector::noise()
{
    if (!draw(shares.noise))
        return {};
    // Hex digits, line ends, zero and high bytes; no 'C', so no start marker.
    static const QByteArray alphabet = QByteArray("0123456789ABDEF\r\n") + '\0' + "\xFF\x80\xE5";
    QByteArray bytes;
    const int size = 1 + random.bounded(16);
    for (int i = 0; i < size; ++i)
        bytes += alphabet[random.bounded(alphabet.size())];
    return bytes;
}

int FaultInjector::chunkSize(int remaining)
{
    if (!shares.randomChunks)
        return remaining;
    return std::min(remaining, 1 + int(random.bounded(64)));
}
