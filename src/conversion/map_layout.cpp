#include "conversion/map_layout.h"

#include "base/errors.h"
#include "conversion/checked_int.h"
#include "conversion/number_codec.h"
#include "formats/bmp_header.h"
#include "formats/monochrome_bmp.h"

namespace quorbel {
namespace {

using modModule::BytesToNumber;

constexpr auto kRequiredDataOffset = static_cast<std::int32_t>(kMapPixelOffset);
constexpr auto kLargestSide = static_cast<std::int32_t>(kLargestMapSide);

}  // namespace

MapHeaderFields ReadMapHeader(InputFile& bitmap) {
    const std::string leading = bitmap.Read(kBmpBitCountField.End());
    const BmpHeader view(leading);
    MapHeaderFields header;
    header.dataOffset = view.Raw(kBmpDataOffsetField);
    header.bmpWidth = view.Raw(kBmpWidthField);
    header.bmpHeight = view.Raw(kBmpHeightField);
    header.colorType = view.Raw(kBmpBitCountField);
    return header;
}

void ReadMapPallet(InputFile& bitmap, MapHeaderFields& header) {
    // Only the low byte places the palette; the full field is validated later.
    const auto skip = static_cast<std::int16_t>(
        static_cast<unsigned char>(header.dataOffset.at(0)) - std::int16_t{8});
    if (skip < 0) {
        throw InvalidArgumentError("invalid argument: the data offset's low byte " +
                                   modModule::IntegerText(skip + 8) +
                                   " puts the palette before the start of the file");
    }
    bitmap.Read(static_cast<std::size_t>(skip));
    for (auto& entry : header.pallet) {
        const std::string bytes = bitmap.Read(4);
        for (std::size_t k = 0; k < entry.size(); ++k) {
            entry[k] = static_cast<unsigned char>(bytes[k]);
        }
    }
}

void ReportingSteps::HeaderRead(const MapHeaderFields& header) {
    ReportHeaderStage(box_, header.dataOffset, header.bmpWidth, header.bmpHeight, header.colorType,
                      header.pallet);
}

void ReportingSteps::PaddingDecided(std::int32_t width) {
    ReportPaddingStage(box_, width);
}

void ReportingSteps::RowSizeDecided(std::int16_t bytesPerLine) {
    ReportRowSizeStage(box_, bytesPerLine);
}

MapLayout DecideMapLayout(const MapHeaderFields& header, MapLayoutSteps& steps) {
    steps.HeaderRead(header);
    const std::int32_t dataOffset = BytesToNumber(header.dataOffset);
    const std::int32_t width = BytesToNumber(header.bmpWidth);
    const std::int32_t height = BytesToNumber(header.bmpHeight);
    const std::int32_t colorType = BytesToNumber(header.colorType);

    MapLayout layout;
    // Only entry 0's blue byte decides: 255 makes the 1-bits tiles, anything else the 0-bits.
    layout.colorMap = header.pallet[0][0] == 255 ? ColorMapValues{0, 1} : ColorMapValues{1, 0};
    steps.ColorMapDecided(layout.colorMap);
    const std::int16_t bitPadding = BitPaddingOf(width);
    steps.PaddingDecided(width);
    layout.pixelWidth = width;
    const std::int32_t paddedWidth =
        CheckedAdd<std::int32_t>(width, bitPadding, "width + padding bits");
    layout.bytesPerLine = RoundToInteger<std::int16_t>(paddedWidth / 8.0, "BytesPerLine");
    steps.RowSizeDecided(layout.bytesPerLine);
    // Narrowed before the validation: a height of 32768 or more fails even though it would be
    // rejected.
    layout.rowCount = CheckedNarrow<std::int16_t>(height, "the bitmap's height");
    layout.suitable = dataOffset == kRequiredDataOffset && colorType == 1 &&
                      width <= kLargestSide && height <= kLargestSide;
    return layout;
}

MapLayout DecideMapLayout(const MapHeaderFields& header) {
    MapLayoutSteps quiet;
    return DecideMapLayout(header, quiet);
}

}  // namespace quorbel
