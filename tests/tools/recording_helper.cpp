// Records a stream of all four instruments in a real main window until it is
// killed, for the crash-safety test. Prints the file path once, then after
// every frame the number of rows the recording has handed to the system.
// The caller sets HOME, so the recordings folder is the caller's to read.
#include "framebuilder.h"
#include "mainwindow.h"
#include "recordingcontrol.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    MainWindow window;
    window.findChild<QPushButton *>("pushButton_record")->click();
    const CsvRecorder &recorder = window.recording()->csvRecorder();
    if (!recorder.isRecording())
        return 1;
    std::printf("file %s\n", qPrintable(recorder.filePath()));
    std::fflush(stdout);

    const QStringList frames = {
        FrameBuilder::multimeter(0xFFFF, " 123", 0x0056, 0, {2}),
        FrameBuilder::station(
            0x0001, {FrameBuilder::record("12.50", 0x0056), FrameBuilder::record("0.5", 0x0041)}),
        FrameBuilder::station(
            0x0002, {FrameBuilder::record("350", 0x0043), FrameBuilder::record("348", 0x0043)}),
        FrameBuilder::station(0x0003, {FrameBuilder::record("300", 0x0043),
                                       FrameBuilder::record("295", 0x0043),
                                       FrameBuilder::record("40", 0x0025)}),
    };
    int next = 0;
    QTimer feed;
    QObject::connect(&feed, &QTimer::timeout, [&] {
        window.decipher(frames[next++ % frames.size()]);
        std::printf("rows %lld\n", static_cast<long long>(recorder.rowCount()));
        std::fflush(stdout);
    });
    feed.start(1);
    // Never outlives a test that lost track of it.
    QTimer::singleShot(120000, &app, &QCoreApplication::quit);
    return app.exec();
}
