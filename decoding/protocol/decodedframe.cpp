#include "decodedframe.h"

#include "readings.h"

DecodedFrame DecodedFrame::of(const QString &frame, const QDateTime &time)
{
    DecodedFrame decoded;
    decoded.check = C1Frame::check(frame);
    if (!decoded.check.checksumOk)
        return decoded;
    decoded.deviceKind = C1Frame::deviceKindOf(decoded.check.strFunCode);
    decoded.instrument = Readings::instrumentName(decoded.deviceKind);
    if (decoded.deviceKind == C1Frame::Multimeter) {
        decoded.multimeter =
            MultimeterDisplay::decode(decoded.check.strFunCode, decoded.check.strPayload);
        decoded.readings =
            Readings::multimeter(decoded.check.strFunCode, decoded.multimeter.segmentCodes,
                                 decoded.multimeter.unitCode, time);
    } else if (decoded.deviceKind >= 0) {
        decoded.records = StationRecords::parse(decoded.check.strPayload);
        if (decoded.records)
            decoded.readings = Readings::station(decoded.deviceKind, *decoded.records, time);
    }
    return decoded;
}
