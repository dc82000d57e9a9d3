// The records of a painted level, in the order that makes paint the same as compose of one map
// per palette colour: palette entries in file order, and within an entry its cells bottom row
// first, left to right. A cell of a plain entry takes the entry's tile; a terrain's cell takes the
// tile its rules pick from its 8 neighbours.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "paint/cell_classes.h"
#include "paint/gimp_palette.h"
#include "paint/paint_rules.h"
#include "paint/terrain_matcher.h"

namespace quorbel::paint {

// Where records go, a row of them at a time: the output file, or a test's bytes.
class RecordSink {
  public:
    virtual ~RecordSink() = default;
    // Room for count more bytes; Advance(n) then keeps the first n of them.
    virtual char* Room(std::size_t count) = 0;
    virtual void Advance(std::size_t count) = 0;
};

// How the cells of one palette entry get their tiles.
struct EntryTiles {
    std::uint8_t tile = 0;                    // of every cell, unless terrain is set
    const TerrainMatcher* terrain = nullptr;  // picks each cell's tile by its neighbours
};

// The palette entries bound to the rules.
class PaintPlan {
  public:
    // Throws RunTimeError naming the first terrain of legend for which blocks have no block
    // (rulesPath names the rules file, and is empty when none was given).
    PaintPlan(std::span<const LegendEntry> legend, std::span<const TerrainBlock> blocks,
              const std::string& rulesPath);
    PaintPlan(const PaintPlan&) = delete;
    PaintPlan& operator=(const PaintPlan&) = delete;

    std::span<const EntryTiles> Entries() const { return entries_; }
    // The blocks for terrains the palette does not have, in file order.
    const std::vector<const TerrainBlock*>& UnusedBlocks() const { return unused_; }

  private:
    std::vector<TerrainMatcher> matchers_;
    std::vector<EntryTiles> entries_;
    std::vector<const TerrainBlock*> unused_;
};

struct PaintedRecords {
    std::vector<std::uint64_t> perEntry;  // records of each palette entry
    std::bitset<256> tiles;               // the tile numbers written
};

// Appends the records of grid's cells to sink, entry after entry. Throws what sink throws.
PaintedRecords WritePaintedRecords(const CellGrid& grid, std::span<const EntryTiles> entries,
                                   RecordSink& sink);

}  // namespace quorbel::paint
