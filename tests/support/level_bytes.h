// Level-file bytes for tests, built from the record word and not by the code under test.
#pragma once

#include <cstdint>
#include <string>

#include "support/bmp_builder.h"

namespace quorbel::test {

// The record of (x, y) with tile: the little-endian word x + y * 2^12 + tile * 2^24.
inline std::string LevelRecordBytes(std::uint32_t x, std::uint32_t y, std::uint32_t tile) {
    return Le32(x + (y << 12) + (tile << 24));
}

}  // namespace quorbel::test
