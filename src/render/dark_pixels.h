// Which pixels of a picture are dark, as prepare decides it: a pixel is dark when its grey value
// (qGray, after laying the pixel over white, so that transparent is light) is below a threshold.
// A picture with a palette of exactly two colours is the exception: its darker colour is dark,
// whatever the threshold and whichever of the two comes first in the palette.
#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

#include "formats/monochrome_bmp.h"

namespace quorbel::render {

struct DarkRule {
    int darkBelow = kDefaultDarkBelow;  // 0..256: 0 makes nothing dark, 256 everything
    bool invert = false;                // dark and light swapped
};

class DarkPixels {
  public:
    // Decides every pixel of picture by rule, once: one byte a pixel, so picture must already be
    // known to be no larger than a map.
    DarkPixels(const QImage& picture, const DarkRule& rule);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Whether pixel (x, y), y from the top row, is dark; both must lie inside the picture.
    bool IsDark(int x, int y) const {
        return dark_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                     static_cast<std::size_t>(x)] != 0;
    }
    // How many pixels are dark.
    std::uint64_t Count() const { return count_; }

  private:
    void FromTwoColours(const QImage& picture, int darkIndex);
    void FromGreyValues(const QImage& picture, const DarkRule& rule);
    void Set(int x, int y, bool dark);

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> dark_;
    std::uint64_t count_ = 0;
};

// The grey value of colour laid over white: 255 for a fully transparent one.
int GreyOverWhite(QRgb colour);

}  // namespace quorbel::render
