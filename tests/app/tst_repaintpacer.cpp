// A window paced while its condition holds: fewer passes than requests, the
// last change always painted, and every request painted once it no longer holds.
#include "repaintpacer.h"
#include "testenvironment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QtTest>

namespace {

// Remembers what it showed at its last paint.
class Display : public QWidget
{
public:
    using QWidget::QWidget;
    QString text;
    QString painted;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *) override
    {
        ++paints;
        painted = text;
    }
};

// Changes the display every 5 ms for `ms` and returns how often it was painted.
int paintsWhileChanging(Display *display, int ms)
{
    const int before = display->paints;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        display->text = QString::number(clock.nsecsElapsed());
        display->update();
        QTest::qWait(5);
    }
    return display->paints - before;
}

} // namespace

class RepaintPacerTest : public QObject
{
    Q_OBJECT

private slots:
    void pacesOnlyWhileTheConditionHolds()
    {
        QWidget window;
        auto *display = new Display(&window);
        display->resize(80, 40);
        window.resize(100, 60);
        bool streaming = true;
        auto *pacer = new RepaintPacer(&window, 100, [&] { return streaming; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // About 120 changes in 600 ms: at most one pass per 100 ms.
        const int paced = paintsWhileChanging(display, 600);
        QVERIFY2(paced >= 3 && paced <= 8, qPrintable(QString::number(paced)));
        QTRY_COMPARE_WITH_TIMEOUT(display->painted, display->text, 1000);
        QVERIFY(!pacer->isHolding());

        // The link calm again: every change is painted as it comes.
        streaming = false;
        const int unpaced = paintsWhileChanging(display, 600);
        QVERIFY2(unpaced >= 30, qPrintable(QString::number(unpaced)));
        QTRY_COMPARE_WITH_TIMEOUT(display->painted, display->text, 1000);
    }

    void resizeAndExposePaintAtOnce()
    {
        QWidget window;
        auto *display = new Display(&window);
        window.resize(100, 60);
        new RepaintPacer(&window, 10000, [] { return true; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // A request is held for ten seconds from here ...
        display->text = "held";
        display->update();
        QTest::qWait(50);
        display->text = "resized";
        display->resize(90, 50);
        window.resize(120, 80);
        // ... but the new size is painted at once.
        QTRY_COMPARE_WITH_TIMEOUT(display->painted, QString("resized"), 2000);
    }
};

KORVANTA_TEST_MAIN(QApplication, RepaintPacerTest)
#include "tst_repaintpacer.moc"
