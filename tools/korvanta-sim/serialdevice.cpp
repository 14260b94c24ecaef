#include "serialdevice.h"

#include <QFile>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

SerialDevice::~SerialDevice()
{
    close();
}

bool SerialDevice::open(const QString &path, QString *error)
{
    close();
    fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_APPEND);
    if (fd < 0) {
        *error =
            QStringLiteral("cannot open %1: %2").arg(path, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    termios line{};
    terminal = tcgetattr(fd, &line) == 0;
    if (terminal) {
        cfmakeraw(&line);
        cfsetispeed(&line, B115200);
        cfsetospeed(&line, B115200);
        line.c_cflag &= ~(PARENB | CSTOPB | CSIZE | CRTSCTS);
        line.c_cflag |= CS8 | CLOCAL;
        line.c_iflag &= ~(IXON | IXOFF | IXANY);
        tcsetattr(fd, TCSANOW, &line);
    }
    return true;
}

void SerialDevice::close()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

qint64 SerialDevice::writeSome(const char *data, qint64 size)
{
    return writeSomeTo(fd, data, size);
}

bool SerialDevice::waitForRoom(int timeoutMs)
{
    return waitForRoomOn(fd, timeoutMs);
}

int SerialDevice::pendingChars() const
{
    int pending = 0;
    if (!terminal || ioctl(fd, TIOCOUTQ, &pending) != 0)
        return 0;
    return pending;
}
