#include "formats/bmp_header.h"

namespace quorbel {
namespace {

constexpr std::size_t kOs2SidesEnd = 26;  // width, height, planes and bit count of 16 bits each
constexpr std::size_t kOs2BitCount = 24;
constexpr std::uint32_t kSmallestWindowsInfo = 40;

}  // namespace

std::uint32_t LittleEndian(std::string_view bytes, std::size_t at, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = count; i-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

BmpHeader::BmpHeader(std::string_view leading)
    : leading_(leading), signature_(leading.starts_with("BM")) {}

std::optional<std::uint32_t> BmpHeader::Number(BmpField field) const {
    if (leading_.size() < field.End()) {
        return std::nullopt;
    }
    return LittleEndian(leading_, field.offset, field.length);
}

std::optional<BmpPicture> BmpHeader::Sides() const {
    if (IsOs2()) {
        if (leading_.size() < kOs2SidesEnd) {
            return std::nullopt;
        }
        return BmpPicture{static_cast<std::int32_t>(LittleEndian(leading_, 18, 2)),
                          static_cast<std::int32_t>(LittleEndian(leading_, 20, 2)),
                          static_cast<std::uint16_t>(LittleEndian(leading_, kOs2BitCount, 2))};
    }
    if (leading_.size() < kBmpBitCountField.End()) {
        return std::nullopt;
    }
    return BmpPicture{static_cast<std::int32_t>(*Number(kBmpWidthField)),
                      static_cast<std::int32_t>(*Number(kBmpHeightField)),
                      static_cast<std::uint16_t>(*Number(kBmpBitCountField))};
}

std::optional<BmpPicture> BmpHeader::Picture() const {
    if (!signature_ || !InfoSize() || (!IsOs2() && *InfoSize() < kSmallestWindowsInfo)) {
        return std::nullopt;
    }
    return Sides();
}

std::string BmpHeader::Raw(BmpField field) const {
    if (leading_.size() <= field.offset) {
        return {};
    }
    return std::string(leading_.substr(field.offset, field.length));
}

}  // namespace quorbel
