#pragma once

#include "recordingreader.h"

#include <QList>
#include <QWidget>

#include <memory>

class HistoryNavigation;
class HistoryPlot;
class HistoryRecordingLoad;
class HistoryStore;
class QAction;
class QTimer;

namespace Ui {
class HistoryWindow;
}

// Looking back over the session: a plot per instrument on one time axis,
// statistics of the range in view, two cursors, export of the range, and
// recordings opened from files. Follows the newest readings until a zoom or
// a pan asks for another range.
class HistoryWindow : public QWidget
{
    Q_OBJECT

public:
    enum Span
    {
        OneMinute,
        TenMinutes,
        OneHour,
        Everything
    };

    // A window on the session's store, which outlives it.
    explicit HistoryWindow(const HistoryStore *store, QWidget *parent = nullptr);
    // A window of its own for a recording, read on a worker thread.
    static HistoryWindow *forRecording(const QString &path, QWidget *parent = nullptr);
    ~HistoryWindow() override;

    const HistoryStore *store() const { return m_store; }
    QList<HistoryPlot *> plots() const { return m_plots; }
    bool isFollowing() const { return m_following; }
    qint64 fromMs() const { return m_fromMs; }
    qint64 toMs() const { return m_toMs; }
    qint64 cursor(int index) const { return m_cursors[index & 1]; }
    bool isLoading() const;
    void setTolerances(double iron, double hotair);
    void applyLanguage();

public slots:
    // Shows [fromMs, toMs] and stops following.
    void setRange(qint64 fromMs, qint64 toMs);
    void setFollowing(bool following);
    void setSpan(int span);
    void setCursor(int index, qint64 timeMs);
    // Takes in new readings and redraws now (the timer does it while following).
    void refresh();
    bool exportPng(const QString &path);
    bool exportSvg(const QString &path);
    bool exportCsv(const QString &path);

signals:
    void openRecordingRequested(const QString &path);
    void recordingLoaded();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildPlots();
    void followNewest();
    void redraw();
    void placeCursor(qint64 timeMs);
    void showStatus(const QString &text);
    void startLoading(const QString &path);
    void loadingFinished(const RecordingReader::Result &result);
    void chooseExport(const char *filter, const char *suffix,
                      bool (HistoryWindow::*write)(const QString &));

    Ui::HistoryWindow *ui = nullptr;
    const HistoryStore *m_store = nullptr;
    std::unique_ptr<HistoryStore> m_ownStore;
    HistoryRecordingLoad *m_load = nullptr;
    QString m_recordingName;
    QList<HistoryPlot *> m_plots;
    QList<HistoryNavigation *> m_navigations;
    int m_keyCount = -1;
    QTimer *m_timer = nullptr;
    bool m_following = true;
    int m_span = TenMinutes;
    qint64 m_fromMs = 0;
    qint64 m_toMs = 0;
    qint64 m_shownLastMs = -2;
    qint64 m_tableFilledMs = 0;
    bool m_timerTick = false;
    qint64 m_cursors[2] = {-1, -1};
    int m_nextCursor = 0;
    double m_ironTolerance = 0;
    double m_hotairTolerance = 0;
    QAction *m_openAction = nullptr;
    QAction *m_pngAction = nullptr;
    QAction *m_svgAction = nullptr;
    QAction *m_csvAction = nullptr;
};
