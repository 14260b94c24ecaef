#include "linewriter.h"

#include <algorithm>

namespace {

// No line holds this much unread: anything written longer ago was taken.
constexpr qint64 kMaxInLine = 64 * 1024;
// Late by more than this, the line restarts from now instead of catching up.
constexpr double kCatchUpSeconds = 0.01;

} // namespace

void LineWriter::setSink(LineSink *line)
{
    sink = line;
    freeAt = lastProgress = clock.now();
    lastPending = 0;
}

LineWriter::Outcome LineWriter::send(const QByteArray &noise, const QByteArray &frame, int kind,
                                     bool broken)
{
    if (!sink || !sink->isOpen())
        return Outcome::Gone;
    const QByteArray bytes = noise + frame;
    if (sink->seesReader() && !readerHasRoomFor(bytes.size())) {
        // The instrument sent it all the same: it took its time on the line.
        freeAt = std::max(freeAt, clock.now()) + bytes.size() / kCharsPerSecond;
        ++tally.skipped;
        return Outcome::Skipped;
    }
    for (int pos = 0; pos < bytes.size();) {
        const int size = faults.chunkSize(bytes.size() - pos);
        clock.sleepUntil(freeAt);
        const double now = clock.now();
        if (now - freeAt > kCatchUpSeconds)
            freeAt = now;
        if (!writeAll(bytes.constData() + pos, size))
            return Outcome::Gone;
        freeAt += size / kCharsPerSecond;
        pos += size;
    }
    written += bytes.size();
    inLine.push_back({written, kind, broken});
    countTaken(written - kMaxInLine);
    return Outcome::Sent;
}

bool LineWriter::readerHasRoomFor(int size)
{
    for (;;) {
        const int pending = sink->pendingChars();
        const double now = clock.now();
        if (pending < lastPending || pending == 0)
            lastProgress = now;
        lastPending = pending;
        if (pending + size <= kPendingLimit)
            return true;
        if (now - lastProgress > kNoReaderSeconds || !clock.sleepUntil(now + 0.002))
            return false;
    }
}

bool LineWriter::writeAll(const char *data, int size)
{
    for (int done = 0; done < size;) {
        const qint64 written = sink->writeSome(data + done, size - done);
        if (written < 0)
            return false;
        done += int(written);
        if (done < size && !sink->waitForRoom(20))
            return false;
    }
    return true;
}

void LineWriter::countTaken(qint64 taken)
{
    while (!inLine.empty() && inLine.front().end <= taken) {
        tally.add(inLine.front().kind, inLine.front().broken);
        inLine.pop_front();
    }
}

void LineWriter::settle(double timeout)
{
    int pending = sink && sink->isOpen() ? sink->pendingChars() : 0;
    const double start = clock.now();
    double steadySince = start;
    // Done when the line is empty, or when nothing moved for a second (nobody
    // reads); the pending count is read only once it holds still, so no
    // character on its way is missed.
    while (sink && sink->isOpen() && clock.now() - start < timeout) {
        SimClock::nap(0.01);
        const int now = sink->pendingChars();
        const double at = clock.now();
        if (now != pending) {
            pending = now;
            steadySince = at;
        } else if (at - steadySince >= (pending == 0 ? 0.1 : 1.0)) {
            break;
        }
    }
    countTaken(written - pending);
    tally.unread += int(inLine.size());
    inLine.clear();
}
