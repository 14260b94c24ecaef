#include "linesink.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

qint64 LineSink::writeSomeTo(int fd, const char *data, qint64 size)
{
    if (fd < 0)
        return -1;
    for (;;) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written >= 0)
            return written;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN ? 0 : -1;
    }
}

bool LineSink::waitForRoomOn(int fd, int timeoutMs)
{
    if (fd < 0)
        return false;
    pollfd wanted{fd, POLLOUT, 0};
    const int ready = poll(&wanted, 1, timeoutMs);
    return ready >= 0 || errno == EINTR;
}
