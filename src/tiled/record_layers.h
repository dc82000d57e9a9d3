// A level's records spread over the tile layers of one map so that import writes them back in
// their order. A map holds one tile a cell, and import writes a layer's records in rows from the
// bottom up, left to right: a record starts the next layer when its cell is already filled in
// the current layer or it comes before the current layer's last record in that order, so each
// layer is a run of records that import gives back as they were.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/level_record.h"

namespace quorbel::tiled {

// What makes a level need fewer layers, for the messages that refuse it for too many.
inline constexpr const char* kFewerLayersHint =
    "quorbel-lvl info lists the repeated positions; quorbel-lvl split, then compose, orders the "
    "records into one layer per tile number";

class RecordLayers {
  public:
    // Spreads records (at least one). Throws MapError when the layers would hold more than
    // mostCells cells together (layers x width x height).
    RecordLayers(std::vector<LevelRecord> records, std::uint64_t mostCells);

    // The map's size in tiles: the largest x and y plus one.
    std::int64_t Width() const { return width_; }
    std::int64_t Height() const { return height_; }
    std::size_t Count() const { return layerStart_.size() - 1; }

    // Makes grid layer number layer (from 0): width x height gids, row by row from the top, each
    // gidOfTile[tile] where the layer has a record, 0 elsewhere.
    void Fill(std::size_t layer, const std::array<std::uint32_t, 256>& gidOfTile,
              std::vector<std::uint32_t>& grid) const;

  private:
    std::int64_t width_ = 0;
    std::int64_t height_ = 0;
    std::vector<LevelRecord> records_;     // in file order
    std::vector<std::size_t> layerStart_;  // layer k is records_[layerStart_[k], layerStart_[k+1])
};

}  // namespace quorbel::tiled
