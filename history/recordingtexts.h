#pragma once

#include "recordingline.h"

#include <QString>

#include <cstring>
#include <string>
#include <vector>

// The few distinct texts a recording repeats (instruments, units, functions)
// become one shared QString each, not one per row.
class RecordingTexts
{
public:
    const QString &text(const RecordingLine::View &view)
    {
        for (Entry &entry : entries)
            if (int(entry.bytes.size()) == view.size &&
                (view.size == 0 || memcmp(entry.bytes.data(), view.data, size_t(view.size)) == 0))
                return entry.text;
        if (entries.size() >= 256)
            entries.erase(entries.begin());
        // An empty field may have no data pointer at all.
        if (view.size == 0)
            entries.push_back({std::string(), QString()});
        else
            entries.push_back({std::string(view.data, size_t(view.size)),
                               QString::fromUtf8(view.data, view.size)});
        return entries.back().text;
    }

private:
    struct Entry
    {
        std::string bytes;
        QString text;
    };
    std::vector<Entry> entries;
};
