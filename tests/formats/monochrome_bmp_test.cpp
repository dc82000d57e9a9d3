#include "formats/monochrome_bmp.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "support/level_model.h"

namespace quorbel {
namespace {

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t at = 0; at + 1 < hex.size(); at += 3) {
        bytes += static_cast<char>(std::stoi(hex.substr(at, 2), nullptr, 16));
    }
    return bytes;
}

TEST(MonochromeBmpTest, WorkedExampleByteForByte) {
    // 3 x 2 pixels, dark at (0, 0) and (2, 1); the bottom row is stored first.
    const std::string expected = FromHex(
        "42 4D 46 00 00 00 00 00 00 00 3E 00 00 00 28 00 00 00 03 00 00 00 02 00 00 00 01 00 01 "
        "00 00 00 00 00 08 00 00 00 13 0B 00 00 13 0B 00 00 02 00 00 00 02 00 00 00 FF FF FF 00 "
        "00 00 00 00 20 00 00 00 80 00 00 00 ");
    const auto dark = [](int x, int y) { return (x == 0 && y == 0) || (x == 2 && y == 1); };
    EXPECT_EQ(MonochromeBmpBytes(3, 2, dark), expected);
}

TEST(MonochromeBmpTest, ConvertsToExactlyItsDarkPixels) {
    const auto dark = [](int x, int y) { return (x * x + 3 * y) % 5 < 2; };
    for (const auto& [width, height] :
         std::vector<std::pair<int, int>>{{0, 3}, {1, 1}, {31, 2}, {32, 3}, {33, 4}, {1024, 2}}) {
        const std::string bmp = MonochromeBmpBytes(width, height, dark);
        EXPECT_EQ(bmp.size(), 62 + MonochromeRowBytes(static_cast<std::uint64_t>(width)) *
                                       static_cast<std::uint64_t>(height));
        EXPECT_EQ(test::model::TilesOf(bmp, 9),
                  test::model::TilesOfDarkPixels(width, height, dark, 9))
            << width << " x " << height;
    }
    EXPECT_THROW(MonochromeBmpBytes(-1, 1, dark), InvalidArgumentError);
}

}  // namespace
}  // namespace quorbel
