// Stored bitmap rows to level-file tile records. A record is 4 bytes: x in bits 0..11, y in bits
// 12..23 and the tile number in bits 24..31 of a little-endian word.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "front_end.h"

namespace quorbel::modModule {

// The tile number of every record of a run; set at the start of each run.
inline std::int16_t TileNumber = 0;

// Indexed by a pixel's bit value: an entry of exactly 1 marks the bits that become tiles.
inline std::array<std::int16_t, 2> ColorMap{0, 0};

// The records of the tile pixels among the first width pixels of row (a stored 1-bit row, first
// pixel in the most significant bit), in ascending x, all with the given y; empty when none.
// Yields to pump once per record. Throws TypeMismatchError when width exceeds the row's bits,
// InvalidArgumentError at the first tile pixel when TileNumber leaves 0..255.
std::string EncodeRow(const std::string& row, std::int32_t width, std::int32_t y, EventPump& pump);

// The 4-byte record of pixel (x, y) with TileNumber. Yields to pump once. Throws
// InvalidArgumentError when a byte leaves 0..255, OverflowError as SplitCoordinates does.
std::string TileRecord(std::int32_t x, std::int32_t y, EventPump& pump);

// Bytes 0, 1 and 2 of the record of (x, y), through the decimal texts of x / 256, (y mod 16) * 16
// and y / 16 and RoundDown; then yields to pump once. Throws OverflowError when byte 1's sum or a
// RoundDown leaves the 16-bit range.
void SplitCoordinates(std::int16_t& byte0, std::int16_t& byte1, std::int16_t& byte2, std::int32_t x,
                      std::int32_t y, EventPump& pump);

}  // namespace quorbel::modModule
