#pragma once

#include <QtGlobal>

// Where the simulated instruments' characters go: a pseudo-terminal or a
// serial device. Writes never block, so the bench keeps its own pace.
class LineSink
{
public:
    virtual ~LineSink() = default;

    virtual bool isOpen() const = 0;
    // Writes what fits now; -1 when the line is gone.
    virtual qint64 writeSome(const char *data, qint64 size) = 0;
    // Waits up to timeoutMs for room to write; false when the line is gone.
    virtual bool waitForRoom(int timeoutMs) = 0;
    // Characters written that the other side has not taken yet.
    virtual int pendingChars() const = 0;
    // True when a reader that stops reading shows as characters piling up
    // (a pseudo-terminal); a real line drains at its baud rate regardless.
    virtual bool seesReader() const = 0;

protected:
    // The non-blocking write and the wait for room of a file descriptor; the
    // same semantics as writeSome and waitForRoom, for both kinds of line.
    static qint64 writeSomeTo(int fd, const char *data, qint64 size);
    static bool waitForRoomOn(int fd, int timeoutMs);
};
