#pragma once

#include <QStringList>

// Collects what the program writes to the debug output while it exists.
class DebugCapture
{
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture &) = delete;
    DebugCapture &operator=(const DebugCapture &) = delete;

    // The frames written as "data" followed by the frame text, in order.
    QStringList frames() const;

private:
    QtMessageHandler previous;
};
