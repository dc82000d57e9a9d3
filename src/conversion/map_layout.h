// How a conversion reads a map bitmap before its rows: the header fields and the palette, read as
// the run reads them, and what is decided from them in the run's order (which bit value becomes a
// tile, the bytes of a stored row, the number of rows, and whether the conversion takes the
// bitmap). Every command that converts a map bitmap decides through these, so that all of them
// take, refuse and fail the same bitmaps.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "conversion/header_report.h"
#include "conversion/tile_records.h"
#include "files/file_system.h"

namespace quorbel {

using modModule::ColorMapValues;

// The header fields as read, raw, for the report; each use decodes them again.
struct MapHeaderFields {
    std::string dataOffset;  // bytes 10..13
    std::string bmpWidth;    // bytes 18..21
    std::string bmpHeight;   // bytes 22..25
    std::string colorType;   // bytes 28..29
    PalletData pallet{};
};

// Reads bytes 0..29 of a bitmap opened at its first byte and takes the fields at the places a
// 40-byte header has them, whatever header the file has; the palette is left empty. Throws
// FileError when the file is shorter.
MapHeaderFields ReadMapHeader(InputFile& bitmap);

// Reads the two palette entries of a bitmap opened at its first byte again: they stand 8 bytes
// before the offset in the data-offset field's low byte, where the file is left. Throws
// InvalidArgumentError for a low byte below 8, FileError when the file is shorter.
void ReadMapPallet(InputFile& bitmap, MapHeaderFields& header);

// What the row loop needs, and whether the conversion takes the bitmap at all.
struct MapLayout {
    ColorMapValues colorMap{};  // indexed by a pixel's bit value: 1 marks the tile pixels
    std::int32_t pixelWidth = 0;
    std::int16_t bytesPerLine = 0;
    std::int16_t rowCount = 0;
    // A 1-bit bitmap with its pixels at 62 and at most 1024 x 1024: the others are rejected.
    bool suitable = false;
    friend bool operator==(const MapLayout&, const MapLayout&) = default;
};

// Told of each decision as it is made, so that a front end can report and show progress at the
// moment the run does. A failing decision stops before its step.
class MapLayoutSteps {
  public:
    virtual ~MapLayoutSteps() = default;
    // Before any field is decoded.
    virtual void HeaderRead(const MapHeaderFields&) {}
    virtual void ColorMapDecided(const ColorMapValues&) {}
    // The padding of a row of width pixels is known.
    virtual void PaddingDecided(std::int32_t /*width*/) {}
    // The bytes of a stored row are known; the row count and the validation come next.
    virtual void RowSizeDecided(std::int16_t /*bytesPerLine*/) {}
};

// The header report, written into box at the steps where the run writes it: lines 1 to 6 when the
// header is read, the padding line, then the bytes-per-line line.
class ReportingSteps : public MapLayoutSteps {
  public:
    explicit ReportingSteps(ReportBox& box) : box_(box) {}
    void HeaderRead(const MapHeaderFields& header) override;
    void PaddingDecided(std::int32_t width) override;
    void RowSizeDecided(std::int16_t bytesPerLine) override;

  private:
    ReportBox& box_;
};

// Decides the layout from the header, telling steps on the way. Throws OverflowError for a data
// offset, width or height field of 2^31 or more, a width above 262112 (a row of more than 32767
// bytes) or a height above 32767; whatever steps throws.
MapLayout DecideMapLayout(const MapHeaderFields& header, MapLayoutSteps& steps);
MapLayout DecideMapLayout(const MapHeaderFields& header);

}  // namespace quorbel
