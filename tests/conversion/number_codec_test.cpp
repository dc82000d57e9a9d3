#include "conversion/number_codec.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "base/errors.h"

namespace quorbel::modModule {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values) {
        bytes += static_cast<char>(value);
    }
    return bytes;
}

TEST(ByteToBits, WritesEightDigitsAndConsumesItsArgument) {
    struct Case {
        std::int16_t value;
        const char* bits;
        std::int16_t left;
    } const cases[] = {
        {0, "00000000", 0},   {1, "00000001", 0},   {5, "00000101", 0},   {128, "10000000", 0},
        {171, "10101011", 0}, {255, "11111111", 0}, {256, "11111111", 1}, {-3, "00000000", -3},
    };
    for (const Case& c : cases) {
        std::int16_t value = c.value;
        EXPECT_EQ(ByteToBits(value), c.bits) << c.value;
        EXPECT_EQ(value, c.left) << c.value;
    }
}

TEST(ReverseString, ReversesAndRefusesTextsOf32767Characters) {
    EXPECT_EQ(ReverseString(""), "");
    EXPECT_EQ(ReverseString("a"), "a");
    EXPECT_EQ(ReverseString("ab"), "ba");
    EXPECT_EQ(ReverseString(std::string(32766, 'x')).size(), 32766u);
    EXPECT_THROW(ReverseString(std::string(32767, 'x')), OverflowError);
}

TEST(BitsToNumber, ReadsABinaryNumeral) {
    struct Case {
        std::string bits;
        std::int32_t value;
    } const cases[] = {
        {"", 0},
        {"101", 5},
        {"000101", 5},
        {"1x1", 5},  // only "1" adds its weight
        {std::string(31, '1'), 2147483647},
        {std::string(39, '0') + "1", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BitsToNumber(c.bits), c.value) << c.bits;
    }
}

TEST(BitsToNumber, OverflowsFromTwoToThe31) {
    for (const std::string& bits :
         {"1" + std::string(31, '0'), "1" + std::string(40, '0'), std::string(32767, '0')}) {
        EXPECT_THROW(BitsToNumber(bits), OverflowError) << bits.size();
    }
}

TEST(BytesToNumber, DecodesUnsignedLittleEndian) {
    struct Case {
        std::string bytes;
        std::int32_t value;
    } const cases[] = {
        {"", 0},
        {Bytes({0x3E, 0, 0, 0}), 62},
        {Bytes({0x01, 0x02}), 513},
        {Bytes({0xFF, 0xFF}), 65535},
        {Bytes({1, 0, 0, 0, 0, 0, 0, 0}), 1},
        {Bytes({0xFF, 0xFF, 0xFF, 0x7F}), 2147483647},
        {std::string(4095, '\0'), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BytesToNumber(c.bytes), c.value) << c.value;
    }
}

TEST(BytesToNumber, OverflowsForTopBitOrLongStrings) {
    for (const std::string& bytes : {Bytes({0, 0, 0, 0x80}), Bytes({0xFF, 0xFF, 0xFF, 0xFF}),
                                     Bytes({0, 0, 0, 0, 1}), std::string(4096, '\0')}) {
        EXPECT_THROW(BytesToNumber(bytes), OverflowError) << bytes.size();
    }
}

TEST(RoundDown, TakesTheWholePartThroughTheHalfRule) {
    struct Case {
        const char* text;
        std::int16_t value;
    } const cases[] = {
        {"0", 0},          {"16", 16},      {"1.171875", 1},    {"0.78125", 0}, {"1.5", 1},
        {"3.99609375", 3}, {"63.9375", 63}, {"32767.9", 32767}, {"-1.7", -3},   {"-1.5", -2},
        {"-1.2", -2},      {"18.9375", 18}, {"-32768", -32768}, {"1e2", 100},   {"2.05", 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RoundDown(c.text), c.value) << c.text;
    }
}

TEST(RoundDown, RefusesNonNumbersAndResultsOutOfRange) {
    for (const char* text : {"", " ", "abc", "1,5", "1.5x", "nan", "0x10", " 1"}) {
        EXPECT_THROW(RoundDown(text), TypeMismatchError) << '"' << text << '"';
    }
    for (const char* text : {"32768", "-32769", "1e400", "inf", "-inf"}) {
        EXPECT_THROW(RoundDown(text), OverflowError) << text;
    }
}

TEST(DecimalText, IsPlainAndIgnoresTheUsersLocale) {
    // A comma locale must not change any text; de_DE may be missing, C.UTF-8 then stands in.
    const char* before = std::setlocale(LC_ALL, nullptr);
    const std::string saved = before ? before : "C";
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    EXPECT_EQ(DecimalText(300.0 / 256.0), "1.171875");
    EXPECT_EQ(DecimalText(3.0), "3");
    EXPECT_EQ(DecimalText(-1.5), "-1.5");
    EXPECT_EQ(DecimalText(1e20), "100000000000000000000");
    EXPECT_EQ(DecimalText(303.0f / 16.0f), "18.9375");
    EXPECT_EQ(IntegerText(-32768), "-32768");
    EXPECT_EQ(RoundDown("1.171875"), 1);
    std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
}  // namespace quorbel::modModule
