// The diagnostic report of a bitmap's header and palette, written step by step into a ReportBox:
//   DataOffset: 62 0 0 0  :: 62
//   Width: 0 4 0 0  :: 1024
//   Height: 0 4 0 0  :: 1024
//   Color Type: 1 0  :: 1
//   PalletData(0): 0 0 0
//   PalletData(1): 255 255 255
//   Monochrome Bit Padding: 0 bits
//   128 Bytes per line
// Lines are joined by CR LF, none after the last. Every step reads the box's text and writes it
// back with its piece appended, so a step that fails leaves the text of the steps before it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "conversion/front_end.h"

namespace quorbel {

// PalletData(e, k): byte k (0 blue, 1 green, 2 red) of palette entry e.
using PalletData = std::array<std::array<std::int16_t, 3>, 2>;

inline constexpr const char* kLineBreak = "\r\n";

// Padding bits at the end of a stored row of the given width: 32 - width mod 32, or 0 for none.
std::int16_t BitPaddingOf(std::int32_t decodedWidth);

// Lines 1 to 6, replacing whatever the box held. Throws OverflowError (from BytesToNumber) when a
// field cannot be decoded; the box then ends with that field's byte values.
void ReportHeaderStage(ReportBox& box, const std::string& dataOffset, const std::string& bmpWidth,
                       const std::string& bmpHeight, const std::string& colorType,
                       const PalletData& pallet);

// Line 7, the padding line for the decoded width.
void ReportPaddingStage(ReportBox& box, std::int32_t decodedWidth);

// Line 8, the bytes of each stored row.
void ReportRowSizeStage(ReportBox& box, std::int16_t bytesPerLine);

}  // namespace quorbel
