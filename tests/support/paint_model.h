// A plain model of painting a level, written without the paint library: a drawing as rows of
// letters, each letter a kind of cell; a terrain's rules as their written rows of X, . and ?,
// tried one by one against the cell's 3 x 3 neighbourhood, character by character.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/level_model.h"

namespace quorbel::test::model {

// The position hash, computed in 64 bits and cut to 32 after every step.
std::uint32_t PositionHash(std::uint32_t x, std::uint32_t y);

struct WrittenRule {
    std::vector<int> tiles;
    std::string cells;  // 9 of X . ?: the rows above, at and below the cell, each left to right
};

struct WrittenTerrain {
    std::string name;
    bool outsideIsTerrain = false;
    std::vector<int> fill;
    std::vector<WrittenRule> rules;
};

// The rules file that says terrains.
std::string RulesFileText(const std::vector<WrittenTerrain>& terrains);

// One kind of cell: its letter in the drawing and what it becomes.
struct Kind {
    char letter = 'a';
    int tile = 0;                             // when terrain is null
    const WrittenTerrain* terrain = nullptr;  // else its rules pick the tile
};

// The tile of cell (x, y) of the terrain whose letter is letter.
int TerrainTile(const std::vector<std::string>& drawing, int x, int y, char letter,
                const WrittenTerrain& terrain);

// The records painting gives of drawing (rows of letters, top row first; a letter of no kind is
// an empty cell): kinds in order, each kind's cells bottom row first, left to right.
std::vector<Tile> PaintedTiles(const std::vector<std::string>& drawing,
                               const std::vector<Kind>& kinds);

}  // namespace quorbel::test::model
