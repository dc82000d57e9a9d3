#include "conversion/bitmap_check.h"

#include <gtest/gtest.h>

#include "support/bmp_builder.h"
#include "support/variant_bmp.h"

namespace quorbel {
namespace {

using namespace std::string_literals;

using test::BmpBuilder;
using test::BmpVariant;

}  // namespace

void PrintTo(const UnmetCondition& c, std::ostream* out) {
    *out << c.found << "; " << c.needed << " (remedy " << static_cast<int>(c.remedy) << ")";
}

namespace {

bool Letters(int x, int y) {
    return (3 * x + 5 * y) % 7 == 0;
}

std::string Variant(BmpVariant variant, int width = 64, int height = 32) {
    return test::VariantBmp(variant, width, height, Letters);
}

constexpr auto kPrepare = Remedy::Prepare;
const std::string kMustBeBmp = "the map must be a 1-bit BMP";
const std::string kAt62 = "they must start at byte 62 (a 40-byte header)";
const std::string kAt62WithPalette =
    "they must start at byte 62 (a 40-byte header and a 2-colour palette)";

TEST(BitmapCheckTest, EachUnmetConditionInWords) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<UnmetCondition> unmet;
    } const cases[] = {
        {"map bitmap", BmpBuilder(64, 32).Bytes(), {}},
        {"ImageMagick default: V4 header",
         Variant({.infoSize = 108, .darkFirst = true}),
         {{"the pixels start at byte 130 (a 108-byte header)", kAt62, kPrepare}}},
        {"GIMP default: V5 header, 24 bits",
         Variant({.infoSize = 124, .bitsPerPixel = 24}),
         {{"the pixels start at byte 138 (a 124-byte header and no palette)", kAt62WithPalette,
           kPrepare},
          {"24 bits per pixel", "the map must have 1", kPrepare}}},
        {"top-down",
         Variant({.topDown = true}),
         {{"the rows are stored top row first (height -32)",
           "they must be stored bottom row first (a positive height)", kPrepare}}},
        {"OS/2",
         Variant({.infoSize = 12}),
         {{"an OS/2 bitmap (a 12-byte header with 16-bit sides)",
           "the map must have a 40-byte Windows header, with its pixels at byte 62", kPrepare}}},
        {"24 bits",
         Variant({.bitsPerPixel = 24}),
         {{"the pixels start at byte 54 (a 40-byte header and no palette)", kAt62WithPalette,
           kPrepare},
          {"24 bits per pixel", "the map must have 1", kPrepare}}},
        {"8 bits",
         Variant({.bitsPerPixel = 8}),
         {{"the pixels start at byte 1078 (a 40-byte header and a 256-colour palette)",
           kAt62WithPalette, kPrepare},
          {"8 bits per pixel", "the map must have 1", kPrepare}}},
        {"4 bits",
         Variant({.bitsPerPixel = 4}),
         {{"the pixels start at byte 118 (a 40-byte header and a 16-colour palette)",
           kAt62WithPalette, kPrepare},
          {"4 bits per pixel", "the map must have 1", kPrepare}}},
        {"2048 x 1536 V4",
         Variant({.infoSize = 108}, 2048, 1536),
         {{"the pixels start at byte 130 (a 108-byte header)", kAt62, kPrepare},
          {"2048 x 1536 pixels", "at most 1024 x 1024", Remedy::ScaleDown}}},
        {"height past 32767",
         BmpBuilder(64, 40000).StoredRows(0).Bytes(),
         {{"64 x 40000 pixels", "at most 1024 x 1024", Remedy::ScaleDown}}},
        {"cut short",
         BmpBuilder(64, 32).StoredRows(31).Bytes(),
         {{"the file has 310 bytes", "its headers, palette and 64 x 32 pixels take 318",
           Remedy::Remake}}},
        {"offset 318",
         BmpBuilder(8, 1).DataOffset(318).Bytes(),
         {{"the pixels start at byte 318 (a 40-byte header and 264 more bytes)", kAt62WithPalette,
           kPrepare}}},
        {"PNG",
         "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR"s,
         {{"the file is a PNG picture", kMustBeBmp, kPrepare}}},
        {"GIF", "GIF89a\x40\0\x20\0"s, {{"the file is a GIF picture", kMustBeBmp, kPrepare}}},
        {"JPEG",
         "\xFF\xD8\xFF\xE0\0\x10JFIF"s,
         {{"the file is a JPEG picture", kMustBeBmp, kPrepare}}},
        {"PGM", "P5\n64 32\n255\n", {{"the file is a PGM picture", kMustBeBmp, kPrepare}}},
        {"zip",
         "PK\x03\x04",
         {{"the file begins with 'PK', not 'BM'", kMustBeBmp, Remedy::Remake}}},
        {"empty", "", {{"the file is empty", kMustBeBmp, Remedy::Remake}}},
        {"headers cut short",
         "BM" + std::string(20, '\0'),
         {{"the file has only 22 bytes, too few for its BMP headers",
           "a map bitmap's headers and palette take 62", Remedy::Remake}}},
    };
    for (const Case& c : cases) {
        const std::string_view leading = std::string_view(c.bytes).substr(0, kMapHeaderBytes);
        EXPECT_EQ(CheckMapBitmapBytes(leading, c.bytes.size()).unmet, c.unmet) << c.name;
    }
}

TEST(BitmapCheckTest, AMapBitmapGivesItsSidesAndFirstPaletteEntry) {
    const MapBitmapCheck check = CheckMapBitmapBytes(
        BmpBuilder(1024, 3).Palette({240, 230, 220, 0}, {0, 0, 0, 0}).Bytes(), 62 + 3 * 128);
    EXPECT_EQ(check.width, 1024);
    EXPECT_EQ(check.height, 3);
    EXPECT_EQ(check.entry0, (PaletteEntry{240, 230, 220}));
}

}  // namespace
}  // namespace quorbel
