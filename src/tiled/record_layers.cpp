#include "tiled/record_layers.h"

#include <algorithm>

#include "tiled/tiled_map.h"

namespace quorbel::tiled {
namespace {

// A record's place in the order import writes one layer: rows from the bottom up (the largest y
// first), left to right within a row. Two records of one cell have the same place.
std::uint32_t ImportOrder(const LevelRecord& record) {
    return (static_cast<std::uint32_t>(kLargestCoordinate - record.y) << 12) | record.x;
}

}  // namespace

RecordLayers::RecordLayers(std::vector<LevelRecord> records, std::uint64_t mostCells)
    : records_(std::move(records)) {
    std::uint32_t last = 0;
    for (std::size_t i = 0; i < records_.size(); ++i) {
        const LevelRecord& record = records_[i];
        width_ = std::max<std::int64_t>(width_, record.x + 1);
        height_ = std::max<std::int64_t>(height_, record.y + 1);
        const std::uint32_t order = ImportOrder(record);
        if (i == 0 || order <= last) {
            layerStart_.push_back(i);
        }
        last = order;
    }
    layerStart_.push_back(records_.size());
    const std::size_t layers = Count();
    if (layers > mostCells / static_cast<std::uint64_t>(width_ * height_)) {
        throw MapError("the map would need " + std::to_string(layers) + " layers of " +
                       std::to_string(width_) + " x " + std::to_string(height_) +
                       " tiles to keep the records' order (a layer holds a position once, its "
                       "records in rows from the bottom up, left to right, so a record that is "
                       "not past the one before it in that order starts the next layer); that is "
                       "more than the " +
                       std::to_string(mostCells) + " cells a map is given (" + kFewerLayersHint +
                       ")");
    }
}

void RecordLayers::Fill(std::size_t layer, const std::array<std::uint32_t, 256>& gidOfTile,
                        std::vector<std::uint32_t>& grid) const {
    grid.assign(static_cast<std::size_t>(width_ * height_), 0);
    for (std::size_t i = layerStart_[layer]; i < layerStart_[layer + 1]; ++i) {
        const LevelRecord& record = records_[i];
        grid[static_cast<std::size_t>(record.y * width_ + record.x)] = gidOfTile[record.tile];
    }
}

}  // namespace quorbel::tiled
