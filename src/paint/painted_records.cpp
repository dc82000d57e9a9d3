#include "paint/painted_records.h"

#include <algorithm>

#include "conversion/errors.h"
#include "conversion/level_record.h"
#include "conversion/quoted.h"

namespace quorbel::paint {
namespace {

// The neighbours in bit order (paint_rules.h): reading order around the cell.
constexpr int kNeighbourDx[kNeighbours] = {-1, 0, 1, -1, 1, -1, 0, 1};
constexpr int kNeighbourDy[kNeighbours] = {-1, -1, -1, 0, 0, 1, 1, 1};

// The rows of each entry's cells, so that an entry's pass reads only the rows that hold it.
struct EntryRows {
    int top = -1;  // -1 when the entry has no cell
    int bottom = -1;
};

std::vector<EntryRows> RowsOfEntries(const CellGrid& grid, std::size_t entries) {
    std::vector<EntryRows> rows(entries);
    for (int y = 0; y < grid.Height(); ++y) {
        for (int x = 0; x < grid.Width(); ++x) {
            const std::uint32_t cell = grid.ClassAt(x, y);
            if (cell < entries) {
                EntryRows& of = rows[cell];
                if (of.top < 0) {
                    of.top = y;
                }
                of.bottom = y;
            }
        }
    }
    return rows;
}

// Bit i set when neighbour i of (x, y) is of the class cell (outside: as the terrain says).
std::uint8_t TerrainNeighbours(const CellGrid& grid, int x, int y, std::uint32_t cell,
                               bool outsideIsTerrain) {
    const bool inside = x > 0 && y > 0 && x + 1 < grid.Width() && y + 1 < grid.Height();
    unsigned bits = 0;
    for (int i = 0; i < kNeighbours; ++i) {
        const int nx = x + kNeighbourDx[i];
        const int ny = y + kNeighbourDy[i];
        const bool terrain =
            inside || (nx >= 0 && ny >= 0 && nx < grid.Width() && ny < grid.Height())
                ? grid.ClassAt(nx, ny) == cell
                : outsideIsTerrain;
        bits |= (terrain ? 1u : 0u) << i;
    }
    return static_cast<std::uint8_t>(bits);
}

}  // namespace

PaintPlan::PaintPlan(std::span<const LegendEntry> legend, std::span<const TerrainBlock> blocks,
                     const std::string& rulesPath) {
    matchers_.reserve(blocks.size());
    std::vector<const TerrainMatcher*> matcherOfBlock;
    for (const TerrainBlock& block : blocks) {
        matchers_.emplace_back(block);
        matcherOfBlock.push_back(&matchers_.back());
    }
    for (const LegendEntry& entry : legend) {
        if (entry.tile) {
            entries_.push_back({*entry.tile, nullptr});
            continue;
        }
        const auto block = std::find_if(blocks.begin(), blocks.end(), [&](const TerrainBlock& b) {
            return b.terrain == entry.terrain;
        });
        if (block == blocks.end()) {
            throw RunTimeError(
                "the palette's colour " + RgbText(entry.colour) + " " + Quoted(entry.name) +
                " (line " + std::to_string(entry.line) + ") ends in the terrain name " +
                Quoted(entry.terrain) + ", and " +
                (rulesPath.empty()
                     ? std::string("no --rules FILE gives its tiles")
                     : Quoted(rulesPath) + " has no block 'terrain " + entry.terrain + "' for it") +
                ": give its tiles in a rules file, or end its name in a tile number");
        }
        entries_.push_back({0, matcherOfBlock[static_cast<std::size_t>(block - blocks.begin())]});
    }
    for (const TerrainBlock& block : blocks) {
        if (std::none_of(legend.begin(), legend.end(),
                         [&](const LegendEntry& e) { return e.terrain == block.terrain; })) {
            unused_.push_back(&block);
        }
    }
}

PaintedRecords WritePaintedRecords(const CellGrid& grid, std::span<const EntryTiles> entries,
                                   RecordSink& sink) {
    PaintedRecords painted;
    painted.perEntry.assign(entries.size(), 0);
    const std::vector<EntryRows> rows = RowsOfEntries(grid, entries.size());
    const std::size_t rowRoom = kLevelRecordSize * static_cast<std::size_t>(grid.Width());
    for (std::size_t e = 0; e < entries.size(); ++e) {
        const auto cell = static_cast<std::uint32_t>(e);
        const EntryTiles& tiles = entries[e];
        for (int y = rows[e].bottom; y >= 0 && y >= rows[e].top; --y) {
            char* const room = sink.Room(rowRoom);
            char* next = room;
            for (int x = 0; x < grid.Width(); ++x) {
                if (grid.ClassAt(x, y) != cell) {
                    continue;
                }
                const std::uint8_t tile =
                    tiles.terrain == nullptr
                        ? tiles.tile
                        : tiles.terrain->Tile(TerrainNeighbours(grid, x, y, cell,
                                                                tiles.terrain->OutsideIsTerrain()),
                                              static_cast<std::uint32_t>(x),
                                              static_cast<std::uint32_t>(y));
                painted.tiles.set(tile);
                EncodeLevelRecord(next, static_cast<std::uint32_t>(x),
                                  static_cast<std::uint32_t>(y), tile);
                next += kLevelRecordSize;
            }
            const auto written = static_cast<std::size_t>(next - room);
            sink.Advance(written);
            painted.perEntry[e] += written / kLevelRecordSize;
        }
    }
    return painted;
}

}  // namespace quorbel::paint
