#pragma once

#include "historynumber.h"
#include "recordingline.h"
#include "recordingtexts.h"

#include <QString>
#include <QtGlobal>

#include <functional>

class HistoryStore;

// Reads a recording written by Korvanta (CSV with its header row, or JSON
// Lines) into a history store. What cannot be read is skipped and counted;
// the rest is kept. Rows go into the store in time order: a file whose
// times go back (recordings joined end to end) is read a second time in
// time order.
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

    // into is meant to be empty: a file read a second time empties it.
    // progress gets 0…100 now and then; returning false cancels the read
    // (what was read stays in the store).
    static Result read(const QString &path, HistoryStore &into,
                       const std::function<bool(int percent)> &progress = {});

private:
    // A row that reads, taken apart.
    struct Row
    {
        const char *start = nullptr;
        qint64 line = 0;
        qint64 timeMs = 0;
        int utcOffset = 0;
        HistoryNumber::Parsed value;
    };

    RecordingReader(const char *begin, const char *end, bool csv, Result &result,
                    const std::function<bool(int)> &progress);
    // Reads the rows in file order while their times go forward; false when
    // one went back (what was read stays in the store) or when cancelled.
    bool readInFileOrder(HistoryStore &into);
    // Reads every row again, in time order, into a store emptied first.
    void readInTimeOrder(HistoryStore &into);
    // The next row from `at` that reads; the others on the way are counted.
    bool next(Row &row);
    void add(const Row &row, HistoryStore &into);
    void skip(qint64 &counter, qint64 atLine);
    // Tells progress the share done of a stage that spans [from, to] of the
    // whole; false: cancelled.
    bool report(double done, int from, int to);
    double filePart() const { return end > begin ? double(at - begin) / double(end - begin) : 1; }

    const char *const begin; // of the rows, after a header
    const char *const end;
    const char *at;
    qint64 line;
    const qint64 firstLine;
    const bool csv;
    Result &result;
    const std::function<bool(int)> &progress;
    RecordingLine fields;
    RecordingTexts instruments, quantities, units, details;
};
