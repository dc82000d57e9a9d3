#include "tiled/cell_data.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/map_bytes.h"

namespace quorbel::tiled {
namespace {

using test::Base64;
using test::Compress;
using test::GidBytes;

std::vector<std::uint32_t> Decode(const CellBlock& block) {
    std::vector<std::uint32_t> gids;
    DecodeCells(block, "layer 'a'", [&](std::span<const std::uint32_t> batch) {
        gids.insert(gids.end(), batch.begin(), batch.end());
    });
    return gids;
}

CellBlock Block(std::int64_t width, std::int64_t height, CellEncoding encoding, std::string data,
                CellCompression compression = CellCompression::None) {
    return CellBlock{0, 0, width, height, encoding, compression, std::move(data)};
}

// Tiled's own CSV, base64, zlib and gzip data are read in tests/render/tiled_check_test.cpp; here
// what Tiled seldom writes: blanks anywhere, and layers of more than one batch and inflated piece.
TEST(CellDataTest, DecodesBlanksAndLargeLayers) {
    const std::vector<std::uint32_t> gids{1, 0, 3, 0, 20, 0x800000ABu};
    const std::string bytes = GidBytes(gids);
    std::vector<std::uint32_t> many(300000);
    for (std::size_t i = 0; i < many.size(); ++i) {
        many[i] = static_cast<std::uint32_t>(i % 7 == 0 ? 0 : i % 190 + 1);
    }
    struct Case {
        const char* name;
        CellBlock block;
        std::vector<std::uint32_t> expected;
    } const cases[] = {
        {"csv with blanks everywhere",
         Block(3, 2, CellEncoding::Csv, " 1 ,0,\t3,\r\n0 , 20,2147483819 "), gids},
        {"plain gids", Block(3, 2, CellEncoding::Gids, bytes), gids},
        {"empty block", Block(0, 5, CellEncoding::Csv, "  \n"), {}},
        {"base64 with blanks",
         Block(3, 2, CellEncoding::Base64, "\n  " + Base64(bytes).insert(4, " \r\n\t") + "\n "),
         gids},
        {"a large zlib layer",
         Block(600, 500, CellEncoding::Base64, Base64(Compress(GidBytes(many), false)),
               CellCompression::Zlib),
         many},
        {"a large csv layer",
         Block(300, 1000, CellEncoding::Csv,
               [&] {
                   std::string text;
                   for (const std::uint32_t gid : many) {
                       text += std::to_string(gid) + ",";
                   }
                   text.pop_back();
                   return text;
               }()),
         many},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Decode(c.block), c.expected) << c.name;
    }
}

TEST(CellDataTest, RefusesDataThatIsNotWhatItsEncodingSays) {
    const std::string six = GidBytes({1, 2, 3, 4, 5, 6});
    const std::string zlib = Compress(six, false);
    struct Case {
        const char* name;
        CellBlock block;
        const char* message;  // part of it
    } const cases[] = {
        {"too few csv cells", Block(3, 2, CellEncoding::Csv, "1,2,3,4,5"),
         "layer 'a' holds 5 cells, but its width x height is 6"},
        {"too many csv cells", Block(3, 2, CellEncoding::Csv, "1,2,3,4,5,6,7"),
         "holds more cells than its width x height, 6"},
        {"a trailing comma", Block(3, 2, CellEncoding::Csv, "1,2,3,4,5,6,"), "has no number"},
        {"a negative gid", Block(3, 2, CellEncoding::Csv, "1,2,3,4,5,-6"),
         "layer 'a': its CSV data has no number at line 1, column 11"},
        {"a gid past 32 bits", Block(1, 1, CellEncoding::Csv, "4294967296"),
         "larger than a gid can be"},
        {"a letter in csv", Block(3, 2, CellEncoding::Csv, "1,2,3,\n4,5x,6"),
         "has something other than a comma at line 2, column 4"},
        {"a stray base64 character", Block(3, 2, CellEncoding::Base64, "AQAA*AAA"),
         "its base64 data holds '*' at line 1, column 5"},
        {"base64 cut inside a gid", Block(3, 2, CellEncoding::Base64, Base64(six.substr(0, 22))),
         "ends in the middle of a 4-byte gid"},
        {"zlib cut short",
         Block(3, 2, CellEncoding::Base64, Base64(zlib.substr(0, zlib.size() - 3)),
               CellCompression::Zlib),
         "its zlib data is cut short"},
        {"zlib data that is gzip",
         Block(3, 2, CellEncoding::Base64, Base64(Compress(six, true)), CellCompression::Zlib),
         "its zlib data cannot be inflated"},
        {"bytes after the zlib stream",
         Block(3, 2, CellEncoding::Base64, Base64(zlib + "xyz"), CellCompression::Zlib),
         "goes on after its end"},
        {"zstd", Block(3, 2, CellEncoding::Base64, "KLUv/SAYwQAAAQ==", CellCompression::Zstd),
         "compressed with Zstandard, which is not read here: in Tiled, choose Map > Map "
         "Properties > Tile Layer Format \"CSV\""},
        {"compressed csv", Block(3, 2, CellEncoding::Csv, "1,2,3,4,5,6", CellCompression::Gzip),
         "only base64 data can be compressed"},
        {"too many cells", Block(1 << 15, 1 << 14, CellEncoding::Csv, "0"),
         "is 32768 x 16384 cells; at most 268435456"},
        {"a negative width", Block(-3, 2, CellEncoding::Csv, ""),
         "layer 'a' has a width of -3 and a height of 2 cells; neither can be below 0"},
        {"a negative height", Block(2, -1, CellEncoding::Csv, ""),
         "has a width of 2 and a height of -1 cells; neither"},
    };
    for (const Case& c : cases) {
        try {
            Decode(c.block);
            ADD_FAILURE() << c.name << ": decoded";
        } catch (const MapError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos)
                << c.name << ": " << error.what();
        }
    }
}

}  // namespace
}  // namespace quorbel::tiled
