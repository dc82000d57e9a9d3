// A small, deliberately plain model of the two file formats, written without the conversion
// core: reading a 1-bit BMP's stored rows pixel by pixel, reading a level file's records back,
// and writing the eight-line header report. Property tests and fuzz targets compare the core's
// results with it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorbel::test::model {

// One tile record read back from a level file.
struct Tile {
    int x = 0;
    int y = 0;
    int tile = 0;
    friend bool operator==(const Tile&, const Tile&) = default;
};

// The unsigned little-endian value of count bytes at offset (which must lie inside bytes).
std::uint64_t LittleEndian(const std::string& bytes, std::size_t offset, std::size_t count);

// The tiles of a 1-bit BMP whose rows start at offset 62: every pixel whose bit is the dark one
// (the 1-bits when palette entry 0 has blue 255, else the 0-bits), first stored row first with
// y = height - 1, x ascending. Throws std::invalid_argument when the file is too short.
std::vector<Tile> TilesOf(const std::string& bmp, int tileNumber);

// The tiles a converted map gives for a width x height picture whose pixel (x, y) is dark when
// dark(x, y): bottom row first, x ascending.
std::vector<Tile> TilesOfDarkPixels(int width, int height,
                                    const std::function<bool(int x, int y)>& dark, int tileNumber);

// The records behind a prefix of prefixLength bytes: x from bits 0..11, y from bits 12..23 and
// the tile number from bits 24..31 of each little-endian word. Throws std::invalid_argument when
// the rest is not a whole number of records.
std::vector<Tile> RecordsOf(const std::string& level, std::size_t prefixLength);

// The records that compose writes of the maps split makes of records: one map per tile number, in
// the order in which the numbers first appear, each holding a position once and giving its
// records bottom row first (y descending), x ascending within a row.
std::vector<Tile> ComposedFromMaps(const std::vector<Tile>& records);

// The complete eight-line report for a bitmap's header and palette, with every field shown as
// unsigned so that it exists for any header; nothing when the file is too short for the header
// or the palette, or the palette would start before the file.
std::optional<std::string> FullReport(const std::string& bmp);

}  // namespace quorbel::test::model
