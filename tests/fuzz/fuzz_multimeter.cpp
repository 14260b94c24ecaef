// The multimeter's display data: an arbitrary payload text through the segment
// decoder and the unit lookup. Invariants: every code names a lit cell of the
// 9 × 4 matrix, in row-major order, and every lit cell has its code.
#include "fuzzcheck.h"
#include "multimeterdisplay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QMap<QString, int> hexDigits = [] {
        QMap<QString, int> map;
        for (int digit = 0; digit < 16; ++digit)
            map.insert(QString::number(digit, 16).toUpper(), digit);
        return map;
    }();
    const QString payload = QString::fromLatin1(reinterpret_cast<const char *>(data), int(size));

    MultimeterDisplay::SegmentMatrix matrix{};
    const QStringList codes = MultimeterDisplay::decodeSegments(payload, hexDigits, matrix);
    int lit = 0;
    for (int row = 0; row < int(matrix.size()); ++row) {
        for (int column = 0; column < 4; ++column) {
            FUZZ_CHECK(matrix[row][column] == 0 || matrix[row][column] == 1);
            if (matrix[row][column]) {
                FUZZ_CHECK(lit < codes.size());
                FUZZ_CHECK(codes.at(lit) == QString::number(row) + QString::number(column));
                ++lit;
            }
        }
    }
    FUZZ_CHECK(lit == codes.size());

    const QString functionCode = payload.mid(6, 4);
    const QString unit =
        MultimeterDisplay::unitText(functionCode, MultimeterDisplay::unitCode(payload));
    FUZZ_CHECK(unit.size() <= 3);
    const MultimeterDisplay::State state = MultimeterDisplay::decode(functionCode, payload);
    FUZZ_CHECK(state.segmentCodes == codes && state.matrix == matrix && state.unitText == unit);
    FUZZ_CHECK(state.tableKey == bool(matrix[0][0]) && state.buzzer == bool(matrix[0][3]));
    return 0;
}
