#pragma once

#include <QProcess>

#include <grp.h>
#include <unistd.h>

// The logger as the user nobody: root opens any device.
class UnprivilegedProcess : public QProcess
{
protected:
    void setupChildProcess() override
    {
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
            _exit(127);
    }
};
