// The output policy from the inside: what happens while a file is written and when several are
// put in place together. What each kind of destination gets is the output matrix's
// (tests/cli/output_matrix_test.cpp), through every command that writes.
#include "files/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "base/errors.h"
#include "support/bmp_builder.h"
#include "support/scratch_dir.h"

namespace quorbel {
namespace {

using test::ReadWholeFile;
using test::WriteWholeFile;

// The permission bits of the files this process holds open in folder that have no name there
// (an unnamed temporary file shows as "folder/#inode (deleted)").
std::vector<mode_t> OpenUnnamedFilesIn(const std::filesystem::path& folder) {
    std::vector<mode_t> modes;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const auto target = std::filesystem::read_symlink(fd.path(), error).string();
        if (!error && target.starts_with(folder.string() + "/") && target.ends_with("(deleted)")) {
            struct stat info {};
            if (::stat(fd.path().c_str(), &info) == 0) {
                modes.push_back(info.st_mode & 07777);
            }
        }
    }
    return modes;
}

TEST(OutputFile, IsPrivateAndNamelessWhileWrittenAndReplacesOnlyOnCommit) {
    test::ScratchDir dir;
    WriteWholeFile(dir / "out", "earlier");
    ::chmod((dir / "out").c_str(), 0644);
    {
        OutputFile file(dir / "out");
        file.Write("new ");
        std::memcpy(file.Room(7), "content", 7);
        file.Advance(7);
        EXPECT_EQ(OpenUnnamedFilesIn(dir.Path()), std::vector<mode_t>{0600});
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"out"});
        EXPECT_EQ(ReadWholeFile(dir / "out"), "earlier");
        file.Commit();
    }
    EXPECT_EQ(ReadWholeFile(dir / "out"), "new content");
    struct stat info {};
    ASSERT_EQ(::stat((dir / "out").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    {
        OutputFile abandoned(dir / "out");
        abandoned.Write("never committed");
    }
    EXPECT_EQ(ReadWholeFile(dir / "out"), "new content");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"out"});
}

// Files committed together: when one of them cannot be prepared, or a stop comes before the final
// pass, none is replaced.
TEST(OutputFile, CommitTogetherReplacesBothOrNeither) {
    test::ScratchDir dir;
    WriteWholeFile(dir / "a", "earlier a");
    WriteWholeFile(dir / "b", "earlier b");
    OutputFile a(dir / "a");
    OutputFile b(dir / "b");
    a.Write("new a");
    b.Write("new b");
    b.Discard();  // b can no longer be finished
    OutputFile* both[] = {&a, &b};
    EXPECT_THROW(CommitTogether(both), FileError);
    EXPECT_EQ(ReadWholeFile(dir / "a"), "earlier a");
    EXPECT_EQ(ReadWholeFile(dir / "b"), "earlier b");
    EXPECT_EQ(dir.Leftovers(), std::vector<std::string>{});

    // A stop once both are complete: neither is replaced, and neither had a name.
    OutputFile e(dir / "a");
    OutputFile f(dir / "b");
    e.Write("new a");
    f.Write("new b");
    OutputFile* stopped[] = {&e, &f};
    EXPECT_THROW(CommitTogether(stopped, [] { return true; }), RunInterrupted);
    EXPECT_EQ(ReadWholeFile(dir / "a"), "earlier a");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"a", "b"}));

    OutputFile c(dir / "a");
    OutputFile d(dir / "b");
    c.Write("new a");
    d.Write("new b");
    OutputFile* pair[] = {&c, &d};
    CommitTogether(pair, [] { return false; });
    EXPECT_EQ(ReadWholeFile(dir / "a"), "new a");
    EXPECT_EQ(ReadWholeFile(dir / "b"), "new b");
}

}  // namespace
}  // namespace quorbel
