#include "conversion/conversion_run.h"

#include <cstdint>
#include <new>

#include "base/errors.h"
#include "conversion/file_table.h"
#include "conversion/map_layout.h"
#include "conversion/map_rows.h"
#include "conversion/module_helpers.h"
#include "conversion/tile_number_text.h"
#include "conversion/tile_records.h"
#include "conversion/tileset_prefix.h"

namespace quorbel {
namespace {

using modModule::SetStatus;

// The run's part in deciding a bitmap's layout: the report in the window's box, the module-level
// ColorMap, and the status before the rows. From the report's first step to its last nothing
// yields, so the box cannot change meanwhile.
class RunSteps : public ReportingSteps {
  public:
    explicit RunSteps(FrontEnd& window) : ReportingSteps(window), window_(window) {}

    void ColorMapDecided(const ColorMapValues& colorMap) override {
        modModule::ColorMap = colorMap;
    }
    void RowSizeDecided(std::int16_t bytesPerLine) override {
        ReportingSteps::RowSizeDecided(bytesPerLine);
        SetStatus(window_, texts::kConverting);
    }

  private:
    FrontEnd& window_;
};

class Conversion {
  public:
    Conversion(FrontEnd& window, FileTable& files) : window_(window), files_(files) {}

    RunOutcome Run() {
        modModule::TileNumber =
            TileNumberFromText(window_.FieldText(Field::txtTileNum), LocaleDecimalPoint());
        window_.SetCommand1Enabled(false);
        files_.OpenTileset(window_.FieldText(Field::txtTile));
        files_.OpenBitmap(window_.FieldText(Field::txtPic));
        SetStatus(window_, texts::kOpenedFiles);
        // The new file replaces the output only at the end of a successful run; the output
        // policy refuses, before anything is created, what may not be replaced.
        files_.CreateOutput(window_.FieldText(Field::txtOut));
        SetStatus(window_, texts::kCopyingTileset);
        CopyTileset();
        SetStatus(window_, texts::kGatheringData);
        const MapHeaderFields header = ReadHeaderAndPalette();
        SetStatus(window_, texts::kDebugingData);

        RunSteps steps(window_);
        const MapLayout layout = DecideMapLayout(header, steps);
        if (!layout.suitable) {
            window_.ShowCriticalMessage(std::string(texts::kRejectedPrompt),
                                        std::string(texts::kRejectedTitle));
            if (window_.StopRequested()) {
                throw RunInterrupted{};
            }
            files_.CloseAll();
            Finish(texts::kRejectedStatus);
            return RunOutcome::Rejected;
        }
        ConvertMapRows(files_.Bitmap(), layout, files_.Output(), window_);
        files_.Output().Commit();
        committed_ = true;
        files_.CloseAll();
        Finish(texts::kDone);
        return RunOutcome::Converted;
    }

    // Closes the files, tells the user, and makes the window ready for the next run.
    void HandleError() {
        files_.CloseAll();
        window_.ShowCriticalMessage(std::string(texts::kErrorPrompt),
                                    std::string(texts::kErrorTitle));
        if (window_.StopRequested()) {
            throw RunInterrupted{};
        }
        Finish(texts::kErrorStatus);
    }

    // True once the new level is in place: a stop asked for after that point ends the program,
    // but the run has converted.
    bool Committed() const { return committed_; }

  private:
    void Finish(std::string_view status) {
        SetStatus(window_, status);
        window_.SetCommand1Enabled(true);
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
};

}  // namespace

RunResult RunConversion(FrontEnd& window) {
    FileTable files;
    Conversion conversion(window, files);
    try {
        try {
            return RunResult{conversion.Run(), {}};
        } catch (const RunTimeError& error) {
            conversion.HandleError();
            return RunResult{RunOutcome::Failed, error.what()};
        } catch (const std::bad_alloc&) {
            conversion.HandleError();
            return RunResult{RunOutcome::Failed, "out of memory"};
        }
    } catch (const RunInterrupted&) {
        files.CloseAll();
        window.SetCommand1Enabled(true);
        if (conversion.Committed()) {
            return RunResult{RunOutcome::Converted, {}};
        }
        return RunResult{RunOutcome::Interrupted, "stopped by the user"};
    }
}

}  // namespace quorbel
