// The cells of a tile layer from the encodings Tiled writes: CSV, base64 (uncompressed, zlib or
// gzip) and plain gids. Cells are handed on in batches, so that a large layer needs no more
// memory than its records.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "tiled/tiled_map.h"

namespace quorbel::tiled {

// The most cells one layer or chunk may have: 16 times the 4096 x 4096 positions of a level,
// which bounds the work a small compressed layer can ask for.
inline constexpr std::int64_t kMostCellsPerBlock = std::int64_t{1} << 28;

// Receives gids in the block's order: row by row from the top, left to right.
using GidBatch = std::function<void(std::span<const std::uint32_t>)>;

// The compression that a layer's data names ("" for none, "zlib", "gzip", "zstd"). Throws
// MapError naming where for any other.
CellCompression CompressionNamed(std::string_view name, std::string_view where);

// The block's width x height. Throws MapError naming where for a negative side or more than
// kMostCellsPerBlock cells.
std::uint64_t CellCount(const CellBlock& block, std::string_view where);

// Decodes block and hands its width x height gids to visit. Throws MapError naming where (say,
// "layer 'ground'") for data that is not what its encoding says, a number of cells other than
// width x height, sides CellCount refuses, or zstd compression.
void DecodeCells(const CellBlock& block, std::string_view where, const GidBatch& visit);

}  // namespace quorbel::tiled
