#include "conversion/conversion_run.h"

#include <cstdint>
#include <functional>
#include <new>
#include <utility>

#include "base/errors.h"
#include "conversion/file_table.h"
#include "conversion/map_layout.h"
#include "conversion/map_rows.h"
#include "conversion/module_helpers.h"
#include "conversion/tile_number_text.h"
#include "conversion/tileset_prefix.h"

namespace quorbel {
namespace {

using modModule::SetStatus;

// The run's part in deciding a bitmap's layout: the report in the window's box, and the status
// before the rows. From the report's first step to its last nothing yields, so the box cannot
// change meanwhile.
class RunSteps : public ReportingSteps {
  public:
    // rowsNext shows that the rows come next.
    RunSteps(ReportBox& box, std::function<void()> rowsNext)
        : ReportingSteps(box), rowsNext_(std::move(rowsNext)) {}

    void RowSizeDecided(std::int16_t bytesPerLine) override {
        ReportingSteps::RowSizeDecided(bytesPerLine);
        rowsNext_();
    }

  private:
    std::function<void()> rowsNext_;
};

std::string_view StatusText(RunStage stage) {
    switch (stage) {
        case RunStage::OpenedFiles:
            return texts::kOpenedFiles;
        case RunStage::CopyingTileset:
            return texts::kCopyingTileset;
        case RunStage::GatheringData:
            return texts::kGatheringData;
        case RunStage::DebugingData:
            return texts::kDebugingData;
        case RunStage::Converting:
            return texts::kConverting;
        case RunStage::Started:
        case RunStage::Done:
            break;
    }
    return texts::kDone;
}

class Conversion {
  public:
    Conversion(FrontEnd& window, FileTable& files) : window_(window), files_(files) {}

    RunOutcome Run() {
        const std::int16_t TileNumber =
            TileNumberFromText(window_.FieldText(Field::txtTileNum), LocaleDecimalPoint());
        window_.SetCommand1Enabled(false);
        files_.OpenTileset(window_.FieldText(Field::txtTile));
        files_.OpenBitmap(window_.FieldText(Field::txtPic));
        Step(RunStage::OpenedFiles);
        // The new file replaces the output only at the end of a successful run; the output
        // policy refuses, before anything is created, what may not be replaced.
        files_.CreateOutput(window_.FieldText(Field::txtOut));
        Step(RunStage::CopyingTileset);
        CopyTileset();
        Step(RunStage::GatheringData);
        const MapHeaderFields header = ReadHeaderAndPalette();
        Step(RunStage::DebugingData);

        RunSteps steps(window_, [this] { Step(RunStage::Converting); });
        const MapLayout layout = DecideMapLayout(header, steps);
        if (!layout.suitable) {
            files_.CloseAll();
            EndRun(window_, RunOutcome::Rejected);
            return RunOutcome::Rejected;
        }
        ConvertMapRows(files_.Bitmap(), layout, TileNumber, files_.Output(), window_);
        files_.Output().Commit();
        committed_ = true;
        files_.CloseAll();
        reached_ = RunStage::Done;
        EndRun(window_, RunOutcome::Converted);
        return RunOutcome::Converted;
    }

    // Closes the files, tells the user, and makes the window ready for the next run.
    void HandleError() {
        files_.CloseAll();
        EndRun(window_, RunOutcome::Failed);
    }

    // True once the new level is in place: a stop asked for after that point ends the program,
    // but the run has converted.
    bool Committed() const { return committed_; }
    RunStage Reached() const { return reached_; }

  private:
    void Step(RunStage stage) {
        reached_ = stage;
        SetStatus(window_, StatusText(stage));
    }

    // The tileset is opened again on the current tileset path to copy from its first byte.
    void CopyTileset() {
        const std::int32_t tilesetSize = ReadTilesetSize(files_.Tileset());
        files_.CloseTileset();
        InputFile& tileset = files_.OpenTileset(window_.FieldText(Field::txtTile));
        CopyBytes(tileset, static_cast<std::uint64_t>(tilesetSize), files_.Output(), window_);
        files_.CloseTileset();
    }

    // Header fields at offsets 0..29; then, from the file opened again on the current bitmap
    // path, the palette.
    MapHeaderFields ReadHeaderAndPalette() {
        MapHeaderFields header = ReadMapHeader(files_.Bitmap());
        files_.CloseBitmap();
        ReadMapPallet(files_.OpenBitmap(window_.FieldText(Field::txtPic)), header);
        return header;
    }

    FrontEnd& window_;
    FileTable& files_;
    bool committed_ = false;
    RunStage reached_ = RunStage::Started;
};

}  // namespace

RunResult RunConversion(FrontEnd& window) {
    FileTable files;
    Conversion conversion(window, files);
    try {
        try {
            const RunOutcome outcome = conversion.Run();
            return RunResult{outcome, {}, conversion.Reached()};
        } catch (const RunTimeError& error) {
            conversion.HandleError();
            return RunResult{RunOutcome::Failed, error.what(), conversion.Reached()};
        } catch (const std::bad_alloc&) {
            conversion.HandleError();
            return RunResult{RunOutcome::Failed, "out of memory", conversion.Reached()};
        }
    } catch (const RunInterrupted&) {
        files.CloseAll();
        window.SetCommand1Enabled(true);
        if (conversion.Committed()) {
            return RunResult{RunOutcome::Converted, {}, RunStage::Done};
        }
        return RunResult{RunOutcome::Interrupted, "stopped by the user", conversion.Reached()};
    }
}

void EndRun(FrontEnd& window, RunOutcome outcome) {
    if (outcome == RunOutcome::Rejected || outcome == RunOutcome::Failed) {
        const bool rejected = outcome == RunOutcome::Rejected;
        window.ShowCriticalMessage(
            std::string(rejected ? texts::kRejectedPrompt : texts::kErrorPrompt),
            std::string(rejected ? texts::kRejectedTitle : texts::kErrorTitle));
        if (window.StopRequested()) {
            throw RunInterrupted{};
        }
    }
    const std::string_view status = outcome == RunOutcome::Rejected ? texts::kRejectedStatus
                                    : outcome == RunOutcome::Failed ? texts::kErrorStatus
                                                                    : texts::kDone;
    SetStatus(window, status);
    window.SetCommand1Enabled(true);
}

}  // namespace quorbel
