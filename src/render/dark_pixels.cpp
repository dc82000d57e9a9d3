#include "render/dark_pixels.h"

namespace quorbel::render {
namespace {

bool IsIndexed(QImage::Format format) {
    return format == QImage::Format_Mono || format == QImage::Format_MonoLSB ||
           format == QImage::Format_Indexed8;
}

int OverWhite(int channel, int alpha) {
    return (channel * alpha + 255 * (255 - alpha) + 127) / 255;
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
    if (IsIndexed(picture.format()) && picture.colorCount() == 2) {
        const int grey0 = GreyOverWhite(picture.color(0));
        const int grey1 = GreyOverWhite(picture.color(1));
        if (grey0 != grey1) {
            const int darker = grey0 < grey1 ? 0 : 1;
            FromTwoColours(picture, rule.invert ? 1 - darker : darker);
            return;
        }
    }
    FromGreyValues(picture, rule);
}

void DarkPixels::FromTwoColours(const QImage& picture, int darkIndex) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            Set(x, y, picture.pixelIndex(x, y) == darkIndex);
        }
    }
}

void DarkPixels::FromGreyValues(const QImage& picture, const DarkRule& rule) {
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < height_; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < width_; ++x) {
            Set(x, y, (GreyOverWhite(line[x]) < rule.darkBelow) != rule.invert);
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

}  // namespace quorbel::render
