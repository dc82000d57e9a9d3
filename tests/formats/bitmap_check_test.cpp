#include "formats/bitmap_check.h"

#include <gtest/gtest.h>

#include "support/bmp_builder.h"

namespace quorbel {

void PrintTo(const UnmetCondition& c, std::ostream* out) {
    *out << c.found << "; " << c.needed << " (remedy " << static_cast<int>(c.remedy) << ")";
}

namespace {

using namespace std::string_literals;
using test::BmpBuilder;

constexpr auto kPrepare = Remedy::Prepare;
const std::string kMustBeBmp = "the map must be a 1-bit BMP";
const std::string kAt62WithPalette =
    "they must start at byte 62 (a 40-byte header and a 2-colour palette)";

// The BMP variants that tools write go through convert in tests/cli; these are the rest.
TEST(BitmapCheckTest, EachUnmetConditionInWords) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<UnmetCondition> unmet;
    } const cases[] = {
        {"map bitmap", BmpBuilder(64, 32).Bytes(), {}},
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

}  // namespace
}  // namespace quorbel
