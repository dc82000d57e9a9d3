#include "paint/painted_records.h"

#include <algorithm>
#include <optional>

#include "base/errors.h"
#include "base/quoted.h"
#include "formats/level_record.h"

namespace quorbel::paint {
namespace {

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

// Which cells of three rows around a terrain's row are of the terrain: one byte a cell, with a
// column past either edge that counts as the terrain says. Rows come bottom row first, as the
// records do, so each row is looked at once however many cells it has.
class TerrainRows {
  public:
    TerrainRows(const CellGrid& grid, std::uint32_t cell, bool outsideIsTerrain)
        : grid_(grid), cell_(cell), outside_(outsideIsTerrain ? 1 : 0) {
        for (std::vector<std::uint8_t>* row : {&above_, &at_, &below_}) {
            row->resize(static_cast<std::size_t>(grid.Width()) + 2);
        }
    }

    // Makes y the row at the centre: the first call any row, later ones the row above the last.
    void Centre(int y) {
        if (y + 1 != centre_) {
            Fill(below_, y + 1);
            Fill(at_, y);
        } else {
            std::swap(below_, at_);
            std::swap(at_, above_);
        }
        Fill(above_, y - 1);
        centre_ = y;
    }

    // Bit i set when neighbour i (bit order as in paint_rules.h) of column x is of the terrain.
    std::uint8_t Neighbours(int x) const {
        const auto i = static_cast<std::size_t>(x);
        return static_cast<std::uint8_t>(above_[i] | above_[i + 1] << 1 | above_[i + 2] << 2 |
                                         at_[i] << 3 | at_[i + 2] << 4 | below_[i] << 5 |
                                         below_[i + 1] << 6 | below_[i + 2] << 7);
    }

  private:
    void Fill(std::vector<std::uint8_t>& row, int y) const {
        if (y < 0 || y >= grid_.Height()) {
            std::fill(row.begin(), row.end(), outside_);
            return;
        }
        row.front() = outside_;
        row.back() = outside_;
        for (int x = 0; x < grid_.Width(); ++x) {
            row[static_cast<std::size_t>(x) + 1] = grid_.ClassAt(x, y) == cell_ ? 1 : 0;
        }
    }

    const CellGrid& grid_;
    std::uint32_t cell_;
    std::uint8_t outside_;
    int centre_ = -2;
    std::vector<std::uint8_t> above_;
    std::vector<std::uint8_t> at_;
    std::vector<std::uint8_t> below_;
};

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
        std::optional<TerrainRows> terrain;
        if (tiles.terrain != nullptr) {
            terrain.emplace(grid, cell, tiles.terrain->OutsideIsTerrain());
        }
        for (int y = rows[e].bottom; y >= 0 && y >= rows[e].top; --y) {
            if (terrain) {
                terrain->Centre(y);
            }
            char* const room = sink.Room(rowRoom);
            char* next = room;
            for (int x = 0; x < grid.Width(); ++x) {
                if (grid.ClassAt(x, y) != cell) {
                    continue;
                }
                const std::uint8_t tile =
                    terrain
                        ? tiles.terrain->Tile(terrain->Neighbours(x), static_cast<std::uint32_t>(x),
                                              static_cast<std::uint32_t>(y))
                        : tiles.tile;
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
