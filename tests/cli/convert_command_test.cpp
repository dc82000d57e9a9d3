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
#include "support/bmp_builder.h"
#include "support/recording_front_end.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"

namespace quorbel::cli {
namespace {

using test::BmpBuilder;
using test::ReadWholeFile;
using test::WriteWholeFile;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

using test::Status;

class ConvertCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BmpBuilder(16, 16).WriteTo(tileset);
        BmpBuilder(4, 2).Pixels([](int x, int) { return x % 2; }).WriteTo(bitmap);
        WriteWholeFile(output, "earlier");
    }

    test::ProcessResult Convert(std::vector<std::string> args, long signalAfter = -1) {
        args.insert(args.begin(), "convert");
        return test::RunProcess(QUORBEL_LVL, args, signalAfter);
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
              (std::vector<std::string>{Status(texts::kOpenedFiles), Status(texts::kCopyingTileset),
                                        Status(texts::kGatheringData), Status(texts::kDebugingData),
                                        Status(texts::kConverting), Status(texts::kDone)}));
    EXPECT_EQ(ReadWholeFile(output).size(), ReadWholeFile(tileset).size() + 4 * 4);
    const std::string report = ReadWholeFile(dir / "report.txt");
    EXPECT_TRUE(report.starts_with("DataOffset: 62 0 0 0  :: 62\r\nWidth: 4 0 0 0  :: 4\r\n"));
    EXPECT_TRUE(report.ends_with("\r\n4 Bytes per line"));
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
             Status(texts::kRejectedStatus) + "\n"},
        {"bad tile text", {"--tile", "x", tileset, bitmap, output}, 1, error},
        {"missing bitmap", {tileset, dir / "none.bmp", output}, 1, error},
        {"tile number 300", {"--tile=300", tileset, bitmap, output}, 1, error},
        {"blank-padded tile",
         {"--tile", " 12 ", tileset, bitmap, output},
         0,
         Status(texts::kDone) + "\n"},
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
    EXPECT_EQ(test::RunProcess(QUORBEL_LVL, {}).exitStatus, 64);
    EXPECT_EQ(test::RunProcess(QUORBEL_LVL, {"frobnicate"}).exitStatus, 64);
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

TEST_F(ConvertCommandTest, HelpExplainsTheCommand) {
    const auto result = Convert({"--help"});
    EXPECT_EQ(result.exitStatus, 0);
    for (const char* needle : {"--tile", "--report", "Exit status", "cause:", "171"}) {
        EXPECT_NE(result.out.find(needle), std::string::npos) << needle;
    }
    EXPECT_NE(test::RunProcess(QUORBEL_LVL, {"--help"}).out.find("convert"), std::string::npos);
}

TEST_F(ConvertCommandTest, ASignalLeavesTheOutputWholeOrAsItWas) {
    BmpBuilder(1024, 1024).Pixels([](int, int) { return 0; }).WriteTo(bitmap);
    const std::size_t complete = ReadWholeFile(tileset).size() + 4u * 1024 * 1024;
    int stopped = 0;
    for (long delay = 0; delay <= 20000; delay += 1000) {
        WriteWholeFile(output, "earlier");
        const auto result = Convert({tileset, bitmap, output}, delay);
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
