#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    auto *window = new MainWindow;
    app.setStyleSheet("QHeaderView::section {    background: black;    color: white;}");
    window->show();
    const int exitCode = app.exec();
    delete window;
    return exitCode;
}
