#include "conversion/conversion_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <filesystem>

#include "conversion/tile_records.h"
#include "support/bmp_builder.h"
#include "support/level_bytes.h"
#include "support/recording_front_end.h"
#include "support/scratch_dir.h"

namespace quorbel {
namespace {

using test::BmpBuilder;
using test::ReadWholeFile;
using test::WriteWholeFile;

using test::Status;

const std::vector<std::string> kAllStatuses = {
    Status(texts::kOpenedFiles), Status(texts::kCopyingTileset), Status(texts::kGatheringData),
    Status(texts::kDebugingData), Status(texts::kConverting)};

// The statuses of a run that got through the first n and then failed.
std::vector<std::string> FailedAfter(std::size_t n) {
    std::vector<std::string> statuses(kAllStatuses.begin(), kAllStatuses.begin() + n);
    statuses.push_back(Status(texts::kErrorStatus));
    return statuses;
}

// Dark (palette entry 0, black) where the picture has '#', reading rows from the top.
BmpBuilder Picture(const std::vector<std::string>& rows) {
    const auto width = static_cast<std::int64_t>(rows.empty() ? 0 : rows[0].size());
    return BmpBuilder(width, static_cast<std::int64_t>(rows.size())).Pixels([rows](int x, int y) {
        return rows[y][x] == '#' ? 0 : 1;
    });
}

constexpr auto Record = test::LevelRecordBytes;

class ConversionRunTest : public ::testing::Test {
  public:
    void SetUp() override {
        tilesetBytes = BmpBuilder(16, 16).Bytes() + "trailing bytes that are not copied";
        WriteWholeFile(tileset, tilesetBytes);
        Picture({"#..", ".#.", "..#", "###"}).WriteTo(bitmap);
        WriteWholeFile(output, "the user's earlier level");
        window.fields = {{Field::txtTileNum, "171"},
                         {Field::txtTile, tileset},
                         {Field::txtPic, bitmap},
                         {Field::txtOut, output}};
        window.report = "earlier report";
    }

    std::string Prefix() const { return tilesetBytes.substr(0, tilesetBytes.size() - 34); }

    RunResult Run() { return RunConversion(window); }

    // No temporary file is left in the folder.
    void ExpectNoLeftovers() const { EXPECT_EQ(dir.Leftovers(), std::vector<std::string>{}); }

    void ExpectOutputUntouched() const {
        EXPECT_EQ(ReadWholeFile(output), "the user's earlier level");
        ExpectNoLeftovers();
    }

