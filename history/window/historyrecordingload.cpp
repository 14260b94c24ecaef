#include "historyrecordingload.h"

#include "historystore.h"

#include <QMetaObject>
#include <QtConcurrent>

HistoryRecordingLoad::HistoryRecordingLoad(QObject *parent) : QObject(parent)
{
    connect(&watcher, &QFutureWatcher<RecordingReader::Result>::finished, this,
            [this] { emit finished(watcher.result()); });
}

HistoryRecordingLoad::~HistoryRecordingLoad()
{
    // The worker writes into the store: it must be done before the store goes.
    cancelled = true;
    watcher.waitForFinished();
}

void HistoryRecordingLoad::start(const QString &path)
{
    store = std::make_unique<HistoryStore>();
    cancelled = false;
    HistoryStore *target = store.get();
    watcher.setFuture(QtConcurrent::run([this, path, target] {
        return RecordingReader::read(path, *target, [this](int percent) {
            if (percent != lastPercent.exchange(percent))
                QMetaObject::invokeMethod(
                    this, [this, percent] { emit progress(percent); }, Qt::QueuedConnection);
            return !cancelled.load();
        });
    }));
}

std::unique_ptr<HistoryStore> HistoryRecordingLoad::takeStore()
{
    if (watcher.isRunning())
        return nullptr;
    return std::move(store);
}
