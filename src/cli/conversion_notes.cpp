#include "cli/conversion_notes.h"

#include <algorithm>

#include "base/quoted.h"
#include "formats/monochrome_bmp.h"
#include "formats/tile_grid.h"

namespace quorbel {
namespace {

bool Any(std::span<const UnmetCondition> unmet, Remedy remedy) {
    return std::any_of(unmet.begin(), unmet.end(),
                       [&](const UnmetCondition& c) { return c.remedy == remedy; });
}

}  // namespace

std::vector<std::string> CauseLines(std::span<const UnmetCondition> unmet) {
    std::vector<std::string> lines;
    for (const UnmetCondition& condition : unmet) {
        lines.push_back("cause: " + condition.found + "; " + condition.needed);
    }
    return lines;
}

std::optional<std::string> HintLine(std::span<const UnmetCondition> unmet,
                                    const std::string& bitmapPath, const std::string& program) {
    if (unmet.empty()) {
        return std::nullopt;
    }
    if (Any(unmet, Remedy::Remake)) {
        return "hint: save the map again from a paint program; quorbel-lvl prepare makes a 1-bit "
               "BMP of any BMP, PNG, GIF, JPEG, PBM, PGM, PPM or XPM picture";
    }
    if (Any(unmet, Remedy::ScaleDown)) {
        return "hint: scale the picture down to at most 1024 x 1024 pixels (a paint program's "
               "scale image, or ImageMagick's -resize 1024x1024), then make a 1-bit BMP of it "
               "with quorbel-lvl prepare";
    }
    return "hint: " + program + " prepare " + ShellQuoted(bitmapPath) + " " +
           ShellQuoted(PreparedName(bitmapPath));
}

std::string PreparedName(const std::string& path) {
    const std::size_t nameStart = path.rfind('/') + 1;  // 0 when there is no folder
    const std::size_t dot = path.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > nameStart;
    return path.substr(0, hasExtension ? dot : path.size()) + "-1bit.bmp";
}

std::string SwappedInputsCause(const std::string& tilesetPath, const std::string& bitmapPath) {
    return "cause: the tileset " + Quoted(tilesetPath) + " is a 1-bit map bitmap and the bitmap " +
           Quoted(bitmapPath) + " is not; the two seem given the wrong way round";
}

std::optional<std::string> PaletteWarning(PaletteEntry entry0, std::uint64_t records,
                                          std::uint64_t pixels) {
    const bool countsLight = entry0.blue == 255;
    const bool looksLight = GreyValue(entry0.red, entry0.green, entry0.blue) >= kDefaultDarkBelow;
    if (countsLight == looksLight) {
        return std::nullopt;
    }
    const std::uint64_t entryPixels = countsLight ? pixels - std::min(records, pixels) : records;
    const std::string colour = "(" + std::to_string(entry0.red) + ", " +
                               std::to_string(entry0.green) + ", " + std::to_string(entry0.blue) +
                               ")";
    return "warning: palette entry 0 is " + colour +
           (countsLight ? ": a blue value of 255 marks the light colour, so its "
                        : ": only a blue value of 255 marks the light colour, so its ") +
           Counted(entryPixels, "pixel", "pixels") +
           (entryPixels == 1 ? " counts as " : " count as ") + (countsLight ? "light" : "dark");
}

BitmapExplanation ExplainBitmap(const std::string& tilesetPath, const std::string& bitmapPath,
                                const std::string& swappedCommandLine, const std::string& program) {
    const MapBitmapCheck bitmap = CheckMapBitmap(bitmapPath);
    BitmapExplanation explanation;
    if (bitmap.unmet.empty()) {
        return explanation;
    }
    const bool looksSwapped = bitmap.bitsPerPixel > 1 && bitmap.width >= kCellSide &&
                              bitmap.height >= kCellSide &&
                              CheckMapBitmap(tilesetPath).unmet.empty();
    if (looksSwapped) {
        explanation.causes.push_back(SwappedInputsCause(tilesetPath, bitmapPath));
        explanation.hint = "hint: the tileset comes first: " + swappedCommandLine;
    }
    for (std::string& line : CauseLines(bitmap.unmet)) {
        explanation.causes.push_back(std::move(line));
    }
    if (!explanation.hint) {
        explanation.hint = HintLine(bitmap.unmet, bitmapPath, program);
    }
    return explanation;
}

std::vector<std::string> ConvertedWarnings(int tile, std::uint64_t records,
                                           const std::optional<PrefixPicture>& picture,
                                           const std::string& bitmapPath) {
    std::vector<std::string> warnings;
    if (records > 0) {
        if (auto warning = TileCellWarning(tile, picture)) {
            warnings.push_back(std::move(*warning));
        }
    }
    const MapBitmapCheck bitmap = CheckMapBitmap(bitmapPath);
    if (bitmap.unmet.empty()) {
        const auto pixels = static_cast<std::uint64_t>(bitmap.width * bitmap.height);
        if (auto warning = PaletteWarning(bitmap.entry0, records, pixels)) {
            warnings.push_back(std::move(*warning));
        }
    }
    return warnings;
}

std::string TrailingBytesWarning(const std::string& levelPath, std::uint64_t count) {
    return "warning: " + std::to_string(count) +
           " trailing byte(s) after the last whole record of " + Quoted(levelPath) +
           " are no record";
}

std::string WroteLine(const std::string& output, std::uint64_t records, int tile) {
    return "wrote " + output + ": " + Counted(records, "record", "records") + " of tile " +
           std::to_string(tile);
}

}  // namespace quorbel
