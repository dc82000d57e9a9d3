#include "conversion/header_report.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "support/bmp_builder.h"
#include "support/recording_front_end.h"

namespace quorbel {
namespace {

using test::Le16;
using test::Le32;

const PalletData kBlackWhite{{{0, 0, 0}, {255, 255, 255}}};

std::string FullReport(ReportBox& box, std::uint32_t width, std::uint32_t height) {
    ReportHeaderStage(box, Le32(62), Le32(width), Le32(height), Le16(1), kBlackWhite);
    ReportPaddingStage(box, static_cast<std::int32_t>(width));
    ReportRowSizeStage(box, static_cast<std::int16_t>((width + BitPaddingOf(width)) / 8));
    return box.ReportText();
}

TEST(HeaderReport, WorkedExampleIsExact) {
    test::RecordingFrontEnd box;
    box.report = "typed by the user\r\n";
    const std::string expected =
        "DataOffset: 62 0 0 0  :: 62\r\n"
        "Width: 0 4 0 0  :: 1024\r\n"
        "Height: 0 4 0 0  :: 1024\r\n"
        "Color Type: 1 0  :: 1\r\n"
        "PalletData(0): 0 0 0 \r\n"
        "PalletData(1): 255 255 255 \r\n"
        "Monochrome Bit Padding: 0 bits\r\n"
        "128 Bytes per line";
    EXPECT_EQ(FullReport(box, 1024, 1024), expected);
    EXPECT_EQ(expected.size(), 205u);
}

TEST(HeaderReport, PaddingAndRowSizeByWidth) {
    struct Case {
        std::uint32_t width;
        const char* padding;
        const char* rowSize;
    } const cases[] = {
        {0, "Monochrome Bit Padding: 0 bits", "0 Bytes per line"},
        {1, "Monochrome Bit Padding: 31 bits", "4 Bytes per line"},
        {31, "Monochrome Bit Padding: 1 bits", "4 Bytes per line"},
        {32, "Monochrome Bit Padding: 0 bits", "4 Bytes per line"},
        {33, "Monochrome Bit Padding: 31 bits", "8 Bytes per line"},
        {100, "Monochrome Bit Padding: 28 bits", "16 Bytes per line"},
        {262112, "Monochrome Bit Padding: 0 bits", "32764 Bytes per line"},
    };
    for (const Case& c : cases) {
        test::RecordingFrontEnd box;
        const std::string report = FullReport(box, c.width, 50);
        EXPECT_TRUE(report.ends_with(std::string("\r\n") + c.padding + "\r\n" + c.rowSize))
            << report;
    }
}

TEST(HeaderReport, UndecodableFieldLeavesItsLabelAndBytes) {
    test::RecordingFrontEnd box;
    const std::string topDownHeight("\x00\xFC\xFF\xFF", 4);
    EXPECT_THROW(ReportHeaderStage(box, Le32(62), Le32(1024), topDownHeight, Le16(1), kBlackWhite),
                 OverflowError);
    EXPECT_EQ(box.report,
              "DataOffset: 62 0 0 0  :: 62\r\nWidth: 0 4 0 0  :: 1024\r\nHeight: 0 252 255 255 ");
}

TEST(HeaderReport, ShowsRawBytesAndTheDecodedWholeField) {
    test::RecordingFrontEnd box;
    ReportHeaderStage(box, Le32(318), Le32(100), Le32(50), Le16(24),
                      PalletData{{{255, 255, 255}, {0, 0, 0}}});
    EXPECT_EQ(box.report,
              "DataOffset: 62 1 0 0  :: 318\r\nWidth: 100 0 0 0  :: 100\r\n"
              "Height: 50 0 0 0  :: 50\r\nColor Type: 24 0  :: 24\r\n"
              "PalletData(0): 255 255 255 \r\nPalletData(1): 0 0 0 ");
}

}  // namespace
}  // namespace quorbel
