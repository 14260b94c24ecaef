#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>

class QSerialPort;

// Raw chunks from the port reader to the frame-splitting worker, oldest first.
// Every access happens while receiveMutex is held.
extern QList<QByteArray> receiveQueue;
extern QMutex receiveMutex;

// The program's one serial port, created by the main window.
extern QSerialPort *serialPort;
