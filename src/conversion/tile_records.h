// Stored bitmap rows to level-file tile records (the record layout is in level_record.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "conversion/front_end.h"

namespace quorbel::modModule {

// Indexed by a pixel's bit value: an entry of exactly 1 marks the bits that become tiles.
using ColorMapValues = std::array<std::int16_t, 2>;

// What every record of a run is made with; the run decides them before its first row.
struct RecordValues {
    std::int16_t TileNumber = 0;  // the tile number of every record
    ColorMapValues ColorMap{0, 0};
};

// The records of the tile pixels among the first width pixels of row (a stored 1-bit row, first
// pixel in the most significant bit), in ascending x, all with the given y; empty when none.
// Yields to pump once per record. Throws TypeMismatchError when width exceeds the row's bits,
// InvalidArgumentError at the first tile pixel when values.TileNumber leaves 0..255.
std::string EncodeRow(const std::string& row, std::int32_t width, std::int32_t y,
                      const RecordValues& values, EventPump& pump);

// EncodeRow's records written straight to out, which must have room for 4 * min(width, 8 *
// row.size()) bytes; returns how many bytes it wrote. For rows whose x and y stay within 0..4095
// (RowFitsRecords); throws as EncodeRow does.
std::size_t EncodeRowInto(char* out, std::string_view row, std::int32_t width, std::int32_t y,
                          const RecordValues& values, EventPump& pump);

// True when every record of a row of width pixels at y has plain 12-bit coordinates.
bool RowFitsRecords(std::int32_t width, std::int32_t y);

// The 4-byte record of pixel (x, y) with TileNumber, as EncodeRow makes it of a row whose
// coordinates leave 12 bits. Yields to pump once. Throws InvalidArgumentError when a byte leaves
// 0..255, OverflowError as SplitCoordinates does.
std::string TileRecord(std::int32_t x, std::int32_t y, std::int16_t TileNumber, EventPump& pump);

// Bytes 0, 1 and 2 of the record of (x, y), through the decimal texts of x / 256, (y mod 16) * 16
// and y / 16 and RoundDown; then yields to pump once. Throws OverflowError when byte 1's sum or a
// RoundDown leaves the 16-bit range.
void SplitCoordinates(std::int16_t& byte0, std::int16_t& byte1, std::int16_t& byte2, std::int32_t x,
                      std::int32_t y, EventPump& pump);

}  // namespace quorbel::modModule
