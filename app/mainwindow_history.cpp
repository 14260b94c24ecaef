// The history of MainWindow: the session's store, fed with every frame's
// readings and alarm rows whether the history window is open or not, and the
// history windows on it and on recordings.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "alarmcontrol.h"
#include "historystore.h"
#include "historywindow.h"
#include "languagetext.h"

#include <QAction>
#include <QMenu>

void MainWindow::createHistory()
{
    historyStore = new HistoryStore;
    connect(this, &MainWindow::ReadingsDecoded_sig, this,
            [this](const QList<Reading> &readings) { historyStore->add(readings); });
    connect(alarmControl, &AlarmControl::AlarmRows_sig, this,
            [this](const QList<Reading> &rows) { historyStore->add(rows); });

    historyAction = new QAction(this);
    viewMenu->insertAction(recordAction, historyAction);
    connect(historyAction, &QAction::triggered, this, &MainWindow::actHistoryClick);
}

void MainWindow::on_pushButton_history_clicked()
{
    actHistoryClick();
}

void MainWindow::actHistoryClick()
{
    if (!historyWnd) {
        // A child window: above the main window, not on top of everything else.
        historyWnd = new HistoryWindow(historyStore, this);
        connect(historyWnd, &HistoryWindow::openRecordingRequested, this,
                &MainWindow::openRecording);
        applyHistoryTolerances(historyWnd);
    }
    historyWnd->show();
    historyWnd->raise();
    historyWnd->activateWindow();
}

HistoryWindow *MainWindow::openRecording(const QString &path)
{
    HistoryWindow *window = HistoryWindow::forRecording(path, this);
    connect(window, &HistoryWindow::openRecordingRequested, this, &MainWindow::openRecording);
    applyHistoryTolerances(window);
    window->show();
    window->raise();
    return window;
}

void MainWindow::applyHistoryTolerances(HistoryWindow *window) const
{
    window->setTolerances(alarmControl->tolerance(QStringLiteral("iron")),
                          alarmControl->tolerance(QStringLiteral("hotair")));
}

void MainWindow::applyHistoryLanguage()
{
    historyAction->setText(languageText["ids_History_Language/ids_history"]);
    ui->pushButton_history->setToolTip(languageText["ids_History_Language/ids_history"]);
    for (HistoryWindow *window :
         findChildren<HistoryWindow *>(QString(), Qt::FindDirectChildrenOnly))
        window->applyLanguage();
}
