#include "tile_records.h"

#include <algorithm>

#include "checked_int.h"
#include "errors.h"
#include "number_codec.h"

namespace quorbel::modModule {
namespace {

// Within 0..4095 both coordinates fill their own 12 bits, and the text route of SplitCoordinates
// gives exactly x mod 256, 16 * (y mod 16) + x div 256 and y div 16: the arithmetic route is used
// there, the text route everywhere else.
constexpr std::int32_t kLargestPlainCoordinate = 4095;

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

bool IsPlainCoordinate(std::int64_t value) {
    return value >= 0 && value <= kLargestPlainCoordinate;
}

// The record of a plain pixel, after the one yield that every record makes.
inline void PutPlainRecord(char* out, std::int32_t x, std::int32_t y, EventPump& pump) {
    DoEvents(pump);
    out[3] = ByteCharacter(TileNumber, "tile number");
    out[0] = static_cast<char>(x & 0xFF);
    out[1] = static_cast<char>(((y & 0x0F) << 4) | (x >> 8));
    out[2] = static_cast<char>(y >> 4);
}

void AppendTileRecord(std::string& records, std::int32_t x, std::int32_t y, EventPump& pump) {
    if (IsPlainCoordinate(x) && IsPlainCoordinate(y)) {
        char record[4];
        PutPlainRecord(record, x, y, pump);
        records.append(record, sizeof record);
        return;
    }
    std::int16_t byte0 = 0;
    std::int16_t byte1 = 0;
    std::int16_t byte2 = 0;
    SplitCoordinates(byte0, byte1, byte2, x, y, pump);
    const char record[4] = {
        ByteCharacter(byte0, "record byte 0"), ByteCharacter(byte1, "record byte 1"),
        ByteCharacter(byte2, "record byte 2"), ByteCharacter(TileNumber, "tile number")};
    records.append(record, sizeof record);
}

}  // namespace

std::string EncodeRow(const std::string& row, std::int32_t width, std::int32_t y, EventPump& pump) {
    std::string records;
    if (width <= 0) {
        return records;
    }
    const std::int64_t rowBits = 8 * static_cast<std::int64_t>(row.size());
    const std::int64_t examined = std::min<std::int64_t>(width, rowBits);
    // Per bit value, the mask that keeps the bits that become tiles.
    const unsigned tileMaskOfOnes = ColorMap[1] == 1 ? 0xFFu : 0u;
    const unsigned tileMaskOfZeros = ColorMap[0] == 1 ? 0xFFu : 0u;
    const auto tileBits = [&](std::int64_t byteIndex) {
        const unsigned byte = static_cast<unsigned char>(row[static_cast<std::size_t>(byteIndex)]);
        return (byte & tileMaskOfOnes) | (~byte & tileMaskOfZeros);
    };
    const bool plain = IsPlainCoordinate(y) && IsPlainCoordinate(examined - 1);
    if (plain) {
        // Written straight into a buffer big enough for every pixel being a tile.
        records.resize(4 * static_cast<std::size_t>(examined));
    }
    char* out = records.data();
    for (std::int64_t first = 0; first < examined; first += 8) {
        const unsigned tiles = tileBits(first >> 3);
        if (tiles == 0) {
            continue;
        }
        const std::int64_t last = std::min<std::int64_t>(first + 8, examined);
        for (std::int64_t j = first; j < last; ++j) {
            if (((tiles >> (7 - (j & 7))) & 1u) == 0) {
                continue;
            }
            const auto x = static_cast<std::int32_t>(j);
            if (plain) {
                PutPlainRecord(out, x, y, pump);
                out += 4;
            } else {
                AppendTileRecord(records, x, y, pump);
            }
        }
    }
    if (plain) {
        records.resize(static_cast<std::size_t>(out - records.data()));
    }
    if (width > rowBits) {
        throw TypeMismatchError("type mismatch: width " + IntegerText(width) +
                                " is more than the row's " + IntegerText(rowBits) + " bits");
    }
    return records;
}

std::string TileRecord(std::int32_t x, std::int32_t y, EventPump& pump) {
    std::string record;
    AppendTileRecord(record, x, y, pump);
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
