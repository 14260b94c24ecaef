#include "pseudoterminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal()
{
    masterFd = posix_openpt(O_RDWR | O_NOCTTY);
    if (masterFd < 0)
        return;
    if (grantpt(masterFd) != 0 || unlockpt(masterFd) != 0) {
        close();
        return;
    }
    slave = QString::fromLocal8Bit(ptsname(masterFd));
    termios raw{};
    if (tcgetattr(masterFd, &raw) == 0) {
        cfmakeraw(&raw);
        tcsetattr(masterFd, TCSANOW, &raw);
    }
}

PseudoTerminal::~PseudoTerminal()
{
    close();
}

bool PseudoTerminal::write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (masterFd >= 0 && done < bytes.size()) {
        const ssize_t written = ::write(masterFd, bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return false;
        done += written;
    }
    return done == bytes.size();
}

void PseudoTerminal::close()
{
    if (masterFd >= 0)
        ::close(masterFd);
    masterFd = -1;
}
