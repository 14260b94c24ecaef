#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair standing in for an instrument's serial line: the
// program opens the slave side, the test writes into the master side.
class PseudoTerminal
{
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool isOpen() const { return masterFd >= 0; }
    // Path of the slave device, for example "/dev/pts/3".
    QString slavePath() const { return slave; }
    bool write(const QByteArray &bytes);
    // Ends the pair: the slave device disappears.
    void close();

private:
    int masterFd = -1;
    QString slave;
};
