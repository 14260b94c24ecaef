#include "pseudoterminal.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace {

void makeRaw(int fd)
{
    termios raw{};
    if (tcgetattr(fd, &raw) == 0) {
        cfmakeraw(&raw);
        tcsetattr(fd, TCSANOW, &raw);
    }
}

} // namespace

PseudoTerminal::PseudoTerminal()
{
    open();
}

PseudoTerminal::~PseudoTerminal()
{
    close();
}

bool PseudoTerminal::open()
{
    masterFd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (masterFd < 0)
        return false;
    if (grantpt(masterFd) != 0 || unlockpt(masterFd) != 0) {
        close();
        return false;
    }
    slave = QString::fromLocal8Bit(ptsname(masterFd));
    makeRaw(masterFd);
    // Opened before anyone else, so the program's exclusive open does not shut it out.
    monitorFd = ::open(ptsname(masterFd), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    if (monitorFd >= 0)
        makeRaw(monitorFd);
    return true;
}

bool PseudoTerminal::reopen()
{
    close();
    const QString path = link;
    if (!open())
        return false;
    return path.isEmpty() || linkTo(path);
}

bool PseudoTerminal::write(const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = writeSome(bytes.constData() + done, bytes.size() - done);
        if (written < 0)
            return false;
        done += written;
        if (done < bytes.size() && !waitForRoom(1000))
            return false;
    }
    return true;
}

qint64 PseudoTerminal::writeSome(const char *data, qint64 size)
{
    return writeSomeTo(masterFd, data, size);
}

bool PseudoTerminal::waitForRoom(int timeoutMs)
{
    return waitForRoomOn(masterFd, timeoutMs);
}

int PseudoTerminal::pendingChars() const
{
    int pending = 0;
    if (monitorFd < 0 || ioctl(monitorFd, FIONREAD, &pending) != 0)
        return 0;
    return pending;
}

bool PseudoTerminal::linkTo(const QString &path, QString *error)
{
    const QFileInfo existing(path);
    if (existing.exists() || existing.isSymLink()) {
        if (!existing.isSymLink()) {
            if (error)
                *error = QStringLiteral("%1 exists and is not a link").arg(path);
            return false;
        }
        QFile::remove(path);
    }
    if (!QFile::link(slave, path)) {
        if (error)
            *error = QStringLiteral("cannot create the link %1").arg(path);
        return false;
    }
    link = path;
    return true;
}

void PseudoTerminal::removeLink()
{
    // Only our own link: another instance may have taken the path meanwhile.
    if (!link.isEmpty() && QFileInfo(link).symLinkTarget() == slave)
        QFile::remove(link);
}

void PseudoTerminal::close()
{
    removeLink();
    if (monitorFd >= 0)
        ::close(monitorFd);
    if (masterFd >= 0)
        ::close(masterFd);
    monitorFd = masterFd = -1;
}
