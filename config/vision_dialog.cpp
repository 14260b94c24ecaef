#include "vision_dialog.h"

#include "languagetext.h"
#include "programversion.h"
#include "settinginfo.h"
#include "textfit.h"
#include "ui_vision_dialog.h"

#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>

namespace {
// Presses further apart than this end a run.
constexpr qint64 kQuickPressMs = 500;
// The ninth quick press in a row shows the notice.
constexpr int kPressesBeforeNotice = 8;
} // namespace

Vision_Dialog::Vision_Dialog(QWidget *parent) : QDialog(parent), ui(new Ui::Vision_Dialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    applyLanguage();
    // The version does not change while the program runs. A version put into
    // the settings file by hand wins; otherwise the build's own version.
    ui->label_versionNum->setText(savedSetting.strVersion.isEmpty() ? programVersion()
                                                                    : savedSetting.strVersion);
    ui->label->installEventFilter(this);
    clickClock.start();
}

Vision_Dialog::~Vision_Dialog()
{
    delete boxNotice; // it has no parent
    delete ui;
}

void Vision_Dialog::applyLanguage()
{
    ui->label_version->setText(
        fitText(ui->label_version, languageText["ids_MenuBar_Language/ids_versionNum"]));
    setWindowTitle(languageText["ids_MenuBar_Language/ids_version"]);
}

QString Vision_Dialog::noticeText()
{
    return QStringLiteral("Korvanta is the property of its owner and is protected by copyright.\n\n"
                          "All rights reserved. The program may not be copied, changed or passed "
                          "on without the owner's written permission.");
}

bool Vision_Dialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != ui->label)
        return false;
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
        return false;
    if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
        return false;
    // While the notice is open the dialog takes no input.
    if (boxNotice && boxNotice->isVisible())
        return false;

    const qint64 now = clickClock.elapsed();
    if (clickCount == 0) {
        lastClickMs = now;
        clickCount = 1;
    } else if (now - lastClickMs > kQuickPressMs) {
        // Too slow: the run is over and this press does not start a new one.
        resetClicks();
    } else if (clickCount < kPressesBeforeNotice) {
        lastClickMs = now;
        ++clickCount;
    } else {
        showNotice();
    }
    return false;
}

void Vision_Dialog::showNotice()
{
    // Shown without blocking; the count starts again once the box is closed.
    boxNotice = new QMessageBox;
    boxNotice->setAttribute(Qt::WA_DeleteOnClose);
    boxNotice->setText(noticeText());
    boxNotice->addButton(QMessageBox::Yes);
    boxNotice->button(QMessageBox::Yes)->setText(languageText["Remind_Language/ids_ok"]);
    boxNotice->setWindowModality(Qt::ApplicationModal);
    connect(boxNotice, &QDialog::finished, this, &Vision_Dialog::resetClicks);
    boxNotice->show();
}

void Vision_Dialog::resetClicks()
{
    clickCount = 0;
    lastClickMs = 0;
}
