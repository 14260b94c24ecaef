#pragma once

#include "recordingreader.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class HistoryStore;

// Reads a recording into a new store on a worker thread; progress and the
// result come back on the thread that started it.
class HistoryRecordingLoad : public QObject
{
    Q_OBJECT

public:
    explicit HistoryRecordingLoad(QObject *parent = nullptr);
    ~HistoryRecordingLoad() override;

    void start(const QString &path);
    void cancel() { cancelled = true; }
    bool isRunning() const { return watcher.isRunning(); }
    // The store read, once finished() came; the caller takes it over.
    std::unique_ptr<HistoryStore> takeStore();

signals:
    void progress(int percent);
    void finished(const RecordingReader::Result &result);

private:
    QFutureWatcher<RecordingReader::Result> watcher;
    std::unique_ptr<HistoryStore> store;
    std::atomic<bool> cancelled{false};
    std::atomic<int> lastPercent{-1};
};
