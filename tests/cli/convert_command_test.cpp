#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <thread>

#include "conversion/conversion_run.h"
#include "in_process.h"
#include "support/bmp_builder.h"
#include "support/level_model.h"
#include "support/recording_front_end.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"
#include "support/variant_bmp.h"

namespace quorbel::cli {
namespace {

using test::BmpBuilder;
using test::ReadWholeFile;
using test::WriteWholeFile;

using test::Lines;

using test::Status;

// The lines after the last status line.
std::vector<std::string> LinesAfterStatuses(const std::string& err) {
    std::vector<std::string> lines = Lines(err);
    std::vector<std::string> after;
    for (auto line = lines.rbegin(); line != lines.rend() && !line->starts_with("Status: ") &&
                                     !line->starts_with(texts::kRejectedTitle);
         ++line) {
        after.insert(after.begin(), *line);
    }
    return after;
}

bool Letters(int x, int y) {
    return (3 * x + 5 * y) % 7 == 0;
}

class ConvertCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BmpBuilder(16, 16).WriteTo(tileset);
        BmpBuilder(4, 2).Pixels([](int x, int) { return x % 2; }).WriteTo(bitmap);
        WriteWholeFile(output, "earlier");
    }

    test::CommandResult Convert(std::vector<std::string> args) {
        args.insert(args.begin(), "convert");
        return Lvl(args);
    }

    test::ScratchDir dir;
    std::string tileset = dir / "tile set.lvl";
    std::string bitmap = dir / "bitmap ü.bmp";
    std::string output = dir / "out.lvl";
};

TEST_F(ConvertCommandTest, ConvertedRunPrintsStatusesAndWritesTheReport) {
    const auto result = Convert({"--report", dir / "report.txt", tileset, bitmap, output});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(Lines(result.err),
              (std::vector<std::string>{
                  Status(texts::kOpenedFiles), Status(texts::kCopyingTileset),
                  Status(texts::kGatheringData), Status(texts::kDebugingData),
                  Status(texts::kConverting), Status(texts::kDone),
                  "quorbel-lvl convert: warning: tile 171 has no 16 x 16 cell in the tileset (16 "
                  "x 16 pixels holds the first cell of each row of 19: "
                  "tiles 1..1)",
                  "wrote " + output + ": 4 records of tile 171"}));
    EXPECT_EQ(ReadWholeFile(output).size(), ReadWholeFile(tileset).size() + 4 * 4);
    // The lines themselves are the header report's (tests/conversion/header_report_test.cpp).
    EXPECT_EQ(ReadWholeFile(dir / "report.txt"), test::model::FullReport(ReadWholeFile(bitmap)));
}

TEST_F(ConvertCommandTest, ExitStatusAndLinesForEachEnd) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int exitStatus;
        std::string lastLines;  // the end of standard error
    };
    BmpBuilder(1025, 1).WriteTo(dir / "wide.bmp");
    const std::string error = std::string(texts::kErrorTitle) + ": " +
                              std::string(texts::kErrorPrompt) + "\n" +
                              Status(texts::kErrorStatus) + "\ncause: ";
    const Case cases[] = {
        {"rejected",
         {tileset, dir / "wide.bmp", output},
         2,
         std::string(texts::kRejectedTitle) + ": " + std::string(texts::kRejectedPrompt) + "\n" +
             Status(texts::kRejectedStatus) +
             "\ncause: 1025 x 1 pixels; at most 1024 x 1024\nhint: scale the picture down to at "
             "most 1024 x 1024 pixels (a paint program's scale image, or ImageMagick's -resize "
             "1024x1024), then make a 1-bit BMP of it with quorbel-lvl prepare\n"},
        {"bad tile text", {"--tile", "x", tileset, bitmap, output}, 1, error},
        {"missing bitmap", {tileset, dir / "none.bmp", output}, 1, error},
        {"tile number 300", {"--tile=300", tileset, bitmap, output}, 1, error},
        {"blank-padded tile",
         {"--tile", " 1 ", tileset, bitmap, output},
         0,
         Status(texts::kDone) + "\nwrote " + output + ": 4 records of tile 1\n"},
    };
    for (const Case& c : cases) {
        WriteWholeFile(output, "earlier");
        const auto result = Convert(c.args);
        EXPECT_EQ(result.exitStatus, c.exitStatus) << c.name << "\n" << result.err;
        if (c.lastLines.ends_with("cause: ")) {
            const auto at = result.err.rfind(c.lastLines);
            EXPECT_NE(at, std::string::npos) << c.name << "\n" << result.err;
            EXPECT_EQ(Lines(result.err.substr(at)).size(), 3u) << c.name;
        } else {
            EXPECT_TRUE(result.err.ends_with(c.lastLines)) << c.name << "\n" << result.err;
        }
        if (c.exitStatus != 0) {
            EXPECT_EQ(ReadWholeFile(output), "earlier") << c.name;
        }
    }
}

