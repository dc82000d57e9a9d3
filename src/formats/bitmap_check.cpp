#include "formats/bitmap_check.h"

#include <algorithm>
#include <optional>

#include "base/quoted.h"
#include "files/file_system.h"
#include "formats/bmp_header.h"
#include "formats/monochrome_bmp.h"
#include "formats/picture_kind.h"

namespace quorbel {
namespace {

constexpr std::uint32_t kWindowsHeaderSize = 40;
constexpr std::uint32_t kOs2Version2HeaderSize = 64;
constexpr std::uint32_t kMapPaletteBytes = 8;  // two entries of blue, green, red, reserved
constexpr std::uint32_t kBitFields = 3;        // compressions whose colour masks follow a
constexpr std::uint32_t kAlphaBitFields = 6;   // 40-byte header
const std::string kMustBeBmp = "the map must be a 1-bit BMP";

UnmetCondition NotABmp(std::string_view leading, std::uint64_t fileSize) {
    if (fileSize == 0) {
        return {"the file is empty", kMustBeBmp, Remedy::Remake};
    }
    if (const auto kind = PictureKindOf(leading); kind && *kind != PictureKind::Bmp) {
        return {"the file is " + APictureOf(*kind), kMustBeBmp, Remedy::Prepare};
    }
    return {"the file begins with " + Quoted(leading.substr(0, 2)) + ", not 'BM'", kMustBeBmp,
            Remedy::Remake};
}

// Where the pixels of a Windows BMP start, in words: "a 108-byte header", "a 40-byte header and
// a 256-colour palette".
std::string PixelLayout(std::uint32_t offset, std::uint32_t infoSize, std::uint32_t bitsPerPixel,
                        std::uint32_t compression) {
    const std::string header = std::to_string(infoSize) + "-byte header";
    const std::int64_t gap = std::int64_t{offset} - std::int64_t{kBmpFileHeaderSize} - infoSize;
    if (gap < 0) {
        return "before the end of its " + header;
    }
    if (gap == kMapPaletteBytes) {
        return "a " + header;
    }
    if (gap == 0) {
        return "a " + header + " and no palette";
    }
    if (infoSize == kWindowsHeaderSize && (gap == 12 || gap == 16) &&
        (compression == kBitFields || compression == kAlphaBitFields)) {
        return "a " + header + " and colour masks";
    }
    if (bitsPerPixel <= 8 && gap % 4 == 0 && gap / 4 <= (std::int64_t{1} << bitsPerPixel)) {
        return "a " + header + " and a " + std::to_string(gap / 4) + "-colour palette";
    }
    return "a " + header + " and " + std::to_string(gap) + " more bytes";
}

}  // namespace

MapBitmapCheck CheckMapBitmapBytes(std::string_view leading, std::uint64_t fileSize) {
    MapBitmapCheck check;
    const BmpHeader header(leading);
    if (!header.HasSignature()) {
        check.unmet.push_back(NotABmp(leading, fileSize));
        return check;
    }
    const std::optional<BmpPicture> sides = header.Sides();
    if (!sides) {
        check.unmet.push_back({"the file has only " + std::to_string(fileSize) +
                                   " bytes, too few for its BMP headers",
                               "a map bitmap's headers and palette take 62", Remedy::Remake});
        return check;
    }
    const std::uint32_t infoSize = header.InfoSize().value_or(0);
    const bool os2 = header.IsOs2();
    const std::uint32_t offset = header.DataOffset().value_or(0);
    const std::int64_t width = sides->width;
    const std::int64_t height = sides->height;
    const std::uint32_t bitsPerPixel = sides->bitsPerPixel;
    const std::uint32_t compression = header.Compression().value_or(0);

    if (os2 || infoSize == kOs2Version2HeaderSize) {
        check.unmet.push_back(
            {"an OS/2 bitmap (a " + std::to_string(infoSize) + "-byte header" +
                 (os2 ? " with 16-bit sides" : "") + ")",
             "the map must have a 40-byte Windows header, with its pixels at byte 62"});
    } else if (offset != kMapPixelOffset) {
        const std::string layout = PixelLayout(offset, infoSize, bitsPerPixel, compression);
        check.unmet.push_back(
            {"the pixels start at byte " + std::to_string(offset) + " (" + layout + ")",
             std::string("they must start at byte 62 (a 40-byte header") +
                 (layout.ends_with("header") ? ")" : " and a 2-colour palette)")});
    }
    if (bitsPerPixel != 1) {
        check.unmet.push_back(
            {std::to_string(bitsPerPixel) + " bits per pixel", "the map must have 1"});
    }
    if (height < 0) {
        check.unmet.push_back(
            {"the rows are stored top row first (height " + std::to_string(height) + ")",
             "they must be stored bottom row first (a positive height)"});
    }
    const std::int64_t rows = height < 0 ? -height : height;
    check.width = width;
    check.height = rows;
    check.bitsPerPixel = bitsPerPixel;
    if (width < 0) {
        check.unmet.push_back({"a width of " + std::to_string(width),
                               "the map must be 0 to 1024 pixels wide", Remedy::Remake});
    } else if (width > kLargestMapSide || rows > kLargestMapSide) {
        check.unmet.push_back({std::to_string(width) + " x " + std::to_string(rows) + " pixels",
                               "at most 1024 x 1024", Remedy::ScaleDown});
    }
    if (!check.unmet.empty()) {
        return check;
    }
    const std::uint64_t needed =
        kMapPixelOffset +
        MonochromeRowBytes(static_cast<std::uint64_t>(width)) * static_cast<std::uint64_t>(rows);
    if (fileSize < needed || leading.size() < kMapHeaderBytes) {
        check.unmet.push_back({"the file has " + std::to_string(fileSize) + " bytes",
                               "its headers, palette and " + std::to_string(width) + " x " +
                                   std::to_string(rows) + " pixels take " + std::to_string(needed),
                               Remedy::Remake});
        return check;
    }
    // Entry 0 of the two-colour palette just before the pixels: blue, green, red.
    const std::size_t entry0 = kMapPixelOffset - kMapPaletteBytes;
    check.entry0 = PaletteEntry{static_cast<std::uint8_t>(leading[entry0]),
                                static_cast<std::uint8_t>(leading[entry0 + 1]),
                                static_cast<std::uint8_t>(leading[entry0 + 2])};
    return check;
}

MapBitmapCheck CheckMapBitmap(const std::string& path) {
    InputFile file(path);
    const std::uint64_t size = file.Size();
    const std::string leading =
        file.Read(static_cast<std::size_t>(std::min<std::uint64_t>(size, kMapHeaderBytes)));
    return CheckMapBitmapBytes(leading, size);
}

}  // namespace quorbel
