#include "alarmcontrol.h"
#include "elidedlabel.h"

#include "alarmframe.h"
#include "languagetext.h"

#include <QSet>
#include <QSettings>
#include <QSoundEffect>
#include <QStatusBar>

namespace {

QString alarmText(const char *entry)
{
    return languageText[QStringLiteral("ids_Alarm_Language/") + QLatin1String(entry)];
}

} // namespace

AlarmControl::AlarmControl(QStatusBar *statusBar, const QHash<QString, QList<QWidget *>> &panels,
                           QObject *parent)
    : QObject(parent), panels(panels)
{
    alarmLabel = new ElidedLabel(statusBar);
    alarmLabel->setObjectName(QStringLiteral("alarmLabel"));
    alarmLabel->setTextFormat(Qt::PlainText);
    alarmLabel->setStyleSheet(QStringLiteral("color: #e02020;"));
    statusBar->addWidget(alarmLabel, 1);
    alarmLabel->hide();
    // A machine without a sound device leaves the effect in its error state,
    // and play() does nothing there.
    sound = new QSoundEffect(this);
    sound->setSource(QUrl(QStringLiteral("qrc:/sound/alarm.wav")));
}

AlarmControl::~AlarmControl() = default;

void AlarmControl::loadLimits(const QString &settingsPath)
{
    const LimitSet limits = LimitSet::fromFile(settingsPath);
    bMuted = QSettings(settingsPath, QSettings::IniFormat)
                 .value(QStringLiteral("Alarm/muted"), false)
                 .toBool();
    monitor = AlarmMonitor(limits);
    badKeys = limits.badKeys;
    for (const ToleranceRule &rule : limits.tolerances)
        tolerances[rule.instrument] =
            (rule.enabled ? rule : ToleranceRule::defaultFor(rule.instrument)).tolerance;
    for (const QList<QWidget *> &widgets : qAsConst(panels)) {
        for (QWidget *panel : widgets)
            AlarmFrame::setShown(panel, false);
    }
    showState();
}

void AlarmControl::check(const QList<Reading> &readings)
{
    const QList<AlarmEvent> events = monitor.check(readings);
    if (events.isEmpty())
        return;
    QList<Reading> rows;
    bool started = false;
    for (const AlarmEvent &event : events) {
        rows.append(event.recordingRow());
        started = started || event.start;
    }
    // A bad key was named once; an alarm takes its place.
    badKeys.clear();
    showState();
    if (started) {
        if (!bMuted)
            sound->play();
        emit AlarmSounded_sig();
    }
    emit AlarmRows_sig(rows);
}

void AlarmControl::applyLanguage()
{
    showState();
}

void AlarmControl::showState()
{
    const QList<AlarmEvent> alarms = monitor.active();
    QSet<QString> framed;
    for (const AlarmEvent &alarm : alarms)
        framed.insert(alarm.reading.instrument);
    for (auto it = panels.cbegin(); it != panels.cend(); ++it) {
        for (QWidget *panel : it.value())
            AlarmFrame::setShown(panel, framed.contains(it.key()));
    }

    QString text;
    if (!alarms.isEmpty()) {
        const AlarmEvent &newest = alarms.last();
        text = alarmText("ids_alarm")
                   .arg(newest.limitKey, newest.reading.value + newest.reading.unit,
                        newest.boundsText);
        if (alarms.size() > 1)
            text += QLatin1Char(' ') + alarmText("ids_active").arg(alarms.size());
    } else if (!badKeys.isEmpty()) {
        text = alarmText("ids_badLimit").arg(badKeys.join(QStringLiteral(", ")));
    }
    alarmLabel->setFullText(text);
    alarmLabel->setVisible(!text.isEmpty());
}
