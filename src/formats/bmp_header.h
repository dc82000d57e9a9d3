// The headers at the start of a BMP file, read once into a small view that every other unit asks.
// A BMP begins with a 14-byte file header: "BM", the file's size in bytes 2..5 and the offset of
// its pixels in bytes 10..13. The info header follows, its own size in bytes 14..17: 12 bytes for
// OS/2's oldest form (unsigned 16-bit sides), 40 or more for the Windows forms (signed 32-bit
// sides, a negative height for rows stored top row first). Numbers are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorbel {

// Where a field of the headers lies.
struct BmpField {
    std::size_t offset = 0;
    std::size_t length = 0;
    constexpr std::size_t End() const { return offset + length; }
};

inline constexpr BmpField kBmpSizeField{2, 4};
inline constexpr BmpField kBmpDataOffsetField{10, 4};
inline constexpr BmpField kBmpInfoSizeField{14, 4};
inline constexpr BmpField kBmpWidthField{18, 4};
inline constexpr BmpField kBmpHeightField{22, 4};
inline constexpr BmpField kBmpBitCountField{28, 2};
inline constexpr BmpField kBmpCompressionField{30, 4};
inline constexpr std::size_t kBmpFileHeaderSize = 14;
// The leading bytes that hold every field above.
inline constexpr std::size_t kBmpLeadingBytes = kBmpCompressionField.End();

// A level's prefix is as many bytes as the size field says, so no prefix is shorter than that
// field's end: a shorter one could not be read back.
inline constexpr std::uint32_t kShortestPrefix = kBmpSizeField.End();

// The little-endian number in bytes[at, at + count); count is at most 4 and the bytes must be
// there.
std::uint32_t LittleEndian(std::string_view bytes, std::size_t at, std::size_t count);

// What the headers say about the picture.
struct BmpPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;  // negative for a picture stored top row first
    std::uint16_t bitsPerPixel = 0;
};

class BmpHeader {
  public:
    // The view of a file's first bytes (as many as it has; kBmpLeadingBytes hold every field).
    explicit BmpHeader(std::string_view leading);

    // True when the bytes begin with "BM".
    bool HasSignature() const { return signature_; }
    // The fields, when the bytes reach them.
    std::optional<std::uint32_t> SizeField() const { return Number(kBmpSizeField); }
    std::optional<std::uint32_t> DataOffset() const { return Number(kBmpDataOffsetField); }
    std::optional<std::uint32_t> InfoSize() const { return Number(kBmpInfoSizeField); }
    std::optional<std::uint32_t> Compression() const { return Number(kBmpCompressionField); }
    // True for OS/2's oldest info header, of 12 bytes.
    bool IsOs2() const { return InfoSize() == 12u; }
    // The sides and depth read as the info header's size says (16-bit for OS/2, signed 32-bit for
    // any other), when the bytes reach them; picture readers read them so.
    std::optional<BmpPicture> Sides() const;
    // The picture of a BMP with a known info header (OS/2's or a Windows one of 40 bytes or more):
    // nothing for bytes that do not begin with "BM" or are too few.
    std::optional<BmpPicture> Picture() const;
    // A field's bytes as they are (shorter where the bytes end first), for reports.
    std::string Raw(BmpField field) const;

  private:
    std::optional<std::uint32_t> Number(BmpField field) const;

    std::string_view leading_;
    bool signature_ = false;
};

}  // namespace quorbel
