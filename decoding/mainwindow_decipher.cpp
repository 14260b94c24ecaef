// Frame checks and routing of MainWindow.
#include "mainwindow.h"

#include "c1frame.h"

#include <QDebug>
#include <QTimer>

void MainWindow::decipher(const QString &frame)
{
    m_receiveTimer->start(1000);
    qDebug().noquote() << "data" << frame;
    strFrame = frame;

    const C1Frame::Check check = C1Frame::check(frame);
    if (!check.markersOk)
        return;
    nDataLen = check.nDataLen;
    strPayload = check.strPayload;
    if (!check.checksumOk)
        return;
    strFunCode = check.strFunCode;

    switch (C1Frame::deviceKindOf(strFunCode)) {
    case C1Frame::Multimeter:
        nDevType = C1Frame::Multimeter;
        parseMulData();
        break;
    case C1Frame::SolderingIron:
        nIronSilence = 0;
        nDevType = C1Frame::SolderingIron;
        parseDevData();
        break;
    case C1Frame::HotAirGun:
        nAirgunSilence = 0;
        nDevType = C1Frame::HotAirGun;
        parseDevData();
        break;
    case C1Frame::PowerSupply:
        nPowerSilence = 0;
        nDevType = C1Frame::PowerSupply;
        parseDevData();
        break;
    default:
        break; // a code no instrument sends: ignored
    }
}
