// What each cell of a drawing is: a palette entry's cell, an empty cell, or a pixel of a colour
// the palette does not know. A pixel with alpha below 128 is empty; an opaque one counts by its
// stored, unblended RGB: a palette colour gives that entry, white that the palette does not list
// is empty, any other colour is unknown (or, when told, the nearest palette colour or white).
//
// The classes are kept where the picture keeps its pixels: a 32-bit pixel is overwritten with
// its class, and a picture of colour indexes keeps them with one class per index. So a picture
// of 4096 x 4096 cells takes no memory beyond its own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "paint/gimp_palette.h"

namespace quorbel::paint {

// A cell's class is the index of its palette entry, or one of these.
inline constexpr std::uint32_t kEmptyCell = 0xFFFFFFFFu;
inline constexpr std::uint32_t kUnknownCell = 0xFFFFFFFEu;
// Pixels whose alpha is below this are transparent.
inline constexpr std::uint32_t kOpaqueAlpha = 128;

// A pixel as a 32-bit word 0xAARRGGBB, the order of Qt's 32-bit ARGB pixels.
constexpr std::uint32_t ArgbWord(std::uint32_t alpha, Rgb colour) {
    return alpha << 24 | std::uint32_t{colour.red} << 16 | std::uint32_t{colour.green} << 8 |
           colour.blue;
}

// The class of each pixel colour for one palette.
class ColourClasses {
  public:
    // legend must outlive this. With nearest, no colour is unknown: each opaque pixel takes the
    // palette colour nearest to it by squared RGB distance, or white (empty); ties go to the
    // earlier palette line, white last.
    ColourClasses(std::span<const LegendEntry> legend, bool nearest);

    // The class of the pixel argb (0xAARRGGBB).
    std::uint32_t ClassOf(std::uint32_t argb);

  private:
    std::uint32_t Nearest(std::uint32_t rgb) const;

    std::span<const LegendEntry> legend_;
    bool nearest_;
    // Exact palette colours (0x00RRGGBB), and with nearest the colours already decided.
    std::unordered_map<std::uint32_t, std::uint32_t> known_;
};

// The pixels of colours the palette does not list, counted for the refusal that names them.
struct UnknownColour {
    Rgb colour;
    std::uint64_t pixels = 0;
    int x = 0;  // the first pixel in reading order: top row first, left to right
    int y = 0;
};

class UnknownColours {
  public:
    // How many colours are named, with their counts and first pixels.
    static constexpr std::size_t kNamed = 8;

    // Counts pixel (x, y) of colour argb; pixels must come in reading order.
    void Add(std::uint32_t argb, int x, int y);

    // The first kNamed colours found, in the order found.
    const std::vector<UnknownColour>& Named() const { return named_; }
    // All pixels of unknown colours, named or not.
    std::uint64_t Pixels() const { return pixels_; }
    bool Empty() const { return pixels_ == 0; }

  private:
    std::vector<UnknownColour> named_;
    std::uint64_t pixels_ = 0;
};

// The classes of a width x height picture's cells, read where the picture keeps them.
class CellGrid {
  public:
    int Width() const { return width_; }
    int Height() const { return height_; }

    // The class of cell (x, y), y from the top row; both must lie inside the grid.
    std::uint32_t ClassAt(int x, int y) const {
        const std::size_t at = static_cast<std::size_t>(y) * stride_ + static_cast<std::size_t>(x);
        return words_ != nullptr ? words_[at] : classOfIndex_[indexes_[at]];
    }

  private:
    friend CellGrid ClassifyArgbPixels(std::uint32_t*, std::size_t, int, int, ColourClasses&,
                                       UnknownColours&);
    friend CellGrid ClassifyIndexedPixels(const std::uint8_t*, std::size_t, int, int,
                                          std::span<const std::uint32_t>, ColourClasses&,
                                          UnknownColours&);

    int width_ = 0;
    int height_ = 0;
    std::size_t stride_ = 0;  // words or bytes from one row to the next
    const std::uint32_t* words_ = nullptr;
    const std::uint8_t* indexes_ = nullptr;
    std::array<std::uint32_t, 256> classOfIndex_{};
};

// Overwrites each pixel word (0xAARRGGBB) of the width x height picture at first, whose rows lie
// wordsPerRow apart, with its class, and counts the unknown ones; returns the grid over them.
CellGrid ClassifyArgbPixels(std::uint32_t* first, std::size_t wordsPerRow, int width, int height,
                            ColourClasses& classes, UnknownColours& unknown);

// The grid of a picture of one-byte colour indexes (rows bytesPerRow apart) into table (0xAARRGGBB;
// as Qt reads such pictures, indexes past its end are transparent, and an empty table is a grey
// ramp); counts the pixels of unknown colours. The pixels must outlive the grid.
CellGrid ClassifyIndexedPixels(const std::uint8_t* first, std::size_t bytesPerRow, int width,
                               int height, std::span<const std::uint32_t> table,
                               ColourClasses& classes, UnknownColours& unknown);

}  // namespace quorbel::paint
