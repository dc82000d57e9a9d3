#include "conversion/tile_records.h"

#include <gtest/gtest.h>

#include <random>

#include "base/errors.h"
#include "conversion/number_codec.h"
#include "support/recording_front_end.h"

namespace quorbel::modModule {
namespace {

using test::CountingPump;

std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (!out.empty()) {
            out += ' ';
        }
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

// The record as the text route builds it: SplitCoordinates, then the four byte characters.
std::string RecordByTextRoute(std::int32_t x, std::int32_t y, std::int16_t TileNumber,
                              EventPump& pump) {
    std::int16_t b0 = 0, b1 = 0, b2 = 0;
    SplitCoordinates(b0, b1, b2, x, y, pump);
    std::string record;
    for (const std::int16_t b : {b0, b1, b2, TileNumber}) {
        if (b < 0 || b > 255) {
            throw InvalidArgumentError("not a byte");
        }
        record += static_cast<char>(b);
    }
    return record;
}

class TileRecordsTest : public ::testing::Test {
  protected:
    RecordValues values{171, {0, 1}};
    CountingPump pump;
};

TEST_F(TileRecordsTest, RecordLayout) {
    struct Case {
        std::int32_t x, y;
        std::int16_t tile;
        const char* hex;
    } const cases[] = {
        {300, 17, 171, "2C 11 01 AB"},    {200, 24, 171, "C8 80 01 AB"},
        {0, 0, 171, "00 00 00 AB"},       {255, 0, 171, "FF 00 00 AB"},
        {256, 0, 171, "00 01 00 AB"},     {1023, 0, 171, "FF 03 00 AB"},
        {0, 15, 171, "00 F0 00 AB"},      {0, 16, 171, "00 00 01 AB"},
        {1023, 1023, 171, "FF F3 3F AB"}, {4095, 4095, 0, "FF FF FF 00"},
        {7, 9, 255, "07 90 00 FF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Hex(TileRecord(c.x, c.y, c.tile, pump)), c.hex) << c.x << "," << c.y;
    }
}

TEST_F(TileRecordsTest, ArithmeticRouteMatchesTextRoute) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<std::int32_t> coordinate(0, 4095);
    const auto same = [&](std::int32_t x, std::int32_t y) {
        return TileRecord(x, y, 171, pump) == RecordByTextRoute(x, y, 171, pump);
    };
    for (std::int32_t v = 0; v <= 4095; ++v) {
        ASSERT_TRUE(same(v, 0)) << "x=" << v;
        ASSERT_TRUE(same(0, v)) << "y=" << v;
    }
    for (int i = 0; i < 100000; ++i) {
        const std::int32_t x = coordinate(random);
        const std::int32_t y = coordinate(random);
        ASSERT_TRUE(same(x, y)) << x << "," << y;
    }
}

TEST_F(TileRecordsTest, OutsideTheTwelveBitFieldsTheTextRouteDecides) {
    std::int16_t b0 = 0, b1 = 0, b2 = 0;
    SplitCoordinates(b0, b1, b2, 4096, 4096, pump);
    EXPECT_EQ(b1, 16);  // 4096 / 256 = 16 spills into the y nibble's place
    EXPECT_EQ(b2, 256);
    EXPECT_THROW(TileRecord(4096, 4096, 171, pump), InvalidArgumentError);
    EXPECT_THROW(TileRecord(-1, 0, 171, pump), InvalidArgumentError);
    EXPECT_THROW(TileRecord(8388608, 0, 171, pump), OverflowError);  // RoundDown of 32768
}

TEST_F(TileRecordsTest, TileNumberOutsideAByteFailsAtTheFirstTilePixel) {
    for (const std::int16_t tile : {std::int16_t{256}, std::int16_t{-1}}) {
        values.TileNumber = tile;
        CountingPump counted;
        EXPECT_EQ(EncodeRow(std::string(1, '\0'), 8, 0, values, counted), "");  // no tile pixel
        EXPECT_THROW(EncodeRow(std::string(1, '\x10'), 8, 0, values, counted),
                     InvalidArgumentError);
        EXPECT_EQ(counted.yields, 1);  // the record yields before its tile byte is made
    }
}

TEST_F(TileRecordsTest, EncodeRowPicksTilePixelsWithinTheWidth) {
    struct Case {
        std::string row;
        std::int32_t width;
        std::array<std::int16_t, 2> colorMap;
        std::vector<int> xs;
    } const cases[] = {
        {"\xA0", 8, {0, 1}, {0, 2}},
        {"\xA0", 8, {1, 0}, {1, 3, 4, 5, 6, 7}},
        {"\xFF\xFF", 3, {0, 1}, {0, 1, 2}},       // bits past the width make nothing
        {"\x01\x80\xFF\xFF", 9, {0, 1}, {7, 8}},  // padding bytes make nothing
        {"\xFF", 0, {0, 1}, {}},
        {"\xFF", -5, {0, 1}, {}},
        {"\xFF", 8, {0, 0}, {}},
        {"\xFF", 8, {2, 2}, {}},  // only exactly 1 marks tiles
        {"\x0F", 8, {1, 1}, {0, 1, 2, 3, 4, 5, 6, 7}},
    };
    for (const Case& c : cases) {
        values.ColorMap = c.colorMap;
        CountingPump counted;
        std::string expected;
        for (const int x : c.xs) {
            expected += TileRecord(x, 5, values.TileNumber, pump);
        }
        EXPECT_EQ(Hex(EncodeRow(c.row, c.width, 5, values, counted)), Hex(expected)) << Hex(c.row);
        EXPECT_EQ(counted.yields, static_cast<int>(c.xs.size()));
    }
}

TEST_F(TileRecordsTest, EncodeRowExpandsBitsLikeByteToBits) {
    for (int value = 0; value < 256; ++value) {
        std::int16_t temporary = static_cast<std::int16_t>(value);
        const std::string bits = ByteToBits(temporary);
        std::string expected;
        for (int x = 0; x < 8; ++x) {
            if (bits[x] == '1') {
                expected += TileRecord(x, 0, values.TileNumber, pump);
            }
        }
        ASSERT_EQ(EncodeRow(std::string(1, static_cast<char>(value)), 8, 0, values, pump), expected)
            << value;
    }
}

TEST_F(TileRecordsTest, WidthBeyondTheRowIsATypeMismatch) {
    EXPECT_THROW(EncodeRow("\xFF", 9, 0, values, pump), TypeMismatchError);
    EXPECT_THROW(EncodeRow("", 1, 0, values, pump), TypeMismatchError);
}

}  // namespace
}  // namespace quorbel::modModule