TEST_F(ConvertCommandTest, RefusalsSayWhyAndWhatToDo) {
    const std::string colourTileset = test::VariantBmp({.bitsPerPixel = 24}, 32, 16, Letters);
    const std::string in = dir / "in.bmp";
    const std::string prepare = "hint: quorbel-lvl prepare '" + in + "' '" + dir / "in-1bit.bmp'";
    const std::string at62 = "; they must start at byte 62 (a 40-byte header";
    const auto depth = [](int bits) {
        return "cause: " + std::to_string(bits) + " bits per pixel; the map must have 1";
    };
    const std::string scaleDown =
        "hint: scale the picture down to at most 1024 x 1024 pixels (a paint program's scale "
        "image, or ImageMagick's -resize 1024x1024), then make a 1-bit BMP of it with quorbel-lvl "
        "prepare";
    const auto variant = [](test::BmpVariant v, int width = 64, int height = 32) {
        return test::VariantBmp(v, width, height, Letters);
    };
    const auto offset = [&](const std::string& found) {
        return "cause: the pixels start at byte " + found + at62 +
               (found.ends_with("header)") ? ")" : " and a 2-colour palette)");
    };
    struct Case {
        const char* name;
        std::string bitmap;
        int exitStatus;
        std::vector<std::string> after;
    } const cases[] = {
        {"ImageMagick default: V4 header",
         variant({.infoSize = 108, .darkFirst = true}),
         2,
         {offset("130 (a 108-byte header)"), prepare}},
        {"GIMP default: V5 header, 24 bits",
         variant({.infoSize = 124, .bitsPerPixel = 24}),
         2,
         {offset("138 (a 124-byte header and no palette)"), depth(24), prepare}},
        {"V5 header, 1 bit",
         variant({.infoSize = 124}),
         2,
         {offset("146 (a 124-byte header)"), prepare}},
        {"24 bits",
         variant({.bitsPerPixel = 24}),
         2,
         {offset("54 (a 40-byte header and no palette)"), depth(24), prepare}},
        {"8 bits",
         variant({.bitsPerPixel = 8}),
         2,
         {offset("1078 (a 40-byte header and a 256-colour palette)"), depth(8), prepare}},
        {"4 bits",
         variant({.bitsPerPixel = 4}),
         2,
         {offset("118 (a 40-byte header and a 16-colour palette)"), depth(4), prepare}},
        {"2048 x 1536, V4 header",
         variant({.infoSize = 108}, 2048, 1536),
         2,
         {offset("130 (a 108-byte header)"), "cause: 2048 x 1536 pixels; at most 1024 x 1024",
          scaleDown}},
        {"top-down",
         variant({.topDown = true}),
         1,
         {"cause: the rows are stored top row first (height -32); they must be stored bottom row "
          "first (a positive height)",
          "cause: overflow: binary numeral of 2^31 or more (digit of weight 2^31)", prepare}},
        {"OS/2",
         variant({.infoSize = 12}),
         1,
         {"cause: an OS/2 bitmap (a 12-byte header with 16-bit sides); the map must have a "
          "40-byte Windows header, with its pixels at byte 62",
          "cause: overflow: BytesPerLine does not fit a 16-bit integer", prepare}},
        {"height 40000",
         BmpBuilder(64, 40000).StoredRows(0).Bytes(),
         1,
         {"cause: 64 x 40000 pixels; at most 1024 x 1024",
          "cause: overflow: the bitmap's height = 40000 does not fit a 16-bit integer", scaleDown}},
        {"PNG",
         "\x89PNG\r\n\x1A\n" + test::Le32(13) + "IHDR" + std::string(50, '\0'),
         1,
         {"cause: the file is a PNG picture; the map must be a 1-bit BMP",
          "cause: invalid argument: the data offset's low byte 0 puts the palette before the "
          "start of the file",
          prepare}},
    };
    WriteWholeFile(tileset, colourTileset);
    for (const Case& c : cases) {
        WriteWholeFile(in, c.bitmap);
        const auto result = Convert({tileset, in, output});
        EXPECT_EQ(result.exitStatus, c.exitStatus) << c.name;
        EXPECT_EQ(LinesAfterStatuses(result.err), c.after) << c.name;
    }
    // The tileset and the bitmap exchanged.
    BmpBuilder(64, 32).WriteTo(in);
    const auto swapped = Convert({"--tile", "7", in, tileset, output});
    EXPECT_EQ(swapped.exitStatus, 2);
    EXPECT_EQ(LinesAfterStatuses(swapped.err),
              (std::vector<std::string>{
                  "cause: the tileset '" + in + "' is a 1-bit map bitmap and the bitmap '" +
                      tileset + "' is not; the two seem given the wrong way round",
                  "cause: the pixels start at byte 54 (a 40-byte header and no palette)" + at62 +
                      " and a 2-colour palette)",
                  depth(24),
                  "hint: the tileset comes first: quorbel-lvl convert --tile '7' '" + tileset +
                      "' '" + in + "' '" + output + "'"}));
}

