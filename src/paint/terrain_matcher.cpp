#include "paint/terrain_matcher.h"

namespace quorbel::paint {

TerrainMatcher::TerrainMatcher(const TerrainBlock& block)
    : outsideIsTerrain_(block.outsideIsTerrain) {
    choices_.push_back(block.fill);
    // Only rules that some neighbourhood reaches first get a choice: at most 256 besides the fill.
    std::vector<std::uint16_t> choiceOfRule(block.rules.size(), 0);
    for (unsigned neighbours = 0; neighbours < 256; ++neighbours) {
        for (std::size_t rule = 0; rule < block.rules.size(); ++rule) {
            if (block.rules[rule].pattern.Matches(static_cast<std::uint8_t>(neighbours))) {
                if (choiceOfRule[rule] == 0) {
                    choices_.push_back(block.rules[rule].tiles);
                    choiceOfRule[rule] = static_cast<std::uint16_t>(choices_.size() - 1);
                }
                chosen_[neighbours] = choiceOfRule[rule];
                break;
            }
        }
    }
}

}  // namespace quorbel::paint
