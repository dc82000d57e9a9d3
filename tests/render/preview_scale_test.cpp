#include "render/preview_scale.h"

#include <gtest/gtest.h>

#include "command/command_line.h"

namespace quorbel::render {
namespace {

using command::UsageError;

TEST(PreviewScaleTest, ScaleTextsToTileSides) {
    const std::pair<const char*, int> good[] = {{"1", 16},   {"2", 32},   {"0.5", 8},
                                                {"1/4", 4},  {"3/16", 3}, {"0.0625", 1},
                                                {"16", 256}, {"1.5", 24}, {"4/2", 32}};
    for (const auto& [text, side] : good) {
        EXPECT_EQ(TileSideForScale(text), side) << text;
    }
    for (const char* text : {"", "0", "-1", "0.3", "1/32", "17", "x", "1/0", "1,5", "2 "}) {
        EXPECT_THROW(TileSideForScale(text), UsageError) << text;
    }
    for (const int side : {1, 3, 4, 8, 16, 24, 32, 256}) {
        EXPECT_EQ(TileSideForScale(ScaleText(side)), side) << side;
    }
}

}  // namespace
}  // namespace quorbel::render
