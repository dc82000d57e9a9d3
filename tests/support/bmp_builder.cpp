#include "support/bmp_builder.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quorbel::test {
namespace {

void PutLe(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

}  // namespace

BmpBuilder::BmpBuilder(std::int64_t width, std::int64_t height) : width_(width), height_(height) {}

BmpBuilder& BmpBuilder::DataOffset(std::uint32_t offset) {
    dataOffset_ = offset;
    return *this;
}

BmpBuilder& BmpBuilder::BitsPerPixel(std::uint16_t bits) {
    bitsPerPixel_ = bits;
    return *this;
}

BmpBuilder& BmpBuilder::Palette(std::array<std::uint8_t, 4> entry0,
                                std::array<std::uint8_t, 4> entry1) {
    palette0_ = entry0;
    palette1_ = entry1;
    return *this;
}

BmpBuilder& BmpBuilder::Pixels(std::function<int(int x, int y)> bit) {
    bit_ = std::move(bit);
    return *this;
}

BmpBuilder& BmpBuilder::StoredRows(std::int64_t count) {
    storedRows_ = count;
    return *this;
}

BmpBuilder& BmpBuilder::DirtyPadding() {
    dirtyPadding_ = true;
    return *this;
}

std::string BmpBuilder::Bytes() const {
    const std::int64_t rows = storedRows_ >= 0 ? storedRows_ : (height_ < 0 ? -height_ : height_);
    const std::int64_t bytesPerLine = width_ > 0 ? 4 * ((width_ + 31) / 32) : 0;
    std::string pixels;
    for (std::int64_t r = 0; r < rows; ++r) {
        const std::int64_t y = height_ - 1 - r;  // stored bottom row first
        std::string row(static_cast<std::size_t>(bytesPerLine), '\0');
        for (std::int64_t x = 0; x < 8 * bytesPerLine; ++x) {
            const bool bit =
                x < width_ ? bit_(static_cast<int>(x), static_cast<int>(y)) != 0 : dirtyPadding_;
            if (bit) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
            }
        }
        pixels += row;
    }
    std::string out = "BM";
    PutLe(out, 62 + pixels.size(), 4);
    PutLe(out, 0, 4);
    PutLe(out, dataOffset_, 4);
    PutLe(out, 40, 4);
    PutLe(out, static_cast<std::uint64_t>(width_), 4);
    PutLe(out, static_cast<std::uint64_t>(height_), 4);
    PutLe(out, 1, 2);
    PutLe(out, bitsPerPixel_, 2);
    PutLe(out, 0, 4);
    PutLe(out, pixels.size(), 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2, 4);
    PutLe(out, 2, 4);
    out.append(palette0_.begin(), palette0_.end());
    out.append(palette1_.begin(), palette1_.end());
    return out + pixels;
}

void BmpBuilder::WriteTo(const std::string& path) const {
    WriteWholeFile(path, Bytes());
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string LittleEndianBytes(std::uint64_t value, int count) {
    std::string out;
    PutLe(out, value, count);
    return out;
}

}  // namespace quorbel::test
