// The 4-byte tile record of a level file, encoded and decoded in one place. Read as a
// little-endian word W, a record is W = x + y * 2^12 + tile * 2^24: x in bits 0..11, y in bits
// 12..23 and the tile number in bits 24..31. In file order:
//   byte 0: x bits 0..7
//   byte 1: y bits 0..3 in the high nibble, x bits 8..11 in the low nibble
//   byte 2: y bits 4..11
//   byte 3: the tile number
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace quorbel {

inline constexpr std::size_t kLevelRecordSize = 4;
inline constexpr int kLargestCoordinate = 4095;  // 12 bits

struct LevelRecord {
    std::uint16_t x = 0;  // 0..4095
    std::uint16_t y = 0;  // 0..4095, 0 at the top
    std::uint8_t tile = 0;
    friend bool operator==(const LevelRecord&, const LevelRecord&) = default;
};

// The record of (x, y, tile) as its word; x and y must lie in 0..4095.
constexpr std::uint32_t LevelRecordWord(std::uint32_t x, std::uint32_t y, std::uint8_t tile) {
    return x | (y << 12) | (std::uint32_t{tile} << 24);
}

// Writes a record's word to out[0..3], least significant byte first.
inline void StoreLevelRecordWord(char* out, std::uint32_t word) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, &word, sizeof word);
    } else {
        for (int i = 0; i < 4; ++i) {
            out[i] = static_cast<char>((word >> (8 * i)) & 0xFF);
        }
    }
}

// Writes the record of (x, y, tile) to out[0..3]; x and y must lie in 0..4095.
inline void EncodeLevelRecord(char* out, std::uint32_t x, std::uint32_t y, std::uint8_t tile) {
    StoreLevelRecordWord(out, LevelRecordWord(x, y, tile));
}

inline std::string EncodeLevelRecord(const LevelRecord& record) {
    std::string bytes(kLevelRecordSize, '\0');
    EncodeLevelRecord(bytes.data(), record.x, record.y, record.tile);
    return bytes;
}

// The record held by the first 4 bytes of bytes, which must have at least 4.
inline LevelRecord DecodeLevelRecord(std::string_view bytes) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    return LevelRecord{static_cast<std::uint16_t>(byte(0) | ((byte(1) & 0x0F) << 8)),
                       static_cast<std::uint16_t>((byte(1) >> 4) | (byte(2) << 4)),
                       static_cast<std::uint8_t>(byte(3))};
}

}  // namespace quorbel
