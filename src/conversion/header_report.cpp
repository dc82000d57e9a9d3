#include "conversion/header_report.h"

#include "conversion/number_codec.h"

namespace quorbel {
namespace {

void AppendStep(ReportBox& box, const std::string& piece) {
    box.SetReportText(box.ReportText() + piece);
}

// One step per byte of the field: its value and a space; then " :: " and the decoded value.
void ReportField(ReportBox& box, const std::string& field) {
    for (const char byte : field) {
        AppendStep(box, modModule::IntegerText(static_cast<unsigned char>(byte)) + " ");
    }
    AppendStep(box, " :: " + modModule::IntegerText(modModule::BytesToNumber(field)));
}

void ReportPaletteEntry(ReportBox& box, const PalletData& pallet, int entry) {
    AppendStep(box,
               std::string(kLineBreak) + "PalletData(" + modModule::IntegerText(entry) + "): ");
    for (const std::int16_t value : pallet[entry]) {
        AppendStep(box, modModule::IntegerText(value) + " ");
    }
}

}  // namespace

std::int16_t BitPaddingOf(std::int32_t decodedWidth) {
    const std::int32_t padding = 32 - decodedWidth % 32;
    return static_cast<std::int16_t>(padding == 32 ? 0 : padding);
}

void ReportHeaderStage(ReportBox& box, const std::string& dataOffset, const std::string& bmpWidth,
                       const std::string& bmpHeight, const std::string& colorType,
                       const PalletData& pallet) {
    box.SetReportText("DataOffset: ");
    ReportField(box, dataOffset);
    AppendStep(box, std::string(kLineBreak) + "Width: ");
    ReportField(box, bmpWidth);
    AppendStep(box, std::string(kLineBreak) + "Height: ");
    ReportField(box, bmpHeight);
    AppendStep(box, std::string(kLineBreak) + "Color Type: ");
    ReportField(box, colorType);
    ReportPaletteEntry(box, pallet, 0);
    ReportPaletteEntry(box, pallet, 1);
}

void ReportPaddingStage(ReportBox& box, std::int32_t decodedWidth) {
    const std::int16_t padding = BitPaddingOf(decodedWidth);
    const std::string line =
        padding == 0 ? std::string("Monochrome Bit Padding: 0 bits")
                     : "Monochrome Bit Padding: " + modModule::IntegerText(padding) + " bits";
    AppendStep(box, kLineBreak + line);
}

void ReportRowSizeStage(ReportBox& box, std::int16_t bytesPerLine) {
    AppendStep(box, kLineBreak + modModule::IntegerText(bytesPerLine) + " Bytes per line");
}

}  // namespace quorbel
