// The stations' records: an arbitrary payload text through the record decoder.
// Invariants: every number is finite, a displayed text is the value itself only
// when it reads as a finite number, and records have the fixed layout.
#include "fuzzcheck.h"
#include "stationrecords.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString payload = QString::fromLatin1(reinterpret_cast<const char *>(data), int(size));
    const auto records = StationRecords::parse(payload);
    if (!records)
        return 0;
    FUZZ_CHECK(records->size() <= 36);
    for (const StationRecords::Record &record : *records) {
        FUZZ_CHECK(record.value.size() <= 5);
        FUZZ_CHECK(record.unitCode.size() <= 4);
        const double number = StationRecords::number(record.value);
        FUZZ_CHECK(std::isfinite(number));
        const QString shown = StationRecords::displayText(record.value);
        if (shown != record.value)
            FUZZ_CHECK(shown == QLatin1String("0") && number == 0);
        else if (!shown.isEmpty())
            FUZZ_CHECK(std::isfinite(shown.toDouble()));
        StationRecords::unitText(record.unitCode);
    }
    return 0;
}
