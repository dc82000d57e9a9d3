#include "conversion/conversion_run.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "conversion/checked_int.h"
#include "conversion/errors.h"
#include "conversion/file_table.h"
#include "conversion/header_report.h"
#include "conversion/level_record.h"
#include "conversion/module_helpers.h"
#include "conversion/monochrome_bmp.h"
#include "conversion/number_codec.h"
#include "conversion/tile_number_text.h"
#include "conversion/tile_records.h"

namespace quorbel {
namespace {

using modModule::BytesToNumber;
using modModule::SetStatus;

// The header fields as read from the bitmap, kept raw for the report.
struct BitmapHeader {
    std::string dataOffset;  // bytes 10..13
    std::string bmpWidth;    // bytes 18..21
    std::string bmpHeight;   // bytes 22..25
    std::string colorType;   // bytes 28..29
    PalletData pallet{};
};

// The same fields decoded. The report decodes each of them first, so decoding them again after
// it cannot fail.
struct DecodedHeader {
    std::int32_t dataOffset = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t colorType = 0;
};

constexpr auto kRequiredDataOffset = static_cast<std::int32_t>(kMapPixelOffset);
constexpr auto kLargestSide = static_cast<std::int32_t>(kLargestMapSide);
// A level's prefix holds its own size field at bytes 2..5; a shorter one cannot be read back.
constexpr std::int32_t kShortestPrefix = 6;
constexpr std::size_t kCopyPiece = std::size_t{1} << 20;

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
        const BitmapHeader header = ReadHeaderAndPalette();
        SetStatus(window_, texts::kDebugingData);

        // From the report's first step to its last nothing yields, so the box cannot change.
        ReportHeaderStage(window_, header.dataOffset, header.bmpWidth, header.bmpHeight,
                          header.colorType, header.pallet);
        const DecodedHeader decoded{BytesToNumber(header.dataOffset),
                                    BytesToNumber(header.bmpWidth), BytesToNumber(header.bmpHeight),
                                    BytesToNumber(header.colorType)};
        modModule::ColorMap = header.pallet[0][0] == 255 ? std::array<std::int16_t, 2>{0, 1}
                                                         : std::array<std::int16_t, 2>{1, 0};
        const std::int16_t bitPadding = BitPaddingOf(decoded.width);
        ReportPaddingStage(window_, decoded.width);
        const std::int32_t pixelWidth = decoded.width;
        const std::int32_t paddedWidth =
            CheckedAdd<std::int32_t>(decoded.width, bitPadding, "width + padding bits");
        const auto bytesPerLine = RoundToInteger<std::int16_t>(paddedWidth / 8.0, "BytesPerLine");
        ReportRowSizeStage(window_, bytesPerLine);

        SetStatus(window_, texts::kConverting);
        const auto rowCount = CheckedNarrow<std::int16_t>(decoded.height, "the bitmap's height");
        if (IsUnsuitable(decoded)) {
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

    // The tileset's leading bitmap: as many bytes from its start as its size field (bytes 2..5)
    // says. The file is opened again on the current tileset path to start from its first byte.
    void CopyTileset() {
        files_.Tileset().Read(2);
        const std::int32_t tilesetSize = BytesToNumber(files_.Tileset().Read(4));
        if (tilesetSize < kShortestPrefix) {
            throw FileError("the tileset's size field says " + std::to_string(tilesetSize) +
                            " bytes; a level's prefix needs at least 6, to hold that field, or "
                            "the level cannot be read back");
        }
        files_.CloseTileset();
        InputFile& tileset = files_.OpenTileset(window_.FieldText(Field::txtTile));
        OutputFile& output = files_.Output();
        // In pieces, so that a large prefix takes no more memory than one piece. Between pieces
        // a stop asked for by a signal is honoured; nothing yields here.
        auto remaining = static_cast<std::size_t>(tilesetSize);
        tileset.Require(remaining);
        while (remaining > 0) {
            const std::size_t piece = std::min(remaining, kCopyPiece);
            tileset.ReadInto(output.Room(piece), piece);
            output.Advance(piece);
            remaining -= piece;
            if (remaining > 0 && window_.StopRequested()) {
                throw RunInterrupted{};
            }
        }
        files_.CloseTileset();
    }

    // Header fields at offsets 0..29; then, from the reopened file, the two palette entries that
    // stand 8 bytes before the offset in the data-offset field's low byte.
    BitmapHeader ReadHeaderAndPalette() {
        BitmapHeader header;
        InputFile& first = files_.Bitmap();
        first.Read(10);
        header.dataOffset = first.Read(4);
        first.Read(4);
        header.bmpWidth = first.Read(4);
        header.bmpHeight = first.Read(4);
        first.Read(2);
        header.colorType = first.Read(2);
        files_.CloseBitmap();
        InputFile& bitmap = files_.OpenBitmap(window_.FieldText(Field::txtPic));

        const auto skip = static_cast<std::int16_t>(
            static_cast<unsigned char>(header.dataOffset[0]) - std::int16_t{8});
        if (skip < 0) {
            throw InvalidArgumentError("invalid argument: the data offset's low byte " +
                                       modModule::IntegerText(skip + 8) +
                                       " puts the palette before the start of the file");
        }
        bitmap.Read(static_cast<std::size_t>(skip));
        for (auto& entry : header.pallet) {
            const std::string bytes = bitmap.Read(4);
            for (std::size_t k = 0; k < entry.size(); ++k) {
                entry[k] = static_cast<unsigned char>(bytes[k]);
            }
        }
        return header;
    }

    static bool IsUnsuitable(const DecodedHeader& header) {
        return header.dataOffset != kRequiredDataOffset || header.colorType != 1 ||
               header.width > kLargestSide || header.height > kLargestSide;
    }

    // Stored rows, bottom row of the picture first: the first read gets y = rowCount - 1. Each
    // row's records are encoded straight into the output's buffer.
    void ConvertRows(std::int32_t pixelWidth, std::int16_t bytesPerLine, std::int16_t rowCount) {
        InputFile& bitmap = files_.Bitmap();
        OutputFile& output = files_.Output();
        std::string row;
        const std::size_t mostRecords =
            static_cast<std::size_t>(std::max<std::int32_t>(pixelWidth, 0));
        for (std::int32_t r = 1; r <= rowCount; ++r) {
            bitmap.ReadInto(row, static_cast<std::size_t>(bytesPerLine));
            const std::int32_t y = rowCount - r;
            if (modModule::RowFitsRecords(pixelWidth, y)) {
                const std::size_t room = kLevelRecordSize * std::min(mostRecords, 8 * row.size());
                output.Advance(
                    modModule::EncodeRowInto(output.Room(room), row, pixelWidth, y, window_));
            } else {
                output.Write(modModule::EncodeRow(row, pixelWidth, y, window_));
            }
            // A row without tiles does not yield; a stop asked for meanwhile still ends the run.
            if (window_.StopRequested()) {
                throw RunInterrupted{};
            }
        }
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