TEST_F(ConvertCommandTest, WarningsAndWhatWasWrittenFollowTheLastStatus) {
    const auto dark = [](int x, int y) { return x < 3 && y < 2; };  // 6 of 8 x 4 pixels
    WriteWholeFile(tileset, test::VariantBmp({.bitsPerPixel = 24}, 304, 160, Letters));
    const std::string wrote = "wrote " + output + ": ";
    struct Case {
        const char* name;
        test::BmpVariant variant;
        std::vector<std::string> options;
        std::vector<std::string> err;  // all of standard error after the statuses
        bool quiet = false;
        bool blank = false;  // no pixel dark
    } const cases[] = {
        {"plain", {}, {}, {wrote + "6 records of tile 171"}},
        {"tile without a cell",
         {},
         {"--tile", "191"},
         {"quorbel-lvl convert: warning: tile 191 has no 16 x 16 cell in the tileset (304 x 160 "
          "pixels holds tiles "
          "1..190 in rows of 19)",
          wrote + "6 records of tile 191"}},
        {"light grey entry 0",
         {.light = {240, 240, 240}},
         {},
         {"quorbel-lvl convert: warning: palette entry 0 is (240, 240, 240): only a blue value of "
          "255 marks the light "
          "colour, so its 26 pixels count as dark",
          wrote + "26 records of tile 171"}},
        {"blue entry 0",
         {.dark = {0, 0, 255}, .darkFirst = true},
         {"--quiet"},
         {"quorbel-lvl convert: warning: palette entry 0 is (0, 0, 255): a blue value of 255 marks "
          "the light colour, "
          "so its 6 pixels count as light"},
         true},
        {"no dark pixel",
         {},
         {"--quiet"},
         {"quorbel-lvl convert: warning: '" + bitmap +
          "' gives no record: it has no dark pixel. A drawing in a light colour or on a "
          "transparent background loses its pixels in a 1-bit map that other tools make: make "
          "the map of the drawing with quorbel-lvl prepare, or the level with quorbel-lvl paint"},
         true,
         true},
    };
    for (const Case& c : cases) {
        WriteWholeFile(bitmap, test::VariantBmp(c.variant, 8, 4,
                                                c.blank ? [](int, int) { return false; } : dark));
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {tileset, bitmap, output});
        const auto result = Convert(args);
        EXPECT_EQ(result.exitStatus, 0) << c.name << result.err;
        EXPECT_EQ(c.quiet ? Lines(result.err) : LinesAfterStatuses(result.err), c.err) << c.name;
    }
}

// A hint begins as the user began: pasted, it runs the same program (argv[0] is the process's).
TEST_F(ConvertCommandTest, AHintNamesTheProgramAsItWasStarted) {
    WriteWholeFile(bitmap, test::VariantBmp({.bitsPerPixel = 24}, 8, 4, Letters));
    const auto result = test::RunProcess(QUORBEL_LVL, {"convert", tileset, bitmap, output});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(Lines(result.err).back(), "hint: '" + std::string(QUORBEL_LVL) + "' prepare '" +
                                            bitmap + "' '" + dir / "bitmap ü-1bit.bmp'");
}

TEST_F(ConvertCommandTest, ReportFileIsEmptyWhenTheReportNeverStarted) {
    const auto result = Convert({"--report", dir / "r.txt", dir / "none", bitmap, output});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(ReadWholeFile(dir / "r.txt"), "");
}

TEST_F(ConvertCommandTest, BadUsageExits64) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {tileset, bitmap},
        {"--bogus", tileset, bitmap, output},
        {"--tile"},
        {"--tile", "1", "--tile", "2", tileset, bitmap, output}};
    for (const auto& args : cases) {
        const auto result = Convert(args);
        EXPECT_EQ(result.exitStatus, 64) << result.err;
        EXPECT_NE(result.err.find("--help"), std::string::npos);
    }
    // No command, and an unknown one: the table of commands is quorbel-lvl's main.
    EXPECT_EQ(Lvl({}).exitStatus, 64);
    EXPECT_EQ(Lvl({"frobnicate"}).exitStatus, 64);
}

