#include "recordingcontrol.h"

#include "languagetext.h"
#include "recordingfolder.h"

#include <QAbstractButton>
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

namespace {

QString recordText(const char *entry)
{
    return languageText[QStringLiteral("ids_Record_Language/") + QLatin1String(entry)];
}

} // namespace

RecordingControl::RecordingControl(QStatusBar *statusBar, QAbstractButton *button, QAction *action,
                                   QObject *parent)
    : QObject(parent), statusBar(statusBar), recordButton(button), recordAction(action)
{
    recordingDot = new QLabel(QStringLiteral("\u25CF"), statusBar);
    recordingDot->setObjectName(QStringLiteral("recordingDot"));
    recordingDot->setStyleSheet(QStringLiteral("color: #d92b2b;"));
    statusBar->addWidget(recordingDot);
    recordingDot->hide();
    recordingLabel = new QLabel(statusBar);
    recordingLabel->setObjectName(QStringLiteral("recordingLabel"));
    recordingLabel->setTextFormat(Qt::PlainText);
    // Ignored: a long name must not widen the fixed-size window; the text is
    // elided to whatever width the status bar leaves.
    recordingLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    recordingLabel->installEventFilter(this);
    statusBar->addWidget(recordingLabel, 1);
    recordingLabel->hide();

    refreshTimer = new QTimer(this);
    refreshTimer->setInterval(1000);
    connect(refreshTimer, &QTimer::timeout, this, &RecordingControl::showLabel);
    savedTimer = new QTimer(this);
    savedTimer->setSingleShot(true);
    savedTimer->setInterval(kSavedShownMs);
    connect(savedTimer, &QTimer::timeout, this, [this] {
        if (message != Message::Saved)
            return;
        message = Message::None;
        showLabel();
    });
}

RecordingControl::~RecordingControl() = default;

void RecordingControl::toggle()
{
    if (isRecording())
        stop();
    else
        start();
}

void RecordingControl::start()
{
    const QString path =
        RecordingFolder::newFilePath(RecordingFolder::path(), QDateTime::currentDateTime());
    message = Message::None;
    savedTimer->stop();
    if (!recorder.start(path)) {
        fail(Message::CannotStart);
        return;
    }
    refreshTimer->start();
    showState();
}

void RecordingControl::stop()
{
    recorder.stop();
    refreshTimer->stop();
    message = Message::Saved;
    savedTimer->start();
    showState();
}

void RecordingControl::record(const QList<Reading> &readings)
{
    if (!recorder.append(readings))
        fail(Message::Stopped);
}

void RecordingControl::fail(Message kind)
{
    message = kind;
    failure = recorder.failure();
    refreshTimer->stop();
    savedTimer->stop();
    showState();
}

void RecordingControl::openFolder()
{
    const QString folder = RecordingFolder::path();
    QDir().mkpath(folder);
    // Without a file manager the user at least learns where the files are.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        statusBar->showMessage(QDir::toNativeSeparators(folder), 10000);
}

void RecordingControl::applyLanguage()
{
    showState();
}

void RecordingControl::showState()
{
    const bool recording = isRecording();
    recordButton->setIcon(QIcon(recording ? QStringLiteral(":/icon/recordStop.png")
                                          : QStringLiteral(":/icon/record.png")));
    const QString actionText = recordText(recording ? "ids_stopRecord" : "ids_record");
    recordButton->setToolTip(actionText);
    recordAction->setText(actionText);
    showLabel();
}

void RecordingControl::showLabel()
{
    const QString path = QDir::toNativeSeparators(recorder.filePath());
    const QFontMetrics metrics(recordingLabel->font());
    const int width = recordingLabel->contentsRect().width();
    recordingDot->setVisible(isRecording());
    if (isRecording()) {
        // The row count always shows; the name gets what room is left, and
        // none at all rather than a lone ellipsis.
        const QString rows = recordText("ids_rows").arg(recorder.rowCount());
        const QString gap = QStringLiteral("  ");
        const QString name = metrics.elidedText(QFileInfo(path).fileName(), Qt::ElideMiddle,
                                                width - metrics.horizontalAdvance(gap + rows));
        const QString text = name.size() > 1 ? name + gap + rows : rows;
        recordingLabel->setText(metrics.elidedText(text, Qt::ElideRight, width));
        recordingLabel->setToolTip(path);
        recordingLabel->show();
        return;
    }
    if (message == Message::None) {
        recordingLabel->hide();
        return;
    }
    if (message == Message::Saved) {
        // The name gets the room the rest of the text leaves, cut in its
        // middle, so that the row count stays in sight.
        const QString rows = QString::number(recorder.rowCount());
        const QString saved = recordText("ids_saved");
        const int room = width - metrics.horizontalAdvance(saved.arg(QString(), rows));
        const QString name = metrics.elidedText(QFileInfo(path).fileName(), Qt::ElideMiddle, room);
        recordingLabel->setText(metrics.elidedText(saved.arg(name, rows), Qt::ElideRight, width));
        recordingLabel->setToolTip(saved.arg(path, rows));
        recordingLabel->show();
        return;
    }
    // The label names the file and keeps the reason at its end in sight; the
    // tool tip has the whole message with the full path.
    const char *entry = message == Message::CannotStart ? "ids_cannotStart" : "ids_stopped";
    const QString reason = failure.reasonText();
    const QString shown = recordText(entry).arg(QFileInfo(path).fileName(), reason);
    recordingLabel->setText(metrics.elidedText(shown, Qt::ElideMiddle, width));
    recordingLabel->setToolTip(recordText(entry).arg(path, reason));
    recordingLabel->show();
}

bool RecordingControl::eventFilter(QObject *watched, QEvent *event)
{
    // The label's width follows the window's view: elide anew when it changes.
    if (watched == recordingLabel && event->type() == QEvent::Resize &&
        (isRecording() || message != Message::None))
        showLabel();
    return QObject::eventFilter(watched, event);
}
