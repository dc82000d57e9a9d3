#include "paint/painted_records.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>

#include "support/paint_model.h"

namespace quorbel::paint {
namespace {

using test::model::Kind;
using test::model::WrittenRule;
using test::model::WrittenTerrain;

class BytesSink : public RecordSink {
  public:
    char* Room(std::size_t count) override {
        room_.resize(count);
        return room_.data();
    }
    void Advance(std::size_t count) override { bytes += room_.substr(0, count); }
    std::string bytes;

  private:
    std::string room_;
};

// Worked out by hand from the formula, in unsigned 32-bit arithmetic.
TEST(PaintedRecordsTest, PositionHashOfWorkedExamples) {
    EXPECT_EQ(CellHash(0, 0), 0u);
    EXPECT_EQ(CellHash(1, 0), 2396978369u);
    EXPECT_EQ(CellHash(0, 1), 528752071u);
    EXPECT_EQ(CellHash(4095, 4095), 1241586168u);
}

// Random drawings of four kinds of cell (two plain, two terrains) and empty ones, random rule
// sets, the palette and rules read from their text: every record, and their order, as the plain
// model paints them.
TEST(PaintedRecordsTest, RandomDrawingsAndRulesPaintAsThePlainModel) {
    std::mt19937 random(1903);
    const auto uniform = [&](int low, int high) {
        return std::uniform_int_distribution(low, high)(random);
    };
    const auto tiles = [&] {
        std::vector<int> list(static_cast<std::size_t>(uniform(1, 3)));
        for (int& tile : list) {
            tile = uniform(0, 255);
        }
        return list;
    };
    for (int sample = 0; sample < 200; ++sample) {
        SCOPED_TRACE("sample " + std::to_string(sample));
        std::vector<WrittenTerrain> terrains(2);
        for (std::size_t t = 0; t < terrains.size(); ++t) {
            terrains[t].name = t == 0 ? "grass" : "water";
            terrains[t].outsideIsTerrain = uniform(0, 1) == 1;
            terrains[t].fill = tiles();
            for (int r = uniform(0, 16); r > 0; --r) {
                WrittenRule rule{tiles(), ""};
                for (int i = 0; i < 9; ++i) {
                    rule.cells += i == 4 ? 'X' : "X.??"[uniform(0, 3)];
                }
                terrains[t].rules.push_back(rule);
            }
        }
        // Letters a, b plain; g, w terrains; the rest empty (white, transparent).
        const std::vector<Kind> kinds = {{'g', 0, &terrains[0]},
                                         {'a', uniform(0, 255), nullptr},
                                         {'w', 0, &terrains[1]},
                                         {'b', uniform(0, 255), nullptr}};
        const std::string palette = "GIMP Palette\n10 10 10 ground grass\n20 20 20 a " +
                                    std::to_string(kinds[1].tile) + "\n30 30 30 sea water\n" +
                                    "40 40 40 b " + std::to_string(kinds[3].tile) + "\n";
        const std::map<char, std::uint32_t> pixelOf = {{'g', 0xFF0A0A0A}, {'a', 0xFF141414},
                                                       {'w', 0xFF1E1E1E}, {'b', 0xFF282828},
                                                       {'.', 0xFFFFFFFF}, {' ', 0x00000000}};
        const int width = uniform(1, 24);
        const int height = uniform(1, 12);
        const int share = uniform(0, 100);
        std::vector<std::string> drawing(static_cast<std::size_t>(height));
        std::vector<std::uint32_t> pixels;
        for (std::string& row : drawing) {
            for (int x = 0; x < width; ++x) {
                row += uniform(0, 99) < share ? "gawb"[uniform(0, 3)] : ". "[uniform(0, 1)];
                pixels.push_back(pixelOf.at(row.back()));
            }
        }

        const auto legend = ParseGimpPalette(palette, "p.gpl");
        const auto blocks = ParseRules(test::model::RulesFileText(terrains), "r.txt");
        const PaintPlan plan(legend, blocks, "r.txt");
        ColourClasses classes(legend, false);
        UnknownColours unknown;
        const CellGrid grid = ClassifyArgbPixels(pixels.data(), static_cast<std::size_t>(width),
                                                 width, height, classes, unknown);
        BytesSink sink;
        const PaintedRecords painted = WritePaintedRecords(grid, plan.Entries(), sink);

        const auto expected = test::model::PaintedTiles(drawing, kinds);
        EXPECT_EQ(test::model::RecordsOf(sink.bytes, 0), expected);
        EXPECT_EQ(std::accumulate(painted.perEntry.begin(), painted.perEntry.end(), 0u),
                  expected.size());
        EXPECT_TRUE(unknown.Empty());
    }
}

}  // namespace
}  // namespace quorbel::paint
