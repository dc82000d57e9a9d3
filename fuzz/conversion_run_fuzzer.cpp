// Fuzz target over a whole conversion run: any tile-number text, tileset bytes and bitmap bytes,
// run in a scratch folder through an in-memory front end. Beyond crashes, it stops on any input
// that breaks what a run promises:
//  - the run ends converted, rejected or failed (nothing asks it to stop);
//  - the output path keeps its earlier content unless the run converted, and no other file in
//    the folder appears, changes or is left behind;
//  - a converted level is the tileset's first N bytes (N from its size field) followed by one
//    record per tile pixel, exactly as a plain decoder of the bitmap finds them;
//  - the report is the earlier text, or a prefix of the full eight-line report, and the whole of
//    it when the run got as far as the validation.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "conversion/conversion_run.h"
#include "conversion/tile_number_text.h"
#include "conversion/tile_records.h"
#include "run_input.h"
#include "support/bmp_builder.h"
#include "support/level_model.h"
#include "support/recording_front_end.h"
#include "support/scratch_dir.h"

namespace {

using namespace quorbel;

[[noreturn]] void Broken(const char* promise, const std::string& detail = "") {
    std::fprintf(stderr, "broken promise: %s\n%s\n", promise, detail.c_str());
    std::abort();
}

// Scratch files on a memory file system when there is one: a converted run flushes its output.
test::ScratchDir& Folder() {
    static test::ScratchDir folder(std::filesystem::exists("/dev/shm") ? "/dev/shm" : "");
    return folder;
}

std::map<std::string, std::string> FolderContents() {
    std::map<std::string, std::string> contents;
    for (const std::string& name : Folder().Names()) {
        contents[name] = test::ReadWholeFile(Folder() / name);
    }
    return contents;
}

const char* OutcomeName(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::Converted:
            return "converted";
        case RunOutcome::Rejected:
            return "rejected";
        case RunOutcome::Failed:
            return "failed";
        case RunOutcome::Interrupted:
            return "interrupted";
    }
    return "?";
}

void CheckConvertedLevel(const fuzz::RunInput& input, const std::string& level) {
    const auto size = static_cast<std::size_t>(test::model::LittleEndian(input.tileset, 2, 4));
    if (level.size() < size || level.compare(0, size, input.tileset, 0, size) != 0) {
        Broken("the level starts with the tileset's first N bytes");
    }
    // A converted run read its tile number from the text.
    const auto expected = test::model::TilesOf(input.bitmap, TileNumberFromText(input.tileText));
    if (test::model::RecordsOf(level, size) != expected) {
        Broken("one record per tile pixel, in stored-row order",
               std::to_string(expected.size()) + " tiles expected, level of " +
                   std::to_string(level.size()) + " bytes");
    }
}

void CheckReport(const fuzz::RunInput& input, const std::string& report, RunOutcome outcome,
                 const std::string& earlier) {
    const auto full = test::model::FullReport(input.bitmap);
    const bool reachedValidation = outcome != RunOutcome::Failed;
    if (reachedValidation) {
        if (!full || report != *full) {
            Broken("a run that reaches the validation leaves the whole report", report);
        }
        return;
    }
    if (report == earlier) {
        return;
    }
    if (!full || !full->starts_with(report) || report.empty()) {
        Broken("the report is a prefix of the full eight-line form", report);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::RunInput input = fuzz::SplitRunInput(data, size);
    const std::string tileset = Folder() / "tileset.lvl";
    const std::string bitmap = Folder() / "bitmap.bmp";
    const std::string output = Folder() / "out.lvl";
    const std::string earlierLevel = "the user's earlier level";
    const std::string earlierReport = "earlier report";
    test::WriteWholeFile(tileset, input.tileset);
    test::WriteWholeFile(bitmap, input.bitmap);
    test::WriteWholeFile(output, earlierLevel);
    const auto before = FolderContents();

    test::RecordingFrontEnd window;
    window.fields = {{Field::txtTileNum, input.tileText},
                     {Field::txtTile, tileset},
                     {Field::txtPic, bitmap},
                     {Field::txtOut, output}};
    window.report = earlierReport;
    const RunResult result = RunConversion(window);

    if (result.outcome == RunOutcome::Interrupted) {
        Broken("a run nobody stops ends converted, rejected or failed");
    }
    if (!window.Command1Enabled()) {
        Broken("Command1 is enabled again at the end");
    }
    auto after = FolderContents();
    if (result.outcome == RunOutcome::Converted) {
        CheckConvertedLevel(input, after["out.lvl"]);
        after["out.lvl"] = earlierLevel;
        if (after != before) {
            Broken("a converted run changes nothing but the output");
        }
    } else if (after != before) {
        Broken("a run that does not convert leaves every file as it was",
               OutcomeName(result.outcome));
    }
    CheckReport(input, window.report, result.outcome, earlierReport);
    return 0;
}
