#pragma once

#include "linesink.h"

#include <QString>

// An existing device or file the instruments write into, for example one end
// of a null-modem cable. A terminal is set to 115200 baud, 8N1, raw.
class SerialDevice : public LineSink
{
public:
    SerialDevice() = default;
    ~SerialDevice() override;
    SerialDevice(const SerialDevice &) = delete;
    SerialDevice &operator=(const SerialDevice &) = delete;

    bool open(const QString &path, QString *error);
    void close();

    bool isOpen() const override { return fd >= 0; }
    qint64 writeSome(const char *data, qint64 size) override;
    bool waitForRoom(int timeoutMs) override;
    int pendingChars() const override;
    bool seesReader() const override { return false; }

private:
    int fd = -1;
    bool terminal = false;
};
