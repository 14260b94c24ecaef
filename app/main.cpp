#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Set before the window is built, so that each widget is polished once
    // with it: set afterwards, it had every widget under a style sheet
    // polished again, once for each style sheet above it.
    app.setStyleSheet("QHeaderView::section {    background: black;    color: white;}");
    auto *window = new MainWindow;
    window->show();
    const int exitCode = app.exec();
    delete window;
    return exitCode;
}
