#pragma once

#include <QList>

class QWidget;

namespace DialogStacking {

// Makes each dialog a transient window of the main window: the window manager
// then keeps it above the main window, which stays on top of everything else,
// and raises it with the main window when it is activated. The dialogs keep
// no Qt parent.
void keepAbove(QWidget *mainWindow, const QList<QWidget *> &dialogs);

} // namespace DialogStacking
