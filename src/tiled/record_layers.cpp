#include "tiled/record_layers.h"

#include <algorithm>

#include "tiled/tiled_map.h"

namespace quorbel::tiled {

RecordLayers::RecordLayers(std::vector<LevelRecord> records, std::uint64_t mostCells) {
    for (const LevelRecord& record : records) {
        width_ = std::max<std::int64_t>(width_, record.x + 1);
        height_ = std::max<std::int64_t>(height_, record.y + 1);
    }
    const auto positions = static_cast<std::size_t>(width_ * height_);
    const auto position = [this](const LevelRecord& record) {
        return static_cast<std::size_t>(record.y * width_ + record.x);
    };
    std::vector<std::uint32_t> seen(positions, 0);
    std::size_t layers = 0;
    for (const LevelRecord& record : records) {
        const std::uint32_t count = ++seen[position(record)];
        layers = std::max<std::size_t>(layers, count);
    }
    if (layers > mostCells / positions) {
        throw MapError("the map would need " + std::to_string(layers) + " layers of " +
                       std::to_string(width_) + " x " + std::to_string(height_) +
                       " tiles, since a position holds " + std::to_string(layers) +
                       " records; that is more than the " + std::to_string(mostCells) +
                       " cells a map is given (quorbel-lvl info lists the repeated positions)");
    }
    if (layers == 1) {
        records_ = std::move(records);
        layerStart_ = {0, records_.size()};
        return;
    }
    // Layer k holds one record of every position that has more than k.
    std::vector<std::size_t> positionsWith(layers + 1, 0);  // [c]: positions with c records
    for (const std::uint32_t count : seen) {
        ++positionsWith[count];
    }
    std::vector<std::size_t> layerSize(layers, 0);
    std::size_t reaching = 0;
    for (std::size_t k = layers; k-- > 0;) {
        reaching += positionsWith[k + 1];
        layerSize[k] = reaching;
    }
    layerStart_.assign(1, 0);
    for (const std::size_t size : layerSize) {
        layerStart_.push_back(layerStart_.back() + size);
    }
    std::vector<std::size_t> next(layerStart_.begin(), layerStart_.end() - 1);
    std::fill(seen.begin(), seen.end(), 0);
    records_.resize(records.size());
    for (const LevelRecord& record : records) {
        const std::uint32_t k = seen[position(record)]++;
        records_[next[k]++] = record;
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
