// korvanta-log with limits: alarm rows among the readings, keys that do not
// parse named on standard error, and --alarm-exit ending on the first alarm.
#include "simprocess.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class KorvantaLogAlarmsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void firstAlarmEndsTheRun()
    {
        // The simulated load draws 0.12 A for 5 s, then 0.85 A.
        const QString link = dir.filePath("bench");
        SimProcess sim;
        sim.start({"--link", link, "--seed", "3", "--only", "power", "--seconds", "30"});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(link).isSymLink(), 10000);
        const QString limits = dir.filePath("limits.ini");
        QFile file(limits);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Limits]\npower.current=:0.5,0.2\npower.curent=:1\n");
        file.close();

        QProcess log;
        log.start(KORVANTA_LOG_PATH, {link, "--limits", limits, "--alarm-exit"});
        QVERIFY(log.waitForStarted(10000));
        QVERIFY(log.waitForFinished(30000));
        QCOMPARE(log.exitCode(), 5);
        const QStringList err = QString::fromUtf8(log.readAllStandardError()).split('\n');
        QCOMPARE(err.value(0),
                 QString("korvanta-log: limit ignored, not understood: power.curent"));

        const QStringList rows = QString::fromUtf8(log.readAllStandardOutput()).split("\r\n");
        // One start, the last row, with the value of the frame's current beside it.
        QStringList alarms;
        QString current;
        for (const QString &row : rows) {
            const QStringList f = row.split(',');
            if (f.value(3) == "current")
                current = f.value(4);
            if (f.value(3) == "alarm")
                alarms << f.mid(2).join(',');
        }
        QCOMPARE(alarms, QStringList({"power,alarm," + current + ",A,power.current=:0.5 start"}));
        QVERIFY(current.toDouble() > 0.5);
        QVERIFY(rows.value(rows.size() - 2).endsWith(",power.current=:0.5 start"));
    }

    void missingLimitsFileIsABadArgument()
    {
        QProcess log;
        log.start(KORVANTA_LOG_PATH, {"/dev/null", "--limits", dir.filePath("none.ini")});
        QVERIFY(log.waitForFinished(10000));
        QCOMPARE(log.exitCode(), 1);
        QVERIFY(log.readAllStandardError().startsWith("korvanta-log: --limits: no such file: "));
    }
};

QTEST_GUILESS_MAIN(KorvantaLogAlarmsTest)
#include "tst_korvantalog_alarms.moc"
