#pragma once

#include "alarmmonitor.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>

class ElidedLabel;
class QSoundEffect;
class QStatusBar;
class QWidget;

// Alarms in the window: checks each frame's readings against the limits of
// the settings file, frames the instrument's panels in red while an alarm
// lasts, names the newest alarm in the status bar, sounds its start and hands
// every start and end on as a row for the recording.
class AlarmControl : public QObject
{
    Q_OBJECT

public:
    // panels: per instrument ("power", …) the widgets that show it.
    AlarmControl(QStatusBar *statusBar, const QHash<QString, QList<QWidget *>> &panels,
                 QObject *parent = nullptr);
    ~AlarmControl() override;

    // Reads the [Limits] section and whether alarms sound ([Alarm] muted)
    // anew; keys that do not parse are named once.
    void loadLimits(const QString &settingsPath);
    ElidedLabel *label() const { return alarmLabel; }
    // The tolerance a station ("iron", "hotair") is held to, for its
    // statistics: the default where its check is off.
    double tolerance(const QString &instrument) const { return tolerances.value(instrument); }
    QList<AlarmEvent> active() const { return monitor.active(); }
    // The status text in the current language.
    void applyLanguage();

    // The alarms one frame's readings start or end.
    void check(const QList<Reading> &readings);

signals:
    // The recording rows of alarms that started or ended.
    void AlarmRows_sig(const QList<Reading> &rows);
    // An alarm started and its sound was played (or would have been, muted).
    void AlarmSounded_sig();

private:
    void showState();

    AlarmMonitor monitor;
    QHash<QString, QList<QWidget *>> panels;
    ElidedLabel *alarmLabel = nullptr;
    QSoundEffect *sound = nullptr;
    bool bMuted = false;
    QStringList badKeys;
    QHash<QString, double> tolerances;
};
