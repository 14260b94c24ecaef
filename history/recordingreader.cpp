#include "recordingreader.h"

#include "historystore.h"
#include "isotime.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace {

bool startsWith(const char *at, const char *end, const char *text)
{
    const size_t length = strlen(text);
    return size_t(end - at) >= length && memcmp(at, text, length) == 0;
}

} // namespace

RecordingReader::RecordingReader(const char *begin, const char *end, bool csv, Result &result,
                                 const std::function<bool(int)> &progress)
    : begin(begin), end(end), at(begin), line(csv ? 2 : 1), firstLine(line), csv(csv),
      result(result), progress(progress)
{
}

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
    if (csv)
        at = firstLineEnd ? firstLineEnd + 1 : end;

    RecordingReader reader(at, end, csv, result, progress);
    if (!reader.readInFileOrder(into) && !result.cancelled)
        reader.readInTimeOrder(into);
    if (progress && !result.cancelled)
        progress(100);
    return result;
}

bool RecordingReader::readInFileOrder(HistoryStore &into)
{
    Row row;
    qint64 lastMs = std::numeric_limits<qint64>::min();
    for (qint64 rows = 1; next(row); ++rows) {
        if ((rows & 4095) == 0 && !report(filePart(), 0, 100))
            return false;
        if (row.timeMs < lastMs)
            return false;
        lastMs = row.timeMs;
        add(row, into);
    }
    return true;
}

void RecordingReader::readInTimeOrder(HistoryStore &into)
{
    // From where the first pass stopped, half the rest finds the rows, the
    // other half adds them.
    const int from = int(filePart() * 100);
    const int middle = (from + 100) / 2;
    into = HistoryStore(into.options());
    result = Result();
    result.opened = result.recording = true;
    at = begin;
    line = firstLine;

    std::vector<Row> rows;
    Row row;
    while (next(row)) {
        if ((rows.size() & 4095) == 4095 && !report(filePart(), from, middle))
            return;
        rows.push_back(row);
    }
    // Stable: the readings of one frame share their time and keep their order.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row &a, const Row &b) { return a.timeMs < b.timeMs; });
    for (size_t i = 0; i < rows.size(); ++i) {
        if ((i & 4095) == 4095 && !report(double(i) / double(rows.size()), middle, 100))
            return;
        at = rows[i].start;
        line = rows[i].line;
        if (next(row))
            add(row, into);
    }
}

bool RecordingReader::report(double done, int from, int to)
{
    if (progress && !progress(from + int(done * (to - from))))
        result.cancelled = true;
    return !result.cancelled;
}

void RecordingReader::skip(qint64 &counter, qint64 atLine)
{
    ++counter;
    ++result.skipped;
    if (result.firstSkippedLine == 0)
        result.firstSkippedLine = atLine;
}

bool RecordingReader::next(Row &row)
{
    while (at < end) {
        if (*at == '\n' || (*at == '\r' && at + 1 < end && at[1] == '\n')) {
            at += *at == '\n' ? 1 : 2; // a blank line is no damage
            ++line;
            continue;
        }
        int breaks = 0;
        const char *rowStart = at;
        const char *next = csv ? fields.readCsv(at, end, breaks) : fields.readJson(at, end);
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
        const auto &f = fields.field;
        if (f[RecordingLine::Instrument].size == 0 || f[RecordingLine::Quantity].size == 0) {
            skip(result.skippedMalformed, rowLine);
            continue;
        }
        if (!IsoTime::parse(f[RecordingLine::Time].data, f[RecordingLine::Time].size, row.timeMs,
                            row.utcOffset)) {
            skip(result.skippedBadTime, rowLine);
            continue;
        }
        if (fields.valueKind == RecordingLine::ValueKind::Null)
            row.value = HistoryNumber::parse(nullptr, 0);
        else
            row.value =
                HistoryNumber::parse(f[RecordingLine::Value].data, f[RecordingLine::Value].size);
        if (row.value.kind == HistoryNumber::Kind::Invalid) {
            skip(result.skippedBadValue, rowLine);
            continue;
        }
        row.start = rowStart;
        row.line = rowLine;
        return true;
    }
    return false;
}

void RecordingReader::add(const Row &row, HistoryStore &into)
{
    const auto &f = fields.field;
    const QString &instrument = instruments.text(f[RecordingLine::Instrument]);
    const QString &quantity = quantities.text(f[RecordingLine::Quantity]);
    const QString &unit = units.text(f[RecordingLine::Unit]);
    const QString &detail = details.text(f[RecordingLine::Detail]);
    if (quantity == QLatin1String("alarm")) {
        into.addAlarmRow(
            {QDateTime::fromMSecsSinceEpoch(row.timeMs, Qt::OffsetFromUTC, row.utcOffset),
             instrument, quantity,
             QString::fromUtf8(f[RecordingLine::Value].data, f[RecordingLine::Value].size), unit,
             detail});
    } else {
        into.addValue(instrument, quantity, row.timeMs, row.utcOffset, row.value.value,
                      row.value.decimals, unit, detail);
    }
    ++result.rows;
}