    test::ScratchDir dir;
    std::string tileset = dir / "tileset.lvl";
    std::string bitmap = dir / "bitmap.bmp";
    std::string output = dir / "out.lvl";
    std::string tilesetBytes;
    test::RecordingFrontEnd window;
};

TEST_F(ConversionRunTest, ConvertsDarkPixelsBottomRowFirst) {
    const RunResult result = Run();
    ASSERT_EQ(result.outcome, RunOutcome::Converted) << result.cause;
    // Stored rows come bottom first: y = 3 is read first, y = 0 last; x ascends within a row.
    EXPECT_EQ(ReadWholeFile(output), Prefix() + Record(0, 3, 171) + Record(1, 3, 171) +
                                         Record(2, 3, 171) + Record(2, 2, 171) + Record(1, 1, 171) +
                                         Record(0, 0, 171));
    std::vector<std::string> statuses = kAllStatuses;
    statuses.push_back(Status(texts::kDone));
    EXPECT_EQ(window.statuses, statuses);
    EXPECT_TRUE(window.boxes.empty());
    EXPECT_EQ(window.command1States, (std::vector<bool>{false, true}));
    EXPECT_EQ(window.yields, 6 + 6);  // six statuses, six records
    ExpectNoLeftovers();
}

TEST_F(ConversionRunTest, PaletteEntryZeroDecidesWhichBitsAreTiles) {
    struct Case {
        std::array<std::uint8_t, 4> entry0;
        std::array<std::uint8_t, 4> entry1;
        std::string expectedRecords;
    } const cases[] = {
        {{0, 0, 0, 0}, {255, 255, 255, 0}, Record(0, 0, 9)},  // 0-bits dark
        {{255, 255, 255, 0}, {0, 0, 0, 0}, Record(1, 0, 9)},  // 1-bits dark
        {{255, 0, 0, 0}, {0, 0, 0, 0}, Record(1, 0, 9)},      // blue 255 alone decides
        {{254, 255, 255, 0}, {255, 255, 255, 0}, Record(0, 0, 9)},
    };
    window.fields[Field::txtTileNum] = "9";
    for (const Case& c : cases) {
        BmpBuilder(2, 1)
            .Palette(c.entry0, c.entry1)
            .Pixels([](int x, int) { return x; })
            .WriteTo(bitmap);
        ASSERT_EQ(Run().outcome, RunOutcome::Converted);
        EXPECT_EQ(ReadWholeFile(output), Prefix() + c.expectedRecords);
    }
}

TEST_F(ConversionRunTest, EdgeSizesConvert) {
    struct Case {
        std::int64_t width, height;
        std::size_t records;
    } const cases[] = {{0, 5, 0}, {5, 0, 0}, {1, 1, 1}, {33, 2, 66}, {1024, 1024, 1048576}};
    for (const Case& c : cases) {
        BmpBuilder(c.width, c.height)
            .Pixels([](int, int) { return 0; })
            .DirtyPadding()
            .WriteTo(bitmap);
        ASSERT_EQ(Run().outcome, RunOutcome::Converted) << c.width << "x" << c.height;
        EXPECT_EQ(ReadWholeFile(output).size(), Prefix().size() + 4 * c.records);
    }
}

TEST_F(ConversionRunTest, LevelFileServesAsTileset) {
    ASSERT_EQ(Run().outcome, RunOutcome::Converted);
    std::filesystem::rename(output, tileset);
    WriteWholeFile(output, "");
    Picture({"##"}).WriteTo(bitmap);
    ASSERT_EQ(Run().outcome, RunOutcome::Converted);
    EXPECT_EQ(ReadWholeFile(output), Prefix() + Record(0, 0, 171) + Record(1, 0, 171));
}

TEST_F(ConversionRunTest, UnsuitableBitmapsAreRejectedWithACompleteReport) {
    const BmpBuilder cases[] = {BmpBuilder(1025, 1),
                                BmpBuilder(1, 1025),
                                BmpBuilder(4, 4).BitsPerPixel(24),
                                BmpBuilder(4, 4).DataOffset(318),
                                BmpBuilder(4, 4).DataOffset(8),
                                BmpBuilder(262112, 1).StoredRows(0),
                                BmpBuilder(1, 32767).StoredRows(0)};
    for (const BmpBuilder& picture : cases) {
        picture.WriteTo(bitmap);
        window.statuses.clear();
        window.boxes.clear();
        ASSERT_EQ(Run().outcome, RunOutcome::Rejected);
        std::vector<std::string> statuses = kAllStatuses;
        statuses.push_back(Status(texts::kRejectedStatus));
        EXPECT_EQ(window.statuses, statuses);
        ASSERT_EQ(window.boxes.size(), 1u);
        EXPECT_EQ(window.boxes[0].first, texts::kRejectedTitle);
        EXPECT_EQ(window.boxes[0].second, texts::kRejectedPrompt);
        EXPECT_TRUE(window.report.ends_with(" Bytes per line")) << window.report;
        EXPECT_TRUE(window.Command1Enabled());
        ExpectOutputUntouched();
    }
}

struct FailureCase {
    const char* name;
    std::function<void(ConversionRunTest&)> arrange;
    std::size_t statusesBefore;  // how many of the five statuses came before the error
    const char* reportEnd;       // how the report ends; "" when it never started
};

void PrintTo(const FailureCase& failure, std::ostream* out) {
    *out << failure.name;
}

class ConversionRunFailureTest : public ConversionRunTest,
                                 public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ConversionRunFailureTest, EndsInTheHandlerAndLeavesTheOutputAsItWas) {
    GetParam().arrange(*this);
    const RunResult result = Run();
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_FALSE(result.cause.empty());
    EXPECT_EQ(window.statuses, FailedAfter(GetParam().statusesBefore));
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].first, texts::kErrorTitle);
    EXPECT_EQ(window.boxes[0].second, texts::kErrorPrompt);
    EXPECT_TRUE(window.Command1Enabled());
    const std::string reportEnd = GetParam().reportEnd;
    if (reportEnd.empty()) {
        EXPECT_EQ(window.report, "earlier report");
    } else {
        EXPECT_TRUE(window.report.ends_with(reportEnd)) << window.report;
    }
    ExpectOutputUntouched();
}

