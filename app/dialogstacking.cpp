#include "dialogstacking.h"

#include <QWidget>
#include <QWindow>

namespace DialogStacking {

void keepAbove(QWidget *mainWindow, const QList<QWidget *> &dialogs)
{
    // The native windows are made now, before either is shown: a window
    // manager reads the transient parent when the dialog is mapped.
    mainWindow->winId();
    for (QWidget *dialog : dialogs) {
        dialog->winId();
        dialog->windowHandle()->setTransientParent(mainWindow->windowHandle());
    }
}

} // namespace DialogStacking
