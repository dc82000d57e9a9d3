// Auto-tiling rules: the tiles of a terrain's cells, picked by their 8 neighbours, as the tile
// editors' auto-layers pick them. A rules file holds one block per terrain:
//
//   terrain grass          # the palette entry whose name ends in "grass"
//   outside X              # cells past the picture's edge count as grass (default: .)
//   fill 171               # no rule matched
//   rule 152 153           # a grass top: nothing above
//     ? . ?
//     X X X
//     ? X ?
//
// In a rule's rows (above, the cell's own, below; each left to right) X is a cell of the terrain,
// . any other cell, ? anything; the centre is the cell itself and must be X. Rules are tried in
// file order; the first whose 8 neighbours all match gives the tile, none gives fill's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorbel::paint {

// Bit i of a neighbourhood stands for neighbour i, in reading order around the cell: 0 above
// left, 1 above, 2 above right, 3 left, 4 right, 5 below left, 6 below, 7 below right.
inline constexpr int kNeighbours = 8;

// What a rule asks of the neighbours: those in care must be of the terrain where terrain has
// their bit, and of none where it has not.
struct NeighbourPattern {
    std::uint8_t care = 0;
    std::uint8_t terrain = 0;
    // True when a cell whose terrain neighbours are the bits of neighbours matches.
    constexpr bool Matches(std::uint8_t neighbours) const { return (neighbours & care) == terrain; }
    friend bool operator==(const NeighbourPattern&, const NeighbourPattern&) = default;
};

struct TerrainRule {
    NeighbourPattern pattern;
    std::vector<std::uint8_t> tiles;  // one or more, chosen among by the cell's position
    int line = 0;                     // of the rule line
    friend bool operator==(const TerrainRule&, const TerrainRule&) = default;
};

struct TerrainBlock {
    std::string terrain;
    int line = 0;  // of the terrain line
    bool outsideIsTerrain = false;
    std::vector<std::uint8_t> fill;
    std::vector<TerrainRule> rules;
    friend bool operator==(const TerrainBlock&, const TerrainBlock&) = default;
};

// The blocks of text, the content of the rules file path, in file order. Throws RunTimeError
// "path:LINE: what is wrong" for a syntax error, a tile number outside 0..255, a block without
// its fill line or with a second one, or a second block for one terrain.
std::vector<TerrainBlock> ParseRules(std::string_view text, const std::string& path);

// The rules file at path. Throws FileError when it cannot be read, and as ParseRules.
std::vector<TerrainBlock> ReadRules(const std::string& path);

}  // namespace quorbel::paint
