#include "paint/cell_classes.h"

#include <algorithm>

namespace quorbel::paint {
namespace {

constexpr std::uint32_t kRgbMask = 0x00FFFFFFu;
constexpr std::uint32_t kWhite = 0x00FFFFFFu;
// With nearest, how many decided colours are kept: a photograph has millions, and memory for them
// would pass what the picture itself takes.
constexpr std::size_t kLargestNearestCache = std::size_t{1} << 16;

std::uint32_t SquaredDistance(std::uint32_t rgb, Rgb colour) {
    const auto square = [](int a, int b) { return static_cast<std::uint32_t>((a - b) * (a - b)); };
    return square(static_cast<int>(rgb >> 16 & 0xFF), colour.red) +
           square(static_cast<int>(rgb >> 8 & 0xFF), colour.green) +
           square(static_cast<int>(rgb & 0xFF), colour.blue);
}

}  // namespace

ColourClasses::ColourClasses(std::span<const LegendEntry> legend, bool nearest)
    : legend_(legend), nearest_(nearest) {
    for (std::size_t i = 0; i < legend.size(); ++i) {
        known_.emplace(ArgbWord(0, legend[i].colour), static_cast<std::uint32_t>(i));
    }
}

std::uint32_t ColourClasses::ClassOf(std::uint32_t argb) {
    if (argb >> 24 < kOpaqueAlpha) {
        return kEmptyCell;
    }
    const std::uint32_t rgb = argb & kRgbMask;
    if (const auto found = known_.find(rgb); found != known_.end()) {
        return found->second;
    }
    if (!nearest_) {
        return rgb == kWhite ? kEmptyCell : kUnknownCell;
    }
    const std::uint32_t cell = Nearest(rgb);
    if (known_.size() < kLargestNearestCache) {
        known_.emplace(rgb, cell);
    }
    return cell;
}

std::uint32_t ColourClasses::Nearest(std::uint32_t rgb) const {
    std::uint32_t best = kEmptyCell;
    std::uint32_t bestDistance = SquaredDistance(rgb, Rgb{255, 255, 255});
    for (std::size_t i = legend_.size(); i-- > 0;) {  // backwards, so that a tie keeps the earlier
        const std::uint32_t distance = SquaredDistance(rgb, legend_[i].colour);
        if (distance <= bestDistance) {
            best = static_cast<std::uint32_t>(i);
            bestDistance = distance;
        }
    }
    return best;
}

void UnknownColours::Add(std::uint32_t argb, int x, int y) {
    ++pixels_;
    const Rgb colour{static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8),
                     static_cast<std::uint8_t>(argb)};
    for (UnknownColour& named : named_) {
        if (named.colour == colour) {
            ++named.pixels;
            return;
        }
    }
    if (named_.size() < kNamed) {
        named_.push_back({colour, 1, x, y});
    }
}

CellGrid ClassifyArgbPixels(std::uint32_t* first, std::size_t wordsPerRow, int width, int height,
                            ColourClasses& classes, UnknownColours& unknown) {
    CellGrid grid;
    grid.width_ = width;
    grid.height_ = height;
    grid.stride_ = wordsPerRow;
    grid.words_ = first;
    // Drawings are runs of one colour: a pixel like the one before it is not looked up again.
    std::uint32_t lastPixel = 0;
    std::uint32_t lastClass = classes.ClassOf(0);
    for (int y = 0; y < height; ++y) {
        std::uint32_t* row = first + static_cast<std::size_t>(y) * wordsPerRow;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = row[x];
            if (pixel != lastPixel) {
                lastPixel = pixel;
                lastClass = classes.ClassOf(pixel);
            }
            if (lastClass == kUnknownCell) {
                unknown.Add(pixel, x, y);
            }
            row[x] = lastClass;
        }
    }
    return grid;
}

CellGrid ClassifyIndexedPixels(const std::uint8_t* first, std::size_t bytesPerRow, int width,
                               int height, std::span<const std::uint32_t> table,
                               ColourClasses& classes, UnknownColours& unknown) {
    CellGrid grid;
    grid.width_ = width;
    grid.height_ = height;
    grid.stride_ = bytesPerRow;
    grid.indexes_ = first;
    std::array<std::uint32_t, 256> colours{};  // past the table's end: transparent
    for (std::size_t i = 0; i < colours.size(); ++i) {
        if (table.empty()) {
            const auto grey = static_cast<std::uint8_t>(i);
            colours[i] = ArgbWord(255, Rgb{grey, grey, grey});
        } else if (i < table.size()) {
            colours[i] = table[i];
        }
        grid.classOfIndex_[i] = classes.ClassOf(colours[i]);
    }
    if (std::find(grid.classOfIndex_.begin(), grid.classOfIndex_.end(), kUnknownCell) ==
        grid.classOfIndex_.end()) {
        return grid;
    }
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = first + static_cast<std::size_t>(y) * bytesPerRow;
        for (int x = 0; x < width; ++x) {
            if (grid.classOfIndex_[row[x]] == kUnknownCell) {
                unknown.Add(colours[row[x]], x, y);
            }
        }
    }
    return grid;
}

}  // namespace quorbel::paint
