#pragma once

#include <QString>

// The history window's texts in the current language: its own entries and
// the instrument and quantity names the main window already has.
class HistoryNames
{
public:
    static QString text(const char *entry); // of the history group
    static QString instrument(const QString &instrument);
    static QString quantity(const QString &instrument, const QString &quantity);
};
