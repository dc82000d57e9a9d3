// Why a file is no map bitmap: each condition that the conversion needs and the file's header does
// not meet, in words for a "cause:" line (what was found; what is needed), with what mends it.
// The header is read as picture readers read it (every BMP header version, a negative height for
// rows stored top row first, the 16-bit sides of OS/2 bitmaps), not as the conversion reads it,
// so that the words name what the file really is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorbel {

enum class Remedy {
    Prepare,    // quorbel-lvl prepare makes a map bitmap of the file as it is
    ScaleDown,  // larger than 1024 a side: the picture must be scaled down first
    Remake,     // cut short, or no picture that prepare reads: it must be saved again
};

struct UnmetCondition {
    std::string found;   // "24 bits per pixel"
    std::string needed;  // "the map must have 1"
    Remedy remedy = Remedy::Prepare;
    friend bool operator==(const UnmetCondition&, const UnmetCondition&) = default;
};

// One palette entry, in the file's byte order.
struct PaletteEntry {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

struct MapBitmapCheck {
    std::vector<UnmetCondition> unmet;  // empty for a bitmap that the conversion takes
    // The sides as the BMP header gives them (the number of rows for a top-down one); 0 for a
    // file without a BMP header.
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bitsPerPixel = 0;
    PaletteEntry entry0;  // known when unmet is empty
};

// The leading bytes that the check needs: the headers and the palette of a map bitmap.
inline constexpr std::size_t kMapHeaderBytes = 62;

// Checks a file of fileSize bytes whose first min(fileSize, 62) bytes are leading.
MapBitmapCheck CheckMapBitmapBytes(std::string_view leading, std::uint64_t fileSize);

// Reads the first bytes of the file at path through the file layer and checks them. Throws
// FileError when the file cannot be read.
MapBitmapCheck CheckMapBitmap(const std::string& path);

}  // namespace quorbel
