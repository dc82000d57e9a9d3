// A terrain's rules made into a table: for each of the 256 ways a cell's 8 neighbours can be of
// the terrain or not, the tiles of the first rule that matches, or the fill's. A cell's tile is
// then one lookup, however many rules there are.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "paint/paint_rules.h"

namespace quorbel::paint {

// The position hash that picks among several tiles, with unsigned 32-bit wrapping arithmetic, so
// that the same drawing always gives the same level.
constexpr std::uint32_t CellHash(std::uint32_t x, std::uint32_t y) {
    std::uint32_t h = x * 2654435761u + y * 2246822519u;
    h ^= h >> 15;
    h *= 2221713035u;
    h ^= h >> 13;
    return h;
}

// The tile that cell (x, y) takes of tiles (one or more): number CellHash mod n.
inline std::uint8_t TileAtCell(const std::vector<std::uint8_t>& tiles, std::uint32_t x,
                               std::uint32_t y) {
    return tiles.size() == 1 ? tiles[0]
                             : tiles[CellHash(x, y) % static_cast<std::uint32_t>(tiles.size())];
}

class TerrainMatcher {
  public:
    explicit TerrainMatcher(const TerrainBlock& block);

    // Whether cells past the picture's edge count as the terrain.
    bool OutsideIsTerrain() const { return outsideIsTerrain_; }

    // The tile of the terrain's cell (x, y) whose neighbours of the terrain are the bits of
    // neighbours (bit order as in paint_rules.h).
    std::uint8_t Tile(std::uint8_t neighbours, std::uint32_t x, std::uint32_t y) const {
        return TileAtCell(choices_[chosen_[neighbours]], x, y);
    }

  private:
    bool outsideIsTerrain_ = false;
    std::vector<std::vector<std::uint8_t>> choices_;  // the fill's tiles, then each rule's
    std::array<std::uint16_t, 256> chosen_{};         // per neighbourhood, into choices_
};

}  // namespace quorbel::paint
