// Frame checks and routing of MainWindow.
#include "mainwindow.h"

#include "decodedframe.h"

#include <QDebug>
#include <QTimer>

void MainWindow::decipher(const QString &frame)
{
    m_receiveTimer->start(1000);
    qDebug().noquote() << "data" << frame;
    strFrame = frame;

    const DecodedFrame decoded = DecodedFrame::of(frame, frameClock.now());
    if (!decoded.check.markersOk)
        return;
    nDataLen = decoded.check.nDataLen;
    strPayload = decoded.check.strPayload;
    if (!decoded.check.checksumOk)
        return;
    strFunCode = decoded.check.strFunCode;

    switch (decoded.deviceKind) {
    case C1Frame::Multimeter:
        nDevType = C1Frame::Multimeter;
        parseMulData(decoded.multimeter);
        break;
    case C1Frame::SolderingIron:
        nIronSilence = 0;
        nDevType = C1Frame::SolderingIron;
        parseDevData(decoded.records);
        break;
    case C1Frame::HotAirGun:
        nAirgunSilence = 0;
        nDevType = C1Frame::HotAirGun;
        parseDevData(decoded.records);
        break;
    case C1Frame::PowerSupply:
        nPowerSilence = 0;
        nDevType = C1Frame::PowerSupply;
        parseDevData(decoded.records);
        break;
    default:
        return; // a code no instrument sends: ignored
    }
    if (!decoded.readings.isEmpty())
        emit ReadingsDecoded_sig(decoded.readings);
}
