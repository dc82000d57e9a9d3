// Which pixels of a picture are dark, as prepare decides it. A picture with a transparent pixel
// (alpha below 128) is a drawing on a transparent background: its opaque pixels are dark,
// whatever their colour. Otherwise a pixel is dark when its grey value (qGray, after laying the
// pixel over white) is below a threshold, and a picture with a palette of exactly two colours is
// the exception: its darker colour is dark, whatever the threshold and whichever of the two comes
// first in the palette.
#pragma once

#include <QImage>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/monochrome_bmp.h"

namespace quorbel::render {

struct DarkRule {
    int darkBelow = kDefaultDarkBelow;  // 0..256: 0 makes nothing dark, 256 everything
    bool invert = false;                // dark and light swapped
    bool grey = false;  // grey values decide also for a picture with transparent pixels
};

// Which rule decided.
enum class DarkBy { GreyValue, TwoColours, Opacity };

// Pixels whose alpha is below this are transparent.
inline constexpr int kOpaqueAlpha = 128;

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
    DarkBy By() const { return by_; }
    // By GreyValue: how many pixels have each grey value.
    const std::array<std::uint64_t, 256>& GreyCounts() const { return greyCounts_; }
    // By TwoColours: the palette's two colours, the darker first.
    const std::array<QRgb, 2>& TwoColours() const { return twoColours_; }

  private:
    void FromTwoColours(const QImage& picture, int darkIndex);
    void FromGreyValues(const QImage& argb, const DarkRule& rule);
    void FromOpacity(const QImage& argb, bool invert);
    void Set(int x, int y, bool dark);

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> dark_;
    std::uint64_t count_ = 0;
    DarkBy by_ = DarkBy::GreyValue;
    std::array<std::uint64_t, 256> greyCounts_{};
    std::array<QRgb, 2> twoColours_{};
};

// The grey value of colour laid over white: 255 for a fully transparent one.
int GreyOverWhite(QRgb colour);

// The warning (without "warning: ") for a result with no dark pixel or with every pixel dark: the
// rule that decided and what to try; nothing for any other result.
std::optional<std::string> DarkPixelsWarning(const DarkPixels& dark, const DarkRule& rule);

}  // namespace quorbel::render
