// The history store: statistics, pieces and gaps, the memory budget's
// reduced resolution, the curve's sample limit, export and reading back,
// and the stations' process figures.
#include "alarmevent.h"
#include "historyexport.h"
#include "historystore.h"
#include "recordingreader.h"
#include "solderingstatistics.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <ctime>

namespace {

const qint64 T0 = 1714565000000; // 2024-05-01, on a whole second

Reading reading(qint64 ms, const QString &instrument, const QString &quantity, const QString &value,
                const QString &unit = "V", const QString &detail = {})
{
    return {QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, 7200),
            instrument,
            quantity,
            value,
            unit,
            detail};
}

int sampleCount(const QList<HistoryCurvePiece> &pieces)
{
    int count = 0;
    for (const HistoryCurvePiece &piece : pieces)
        count += piece.samples.size();
    return count;
}

const HistoryStore::Key voltage{"power", "voltage"};

} // namespace

class HistoryStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void statisticsPerUnitInPlotOrder()
    {
        HistoryStore store;
        store.add({reading(T0, "hotair", "temperature", "300", "°C")});
        for (int i = 0; i < 4; ++i)
            store.add({reading(T0 + i * 1000, "power", "voltage", QString::number(i + 1))});
        store.add({reading(T0 + 500, "multimeter", "reading", "12.5", "mV", "DC voltage"),
                   reading(T0 + 1500, "multimeter", "reading", "1.5", "V", "DC voltage"),
                   reading(T0 + 2500, "multimeter", "reading", "2.5", "V", "DC voltage")});

        const QList<HistoryStore::Key> keys{
            {"multimeter", "reading"}, voltage, {"hotair", "temperature"}};
        QCOMPARE(store.keys(), keys);
        const auto rows = store.statistics(T0, T0 + 10000);
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[0].unit, QString("mV"));
        QCOMPARE(rows[0].count, 1);
        QCOMPARE(rows[1].unit, QString("V"));
        QCOMPARE(rows[1].mean, 2.0);
        QCOMPARE(rows[1].last, 2.5);
        const HistoryStatistics &power = rows[2];
        QCOMPARE(power.quantity, QString("voltage"));
        QCOMPARE(power.minimum, 1.0);
        QCOMPARE(power.maximum, 4.0);
        QCOMPARE(power.mean, 2.5);
        QVERIFY(qAbs(power.standardDeviation - std::sqrt(1.25)) < 1e-12);
        QCOMPARE(power.count, 4);
        QCOMPARE(power.last, 4.0);
        QCOMPARE(rows[3].instrument, QString("hotair"));

        // Only what lies in the range.
        const auto part = store.statistics(T0 + 1000, T0 + 2000);
        QCOMPARE(part.size(), 2);
        QCOMPARE(part[1].count, 2);
        QCOMPARE(part[1].mean, 2.5);
        QCOMPARE(store.firstTimeMs(), T0);
        QCOMPARE(store.lastTimeMs(), T0 + 3000);
    }

    void localTimesKeepTheirInstantAcrossDaylightSaving()
    {
        qputenv("TZ", "Europe/Berlin");
        tzset();
        // 2024-03-31 00:00 to 05:00 local, the clocks going from 02:00 to 03:00.
        const qint64 from = QDateTime(QDate(2024, 3, 31), QTime(0, 0)).toMSecsSinceEpoch();
        HistoryStore store;
        QList<qint64> times;
        for (qint64 ms = from; ms < from + 4 * 3600000; ms += 7 * 60000 + 13) {
            times << ms;
            store.add({{QDateTime::fromMSecsSinceEpoch(ms), "power", "voltage", "1", "V", ""}});
        }
        const QList<Reading> back = store.readings(from, from + 5 * 3600000);
        QCOMPARE(back.size(), times.size());
        for (int i = 0; i < back.size(); ++i)
            QCOMPARE(back[i].time.toMSecsSinceEpoch(), times[i]);
        QCOMPARE(back.first().time.offsetFromUtc(), 3600);
        qunsetenv("TZ");
        tzset();
    }

    void piecesBreakAtGapsUnitsOverloadsAndClosedPort()
    {
        HistoryStore store;
        const HistoryStore::Key meter{"multimeter", "reading"};
        qint64 t = T0;
        const auto add = [&](const QString &value, const QString &unit, const QString &detail,
                             qint64 step = 200) {
            store.add({reading(t, "multimeter", "reading", value, unit, detail)});
            t += step;
        };
        add("1.0", "V", "DC voltage");
        add("1.1", "V", "DC voltage");
        add("1.2", "V", "AC voltage"); // function changed, unit not
        add("5", "mV", "AC voltage");
        add("6", "mV", "AC voltage", 5000); // then more than the gap
        add("7", "mV", "AC voltage");
        add("OL", "MΩ", "resistance");
        add("-OL", "MΩ", "resistance");
        add("8", "MΩ", "resistance");
        store.breakAll();
        add("9", "MΩ", "resistance");
        add("", "MΩ", "resistance");
        add("10", "MΩ", "resistance");

        const auto pieces = store.curve(meter, T0, t, 1000);
        QStringList seen;
        for (const HistoryCurvePiece &piece : pieces)
            seen << piece.unit + "/" + piece.detail + "/" + QString::number(piece.samples.size());
        QCOMPARE(seen, QStringList({"V/DC voltage/2", "V/AC voltage/1", "mV/AC voltage/2",
                                    "mV/AC voltage/1", "MΩ/resistance/1", "MΩ/resistance/1",
                                    "MΩ/resistance/1"}));
        QCOMPARE(pieces[3].samples[0].timeMs, T0 + 800 + 5000);

        // The value shown: none within a gap or at an overload.
        QCOMPARE(store.valueAt(meter, T0 + 250)->value, 1.1);
        QCOMPARE(store.valueAt(meter, T0 + 250)->unit, QString("V"));
        QVERIFY(!store.valueAt(meter, T0 + 600 + 4000));
        QVERIFY(!store.valueAt(meter, T0 + 5800 + 250));
        QVERIFY(!store.valueAt(meter, T0 - 1));

        // Overloads and empty values go back into a recording as they came.
        QStringList values;
        for (const Reading &r : store.readings(T0, t))
            values << r.value;
        QCOMPARE(values, QStringList({"1.0", "1.1", "1.2", "5", "6", "7", "OL", "-OL", "8", "9", "",
                                      "10"}));
    }

    void reducedResolutionKeepsEveryBucketsExtremes()
    {
        HistoryStore::Options options;
        options.memoryBudgetBytes = 1 << 20;
        HistoryStore store(options);
        // Four hours at 20 readings a second, with one spike an hour.
        const int perSecond = 20;
        const qint64 count = 4LL * 3600 * perSecond;
        double sum = 0;
        double low = 1e9;
        double high = -1e9;
        for (qint64 i = 0; i < count; ++i) {
            const qint64 ms = T0 + i * 1000 / perSecond;
            double value = 12.0 + std::sin(double(i) / 50.0);
            if (i % (3600 * perSecond) == 777)
                value = i == 777 ? -40.0 : 40.0 + double(i) / count;
            const QString text = QString::number(value, 'f', 6);
            value = text.toDouble();
            sum += value;
            low = qMin(low, value);
            high = qMax(high, value);
            store.add({reading(ms, "power", "voltage", text)});
        }
        QVERIFY2(store.memoryBytes() <= options.memoryBudgetBytes,
                 qPrintable(QString::number(store.memoryBytes())));
        // The oldest readings are buckets by now: fewer rows come out than went in.
        const qint64 lastMs = T0 + (count - 1) * 1000 / perSecond;
        QVERIFY(store.readings(T0, T0 + 60000).size() < 60 * perSecond / 4);
        QCOMPARE(store.readings(lastMs - 999, lastMs).size(), perSecond);

        const auto all = store.statistics(T0, lastMs);
        QCOMPARE(all.size(), 1);
        QCOMPARE(all[0].count, count);
        QCOMPARE(all[0].minimum, low);
        QCOMPARE(all[0].maximum, high);
        QVERIFY(qAbs(all[0].mean - sum / count) < 1e-9);

        // Each hour's spike survives in the curve at any zoom, in the bucket of its time.
        for (int maxSamples : {50, 500, 5000}) {
            const auto pieces = store.curve(voltage, T0, lastMs, maxSamples);
            QVERIFY(sampleCount(pieces) <= maxSamples);
            int spikes = 0;
            double lowest = 1e9;
            for (const HistoryCurvePiece &piece : pieces)
                for (const HistorySample &s : piece.samples) {
                    spikes += s.high >= 40.0;
                    lowest = qMin(lowest, s.low);
                }
            QCOMPARE(spikes, 3);
            QCOMPARE(lowest, -40.0);
        }
        // An hour's statistics from the reduced part still see its spike.
        const auto hour = store.statistics(T0 + 3600000, T0 + 2 * 3600000 - 1);
        QVERIFY(hour[0].maximum >= 40.0);
        // Buckets across its ends count where they start: about an hour's readings.
        QVERIFY(qAbs(double(hour[0].count) - 3600.0 * perSecond) <= 36.0 * perSecond);
    }

    void budgetHoldsWhenEveryReadingStartsAPiece()
    {
        // An overload at every other reading and a flapping alarm: a piece,
        // a bucket at every level and an alarm row for nearly every reading.
        HistoryStore::Options options;
        options.memoryBudgetBytes = 1 << 20;
        HistoryStore store(options);
        const int count = 60000;
        qint64 peak = 0;
        for (int i = 0; i < count; ++i) {
            const qint64 ms = T0 + i * 50LL;
            store.add({reading(ms, "power", "voltage", i % 2 ? "OL" : QString::number(i % 7))});
            AlarmEvent alarm{i % 2 == 0, "power.voltage", ":5",
                             reading(ms, "power", "voltage", "6")};
            store.add({alarm.recordingRow()});
            peak = qMax(peak, store.memoryBytes());
        }
        QVERIFY2(peak <= options.memoryBudgetBytes, qPrintable(QString::number(peak)));
        // The oldest went, the newest are whole.
        const qint64 lastMs = T0 + (count - 1) * 50LL;
        QVERIFY(store.firstTimeMs() > T0);
        QCOMPARE(store.readings(lastMs - 9999, lastMs).size(), 200 + 200);
        const auto rows = store.statistics(lastMs - 9999, lastMs);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].count, 100);
        QCOMPARE(rows[0].maximum, 6.0);
        QCOMPARE(store.alarms(lastMs - 9999, lastMs).size(), 100);
    }

    void curveNeverExceedsMaxSamples()
    {
        HistoryStore store;
        // Many short pieces (every fifth value an overload) and a long run.
        for (int i = 0; i < 20000; ++i)
            store.add({reading(T0 + i * 25, "power", "voltage",
                               i % 5 == 4 && i < 8000 ? "OL" : QString::number(i % 97))});
        for (int maxSamples : {1, 2, 3, 7, 100, 1000, 30000}) {
            for (qint64 span : {10LL, 1000LL, 60000LL, 500000LL}) {
                const auto pieces =
                    store.curve(voltage, T0 + 100000, T0 + 100000 + span, maxSamples);
                QVERIFY2(sampleCount(pieces) <= maxSamples,
                         qPrintable(QString("%1 in %2 ms: %3")
                                        .arg(maxSamples)
                                        .arg(span)
                                        .arg(sampleCount(pieces))));
            }
        }
        // Zoomed in between two readings, the line still crosses the view.
        const auto between = store.curve(voltage, T0 + 9 * 25 * 1000 + 5, T0 + 225010, 100);
        QCOMPARE(sampleCount(between), 2);
        // Statistics of any range match the readings in it, whichever levels serve it.
        for (const auto &range : {qMakePair(12345, 401234), qMakePair(0, 499999),
                                  qMakePair(64000, 64000 + 16384), qMakePair(250, 260)}) {
            qint64 count = 0;
            double sum = 0;
            for (int i = 0; i < 20000; ++i)
                if (i * 25 >= range.first && i * 25 <= range.second && !(i % 5 == 4 && i < 8000)) {
                    ++count;
                    sum += i % 97;
                }
            const auto rows = store.statistics(T0 + range.first, T0 + range.second);
            QCOMPARE(rows[0].count, count);
            QVERIFY(qAbs(rows[0].mean - sum / count) < 1e-9);
        }
        // Merged samples keep every count.
        qint64 counted = 0;
        for (const auto &piece : store.curve(voltage, T0 + 200000, T0 + 499999, 40))
            for (const HistorySample &s : piece.samples)
                counted += s.timeMs >= T0 + 200000 && s.timeMs <= T0 + 499999 ? s.count : 0;
        QCOMPARE(counted, 12000);
    }

    void exportReadsBackTheSame()
    {
        HistoryStore store;
        for (int i = 0; i < 50; ++i) {
            const qint64 ms = T0 + i * 111;
            store.add({reading(ms, "multimeter", "reading", i == 7 ? "OL" : "12.50", "V",
                               "DC voltage, auto"),
                       reading(ms, "power", "voltage", QString::number(i * 0.25, 'f', 2)),
                       reading(ms, "power", "current", "0.850", "A")});
        }
        AlarmEvent alarm{true, "power.current", ":0.5",
                         reading(T0 + 222, "power", "current", "0.850", "A")};
        store.add({alarm.recordingRow()});
        alarm.start = false;
        alarm.reading.time = alarm.reading.time.addMSecs(1000);
        store.add({alarm.recordingRow()});
        QCOMPARE(store.alarms(T0, T0 + 10000).size(), 1);
        QCOMPARE(store.alarms(T0, T0 + 10000)[0].endMs, T0 + 1222);

        QTemporaryDir dir;
        const QString path = dir.filePath("export.csv");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(HistoryExport::writeCsv(store, T0 + 1000, T0 + 4000, file));
        file.close();

        HistoryStore back;
        const RecordingReader::Result result = RecordingReader::read(path, back);
        QVERIFY(result.recording);
        QCOMPARE(result.skipped, 0);
        const auto text = [](const QList<Reading> &list) {
            QStringList lines;
            for (const Reading &r : list)
                lines << QString::number(r.time.toMSecsSinceEpoch()) +
                             r.time.timeZoneAbbreviation() + "|" + r.instrument + "|" + r.quantity +
                             "|" + r.value + "|" + r.unit + "|" + r.detail;
            return lines;
        };
        const QStringList expected = text(store.readings(T0 + 1000, T0 + 4000));
        QCOMPARE(expected.size(), 3 * 27 + 1);
        QCOMPARE(text(back.readings(T0, T0 + 10000)), expected);
        const auto statistics = store.statistics(T0 + 1000, T0 + 4000);
        const auto readBack = back.statistics(T0, T0 + 10000);
        QCOMPARE(readBack.size(), statistics.size());
        for (int i = 0; i < statistics.size(); ++i) {
            QCOMPARE(readBack[i].count, statistics[i].count);
            QCOMPARE(readBack[i].mean, statistics[i].mean);
            QCOMPARE(readBack[i].standardDeviation, statistics[i].standardDeviation);
        }
        QCOMPARE(back.alarms(T0, T0 + 10000).size(), 1);
    }

    void solderingHeatUpDipAndDrift()
    {
        // Set 350 °C; heats up in 4 s, dips for 2 s at 10 s, drifts out for 4 s at 20 s.
        const QList<int> temperatures{22,  100, 200, 300, 346, 350, 350, 350, 350, 350,
                                      340, 342, 349, 350, 350, 350, 350, 350, 350, 350,
                                      358, 357, 356, 356, 353, 350, 350, 350, 350, 350};
        HistoryStore store;
        for (int i = 0; i < temperatures.size(); ++i)
            store.add({reading(T0 + i * 1000, "iron", "set_temperature", "350", "°C"),
                       reading(T0 + i * 1000, "iron", "temperature",
                               QString::number(temperatures[i]), "°C")});
        auto list = SolderingStatistics::of(store, T0, T0 + 29000, 5, 10);
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0].instrument, QString("iron"));
        QCOMPARE(list[0].heatUpSeconds, 4.0);
        QCOMPARE(list[0].excursions, 2);
        QCOMPARE(list[0].longestRecoverySeconds, 4.0);
        QVERIFY(qAbs(list[0].shareInTolerance - 19.0 / 25.0) < 1e-12);

        // A new set temperature starts a new heat-up; one that never gets there has none.
        for (int i = 30; i < 34; ++i)
            store.add({reading(T0 + i * 1000, "iron", "set_temperature", "300", "°C"),
                       reading(T0 + i * 1000, "iron", "temperature",
                               QString::number(QList<int>{340, 320, 302, 300}[i - 30]), "°C")});
        list = SolderingStatistics::of(store, T0, T0 + 40000, 5, 10);
        QCOMPARE(list[0].heatUpSeconds, 2.0);
        list = SolderingStatistics::of(store, T0, T0 + 3000, 5, 10);
        QCOMPARE(list[0].heatUpSeconds, -1.0);
    }
};

QTEST_GUILESS_MAIN(HistoryStoreTest)
#include "tst_historystore.moc"
