// Limits and the stations' process checks on streams of readings: the delay
// and the hysteresis at their edges, heat-up, set changes, dips and drifts,
// multimeter units, and the keys of the [Limits] section.
#include "alarmmonitor.h"
#include "decodedframe.h"
#include "hotairmodel.h"
#include "ironmodel.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QDateTime kStart(QDate(2026, 12, 9), QTime(9, 0));

Reading at(double seconds, const char *instrument, const char *quantity, const QString &value,
           const QString &unit = QString())
{
    return {kStart.addMSecs(qRound64(seconds * 1000)), instrument, quantity, value, unit, {}};
}

// "start"/"end" per event, with the value of the reading behind it.
QString eventsText(const QList<AlarmEvent> &events)
{
    QStringList texts;
    for (const AlarmEvent &e : events)
        texts << QString("%1 %2 %3").arg(e.limitKey, e.start ? "start" : "end", e.reading.value);
    return texts.join(';');
}

LimitSet limits(const QList<QPair<QString, QString>> &entries)
{
    return LimitSet::fromEntries(entries);
}

} // namespace

class AlarmMonitorTest : public QObject
{
    Q_OBJECT

private slots:
    void keysOfTheSection_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("rule"); // low:high,delay,hysteresis; empty: refused
        QTest::newRow("high, held 0.2 s") << "power.current"
                                          << ":1.5,0.2"
                                          << ":1.5,0.2,0";
        QTest::newRow("band, default delay") << "power.voltage"
                                             << "11.5:12.5"
                                             << "11.5:12.5,0.5,0";
        QTest::newRow("low with hysteresis") << "iron.temperature"
                                             << "300:,1,5"
                                             << "300:,1,5";
        QTest::newRow("multimeter base quantity") << "multimeter.volts"
                                                  << "-1:1,0"
                                                  << "-1:1,0,0";
        QTest::newRow("air speed") << "hotair.air_speed"
                                   << " 20 : 80 "
                                   << "20:80,0.5,0";
        QTest::newRow("unknown quantity") << "power.curent"
                                          << ":1"
                                          << "";
        QTest::newRow("multimeter's own name") << "multimeter.reading"
                                               << ":1"
                                               << "";
        QTest::newRow("no colon") << "power.current"
                                  << "1.5"
                                  << "";
        QTest::newRow("no bound") << "power.current"
                                  << ":"
                                  << "";
        QTest::newRow("low above high") << "power.current"
                                        << "2:1"
                                        << "";
        QTest::newRow("not a number") << "power.current"
                                      << "abc:1"
                                      << "";
        QTest::newRow("infinite") << "power.current"
                                  << ":inf"
                                  << "";
        QTest::newRow("negative delay") << "power.current"
                                        << ":1,-1"
                                        << "";
        QTest::newRow("too many fields") << "power.current"
                                         << ":1,0.2,0.1,9"
                                         << "";
    }

    void keysOfTheSection()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, rule);
        const auto parsed = LimitRule::parse(key, value);
        QCOMPARE(bool(parsed), !rule.isEmpty());
        if (parsed)
            QCOMPARE(QString("%1,%2,%3")
                         .arg(parsed->boundsText())
                         .arg(parsed->delaySeconds)
                         .arg(parsed->hysteresis),
                     rule);
    }

    void sectionOfASettingsFile()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("settings.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[SerialInfo]\nstrSerialName=/dev/ttyUSB0\n\n[Limits]\n"
                   "power.current=:1.5,0.2\niron.tolerance=off\nhotair.tolerance=8,3\n"
                   "bogus=1:2\nkettle.tolerance=5,1\niron.temperature=300:400,1,2\n");
        file.close();
        const LimitSet set = LimitSet::fromFile(file.fileName());
        // QSettings gives the keys in alphabetical order.
        QCOMPARE(set.limits.size(), 2);
        QCOMPARE(set.limits[0].key(), QString("iron.temperature"));
        QCOMPARE(set.limits[0].hysteresis, 2.0);
        QCOMPARE(set.limits[1].key(), QString("power.current"));
        QCOMPARE(set.limits[1].delaySeconds, 0.2);
        QCOMPARE(set.tolerances.size(), 2);
        QVERIFY(!set.tolerances[0].enabled);
        QCOMPARE(set.tolerances[1].tolerance, 8.0);
        QCOMPARE(set.tolerances[1].delaySeconds, 3.0);
        QCOMPARE(set.badKeys, QStringList({"bogus", "kettle.tolerance"}));
        // Without the section both stations keep their default checks.
        const LimitSet none = LimitSet::fromFile(dir.filePath("missing.ini"));
        QVERIFY(none.limits.isEmpty() && none.badKeys.isEmpty());
        QVERIFY(none.tolerances[0].enabled && none.tolerances[1].enabled);
    }

    void delayAndHysteresisAtTheirEdges()
    {
        AlarmMonitor monitor(limits({{"power.current", ":1.5,0.2,0.1"},
                                     {"iron.tolerance", "off"},
                                     {"hotair.tolerance", "off"}}));
        const QList<QPair<double, QString>> stream = {
            {0.0, "1.6"},  {0.1, "1.6"},  {0.15, "1.5"}, // back on the bound: not outside
            {0.2, "1.6"},  {0.35, "1.6"},                // 0.15 s outside: not yet
            {0.4, "1.6"},                                // 0.2 s: starts
            {0.5, "1.45"},                               // inside, but not by the hysteresis
            {0.6, "1.4"},                                // ends
            {0.7, "1.6"},  {0.8, "1.4"},                 // a short excursion: nothing
        };
        QStringList events;
        for (const auto &[seconds, value] : stream)
            events << eventsText(monitor.check({at(seconds, "power", "current", value, "A")}));
        QCOMPARE(events.join('|'),
                 QString("|||||power.current start 1.6||power.current end 1.4||"));
        QVERIFY(monitor.active().isEmpty());
    }

    void multimeterComparesInItsBaseUnit()
    {
        AlarmMonitor monitor(limits({{"multimeter.volts", ":1,0"}, {"multimeter.ohms", ":1e6,0"}}));
        QStringList events;
        for (const Reading &r : {at(0, "multimeter", "reading", "900", "mV"),
                                 at(1, "multimeter", "reading", "1200", "mV"),
                                 at(2, "multimeter", "reading", "0.5", "V"),
                                 at(3, "multimeter", "reading", "999", "KΩ"),
                                 at(4, "multimeter", "reading", "OL", "KΩ"),
                                 at(5, "multimeter", "reading", "50", "Hz"),
                                 at(6, "multimeter", "reading", "0.9", "MΩ")})
            events << eventsText(monitor.check({r}));
        QCOMPARE(events.join('|'), QString("|multimeter.volts start 1200|multimeter.volts end 0.5|"
                                           "|multimeter.ohms start OL||multimeter.ohms end 0.9"));
    }

    void toleranceThroughHeatUpDipsDriftsAndSetChanges()
    {
        // The iron's defaults: within ±5 °C, outside for more than 8 s alarms.
        AlarmMonitor monitor;
        QStringList events;
        double t = 0;
        const auto run = [&](const char *set, const char *actual, double seconds) {
            for (const double end = t + seconds; t < end; t += 0.25)
                events << eventsText(monitor.check({at(t, "iron", "set_temperature", set, "°C"),
                                                    at(t, "iron", "temperature", actual, "°C")}));
            events.removeAll(QString());
        };
        run("350", "120", 20); // a slow heat-up never alarms
        run("350", "348", 5);  // heated up
        run("350", "320", 6);  // a joint's dip
        run("350", "351", 5);
        QCOMPARE(events, QStringList());
        run("350", "340", 12); // a drift
        QCOMPARE(events, QStringList({"iron.tolerance start 340"}));
        run("350", "300", 2); // still out
        run("300", "300", 1); // a new setting ends it and heats up anew
        QCOMPARE(events, QStringList({"iron.tolerance start 340", "iron.tolerance end 300"}));
        run("250", "290", 30); // cooling down to a lower setting is a heat-up too
        QCOMPARE(events.size(), 2);
        QCOMPARE(monitor.active().size(), 0);
    }

    void simulatedStationsRaiseNoAlarmWithTheDefaults()
    {
        // Ten minutes of the simulator's iron and hot air, noise, speed
        // changes and their dips included.
        IronModel iron(7);
        HotAirModel hotAir(7);
        AlarmMonitor monitor;
        int events = 0;
        for (double t = 0; t < 600; t += 0.25) {
            for (Instrument *station : std::initializer_list<Instrument *>{&iron, &hotAir}) {
                const DecodedFrame decoded = DecodedFrame::of(
                    QString::fromLatin1(station->frame(t)), kStart.addMSecs(qRound64(t * 1000)));
                QVERIFY(!decoded.readings.isEmpty());
                events += monitor.check(decoded.readings).size();
            }
        }
        QCOMPARE(events, 0);
        // A hot air that stays 15 °C low for 6 s does alarm.
        QList<AlarmEvent> drift;
        for (double t = 600; t < 607; t += 0.25)
            drift += monitor.check({at(t, "hotair", "set_temperature", "300", "°C"),
                                    at(t, "hotair", "temperature", "285", "°C")});
        QCOMPARE(eventsText(drift), QString("hotair.tolerance start 285"));
        QCOMPARE(drift[0].recordingRow().detail, QString("hotair.tolerance=±10 start"));
    }
};

QTEST_GUILESS_MAIN(AlarmMonitorTest)
#include "tst_alarmmonitor.moc"
