#include "conversion/module_helpers.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/errors.h"
#include "support/bmp_builder.h"
#include "support/recording_front_end.h"
#include "support/scratch_dir.h"

namespace quorbel::modModule {
namespace {

TEST(ModuleHelpers, FileExistsCountsFilesNotFolders) {
    test::ScratchDir dir;
    test::WriteWholeFile(dir / "file", "x");
    std::filesystem::create_directory(dir / "folder");
    std::filesystem::create_symlink(dir / "file", dir / "link");
    const std::pair<std::string, bool> cases[] = {{"", false},
                                                  {dir / "file", true},
                                                  {dir / "link", true},
                                                  {dir / "folder", false},
                                                  {dir / "missing", false},
                                                  {dir / "file/below", false}};
    for (const auto& [path, exists] : cases) {
        EXPECT_EQ(FileExists(path), exists) << path;
    }
    EXPECT_THROW(FileExists(std::string(5000, 'a')), FileError);  // a name too long to look up
}

TEST(ModuleHelpers, DeleteFileFailsForAMissingFile) {
    test::ScratchDir dir;
    test::WriteWholeFile(dir / "file", "x");
    DeleteFile(dir / "file");
    EXPECT_FALSE(std::filesystem::exists(dir / "file"));
    EXPECT_THROW(DeleteFile(dir / "file"), FileError);
}

TEST(ModuleHelpers, SetStatusPrefixesAndYields) {
    test::RecordingFrontEnd window;
    SetStatus(window, "opened files");
    EXPECT_EQ(window.statuses, std::vector<std::string>{"Status: opened files"});
    EXPECT_EQ(window.yields, 1);
    window.stop = true;
    EXPECT_THROW(SetStatus(window, "x"), RunInterrupted);
}

}  // namespace
}  // namespace quorbel::modModule
