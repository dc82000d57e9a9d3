#include "formats/level_stats.h"

#include <algorithm>

namespace quorbel {
namespace {

constexpr std::size_t kPositions = std::size_t{1} << 24;  // 12 bits of x, 12 of y

// Sets the bit of position in bits; returns whether it was set before.
bool TestAndSet(std::vector<std::uint64_t>& bits, std::uint32_t position) {
    std::uint64_t& word = bits[position / 64];
    const std::uint64_t mask = std::uint64_t{1} << (position % 64);
    const bool was = (word & mask) != 0;
    word |= mask;
    return was;
}

}  // namespace

LevelStatsCollector::LevelStatsCollector() : seen_(kPositions / 64), seenTwice_(kPositions / 64) {}

void LevelStatsCollector::Add(const LevelRecord& record) {
    if (stats_.records == 0) {
        stats_.bounds = LevelBounds{record.x, record.x, record.y, record.y};
    } else {
        LevelBounds& b = *stats_.bounds;
        b.minX = std::min(b.minX, record.x);
        b.maxX = std::max(b.maxX, record.x);
        b.minY = std::min(b.minY, record.y);
        b.maxY = std::max(b.maxY, record.y);
    }
    ++stats_.records;
    ++stats_.tileCounts[record.tile];

    const std::uint32_t position = record.x + (std::uint32_t{record.y} << 12);
    if (!TestAndSet(seen_, position)) {
        return;
    }
    ++stats_.surplusRecords;
    if (!TestAndSet(seenTwice_, position)) {
        ++stats_.duplicatedPositions;
        if (listed_.size() < kListedDuplicates) {
            listed_.emplace(position, 1);
        }
    }
    if (const auto found = listed_.find(position); found != listed_.end()) {
        ++found->second;
    }
}

LevelStats LevelStatsCollector::Result() const {
    LevelStats result = stats_;
    // The map's order by x + 4096 y is the order by y, then x.
    for (const auto& [position, count] : listed_) {
        result.listedDuplicates.push_back(
            DuplicatePosition{static_cast<std::uint16_t>(position & 0xFFF),
                              static_cast<std::uint16_t>(position >> 12), count});
    }
    return result;
}

}  // namespace quorbel
