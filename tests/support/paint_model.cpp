#include "support/paint_model.h"

namespace quorbel::test::model {

std::uint32_t PositionHash(std::uint32_t x, std::uint32_t y) {
    constexpr std::uint64_t kMask = 0xFFFFFFFF;
    std::uint64_t h = (std::uint64_t{x} * 2654435761u + std::uint64_t{y} * 2246822519u) & kMask;
    h ^= h >> 15;
    h = (h * 2221713035u) & kMask;
    h ^= h >> 13;
    return static_cast<std::uint32_t>(h);
}

std::string RulesFileText(const std::vector<WrittenTerrain>& terrains) {
    std::string text;
    for (const WrittenTerrain& terrain : terrains) {
        text += "terrain " + terrain.name + "\n";
        text += terrain.outsideIsTerrain ? "outside X\n" : "";  // "outside ." is the default
        text += "fill";
        for (const int tile : terrain.fill) {
            text += " " + std::to_string(tile);
        }
        text += "\n";
        for (const WrittenRule& rule : terrain.rules) {
            text += "rule";
            for (const int tile : rule.tiles) {
                text += " " + std::to_string(tile);
            }
            text += "\n";
            for (int row = 0; row < 3; ++row) {
                text += "  " + rule.cells.substr(3 * row, 1) + " " + rule.cells[3 * row + 1] + " " +
                        rule.cells[3 * row + 2] + "\n";
            }
        }
    }
    return text;
}

int TerrainTile(const std::vector<std::string>& drawing, int x, int y, char letter,
                const WrittenTerrain& terrain) {
    const int height = static_cast<int>(drawing.size());
    const auto isTerrain = [&](int cx, int cy) {
        if (cy < 0 || cy >= height || cx < 0 || cx >= static_cast<int>(drawing[cy].size())) {
            return terrain.outsideIsTerrain;
        }
        return drawing[cy][cx] == letter;
    };
    const std::vector<int>* tiles = &terrain.fill;
    for (const WrittenRule& rule : terrain.rules) {
        bool matches = true;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const char want = rule.cells[std::size_t(3 * (dy + 1) + dx + 1)];
                if (want != '?' && (want == 'X') != isTerrain(x + dx, y + dy)) {
                    matches = false;
                }
            }
        }
        if (matches) {
            tiles = &rule.tiles;
            break;
        }
    }
    return (*tiles)[PositionHash(x, y) % tiles->size()];
}

std::vector<Tile> PaintedTiles(const std::vector<std::string>& drawing,
                               const std::vector<Kind>& kinds) {
    std::vector<Tile> tiles;
    for (const Kind& kind : kinds) {
        for (int y = static_cast<int>(drawing.size()) - 1; y >= 0; --y) {
            for (int x = 0; x < static_cast<int>(drawing[y].size()); ++x) {
                if (drawing[y][x] == kind.letter) {
                    const int tile = kind.terrain == nullptr
                                         ? kind.tile
                                         : TerrainTile(drawing, x, y, kind.letter, *kind.terrain);
                    tiles.push_back({x, y, tile});
                }
            }
        }
    }
    return tiles;
}

}  // namespace quorbel::test::model
