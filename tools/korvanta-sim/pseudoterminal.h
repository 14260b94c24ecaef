#pragma once

#include "linesink.h"

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair standing in for an instrument's serial line: the
// program opens the slave side, the instruments write into the master side.
// The pair keeps one slave descriptor of its own, so the line does not hang
// up when the program closes and reopens it, and so it can tell how many
// characters the program has not read yet.
class PseudoTerminal : public LineSink
{
public:
    PseudoTerminal();
    ~PseudoTerminal() override;
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool isOpen() const override { return masterFd >= 0; }
    // Path of the slave device, for example "/dev/pts/3".
    QString slavePath() const { return slave; }
    // Writes everything, waiting for room as long as the pair exists.
    bool write(const QByteArray &bytes);
    // Ends the pair: the slave device and the link disappear.
    void close();
    // A new pair, linked where the last one was (after close).
    bool reopen();

    // Makes path a symbolic link to the slave device; an old link there is
    // replaced, anything else is left alone and reported in error.
    bool linkTo(const QString &path, QString *error = nullptr);
    QString linkPath() const { return link; }

    qint64 writeSome(const char *data, qint64 size) override;
    bool waitForRoom(int timeoutMs) override;
    int pendingChars() const override;
    bool seesReader() const override { return true; }

private:
    bool open();
    void removeLink();

    int masterFd = -1;
    int monitorFd = -1;
    QString slave;
    QString link;
};