void SetField(ConversionRunTest& t, Field field, std::string text) {
    t.window.fields[field] = std::move(text);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ConversionRunFailureTest,
    ::testing::Values(
        FailureCase{"MissingTileset",
                    [](auto& fixture) { SetField(fixture, Field::txtTile, fixture.dir / "no"); }, 0,
                    ""},
        FailureCase{"MissingBitmap",
                    [](auto& fixture) { SetField(fixture, Field::txtPic, fixture.dir / "no"); }, 0,
                    ""},
        FailureCase{
            "DirectoryAsBitmap",
            [](auto& fixture) { SetField(fixture, Field::txtPic, fixture.dir.Path().string()); }, 0,
            ""},
        FailureCase{"OutputIsTheTileset",
                    [](auto& fixture) { SetField(fixture, Field::txtOut, fixture.tileset); }, 1,
                    ""},
        FailureCase{"OutputIsAHardLinkToTheBitmap",
                    [](auto& fixture) {
                        std::filesystem::create_hard_link(fixture.bitmap, fixture.dir / "link");
                        SetField(fixture, Field::txtOut, fixture.dir / "link");
                    },
                    1, ""},
        FailureCase{"OutputIsASymlinkToTheTileset",
                    [](auto& fixture) {
                        std::filesystem::create_symlink(fixture.tileset, fixture.dir / "link");
                        SetField(fixture, Field::txtOut, fixture.dir / "link");
                    },
                    1, ""},
        FailureCase{"OutputIsReadOnly",
                    [](auto& fixture) {
                        std::filesystem::permissions(fixture.output,
                                                     std::filesystem::perms::owner_read);
                    },
                    1, ""},
        FailureCase{
            "OutputIsAFolder",
            [](auto& fixture) { SetField(fixture, Field::txtOut, fixture.dir.Path().string()); }, 1,
            ""},
        FailureCase{"OutputIsADevice",
                    [](auto& fixture) { SetField(fixture, Field::txtOut, "/dev/null"); }, 1, ""},
        FailureCase{"OutputIsEmpty", [](auto& fixture) { SetField(fixture, Field::txtOut, ""); }, 1,
                    ""},
        FailureCase{"OutputFolderMissing",
                    [](auto& fixture) {
                        SetField(fixture, Field::txtOut, fixture.dir / "missing/out.lvl");
                    },
                    1, ""},
        FailureCase{"TilesetShorterThanItsSizeField",
                    [](auto& fixture) {
                        WriteWholeFile(fixture.tileset, "BM" + test::Le32(5000) + "short");
                    },
                    2, ""},
        // A prefix holds its own size field at bytes 2..5: a shorter one is no level.
        FailureCase{
            "TilesetSizeField0",
            [](auto& fixture) { WriteWholeFile(fixture.tileset, "BM" + test::Le32(0) + "rest"); },
            2, ""},
        FailureCase{
            "TilesetSizeField5",
            [](auto& fixture) { WriteWholeFile(fixture.tileset, "BM" + test::Le32(5) + "rest"); },
            2, ""},
        FailureCase{
            "TilesetSizeFieldOverflows",
            [](auto& fixture) { WriteWholeFile(fixture.tileset, "BM" + test::Le32(0x80000000u)); },
            2, ""},
        FailureCase{
            "TilesetSizeFieldHuge",
            [](auto& fixture) { WriteWholeFile(fixture.tileset, "BM" + test::Le32(0x7FFFFFFFu)); },
            2, ""},
        FailureCase{"BitmapEndsInItsHeader",
                    [](auto& fixture) {
                        WriteWholeFile(fixture.bitmap, BmpBuilder(3, 3).Bytes().substr(0, 25));
                    },
                    3, ""},
        FailureCase{"BitmapEndsInItsPalette",
                    [](auto& fixture) {
                        WriteWholeFile(fixture.bitmap, BmpBuilder(3, 3).Bytes().substr(0, 58));
                    },
                    3, ""},
        FailureCase{"DataOffsetLowByteBelow8",
                    [](auto& fixture) { BmpBuilder(3, 3).DataOffset(7).WriteTo(fixture.bitmap); },
                    3, ""},
        FailureCase{
            "TopDownBitmap",
            [](auto& fixture) { BmpBuilder(4, -1024).StoredRows(0).WriteTo(fixture.bitmap); }, 4,
            "Height: 0 252 255 255 "},
        FailureCase{
            "WidthTooLargeForARow",
            [](auto& fixture) { BmpBuilder(262113, 1).StoredRows(0).WriteTo(fixture.bitmap); }, 4,
            "Monochrome Bit Padding: 31 bits"},
        FailureCase{
            "HeightBeyondSixteenBits",
            [](auto& fixture) { BmpBuilder(4, 32768).StoredRows(0).WriteTo(fixture.bitmap); }, 5,
            "4 Bytes per line"},
        FailureCase{"BitmapEndsInItsRows",
                    [](auto& fixture) {
                        Picture({"#", "#", "#"}).StoredRows(2).WriteTo(fixture.bitmap);
                    },
                    5, "4 Bytes per line"},
        FailureCase{"TileNumberAboveAByte",
                    [](auto& fixture) { SetField(fixture, Field::txtTileNum, "256"); }, 5,
                    "4 Bytes per line"},
        FailureCase{"NegativeTileNumber",
                    [](auto& fixture) { SetField(fixture, Field::txtTileNum, "-1"); }, 5,
                    "4 Bytes per line"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(ConversionRunTest, UnreadableTileNumberOpensNothing) {
    for (const char* text : {"", "abc", "40000", "-32769"}) {
        window.fields[Field::txtTileNum] = text;
        window.statuses.clear();
        window.command1States.clear();
        window.fields[Field::txtOut] = dir / "new.lvl";
        EXPECT_EQ(Run().outcome, RunOutcome::Failed) << text;
        EXPECT_EQ(window.statuses, FailedAfter(0));
        EXPECT_EQ(window.command1States, std::vector<bool>{true});
        EXPECT_FALSE(std::filesystem::exists(dir / "new.lvl"));
        EXPECT_EQ(window.report, "earlier report");
    }
}

TEST_F(ConversionRunTest, TileNumberOutsideAByteConvertsAPictureWithoutTiles) {
    window.fields[Field::txtTileNum] = "256";
    Picture({"...", "..."}).WriteTo(bitmap);
    ASSERT_EQ(Run().outcome, RunOutcome::Converted);
    EXPECT_EQ(ReadWholeFile(output), Prefix());
}

TEST_F(ConversionRunTest, ReadsEachFieldWhenItsStepUsesIt) {
    // Paths changed during the first yield take effect where the run opens a file again: the size
    // field and the header come from the files opened first, the copy, palette and rows from the
    // new ones; the tile number was fixed before.
    const std::string otherTileset = dir / "other.lvl";
    std::string otherTilesetBytes = tilesetBytes;
    otherTilesetBytes[100] = 'X';
    WriteWholeFile(otherTileset, otherTilesetBytes);
    const std::string otherBitmap = dir / "other.bmp";
    Picture({"...", "...", "...", "#.#"}).WriteTo(otherBitmap);
    window.onYield = [&](int yield) {
        EXPECT_FALSE(window.Command1Enabled()) << "yield " << yield;
        if (yield == 1) {
            window.fields[Field::txtTile] = otherTileset;
            window.fields[Field::txtPic] = otherBitmap;
            window.fields[Field::txtTileNum] = "3";
        }
    };
    ASSERT_EQ(Run().outcome, RunOutcome::Converted);
    EXPECT_EQ(ReadWholeFile(output),
              otherTilesetBytes.substr(0, Prefix().size()) + Record(0, 3, 171) + Record(2, 3, 171));
}

TEST_F(ConversionRunTest, NoYieldWhileTheReportIsWritten) {
    std::vector<std::string> reportsSeen;
    window.onYield = [&](int) { reportsSeen.push_back(window.report); };
    ASSERT_EQ(Run().outcome, RunOutcome::Converted);
    for (const std::string& seen : reportsSeen) {
        EXPECT_TRUE(seen == "earlier report" || seen.ends_with(" Bytes per line")) << seen;
    }
}

// Five statuses and six records yield before the level is put in place; the twelfth yield, for
// the final status, comes after it: a stop then ends the program, but the run has converted.
TEST_F(ConversionRunTest, AStopDuringAnyYieldLeavesTheOutputAsItWasUntilItIsInPlace) {
    for (int stopAt = 1; stopAt <= 12; ++stopAt) {
        WriteWholeFile(output, "the user's earlier level");
        window.statuses.clear();
        window.stop = false;
        window.onYield = [&](int yield) { window.stop = yield == stopAt; };
        const RunOutcome outcome = Run().outcome;
        EXPECT_TRUE(window.boxes.empty());
        EXPECT_TRUE(window.Command1Enabled());
        if (stopAt == 12) {
            EXPECT_EQ(outcome, RunOutcome::Converted);
            EXPECT_EQ(window.statuses.back(), Status(texts::kDone));
            EXPECT_EQ(ReadWholeFile(output).size(), Prefix().size() + 6 * 4);
            ExpectNoLeftovers();
        } else {
            EXPECT_EQ(outcome, RunOutcome::Interrupted) << stopAt;
            EXPECT_EQ(window.statuses.size(), static_cast<std::size_t>(std::min(stopAt, 5)));
            ExpectOutputUntouched();
        }
        window.yields = 0;
    }
}

// A console's stop signal is honoured between the pieces of a large tileset copy, where nothing
// yields: the run ends before its next status.
TEST_F(ConversionRunTest, AStopDuringALargeTilesetCopyEndsTheCopy) {
    class StopOnThirdAsk : public test::RecordingFrontEnd {
      public:
        bool StopRequested() const override { return ++asked_ >= 3; }

      private:
        mutable int asked_ = 0;
    } console;
    console.fields = window.fields;
    WriteWholeFile(tileset, "BM" + test::Le32(3 << 20) + std::string((3 << 20) - 6, 'x'));
    EXPECT_EQ(RunConversion(console).outcome, RunOutcome::Interrupted);
    EXPECT_EQ(console.statuses, (std::vector<std::string>{Status(texts::kOpenedFiles),
                                                          Status(texts::kCopyingTileset)}));
    ExpectOutputUntouched();
}

TEST_F(ConversionRunTest, AStopWhileAMessageIsUpEndsWithoutAStatus) {
    window.fields[Field::txtTile] = dir / "missing";
    window.stop = true;  // the user closed the window while the box was up
    EXPECT_EQ(Run().outcome, RunOutcome::Interrupted);
    EXPECT_EQ(window.boxes.size(), 1u);
    EXPECT_TRUE(window.statuses.empty());
}

TEST_F(ConversionRunTest, ACommaLocaleChangesNoResult) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "the de_DE.UTF-8 locale is needed (scripts/install-deps generates it)";
    window.fields[Field::txtTileNum] = " 2,5 ";
    const RunResult comma = Run();
    window.fields[Field::txtTileNum] = "2.5";
    const std::string commaOutput = ReadWholeFile(output);
    const RunResult point = Run();
    std::setlocale(LC_ALL, saved.c_str());
    ASSERT_EQ(comma.outcome, RunOutcome::Converted) << comma.cause;
    ASSERT_EQ(point.outcome, RunOutcome::Converted) << point.cause;
    EXPECT_EQ(commaOutput, ReadWholeFile(output));
    EXPECT_EQ(commaOutput.substr(Prefix().size(), 4), Record(0, 3, 2));
}

TEST_F(ConversionRunTest, NewOutputGetsThePermissionsOfAPlainCreate) {
    std::filesystem::remove(output);
    const mode_t previous = ::umask(027);
    const RunResult result = Run();
    ::umask(previous);
    ASSERT_EQ(result.outcome, RunOutcome::Converted);
    struct stat info {};
    ASSERT_EQ(::stat(output.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace quorbel
