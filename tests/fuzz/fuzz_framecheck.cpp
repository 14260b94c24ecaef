// The checks and the routing of one received frame, with the decoders behind
// them. Invariants: a frame the splitter finds intact passes the decoder's
// checks; every station number is finite; segment codes name matrix cells.
#include "c1frame.h"
#include "fuzzcheck.h"
#include "multimeterdisplay.h"
#include "stationrecords.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const QString frame = QString::fromLatin1(bytes);
    const C1Frame::Check check = C1Frame::check(frame);

    const int chars = C1Frame::charsForPayloadLength(C1Frame::payloadLengthAt(bytes, 0));
    if (bytes.size() == chars && C1Frame::isIntact(bytes, 0, chars)) {
        FUZZ_CHECK(check.markersOk && check.checksumOk);
        FUZZ_CHECK(check.nDataLen == C1Frame::payloadLengthAt(bytes, 0));
    }
    if (!check.checksumOk)
        return 0;
    FUZZ_CHECK(check.markersOk);
    FUZZ_CHECK(check.strFunCode.size() <= 4);

    const int kind = C1Frame::deviceKindOf(check.strFunCode);
    FUZZ_CHECK(kind >= -1 && kind <= C1Frame::HotAirGun);
    if (kind == C1Frame::Multimeter) {
        QMap<QString, int> hexDigits;
        for (int digit = 0; digit < 16; ++digit)
            hexDigits.insert(QString::number(digit, 16).toUpper(), digit);
        MultimeterDisplay::SegmentMatrix matrix{};
        for (const QString &code :
             MultimeterDisplay::decodeSegments(check.strPayload, hexDigits, matrix)) {
            FUZZ_CHECK(code.size() == 2);
            FUZZ_CHECK(matrix.at(code[0].digitValue()).at(code[1].digitValue()) == 1);
        }
        MultimeterDisplay::unitText(check.strFunCode,
                                    MultimeterDisplay::unitCode(check.strPayload));
    } else if (kind > 0) {
        if (const auto records = StationRecords::parse(check.strPayload)) {
            for (const StationRecords::Record &record : *records)
                FUZZ_CHECK(std::isfinite(StationRecords::number(record.value)));
        }
    }
    return 0;
}
