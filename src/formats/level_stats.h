// Figures about the tile records of a level file, gathered one record at a time in bounded memory
// (a bit per possible position, whatever the number of records).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "formats/level_file.h"

namespace quorbel {

struct LevelBounds {
    std::uint16_t minX = 0, maxX = 0, minY = 0, maxY = 0;
};

struct DuplicatePosition {
    std::uint16_t x = 0, y = 0;
    std::uint64_t count = 0;  // records at this position, 2 or more
};

struct LevelStats {
    std::uint64_t records = 0;
    std::optional<LevelBounds> bounds;            // nothing when there are no records
    std::array<std::uint64_t, 256> tileCounts{};  // records per tile number
    std::uint64_t duplicatedPositions = 0;        // positions that hold more than one record
    std::uint64_t surplusRecords = 0;             // records beyond the first at their position
    // The first kListedDuplicates positions found to repeat, by y then x, with their counts.
    std::vector<DuplicatePosition> listedDuplicates;
};

class LevelStatsCollector {
  public:
    static constexpr std::size_t kListedDuplicates = 100;

    LevelStatsCollector();
    void Add(const LevelRecord& record);
    // The figures of the records added so far.
    LevelStats Result() const;

  private:
    LevelStats stats_;
    std::vector<std::uint64_t> seen_;                // one bit per position x + 4096 y
    std::vector<std::uint64_t> seenTwice_;           // likewise
    std::map<std::uint32_t, std::uint64_t> listed_;  // position -> count, for the listed ones
};

}  // namespace quorbel
