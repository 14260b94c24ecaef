#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>

namespace Ui {
class Vision_Dialog;
}

// The "about" window: program icon, product name and the program's version (or
// the one the settings file names). Nine quick presses on the icon bring up the owner notice.
class Vision_Dialog : public QDialog
{
    Q_OBJECT

public:
    explicit Vision_Dialog(QWidget *parent = nullptr);
    ~Vision_Dialog() override;

    // Writes the caption and the window title of the current language.
    void applyLanguage();
    // Counts left presses on the icon; never consumes an event.
    bool eventFilter(QObject *watched, QEvent *event) override;

    // The owner notice while it is open, null otherwise.
    QMessageBox *noticeBox() const { return boxNotice; }
    // The fixed notice text; it does not follow the language.
    static QString noticeText();

private:
    void showNotice();
    void resetClicks();

    int clickCount = 0;
    // Time of the last counted press on clickClock, a monotonic clock, so that
    // neither a minute boundary nor a change of the wall clock can fake a quick run.
    qint64 lastClickMs = 0;
    QElapsedTimer clickClock;
    Ui::Vision_Dialog *ui = nullptr;
    QPointer<QMessageBox> boxNotice;
};
