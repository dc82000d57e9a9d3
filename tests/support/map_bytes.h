// Layer data as Tiled encodes it, made for tests with zlib itself and a plain base64 encoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorbel::test {

// The gids as 4-byte little-endian words.
std::string GidBytes(const std::vector<std::uint32_t>& gids);

// bytes in base64 with "=" padding.
std::string Base64(const std::string& bytes);

// bytes compressed as a zlib stream, or as a gzip member when gzip is true.
std::string Compress(const std::string& bytes, bool gzip);

}  // namespace quorbel::test
