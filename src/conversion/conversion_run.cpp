#include "conversion_run.h"

#include <cstdint>
#include <new>

#include "checked_int.h"
#include "errors.h"
#include "file_table.h"
#include "header_report.h"
#include "module_helpers.h"
#include "number_codec.h"
#include "tile_number_text.h"
#include "tile_records.h"

namespace quorbel {
namespace {

using modModule::BytesToNumber;
using modModule::SetStatus;

// The header fields as read from the bitmap, kept raw and decoded at each use.
struct BitmapHeader {
    std::string dataOffset;  // bytes 10..13
    std::string bmpWidth;    // bytes 18..21
    std::string bmpHeight;   // bytes 22..25
    std::string colorType;   // bytes 28..29
    PalletData pallet{};
};

constexpr std::int32_t kRequiredDataOffset = 62;
constexpr std::int32_t kLargestSide = 1024;

class Conversion {
  public:
    Conversion(FrontEnd& window, FileTable& files) : window_(window), files_(files) {}

    RunOutcome Run() {
        modModule::TileNumber =
            TileNumberFromText(window_.FieldText(Field::txtTileNum), LocaleDecimalPoint());
        window_.SetCommand1Enabled(false);
        files_.OpenForReading(FileTable::kTileset, window_.FieldText(Field::txtTile));
        files_.OpenForReading(FileTable::kBitmap, window_.FieldText(Field::txtPic));
        SetStatus(window_, texts::kOpenedFiles);
        RefuseUnsafeReplacement(window_.FieldText(Field::txtOut));
        files_.CreateForWriting(FileTable::kOutput, window_.FieldText(Field::txtOut));
        SetStatus(window_, texts::kCopyingTileset);
        CopyTileset();
        SetStatus(window_, texts::kGatheringData);
        const BitmapHeader header = ReadHeaderAndPalette();
        SetStatus(window_, texts::kDebugingData);

        // From the report's first step to its last nothing yields, so the box cannot change.
        ReportHeaderStage(window_, header.dataOffset, header.bmpWidth, header.bmpHeight,
                          header.colorType, header.pallet);
        modModule::ColorMap = header.pallet[0][0] == 255 ? std::array<std::int16_t, 2>{0, 1}
                                                         : std::array<std::int16_t, 2>{1, 0};
        const std::int16_t bitPadding = BitPaddingOf(BytesToNumber(header.bmpWidth));
        ReportPaddingStage(window_, BytesToNumber(header.bmpWidth));
        const std::int32_t pixelWidth = BytesToNumber(header.bmpWidth);
        const std::int32_t paddedWidth = CheckedAdd<std::int32_t>(
            BytesToNumber(header.bmpWidth), bitPadding, "width + padding bits");
        const auto bytesPerLine = RoundToInteger<std::int16_t>(paddedWidth / 8.0, "BytesPerLine");
        ReportRowSizeStage(window_, bytesPerLine);

        SetStatus(window_, texts::kConverting);
        const auto rowCount =
            CheckedNarrow<std::int16_t>(BytesToNumber(header.bmpHeight), "the bitmap's height");
        if (IsUnsuitable(header)) {
            window_.ShowCriticalMessage(std::string(texts::kRejectedPrompt),
                                        std::string(texts::kRejectedTitle));
            if (window_.StopRequested()) {
                throw RunInterrupted{};
            }
            files_.CloseAll();
            Finish(texts::kRejectedStatus);
            return RunOutcome::Rejected;
        }
        ConvertRows(pixelWidth, bytesPerLine, rowCount);
        files_.Commit(FileTable::kOutput);
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

  private:
    void Finish(std::string_view status) {
        SetStatus(window_, status);
        window_.SetCommand1Enabled(true);
    }

    // The new file replaces the output only at the end of a successful run. Refused before any
    // file is created: a name for one of the files being read (a link to it included), a file the
    // user has made read-only, and anything that is not a plain file.
    void RefuseUnsafeReplacement(const std::string& outputPath) {
        if (!modModule::FileExists(outputPath)) {
            if (StatusOf(outputPath).kind == PathKind::Directory) {
                throw FileError("cannot replace '" + outputPath + "': it is a folder");
            }
            return;
        }
        const PathStatus status = StatusOf(outputPath);
        if (status.kind != PathKind::RegularFile) {
            throw FileError("cannot replace '" + outputPath + "': it is not a regular file");
        }
        if (files_.HoldsOpen(status.identity)) {
            throw FileError("cannot replace '" + outputPath +
                            "': it is the tileset or the bitmap being read");
        }
        if (!status.anyWriteBit) {
            throw FileError("cannot replace '" + outputPath + "': the file is read-only");
        }
    }

    // The tileset's leading bitmap: as many bytes from its start as its size field (bytes 2..5)
    // says. The file is opened again on the current tileset path to start from its first byte.
    void CopyTileset() {
        files_.Read(FileTable::kTileset, 2);
        const std::int32_t tilesetSize = BytesToNumber(files_.Read(FileTable::kTileset, 4));
        files_.Close(FileTable::kTileset);
        files_.OpenForReading(FileTable::kTileset, window_.FieldText(Field::txtTile));
        files_.Copy(FileTable::kTileset, FileTable::kOutput, static_cast<std::size_t>(tilesetSize));
        files_.Close(FileTable::kTileset);
    }

    // Header fields at offsets 0..29; then, from the reopened file, the two palette entries that
    // stand 8 bytes before the offset in the data-offset field's low byte.
    BitmapHeader ReadHeaderAndPalette() {
        BitmapHeader header;
        files_.Read(FileTable::kBitmap, 10);
        header.dataOffset = files_.Read(FileTable::kBitmap, 4);
        files_.Read(FileTable::kBitmap, 4);
        header.bmpWidth = files_.Read(FileTable::kBitmap, 4);
        header.bmpHeight = files_.Read(FileTable::kBitmap, 4);
        files_.Read(FileTable::kBitmap, 2);
        header.colorType = files_.Read(FileTable::kBitmap, 2);
        files_.Close(FileTable::kBitmap);
        files_.OpenForReading(FileTable::kBitmap, window_.FieldText(Field::txtPic));

        const auto skip = static_cast<std::int16_t>(
            static_cast<unsigned char>(header.dataOffset[0]) - std::int16_t{8});
        if (skip < 0) {
            throw InvalidArgumentError("invalid argument: the data offset's low byte " +
                                       modModule::IntegerText(skip + 8) +
                                       " puts the palette before the start of the file");
        }
        files_.Read(FileTable::kBitmap, static_cast<std::size_t>(skip));
        for (auto& entry : header.pallet) {
            const std::string bytes = files_.Read(FileTable::kBitmap, 4);
            for (std::size_t k = 0; k < entry.size(); ++k) {
                entry[k] = static_cast<unsigned char>(bytes[k]);
            }
        }
        return header;
    }

    static bool IsUnsuitable(const BitmapHeader& header) {
        return BytesToNumber(header.dataOffset) != kRequiredDataOffset ||
               BytesToNumber(header.colorType) != 1 ||
               BytesToNumber(header.bmpWidth) > kLargestSide ||
               BytesToNumber(header.bmpHeight) > kLargestSide;
    }

    // Stored rows, bottom row of the picture first: the first read gets y = rowCount - 1.
    void ConvertRows(std::int32_t pixelWidth, std::int16_t bytesPerLine, std::int16_t rowCount) {
        for (std::int32_t r = 1; r <= rowCount; ++r) {
            const std::string row =
                files_.Read(FileTable::kBitmap, static_cast<std::size_t>(bytesPerLine));
            const std::int32_t y = rowCount - r;
            files_.Write(FileTable::kOutput, modModule::EncodeRow(row, pixelWidth, y, window_));
            // A row without tiles does not yield; a stop asked for meanwhile still ends the run.
            if (window_.StopRequested()) {
                throw RunInterrupted{};
            }
        }
    }

    FrontEnd& window_;
    FileTable& files_;
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
        return RunResult{RunOutcome::Interrupted, "stopped by the user"};
    }
}

}  // namespace quorbel
