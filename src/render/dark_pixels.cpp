#include "render/dark_pixels.h"

#include <algorithm>

namespace quorbel::render {
namespace {

bool IsIndexed(QImage::Format format) {
    return format == QImage::Format_Mono || format == QImage::Format_MonoLSB ||
           format == QImage::Format_Indexed8;
}

int OverWhite(int channel, int alpha) {
    return (channel * alpha + 255 * (255 - alpha) + 127) / 255;
}

bool HasTransparentPixel(const QImage& argb) {
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) < kOpaqueAlpha) {
                return true;
            }
        }
    }
    return false;
}

std::string ColourText(QRgb colour) {
    return "(" + std::to_string(qRed(colour)) + ", " + std::to_string(qGreen(colour)) + ", " +
           std::to_string(qBlue(colour)) + ")";
}

std::string Pixels(std::uint64_t count) {
    return std::to_string(count) + (count == 1 ? " pixel" : " pixels");
}

// What to try when grey values made all pixels alike: a threshold that parts the most common grey
// value, the background, from the pixels darker (or else lighter) than it.
std::string GreyValueAdvice(const std::array<std::uint64_t, 256>& counts) {
    int common = 0;
    for (int grey = 0; grey < 256; ++grey) {
        if (counts[static_cast<std::size_t>(grey)] >= counts[static_cast<std::size_t>(common)]) {
            common = grey;
        }
    }
    std::uint64_t darker = 0;
    std::uint64_t lighter = 0;
    for (int grey = 0; grey < common; ++grey) {
        darker += counts[static_cast<std::size_t>(grey)];
    }
    for (int grey = common + 1; grey < 256; ++grey) {
        lighter += counts[static_cast<std::size_t>(grey)];
    }
    const std::string background = "the most common grey value, " + std::to_string(common);
    if (darker > 0) {
        return "--threshold " + std::to_string(common) + " (without --invert) makes the " +
               Pixels(darker) + " darker than " + background + ", dark";
    }
    if (lighter > 0) {
        return "--threshold " + std::to_string(common + 1) + " --invert makes the " +
               Pixels(lighter) + " lighter than " + background + ", dark";
    }
    return "every pixel has the grey value " + std::to_string(common) +
           ": the picture holds no drawing";
}

}  // namespace

int GreyOverWhite(QRgb colour) {
    const int alpha = qAlpha(colour);
    return qGray(OverWhite(qRed(colour), alpha), OverWhite(qGreen(colour), alpha),
                 OverWhite(qBlue(colour), alpha));
}

DarkPixels::DarkPixels(const QImage& picture, const DarkRule& rule)
    : width_(picture.width()),
      height_(picture.height()),
      dark_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)) {
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    if (!rule.grey && picture.hasAlphaChannel() && HasTransparentPixel(argb)) {
        FromOpacity(argb, rule.invert);
        return;
    }
    if (IsIndexed(picture.format()) && picture.colorCount() == 2) {
        const int grey0 = GreyOverWhite(picture.color(0));
        const int grey1 = GreyOverWhite(picture.color(1));
        if (grey0 != grey1) {
            const int darker = grey0 < grey1 ? 0 : 1;
            twoColours_ = {picture.color(darker), picture.color(1 - darker)};
            FromTwoColours(picture, rule.invert ? 1 - darker : darker);
            return;
        }
    }
    FromGreyValues(argb, rule);
}

void DarkPixels::FromTwoColours(const QImage& picture, int darkIndex) {
    by_ = DarkBy::TwoColours;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            Set(x, y, picture.pixelIndex(x, y) == darkIndex);
        }
    }
}

void DarkPixels::FromGreyValues(const QImage& argb, const DarkRule& rule) {
    by_ = DarkBy::GreyValue;
    for (int y = 0; y < height_; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < width_; ++x) {
            const int grey = GreyOverWhite(line[x]);
            ++greyCounts_[static_cast<std::size_t>(grey)];
            Set(x, y, (grey < rule.darkBelow) != rule.invert);
        }
    }
}

void DarkPixels::FromOpacity(const QImage& argb, bool invert) {
    by_ = DarkBy::Opacity;
    for (int y = 0; y < height_; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < width_; ++x) {
            Set(x, y, (qAlpha(line[x]) >= kOpaqueAlpha) != invert);
        }
    }
}

void DarkPixels::Set(int x, int y, bool dark) {
    if (dark) {
        dark_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
              static_cast<std::size_t>(x)] = 1;
        ++count_;
    }
}

std::optional<std::string> DarkPixelsWarning(const DarkPixels& dark, const DarkRule& rule) {
    const std::uint64_t pixels =
        static_cast<std::uint64_t>(dark.Width()) * static_cast<std::uint64_t>(dark.Height());
    if (pixels == 0 || (dark.Count() != 0 && dark.Count() != pixels)) {
        return std::nullopt;
    }
    const bool none = dark.Count() == 0;
    const std::string result = none ? "no pixel is dark" : "every pixel is dark";
    switch (dark.By()) {
        case DarkBy::Opacity:
            // Only a picture of transparent pixels alone comes out all alike by its opacity.
            return result +
                   ": every pixel is transparent (alpha below 128), and on a transparent "
                   "background the opaque pixels are " +
                   (rule.invert ? "light (--invert)" : "dark") +
                   "; the drawing may be on a layer that was not saved with the picture";
        case DarkBy::TwoColours: {
            // The colour that every pixel has, and the other one.
            const bool darker = none == rule.invert;
            const QRgb used = dark.TwoColours()[darker ? 0 : 1];
            const QRgb other = dark.TwoColours()[darker ? 1 : 0];
            return result + ": the picture's palette has two colours, whose darker one is " +
                   (rule.invert ? "light (--invert)" : "dark") + ", and every pixel is the " +
                   (darker ? "darker, " : "lighter, ") + ColourText(used) +
                   "; draw the map in the other colour, " + ColourText(other);
        }
        case DarkBy::GreyValue:
            break;
    }
    return result + ": a pixel is dark when its grey value over white is " +
           (rule.invert ? "at least " : "below ") + std::to_string(rule.darkBelow) + " (" +
           (rule.invert ? "--invert, " : "") + "--threshold " + std::to_string(rule.darkBelow) +
           "); " + GreyValueAdvice(dark.GreyCounts());
}

}  // namespace quorbel::render
