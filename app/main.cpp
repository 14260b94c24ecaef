#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Set before the window is built, so that its widgets are polished with it
    // as they are made: set afterwards, it had every widget polished again, and
    // a widget under a style sheet once more for each style sheet above it.
    app.setStyleSheet("QHeaderView::section {    background: black;    color: white;}");
    auto *window = new MainWindow;
    window->show();
    const int exitCode = app.exec();
    delete window;
    return exitCode;
}
