#include "recordingreader.h"

#include "historynumber.h"
#include "historystore.h"
#include "isotime.h"
#include "recordingline.h"

#include <QFile>

#include <cstring>
#include <vector>

namespace {

// The few distinct texts a recording repeats (instruments, units, functions)
// become one shared QString each, not one per row.
class TextCache
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

bool startsWith(const char *at, const char *end, const char *text)
{
    const size_t length = strlen(text);
    return size_t(end - at) >= length && memcmp(at, text, length) == 0;
}

} // namespace

RecordingReader::Result RecordingReader::read(const QString &path, HistoryStore &into,
                                              const std::function<bool(int)> &progress)
{
    Result result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    result.opened = true;
    QByteArray whole;
    const char *begin = nullptr;
    const qint64 size = file.size();
    if (size > 0)
        begin = reinterpret_cast<const char *>(file.map(0, size));
    if (!begin) {
        whole = file.readAll();
        begin = whole.constData();
    }
    const char *end = begin + (whole.isEmpty() ? qMax<qint64>(0, size) : whole.size());
    const char *at = begin;
    if (startsWith(at, end, "\xEF\xBB\xBF"))
        at += 3;

    const char *header = "time,elapsed_s,instrument,quantity,value,unit,detail";
    const bool csv =
        startsWith(at, end, header) &&
        (at + strlen(header) == end || at[strlen(header)] == '\r' || at[strlen(header)] == '\n');
    const char *firstLineEnd = static_cast<const char *>(memchr(at, '\n', size_t(end - at)));
    const QByteArray firstLine(at, int((firstLineEnd ? firstLineEnd : end) - at));
    const bool json =
        !csv && firstLine.trimmed().startsWith('{') && firstLine.contains("\"instrument\"");
    if (!csv && !json)
        return result;
    result.recording = true;

    qint64 line = 1;
    if (csv) {
        at = firstLineEnd ? firstLineEnd + 1 : end;
        line = 2;
    }
    RecordingLine row;
    TextCache instruments, quantities, units, details;
    const auto skip = [&](qint64 &counter, qint64 atLine) {
        ++counter;
        ++result.skipped;
        if (result.firstSkippedLine == 0)
            result.firstSkippedLine = atLine;
    };
    qint64 rowsSeen = 0;
    while (at < end) {
        if (progress && (++rowsSeen & 4095) == 0 &&
            !progress(int((at - begin) * 100 / (end - begin)))) {
            result.cancelled = true;
            return result;
        }
        if (*at == '\n' || (*at == '\r' && at + 1 < end && at[1] == '\n')) {
            at += *at == '\n' ? 1 : 2; // a blank line is no damage
            ++line;
            continue;
        }
        int breaks = 0;
        const char *next = csv ? row.readCsv(at, end, breaks) : row.readJson(at, end);
        if (!next) {
            skip(result.skippedMalformed, line);
            const char *lineEnd = static_cast<const char *>(memchr(at, '\n', size_t(end - at)));
            at = lineEnd ? lineEnd + 1 : end;
            ++line;
            continue;
        }
        at = next;
        const qint64 rowLine = line;
        line += 1 + breaks;
        const auto &f = row.field;
        if (f[RecordingLine::Instrument].size == 0 || f[RecordingLine::Quantity].size == 0) {
            skip(result.skippedMalformed, rowLine);
            continue;
        }
        qint64 timeMs = 0;
        int offset = 0;
        if (!IsoTime::parse(f[RecordingLine::Time].data, f[RecordingLine::Time].size, timeMs,
                            offset)) {
            skip(result.skippedBadTime, rowLine);
            continue;
        }
        HistoryNumber::Parsed value;
        if (row.valueKind == RecordingLine::ValueKind::Null)
            value = HistoryNumber::parse(nullptr, 0);
        else
            value =
                HistoryNumber::parse(f[RecordingLine::Value].data, f[RecordingLine::Value].size);
        if (value.kind == HistoryNumber::Kind::Invalid) {
            skip(result.skippedBadValue, rowLine);
            continue;
        }
        const QString &instrument = instruments.text(f[RecordingLine::Instrument]);
        const QString &quantity = quantities.text(f[RecordingLine::Quantity]);
        const QString &unit = units.text(f[RecordingLine::Unit]);
        const QString &detail = details.text(f[RecordingLine::Detail]);
        if (quantity == QLatin1String("alarm")) {
            into.addAlarmRow(
                {QDateTime::fromMSecsSinceEpoch(timeMs, Qt::OffsetFromUTC, offset), instrument,
                 quantity,
                 QString::fromUtf8(f[RecordingLine::Value].data, f[RecordingLine::Value].size),
                 unit, detail});
        } else {
            into.addValue(instrument, quantity, timeMs, offset, value.value, value.decimals, unit,
                          detail);
        }
        ++result.rows;
    }
    if (progress)
        progress(100);
    return result;
}
