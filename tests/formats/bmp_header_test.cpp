#include "formats/bmp_header.h"

#include <gtest/gtest.h>

#include "support/bmp_builder.h"

namespace quorbel {
namespace {

using test::Le16;
using test::Le32;

// "BM", a size field, 4 reserved bytes and a data offset: the 14-byte file header.
std::string FileHeader(std::uint32_t size, std::uint32_t offset) {
    return "BM" + Le32(size) + std::string(4, '\0') + Le32(offset);
}

TEST(BmpHeader, ReadsTheSidesAsTheInfoHeaderSaysAndNothingItDoesNotHold) {
    const std::string windows = test::BmpBuilder(300, -17).Bytes();
    // OS/2's oldest header: 16-bit sides, then planes and the bit count.
    const std::string os2 =
        FileHeader(40, 26) + Le32(12) + Le16(640) + Le16(480) + Le16(1) + Le16(8);
    struct Case {
        const char* name;
        std::string leading;
        bool signature;
        std::optional<std::uint32_t> size;
        std::optional<BmpPicture> sides;
        bool picture;  // a known info header
    } const cases[] = {
        {"a 40-byte header", windows, true, 62 + 40 * 17, BmpPicture{300, -17, 1}, true},
        {"OS/2, 16-bit sides", os2, true, 40, BmpPicture{640, 480, 8}, true},
        {"OS/2 cut before its bit count", os2.substr(0, 25), true, 40, std::nullopt, false},
        {"cut before the bit count", windows.substr(0, 29), true, 62 + 40 * 17, std::nullopt,
         false},
        {"an unknown 20-byte header",
         FileHeader(99, 34) + Le32(20) + Le32(7) + Le32(5) + Le16(1) + Le16(4), true, 99,
         BmpPicture{7, 5, 4}, false},
        {"a PNG", "\x89PNG\r\n\x1A\n" + std::string(30, '\0'), false, 0x0A0D474E, BmpPicture{},
         false},
        {"five bytes", "BM\x06\x00\x00", true, std::nullopt, std::nullopt, false},
    };
    for (const Case& c : cases) {
        const BmpHeader header(c.leading);
        EXPECT_EQ(header.HasSignature(), c.signature) << c.name;
        EXPECT_EQ(header.SizeField(), c.size) << c.name;
        const auto sides = header.Sides();
        ASSERT_EQ(sides.has_value(), c.sides.has_value()) << c.name;
        if (sides) {
            EXPECT_EQ(sides->width, c.sides->width) << c.name;
            EXPECT_EQ(sides->height, c.sides->height) << c.name;
            EXPECT_EQ(sides->bitsPerPixel, c.sides->bitsPerPixel) << c.name;
        }
        EXPECT_EQ(header.Picture().has_value(), c.picture) << c.name;
    }
}

TEST(BmpHeader, RawFieldsAreTheBytesAsTheyStand) {
    const std::string leading = test::BmpBuilder(1024, 2).Bytes();
    const BmpHeader header(leading);
    EXPECT_EQ(header.Raw(kBmpDataOffsetField), std::string("\x3E\0\0\0", 4));
    EXPECT_EQ(header.Raw(kBmpWidthField), std::string("\0\x04\0\0", 4));
    EXPECT_EQ(header.Raw(kBmpBitCountField), std::string("\x01\0", 2));
    EXPECT_EQ(BmpHeader("BM\x10").Raw(kBmpSizeField), "\x10");  // cut short
    EXPECT_EQ(BmpHeader("BM").Raw(kBmpSizeField), "");
}

}  // namespace
}  // namespace quorbel
