#include "conversion/module_helpers.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "support/recording_front_end.h"

namespace quorbel::modModule {
namespace {

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
