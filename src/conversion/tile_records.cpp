#include "conversion/tile_records.h"

#include <algorithm>
#include <bit>

#include "base/errors.h"
#include "conversion/checked_int.h"
#include "conversion/number_codec.h"
#include "formats/level_record.h"

namespace quorbel::modModule {
namespace {

[[noreturn, gnu::noinline, gnu::cold]] void ThrowNotAByte(std::int32_t value, const char* what) {
    throw InvalidArgumentError(std::string("invalid argument: ") + what + " " + IntegerText(value) +
                               " is not a byte value 0..255");
}

inline char ByteCharacter(std::int32_t value, const char* what) {
    if (value < 0 || value > 255) {
        ThrowNotAByte(value, what);
    }
    return static_cast<char>(static_cast<unsigned char>(value));
}

// Within 0..4095 both coordinates fill their own 12 bits, and the text route of SplitCoordinates
// gives exactly the bytes of EncodeLevelRecord: the arithmetic route is taken there, the text
// route everywhere else.
bool IsPlainCoordinate(std::int64_t value) {
    return value >= 0 && value <= kLargestCoordinate;
}

// The record of any pixel through SplitCoordinates, which yields once.
void AppendTextRouteRecord(std::string& records, std::int32_t x, std::int32_t y,
                           std::int16_t TileNumber, EventPump& pump) {
    std::int16_t byte0 = 0;
    std::int16_t byte1 = 0;
    std::int16_t byte2 = 0;
    SplitCoordinates(byte0, byte1, byte2, x, y, pump);
    const char record[4] = {
        ByteCharacter(byte0, "record byte 0"), ByteCharacter(byte1, "record byte 1"),
        ByteCharacter(byte2, "record byte 2"), ByteCharacter(TileNumber, "tile number")};
    records.append(record, sizeof record);
}

void RequireRowCoversWidth(std::int32_t width, std::size_t rowBytes) {
    const std::int64_t rowBits = 8 * static_cast<std::int64_t>(rowBytes);
    if (width > rowBits) {
        throw TypeMismatchError("type mismatch: width " + IntegerText(width) +
                                " is more than the row's " + IntegerText(rowBits) + " bits");
    }
}

// Per bit value, the mask that keeps the bits that become tiles.
struct TileMasks {
    unsigned ofOnes;
    unsigned ofZeros;
    unsigned TileBits(char byte) const {
        const unsigned value = static_cast<unsigned char>(byte);
        return (value & ofOnes) | (~value & ofZeros);
    }
};

TileMasks TileMasksOf(const ColorMapValues& ColorMap) {
    return TileMasks{ColorMap[1] == 1 ? 0xFFu : 0u, ColorMap[0] == 1 ? 0xFFu : 0u};
}

// The records of a row. With kYield, every record first yields to pump (a window keeps serving
// its events); without, the stop flag is looked at once, after the row.
template <bool kYield>
std::size_t EncodeRecords(char* out, std::string_view row, std::int64_t examined, std::int32_t y,
                          const RecordValues& values, EventPump& pump) {
    const TileMasks masks = TileMasksOf(values.ColorMap);
    char* next = out;
    std::uint32_t rowWord = 0;  // y and the tile number, once the first tile pixel checked it
    bool tileChecked = false;
    for (std::int64_t first = 0; first < examined; first += 8) {
        unsigned tiles = masks.TileBits(row[static_cast<std::size_t>(first >> 3)]);
        if (examined - first < 8) {
            tiles &= 0xFFu << (8 - (examined - first));  // bits past the width make nothing
        }
        if (tiles == 0) {
            continue;
        }
        const auto x0 = static_cast<std::uint32_t>(first);
        if (!kYield && tileChecked && tiles == 0xFF) {
            for (std::uint32_t i = 0; i < 8; ++i) {
                StoreLevelRecordWord(next + kLevelRecordSize * i, rowWord | (x0 + i));
            }
            next += 8 * kLevelRecordSize;
            continue;
        }
        // The most significant bit is the first pixel: take the tile pixels from the left.
        for (std::uint32_t left = tiles << 24; left != 0;) {
            const auto bit = static_cast<std::uint32_t>(std::countl_zero(left));
            left ^= 0x80000000u >> bit;
            if constexpr (kYield) {
                DoEvents(pump);
            }
            if (!tileChecked) {
                const auto tile =
                    static_cast<std::uint8_t>(ByteCharacter(values.TileNumber, "tile number"));
                rowWord = LevelRecordWord(0, static_cast<std::uint32_t>(y), tile);
                tileChecked = true;
            }
            StoreLevelRecordWord(next, rowWord | (x0 + bit));
            next += kLevelRecordSize;
        }
    }
    return static_cast<std::size_t>(next - out);
}

}  // namespace

bool RowFitsRecords(std::int32_t width, std::int32_t y) {
    return IsPlainCoordinate(y) && (width <= 0 || IsPlainCoordinate(width - 1));
}

std::size_t EncodeRowInto(char* out, std::string_view row, std::int32_t width, std::int32_t y,
                          const RecordValues& values, EventPump& pump) {
    if (width <= 0) {
        return 0;
    }
    const std::int64_t examined = std::min<std::int64_t>(width, 8 * std::int64_t(row.size()));
    // A console has no events to process: the records are written without a call each.
    const bool yieldEveryRecord = pump.HasEventsToProcess();
    const std::size_t written = yieldEveryRecord
                                    ? EncodeRecords<true>(out, row, examined, y, values, pump)
                                    : EncodeRecords<false>(out, row, examined, y, values, pump);
    RequireRowCoversWidth(width, row.size());
    if (!yieldEveryRecord && pump.StopRequested()) {
        throw RunInterrupted{};
    }
    return written;
}

std::string EncodeRow(const std::string& row, std::int32_t width, std::int32_t y,
                      const RecordValues& values, EventPump& pump) {
    std::string records;
    if (width <= 0) {
        return records;
    }
    if (RowFitsRecords(width, y)) {
        const auto examined =
            std::min<std::size_t>(static_cast<std::size_t>(width), 8 * row.size());
        records.resize(kLevelRecordSize * examined);
        records.resize(EncodeRowInto(records.data(), row, width, y, values, pump));
        return records;
    }
    const std::int64_t examined = std::min<std::int64_t>(width, 8 * std::int64_t(row.size()));
    const TileMasks masks = TileMasksOf(values.ColorMap);
    for (std::int64_t x = 0; x < examined; ++x) {
        const unsigned tiles = masks.TileBits(row[static_cast<std::size_t>(x >> 3)]);
        if (((tiles >> (7 - (x & 7))) & 1u) != 0) {
            records += TileRecord(static_cast<std::int32_t>(x), y, values.TileNumber, pump);
        }
    }
    RequireRowCoversWidth(width, row.size());
    return records;
}

std::string TileRecord(std::int32_t x, std::int32_t y, std::int16_t TileNumber, EventPump& pump) {
    std::string record;
    if (IsPlainCoordinate(x) && IsPlainCoordinate(y)) {
        DoEvents(pump);
        record.resize(kLevelRecordSize);
        EncodeLevelRecord(record.data(), static_cast<std::uint32_t>(x),
                          static_cast<std::uint32_t>(y),
                          static_cast<std::uint8_t>(ByteCharacter(TileNumber, "tile number")));
        return record;
    }
    AppendTextRouteRecord(record, x, y, TileNumber, pump);
    return record;
}

void SplitCoordinates(std::int16_t& byte0, std::int16_t& byte1, std::int16_t& byte2, std::int32_t x,
                      std::int32_t y, EventPump& pump) {
    byte0 = static_cast<std::int16_t>(x % 256);
    const std::string columnText = DecimalText(static_cast<double>(x) / 256.0);
    const std::string rowNibbleText = IntegerText((y % 16) * 16);
    byte1 =
        CheckedAdd<std::int16_t>(RoundDown(rowNibbleText), RoundDown(columnText), "record byte 1");
    byte2 = RoundDown(DecimalText(static_cast<double>(y) / 16.0));
    DoEvents(pump);
}

}  // namespace quorbel::modModule
