// The program's window as the program builds it, with switches for measuring
// it from bench/soak and by hand (the program itself takes no options):
//   --record           starts a recording with the record button once the
//                      stored port is open
//   --history          opens the history window at once
//   --history-span I   and chooses its span I (0: 1 min, 1: 10 min, 2: 1 h, 3: everything)
//   --paints SECONDS   counts the paint events of every widget for SECONDS,
//                      prints the counts per second and quits
#include "historywindow.h"
#include "mainwindow.h"
#include "receivequeue.h"
#include "recordingcontrol.h"

#include <QApplication>
#include <QComboBox>
#include <QMap>
#include <QPushButton>
#include <QSerialPort>
#include <QTimer>

#include <cstdio>

namespace {

class PaintCounter : public QObject
{
public:
    QMap<QString, int> counts;
    int windowPasses = 0; // the window's repaint requests that painted something

private:
    bool passPending = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // A request counts as a pass when a paint follows it before the next.
        if (event->type() == QEvent::UpdateRequest && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->isWindow())
            passPending = true;
        if (event->type() == QEvent::Paint) {
            windowPasses += passPending;
            passPending = false;
            const QString name = watched->objectName().isEmpty()
                                     ? QString::fromLatin1(watched->metaObject()->className())
                                     : watched->objectName();
            const QObject *parent = watched->parent();
            ++counts[(parent ? parent->objectName() + QLatin1Char('/') : QString()) + name];
        }
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    bool record = false;
    bool history = false;
    int historySpan = -1;
    int paintSeconds = 0;
    const QStringList arguments = app.arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--record")) {
            record = true;
        } else if (arguments[i] == QLatin1String("--history")) {
            history = true;
        } else if (arguments[i] == QLatin1String("--history-span") && i + 1 < arguments.size()) {
            history = true;
            historySpan = arguments[++i].toInt();
        } else if (arguments[i] == QLatin1String("--paints") && i + 1 < arguments.size()) {
            paintSeconds = arguments[++i].toInt();
        } else {
            std::fprintf(stderr, "usage: bench_window [--record] [--history] [--history-span I] "
                                 "[--paints SECONDS]\n");
            return 2;
        }
    }

    auto *window = new MainWindow;
    app.setStyleSheet("QHeaderView::section {    background: black;    color: white;}");
    window->show();

    if (history)
        window->findChild<QPushButton *>(QStringLiteral("pushButton_history"))->click();
    if (historySpan >= 0)
        window->historyWindow()
            ->findChild<QComboBox *>(QStringLiteral("comboBox_span"))
            ->setCurrentIndex(historySpan);
    if (record) {
        QTimer::singleShot(0, window, [window] {
            if (!serialPort->isOpen()) {
                std::fprintf(stderr, "bench_window: the stored port did not open\n");
                QCoreApplication::exit(1);
                return;
            }
            window->findChild<QPushButton *>(QStringLiteral("pushButton_record"))->click();
            if (!window->recording()->isRecording()) {
                std::fprintf(stderr, "bench_window: recording did not start\n");
                QCoreApplication::exit(1);
            }
        });
    }

    PaintCounter counter;
    if (paintSeconds > 0) {
        app.installEventFilter(&counter);
        QTimer::singleShot(paintSeconds * 1000, &app, [&] {
            for (auto it = counter.counts.begin(); it != counter.counts.end(); ++it)
                std::printf("%8.1f/s  %s\n", double(it.value()) / paintSeconds,
                            qPrintable(it.key()));
            std::printf("%8.1f/s  window repaint passes\n",
                        double(counter.windowPasses) / paintSeconds);
            QCoreApplication::quit();
        });
    }
    const int exitCode = app.exec();
    delete window;
    return exitCode;
}
