#pragma once

#include "csvrecorder.h"
#include "recordingfailure.h"

#include <QObject>

class QAbstractButton;
class QAction;
class QLabel;
class QStatusBar;
class QTimer;

// Recording in the window: the record button and menu action start and stop a
// CSV file in the recordings folder; a label in the status bar shows a red dot,
// the file name and the row count while recording, the file and its rows for
// a few seconds after the stop, or why recording stopped.
// Nothing runs per frame while no recording is open.
class RecordingControl : public QObject
{
    Q_OBJECT

public:
    static constexpr int kSavedShownMs = 5000;

    RecordingControl(QStatusBar *statusBar, QAbstractButton *button, QAction *action,
                     QObject *parent = nullptr);
    ~RecordingControl() override;

    bool isRecording() const { return recorder.isRecording(); }
    const CsvRecorder &csvRecorder() const { return recorder; }
    QLabel *label() const { return recordingLabel; }

    // Writes the readings of one decoded frame; a failed write stops the
    // recording and says why.
    void record(const QList<Reading> &readings);
    void toggle();
    // Opens the recordings folder in the desktop's file manager.
    void openFolder();
    // Button tool tip, action text and status texts in the current language.
    void applyLanguage();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Message
    {
        None,
        CannotStart,
        Stopped,
        Saved // the user stopped: where the rows went
    };

    void start();
    void stop();
    void fail(Message message);
    void showState();
    void showLabel();

    CsvRecorder recorder;
    QStatusBar *statusBar;
    QAbstractButton *recordButton;
    QAction *recordAction;
    QLabel *recordingDot;
    QLabel *recordingLabel;
    QTimer *refreshTimer;
    QTimer *savedTimer; // how long Saved is shown
    // The last failure, kept so a language switch words it anew.
    Message message = Message::None;
    RecordingFailure failure;
};
