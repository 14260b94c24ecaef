#include "recordingline.h"

#include <cstring>

namespace {

// Longer rows than this are damage (an unclosed quote would swallow the file).
const int MaxRow = 4096;

const char *skipSpace(const char *at, const char *end)
{
    while (at < end && (*at == ' ' || *at == '\t'))
        ++at;
    return at;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

const char *RecordingLine::readCsv(const char *at, const char *end, int &lineBreaks)
{
    lineBreaks = 0;
    const char *limit = end - at > MaxRow ? at + MaxRow : end;
    int count = 0;
    for (;;) {
        if (count == FieldCount)
            return nullptr;
        View &view = field[count];
        if (at < limit && *at == '"') {
            std::string &copy = copies[count];
            copy.clear();
            for (++at;; ++at) {
                if (at >= limit)
                    return nullptr;
                if (*at == '"') {
                    if (at + 1 < limit && at[1] == '"')
                        ++at;
                    else
                        break;
                } else if (*at == '\n') {
                    ++lineBreaks;
                }
                copy += *at;
            }
            ++at;
            view = {copy.data(), int(copy.size())};
        } else {
            const char *start = at;
            while (at < limit && *at != ',' && *at != '\r' && *at != '\n' && *at != '"')
                ++at;
            if (at < limit && *at == '"')
                return nullptr;
            view = {start, int(at - start)};
        }
        ++count;
        if (at >= end)
            break; // the last line without its line end
        if (at >= limit)
            return nullptr;
        if (*at == ',') {
            ++at;
            continue;
        }
        if (*at == '\r' && at + 1 < end && at[1] == '\n')
            at += 2;
        else if (*at == '\n')
            ++at;
        else
            return nullptr;
        break;
    }
    return count == FieldCount ? at : nullptr;
}

void RecordingLine::appendUtf8(std::string &into, unsigned code)
{
    if (code < 0x80) {
        into += char(code);
    } else if (code < 0x800) {
        into += char(0xC0 | (code >> 6));
        into += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        into += char(0xE0 | (code >> 12));
        into += char(0x80 | ((code >> 6) & 0x3F));
        into += char(0x80 | (code & 0x3F));
    } else {
        into += char(0xF0 | (code >> 18));
        into += char(0x80 | ((code >> 12) & 0x3F));
        into += char(0x80 | ((code >> 6) & 0x3F));
        into += char(0x80 | (code & 0x3F));
    }
}

// From the opening quote; returns after the closing one.
const char *RecordingLine::jsonString(const char *at, const char *end, std::string &into)
{
    into.clear();
    for (++at; at < end; ++at) {
        const char c = *at;
        if (c == '"')
            return at + 1;
        if (c == '\n' || c == '\r')
            return nullptr;
        if (c != '\\') {
            into += c;
            continue;
        }
        if (++at >= end)
            return nullptr;
        switch (*at) {
        case '"':
        case '\\':
        case '/':
            into += *at;
            break;
        case 'n':
            into += '\n';
            break;
        case 'r':
            into += '\r';
            break;
        case 't':
            into += '\t';
            break;
        case 'b':
            into += '\b';
            break;
        case 'f':
            into += '\f';
            break;
        case 'u': {
            unsigned code = 0;
            for (int i = 0; i < 4; ++i) {
                const int digit = ++at < end ? hexDigit(*at) : -1;
                if (digit < 0)
                    return nullptr;
                code = code * 16 + unsigned(digit);
            }
            // A surrogate pair is two escapes.
            if (code >= 0xD800 && code < 0xDC00 && end - at > 6 && at[1] == '\\' && at[2] == 'u') {
                unsigned low = 0;
                for (int i = 3; i < 7; ++i) {
                    const int digit = hexDigit(at[i]);
                    low = digit < 0 ? 0 : low * 16 + unsigned(digit);
                }
                if (low >= 0xDC00 && low < 0xE000) {
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    at += 6;
                }
            }
            appendUtf8(into, code);
            break;
        }
        default:
            return nullptr;
        }
    }
    return nullptr;
}

const char *RecordingLine::readJson(const char *at, const char *end)
{
    const char *lineEnd = static_cast<const char *>(memchr(at, '\n', size_t(end - at)));
    const char *next = lineEnd ? lineEnd + 1 : end;
    end = lineEnd ? lineEnd : end;
    if (end > at && end[-1] == '\r')
        --end;
    for (View &view : field)
        view = View();
    bool seen[FieldCount] = {};
    static const char *const names[FieldCount] = {"time",  "elapsed_s", "instrument", "quantity",
                                                  "value", "unit",      "detail"};
    at = skipSpace(at, end);
    if (at >= end || *at != '{')
        return nullptr;
    at = skipSpace(at + 1, end);
    while (at < end && *at != '}') {
        if (*at != '"' || !(at = jsonString(at, end, key)))
            return nullptr;
        at = skipSpace(at, end);
        if (at >= end || *at != ':')
            return nullptr;
        at = skipSpace(at + 1, end);
        if (at >= end)
            return nullptr;
        int index = -1;
        for (int i = 0; i < FieldCount; ++i)
            if (key == names[i])
                index = i;
        std::string scratch;
        std::string &copy = index >= 0 ? copies[index] : scratch;
        View view;
        ValueKind kind = ValueKind::Text;
        if (*at == '"') {
            if (!(at = jsonString(at, end, copy)))
                return nullptr;
            view = {copy.data(), int(copy.size())};
        } else if (end - at >= 4 && memcmp(at, "null", 4) == 0) {
            at += 4;
            kind = ValueKind::Null;
        } else if (*at == '-' || (*at >= '0' && *at <= '9')) {
            const char *start = at;
            while (at < end && (strchr("+-.eE", *at) || (*at >= '0' && *at <= '9')))
                ++at;
            view = {start, int(at - start)};
            kind = ValueKind::Number;
        } else {
            return nullptr; // objects, arrays, true/false: no field of a reading
        }
        if (index >= 0) {
            if (seen[index] || (index != Value && index != Elapsed && kind != ValueKind::Text))
                return nullptr;
            seen[index] = true;
            field[index] = view;
            if (index == Value)
                valueKind = kind;
        }
        at = skipSpace(at, end);
        if (at < end && *at == ',')
            at = skipSpace(at + 1, end);
        else if (at >= end || *at != '}')
            return nullptr;
    }
    if (at >= end || !seen[Time] || !seen[Instrument] || !seen[Quantity] || !seen[Value])
        return nullptr;
    at = skipSpace(at + 1, end);
    return at == end ? next : nullptr;
}