// A report that could not be written is refused before the run: nothing is replaced, and the exit
// status cannot claim a failure after the level was written.
TEST_F(ConvertCommandTest, AReportThatCannotBeWrittenIsRefusedBeforeTheRun) {
    std::filesystem::create_directory(dir / "folder");
    for (const std::string& report :
         {dir / "nodir/r.txt", dir / "folder", std::string("/dev/full")}) {
        const auto result = Convert({"--report", report, tileset, bitmap, output});
        EXPECT_EQ(result.exitStatus, 64) << report << "\n" << result.err;
        EXPECT_EQ(result.err.find("Status:"), std::string::npos) << result.err;
        EXPECT_EQ(ReadWholeFile(output), "earlier") << report;
    }
}

TEST_F(ConvertCommandTest, ReportMayNotOverwriteAFileOfTheRun) {
    std::filesystem::create_symlink(output, dir / "link to out");
    const std::string tilesetBytes = ReadWholeFile(tileset);
    const std::string bitmapBytes = ReadWholeFile(bitmap);
    struct Case {
        std::string report;
        std::string output;
    } const cases[] = {
        {output, output},
        {tileset, output},
        {bitmap, output},
        {dir / "link to out", output},
        {dir / "./out.lvl", output},
        {dir / "new.lvl", dir / "new.lvl"},  // an output that does not exist yet
    };
    for (const Case& c : cases) {
        // The tile text fails the run: the report would have replaced the earlier output.
        const auto result =
            Convert({"--tile", "x", "--report", c.report, tileset, bitmap, c.output});
        EXPECT_EQ(result.exitStatus, 64) << c.report << "\n" << result.err;
        EXPECT_EQ(ReadWholeFile(output), "earlier") << c.report;
        EXPECT_EQ(ReadWholeFile(tileset), tilesetBytes);
        EXPECT_EQ(ReadWholeFile(bitmap), bitmapBytes);
        EXPECT_FALSE(std::filesystem::exists(dir / "new.lvl"));
    }
}

TEST_F(ConvertCommandTest, ASignalLeavesTheOutputWholeOrAsItWas) {
    BmpBuilder(1024, 1024).Pixels([](int, int) { return 0; }).WriteTo(bitmap);
    const std::size_t complete = ReadWholeFile(tileset).size() + 4u * 1024 * 1024;
    int stopped = 0;
    for (long delay = 0; delay <= 20000; delay += 1000) {
        WriteWholeFile(output, "earlier");
        const auto result =
            test::RunProcess(QUORBEL_LVL, {"convert", tileset, bitmap, output}, delay);
        const std::string left = ReadWholeFile(output);
        if (result.signal == SIGTERM) {
            ++stopped;
            EXPECT_TRUE(left == "earlier" || left.size() == complete) << delay;
        } else {
            EXPECT_EQ(result.exitStatus, 0) << delay << result.err;
            EXPECT_EQ(left.size(), complete);
        }
        EXPECT_EQ(dir.Leftovers(), std::vector<std::string>{});
    }
    EXPECT_GT(stopped, 0);
}

TEST_F(ConvertCommandTest, ALogReaderThatGoesAwayStopsTheRunAndLeavesNoTemporaryFile) {
    // Standard error is a one-page pipe with room for exactly the first two status lines, so the
    // third blocks until the reader closes it: the run has created its temporary file by then.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ASSERT_EQ(::fcntl(fds[1], F_SETPIPE_SZ, 4096), 4096);
    const std::string firstTwo =
        Status(texts::kOpenedFiles) + "\n" + Status(texts::kCopyingTileset) + "\n";
    const std::string filler(4096 - firstTwo.size(), '.');
    ASSERT_EQ(::write(fds[1], filler.data(), filler.size()), static_cast<ssize_t>(filler.size()));

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(fds[1], 2);
        ::close(fds[0]);
        ::execl(QUORBEL_LVL, QUORBEL_LVL, "convert", tileset.c_str(), bitmap.c_str(),
                output.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    // The pipe is full once the second status line is in: the temporary file exists by then.
    const auto pipeFull = [&] {
        int queued = 0;
        return ::ioctl(fds[0], FIONREAD, &queued) == 0 && queued == 4096;
    };
    for (int waited = 0; waited < 10000 && !pipeFull(); ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(pipeFull());
    ::close(fds[0]);  // the reader goes away, as "| head -n 1" would

    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE) << "status " << status;
    EXPECT_EQ(ReadWholeFile(output), "earlier");
    EXPECT_EQ(dir.Leftovers(), std::vector<std::string>{});
}

}  // namespace
}  // namespace quorbel::cli
