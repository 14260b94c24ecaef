// The version dialog: the program's version or the one the settings file names,
// and the run of nine quick presses on the icon that brings up the owner notice.
// Its texts are checked with every other window's in tst_languages.

#include <QApplication>

#include "languagetext.h"
#include "programversion.h"
#include "settinginfo.h"
#include "testenvironment.h"
#include "vision_dialog.h"

#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>

namespace {

void press(QWidget *target, Qt::MouseButton button = Qt::LeftButton,
           QEvent::Type type = QEvent::MouseButtonPress)
{
    QMouseEvent event(type, QPointF(5, 5), target->mapToGlobal(QPoint(5, 5)), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void pressTimes(QWidget *target, int count)
{
    for (int i = 0; i < count; ++i)
        press(target);
}

} // namespace

class TestVersionDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void showsVersion();
    void ninePressesOpenNotice();
    void slowPressDiscardsRun();
    void otherPressesDoNotCount();

private:
    QLabel *icon(Vision_Dialog &dialog) { return dialog.findChild<QLabel *>("label"); }
};

void TestVersionDialog::init()
{
    QFile::remove(settingsFilePath());
    savedSetting = SettingInfo();
    curSetting = SettingInfo();
    languageText.clear();
    languageText.setText("Remind_Language/ids_ok", "Understood");
}

void TestVersionDialog::cleanup()
{
    QFile::remove(settingsFilePath());
}

void TestVersionDialog::showsVersion()
{
    loadSettings(); // no file yet: the default file has no version, the build has
    {
        Vision_Dialog dialog;
        QVERIFY(!programVersion().isEmpty());
        QCOMPARE(dialog.findChild<QLabel *>("label_versionNum")->text(), programVersion());
    }

    {
        QSettings file(settingsFilePath(), QSettings::IniFormat);
        file.setValue("Configue/strVersion", "V2.4.0 build 17");
    }
    loadSettings();
    Vision_Dialog dialog;
    QCOMPARE(dialog.findChild<QLabel *>("label_versionNum")->text(), QString("V2.4.0 build 17"));
}

void TestVersionDialog::ninePressesOpenNotice()
{
    Vision_Dialog dialog;
    pressTimes(icon(dialog), 8);
    QVERIFY(!dialog.noticeBox());
    press(icon(dialog));
    QMessageBox *box = dialog.noticeBox();
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QCOMPARE(box->text(), Vision_Dialog::noticeText());
    QCOMPARE(box->button(QMessageBox::Yes)->text(), QString("Understood"));

    // Presses while the notice is open change nothing.
    pressTimes(icon(dialog), 3);
    QCOMPARE(dialog.noticeBox(), box);

    box->button(QMessageBox::Yes)->click();
    QTRY_VERIFY(!dialog.noticeBox());

    // Closing starts the count afresh: eight presses are not enough again.
    pressTimes(icon(dialog), 8);
    QVERIFY(!dialog.noticeBox());
    press(icon(dialog));
    QVERIFY(dialog.noticeBox());
}

void TestVersionDialog::slowPressDiscardsRun()
{
    Vision_Dialog dialog;
    pressTimes(icon(dialog), 5);
    QTest::qWait(650);
    // The late press ends the run and counts nothing itself...
    press(icon(dialog));
    // ...so a new run needs nine more presses.
    pressTimes(icon(dialog), 8);
    QVERIFY(!dialog.noticeBox());
    press(icon(dialog));
    QVERIFY(dialog.noticeBox());
}

void TestVersionDialog::otherPressesDoNotCount()
{
    Vision_Dialog dialog;
    for (int i = 0; i < 9; ++i)
        press(icon(dialog), Qt::RightButton);
    pressTimes(dialog.findChild<QLabel *>("label_2"), 9);
    QVERIFY(!dialog.noticeBox());

    // A double click delivers a press and a double-click event; both count.
    for (int i = 0; i < 4; ++i) {
        press(icon(dialog));
        press(icon(dialog), Qt::LeftButton, QEvent::MouseButtonDblClick);
    }
    QVERIFY(!dialog.noticeBox());
    press(icon(dialog));
    QVERIFY(dialog.noticeBox());
}

KORVANTA_TEST_MAIN(QApplication, TestVersionDialog)
#include "tst_versiondialog.moc"
