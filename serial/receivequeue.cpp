#include "receivequeue.h"

QList<QByteArray> receiveQueue;
QMutex receiveMutex;
QSerialPort *serialPort = nullptr;
