// A level's records sorted into one map per tile number, the maps that split writes, and what such
// maps cannot hold of the level. compose writes the maps back one after the other, in the order in
// which their tile numbers first appear, each map's records bottom row first and left to right, one
// record per position. So a level comes back byte for byte exactly when no record repeats a
// position with the same tile and no record comes before one that compose writes ahead of it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "formats/level_record.h"

namespace quorbel {

class LevelLayers {
  public:
    // The largest x and y a map holds: the conversion takes at most 1024 x 1024 pixels.
    static constexpr int kLargestMapCoordinate = 1023;

    LevelLayers();
    ~LevelLayers();
    LevelLayers(const LevelLayers&) = delete;
    LevelLayers& operator=(const LevelLayers&) = delete;

    // Takes the next record in file order. A tile number's map (128 KiB) is made at its first
    // record.
    void Add(const LevelRecord& record);

    // The tile numbers used, in the order in which they first appear.
    const std::vector<std::uint8_t>& Tiles() const { return order_; }
    // True when the map of tile is dark at (x, y), both within 0..kLargestMapCoordinate.
    bool IsDark(std::uint8_t tile, int x, int y) const;

    std::uint64_t Records() const { return records_; }
    // The largest x and y of any record; -1 before the first.
    int LargestX() const { return largestX_; }
    int LargestY() const { return largestY_; }
    // True when every record lies within a map.
    bool FitsMaps() const {
        return largestX_ <= kLargestMapCoordinate && largestY_ <= kLargestMapCoordinate;
    }

    // Records at a position that already had a record of the same tile: a map holds it once.
    std::uint64_t RepeatedRecords() const { return repeated_; }
    // Records that come right after a record that compose writes after them.
    std::uint64_t RecordsOutOfOrder() const { return outOfOrder_; }

  private:
    struct Map;
    std::vector<std::unique_ptr<Map>> maps_;  // by tile number; empty until its first record
    std::vector<std::uint8_t> order_;
    std::uint64_t records_ = 0;
    int largestX_ = -1;
    int largestY_ = -1;
    std::uint64_t repeated_ = 0;
    std::uint64_t outOfOrder_ = 0;
    std::uint64_t lastKey_ = 0;  // where compose writes the last record taken that was no repeat
};

}  // namespace quorbel
