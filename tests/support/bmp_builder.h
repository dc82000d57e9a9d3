// Builds BMP files for tests: a 14-byte file header, a 40-byte info header, two palette entries
// and the stored rows (bottom row first), with any header field set to any raw value.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace quorbel::test {

class BmpBuilder {
  public:
    // The raw width and height fields; a negative height stands for a top-down bitmap.
    BmpBuilder(std::int64_t width, std::int64_t height);

    BmpBuilder& DataOffset(std::uint32_t offset);
    BmpBuilder& BitsPerPixel(std::uint16_t bits);
    BmpBuilder& Palette(std::array<std::uint8_t, 4> entry0, std::array<std::uint8_t, 4> entry1);
    // The bit value of pixel (x, y), y counted from the top row.
    BmpBuilder& Pixels(std::function<int(int x, int y)> bit);
    // How many stored rows the file holds (all of them unless told).
    BmpBuilder& StoredRows(std::int64_t count);
    // Fills each row's padding bits with ones, which must never make tiles.
    BmpBuilder& DirtyPadding();

    std::string Bytes() const;
    // Writes Bytes() to path.
    void WriteTo(const std::string& path) const;

  private:
    std::int64_t width_;
    std::int64_t height_;
    std::uint32_t dataOffset_ = 62;
    std::uint16_t bitsPerPixel_ = 1;
    std::array<std::uint8_t, 4> palette0_{0, 0, 0, 0};
    std::array<std::uint8_t, 4> palette1_{255, 255, 255, 0};
    std::function<int(int, int)> bit_ = [](int, int) { return 1; };
    std::int64_t storedRows_ = -1;
    bool dirtyPadding_ = false;
};

// The bytes of a file, whole.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

// value as count little-endian bytes; Le16 and Le32 for the usual fields.
std::string LittleEndianBytes(std::uint64_t value, int count);
inline std::string Le16(std::uint16_t value) {
    return LittleEndianBytes(value, 2);
}
inline std::string Le32(std::uint32_t value) {
    return LittleEndianBytes(value, 4);
}

}  // namespace quorbel::test
