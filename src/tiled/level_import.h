// A Tiled map as a level file: the tileset picture as the prefix, then one record for every tile
// of every tile layer.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "formats/level_record.h"

namespace quorbel::tiled {

// The most records an imported level may have: 512 MiB of them. Every cell of a tile layer may
// be one, so a map whose tile layers have more cells in all is refused before any is stored.
inline constexpr std::uint64_t kMostImportedRecords = (std::uint64_t{512} << 20) / kLevelRecordSize;

struct ImportSummary {
    std::uint64_t records = 0;
    std::size_t tileLayers = 0;
    std::string prefixFrom;  // the file whose leading bitmap is the prefix
};

// Writes the level file output from the map file map: the leading bitmap of tileset, or else of
// the first tileset's picture, then, for each tile layer in file order, a record for every cell
// that holds a tile, rows from the bottom up and left to right in a row. warn receives one
// warning for each object or image layer, which are skipped. Throws MapError (nothing written)
// for a map that cannot become a level: a cell with a flipped or rotated tile, a tile of another
// tileset, one in column 20 or beyond, one whose tile number would pass 255, a position outside
// 0..4095, a first tileset whose tiles are not 16 x 16, more than kMostImportedRecords cells in
// all; FileError when a file cannot be read or output cannot be written; RunInterrupted when
// stopRequested says so before the level is put in place.
ImportSummary ImportMap(const std::string& map, const std::optional<std::string>& tileset,
                        const std::string& output,
                        const std::function<void(const std::string&)>& warn,
                        const std::function<bool()>& stopRequested = {});

// The leading bitmap of path, what a level's prefix is: as many bytes as the BMP size field at
// bytes 2..5 says. Throws FileError when path cannot be read, does not begin with "BM", or its
// size field is below 6 or beyond the file's end; what names the file in messages.
std::string LeadingBitmap(const std::string& path, const std::string& what);

// Orders one layer's records as convert orders a bitmap's: rows from the bottom (largest y) up,
// left to right within a row; records at one position keep their order.
void SortAsConverted(std::vector<LevelRecord>& records);

}  // namespace quorbel::tiled
