#pragma once

#include <string>

// One row of a recording taken apart: the CSV's seven fields, or the same
// keys of a JSON Lines object. Fields point into the file or, where quotes
// or escapes had to be undone, into the row's own copies.
class RecordingLine
{
public:
    enum Field
    {
        Time,
        Elapsed,
        Instrument,
        Quantity,
        Value,
        Unit,
        Detail,
        FieldCount
    };
    enum class ValueKind
    {
        Text,
        Number,
        Null
    }; // how JSON gave the value

    struct View
    {
        const char *data = nullptr;
        int size = 0;
    };

    View field[FieldCount];
    ValueKind valueKind = ValueKind::Text;

    // Each returns where the row ends (after its line end), or nullptr when
    // the text from `at` is no row. lineBreaks counts those inside quotes.
    const char *readCsv(const char *at, const char *end, int &lineBreaks);
    const char *readJson(const char *at, const char *end);

private:
    const char *jsonString(const char *at, const char *end, std::string &into);
    static void appendUtf8(std::string &into, unsigned code);

    std::string copies[FieldCount];
    std::string key;
};
