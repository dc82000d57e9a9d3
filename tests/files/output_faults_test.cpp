// A disk that fails under the output: the write, the flush or the rename of the new level file
// fails partway through a run. Each time the run must fail, leave the earlier output byte for byte
// as it was, and leave no temporary file behind.
//
// Writes fail for real (a file-size limit for any user; a full memory file system, mounted in a
// private mount namespace, when the tests run as root). Flush and rename failures come through a
// link seam: this executable defines fsync and rename, which the file layer's calls resolve to.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <functional>

#include "conversion/conversion_run.h"
#include "support/bmp_builder.h"
#include "support/recording_front_end.h"
#include "support/scratch_dir.h"

namespace {

int fsyncError = 0;   // when set, fsync fails with it
int renameError = 0;  // when set, rename fails with it

}  // namespace

extern "C" int fsync(int fd) {
    if (fsyncError != 0) {
        errno = fsyncError;
        return -1;
    }
    static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    return real(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
    if (renameError != 0) {
        errno = renameError;
        return -1;
    }
    static const auto real =
        reinterpret_cast<int (*)(const char*, const char*)>(::dlsym(RTLD_NEXT, "rename"));
    return real(from, to);
}

namespace quorbel {
namespace {

using test::BmpBuilder;
using test::ReadWholeFile;
using test::WriteWholeFile;

constexpr const char* kEarlier = "the user's earlier level";

// Lowers this process's file-size limit for the life of the object; a write past it fails with
// EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        savedAction_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = saved_;
        lower.rlim_cur = bytes;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &lower), 0);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, savedAction_);
    }

  private:
    rlimit saved_{};
    void (*savedAction_)(int) = SIG_DFL;
};

struct Files {
    std::string tileset, bitmap, output;
};

Files MakeFiles(const std::filesystem::path& folder, std::int64_t side) {
    const Files files{(folder / "tileset.lvl").string(), (folder / "map.bmp").string(),
                      (folder / "out.lvl").string()};
    BmpBuilder(16, 16).WriteTo(files.tileset);
    BmpBuilder(side, side).Pixels([](int, int) { return 0; }).WriteTo(files.bitmap);
    WriteWholeFile(files.output, kEarlier);
    return files;
}

RunResult Convert(const Files& files) {
    test::RecordingFrontEnd window;
    window.fields = {{Field::txtTileNum, "171"},
                     {Field::txtTile, files.tileset},
                     {Field::txtPic, files.bitmap},
                     {Field::txtOut, files.output}};
    return RunConversion(window);
}

struct FaultCase {
    const char* name;
    std::int64_t side;  // of the all-dark picture: 1024 gives 4 MiB written in 1 MiB pieces
    std::function<RunResult(const Files&)> runWithFault;
    const char* cause;  // how the run's cause begins
};

void PrintTo(const FaultCase& fault, std::ostream* out) {
    *out << fault.name;
}

class OutputFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(OutputFaultTest, FailsAndLeavesTheEarlierOutputWithNoTemporaryFile) {
    test::ScratchDir dir;
    const Files files = MakeFiles(dir.Path(), GetParam().side);
    const RunResult result = GetParam().runWithFault(files);
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_TRUE(result.cause.starts_with(GetParam().cause)) << result.cause;
    EXPECT_EQ(ReadWholeFile(files.output), kEarlier);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"map.bmp", "out.lvl", "tileset.lvl"}));
    // The same files convert once the fault is gone: the fault, not the input, failed the run.
    EXPECT_EQ(Convert(files).outcome, RunOutcome::Converted);
}

INSTANTIATE_TEST_SUITE_P(Faults, OutputFaultTest,
                         ::testing::Values(FaultCase{"WriteFailsInTheRows", 1024,
                                                     [](const Files& files) {
                                                         const FileSizeLimit limit(
                                                             3 << 19);  // 1.5 MiB
                                                         return Convert(files);
                                                     },
                                                     "cannot write"},
                                           FaultCase{"WriteFailsAtTheLastFlush", 8,
                                                     [](const Files& files) {
                                                         const FileSizeLimit limit(
                                                             100);  // inside the tileset copy
                                                         return Convert(files);
                                                     },
                                                     "cannot write"},
                                           FaultCase{"FlushToDiskFails", 8,
                                                     [](const Files& files) {
                                                         fsyncError = EIO;
                                                         const RunResult result = Convert(files);
                                                         fsyncError = 0;
                                                         return result;
                                                     },
                                                     "cannot flush"},
                                           FaultCase{"RenameFails", 8,
                                                     [](const Files& files) {
                                                         renameError = EIO;
                                                         const RunResult result = Convert(files);
                                                         renameError = 0;
                                                         return result;
                                                     },
                                                     "cannot put the new file in place"}),
                         [](const auto& test) { return std::string(test.param.name); });

// The disk fills up: a 1 MiB memory file system takes the whole run, and the 4 MiB level does not
// fit. Needs the right to mount (root); the mount lives in the child's own mount namespace, so it
// disappears with the child whatever happens.
TEST(OutputFaultOnAFullDisk, FailsAndLeavesTheEarlierOutputWithNoTemporaryFile) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "mounting a small file system needs root";
    }
    test::ScratchDir dir;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const char* folder = dir.Path().c_str();
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", folder, "tmpfs", 0, "size=1m") != 0) {
            ::_exit(77);
        }
        const Files files = MakeFiles(folder, 1024);
        const RunResult result = Convert(files);
        const bool kept = ReadWholeFile(files.output) == kEarlier;
        const bool clean = dir.Names().size() == 3;
        std::fprintf(stderr, "outcome %d, cause: %s\n", static_cast<int>(result.outcome),
                     result.cause.c_str());
        ::_exit(result.outcome == RunOutcome::Failed && kept && clean ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) {
        GTEST_SKIP() << "this machine does not allow a private mount";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the run did not fail cleanly on the full disk";
}

}  // namespace
}  // namespace quorbel
