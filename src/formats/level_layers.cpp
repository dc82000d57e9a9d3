#include "formats/level_layers.h"

#include <algorithm>
#include <bitset>

namespace quorbel {

struct LevelLayers::Map {
    static constexpr int kSide = kLargestMapCoordinate + 1;
    std::size_t rank = 0;  // the tile number's place in the order of first appearance
    std::bitset<kSide * kSide> dark;
};

LevelLayers::LevelLayers() : maps_(256) {}

LevelLayers::~LevelLayers() = default;

void LevelLayers::Add(const LevelRecord& record) {
    ++records_;
    largestX_ = std::max<int>(largestX_, record.x);
    largestY_ = std::max<int>(largestY_, record.y);
    std::unique_ptr<Map>& map = maps_[record.tile];
    if (!map) {
        map = std::make_unique<Map>();
        map->rank = order_.size();
        order_.push_back(record.tile);
    }
    if (record.x > kLargestMapCoordinate || record.y > kLargestMapCoordinate) {
        return;  // no map holds it: the level cannot be split at all
    }
    const std::size_t bit = static_cast<std::size_t>(record.y) * Map::kSide + record.x;
    if (map->dark.test(bit)) {
        ++repeated_;
        return;
    }
    map->dark.set(bit);
    // compose's order: maps by first appearance, then rows from the bottom, then x.
    const std::uint64_t key = (std::uint64_t{map->rank} << 24) |
                              (std::uint64_t(kLargestCoordinate - record.y) << 12) | record.x;
    if (key < lastKey_) {
        ++outOfOrder_;
    }
    lastKey_ = key;
}

bool LevelLayers::IsDark(std::uint8_t tile, int x, int y) const {
    const std::unique_ptr<Map>& map = maps_[tile];
    return map &&
           map->dark.test(static_cast<std::size_t>(y) * Map::kSide + static_cast<std::size_t>(x));
}

}  // namespace quorbel
