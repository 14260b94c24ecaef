#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

class HistoryStore;

// Reads a recording written by Korvanta (CSV with its header row, or JSON
// Lines) into a history store. What cannot be read is skipped and counted;
// the rest is kept.
class RecordingReader
{
public:
    enum class Skip
    {
        Malformed, // not a row: wrong field count, broken quoting or JSON
        BadTime,   // the time field does not parse
        BadValue,  // the value is neither a number, "OL"/"-OL" nor empty
    };

    struct Result
    {
        bool opened = false;    // false: the file could not be opened at all
        bool recording = false; // false: neither a Korvanta CSV nor JSON Lines
        bool cancelled = false;
        qint64 rows = 0; // readings kept
        qint64 skipped = 0;
        qint64 skippedMalformed = 0;
        qint64 skippedBadTime = 0;
        qint64 skippedBadValue = 0;
        qint64 firstSkippedLine = 0; // 1-based; 0 when none
    };

    // progress gets 0…100 now and then; returning false cancels the read
    // (what was read stays in the store).
    static Result read(const QString &path, HistoryStore &into,
                       const std::function<bool(int percent)> &progress = {});
};
