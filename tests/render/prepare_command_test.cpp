#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QImage>
#include <sstream>

#include "formats/monochrome_bmp.h"
#include "render/prepare_command.h"
#include "support/bmp_builder.h"
#include "support/level_model.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"
#include "support/variant_bmp.h"

namespace quorbel::render {
namespace {

using test::ReadWholeFile;
using test::VariantBmp;
using test::WriteWholeFile;

bool Letters(int x, int y) {
    return (3 * x + 5 * y) % 7 == 0 || x == 63;
}
const auto kLettersTiles = test::model::TilesOfDarkPixels(64, 32, Letters, 171);

// Letters drawn by Qt in dark and light, saved in format.
std::string QtPicture(QImage::Format imageFormat, QRgb dark, QRgb light, const char* format) {
    QImage image(64, 32, imageFormat);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) {
            image.setPixel(x, y, Letters(x, y) ? dark : light);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format)) << format;
    return bytes.toStdString();
}

class PrepareCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteWholeFile(tileset, VariantBmp({.bitsPerPixel = 24}, 304, 160, Letters));
    }

    static test::ProcessResult Lvl(std::vector<std::string> args) {
        return test::RunProcess(QUORBEL_LVL, args);
    }

    // Prepares source, converts the result and returns the level's records.
    std::vector<test::model::Tile> RoundTrip(const std::string& source) {
        const std::string prepared = dir / "prepared.bmp";
        const auto prepare = Lvl({"prepare", source, prepared});
        EXPECT_EQ(prepare.exitStatus, 0) << prepare.err;
        EXPECT_EQ(prepare.out, "wrote " + prepared + ": 64 x 32 pixels, " +
                                   std::to_string(kLettersTiles.size()) + " dark\n");
        const auto convert = Lvl({"convert", "--quiet", tileset, prepared, dir / "out.lvl"});
        EXPECT_EQ(convert.exitStatus, 0) << convert.err;
        EXPECT_EQ(convert.err, "");  // no warning: entry 0 is white, tile 171 has a cell
        return test::model::RecordsOf(ReadWholeFile(dir / "out.lvl"),
                                      ReadWholeFile(tileset).size());
    }

    test::ScratchDir dir;
    std::string tileset = dir / "tileset.bmp";
};

TEST_F(PrepareCommandTest, ConvertOfThePreparedBitmapGivesExactlyTheDarkPixels) {
    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    struct Case {
        const char* name;
        std::string bytes;
    } const cases[] = {
        {"V4 header, dark first",
         VariantBmp({.infoSize = 108, .darkFirst = true}, 64, 32, Letters)},
        {"V5 header, 24 bits", VariantBmp({.infoSize = 124, .bitsPerPixel = 24}, 64, 32, Letters)},
        {"top-down", VariantBmp({.topDown = true}, 64, 32, Letters)},
        {"OS/2", VariantBmp({.infoSize = 12}, 64, 32, Letters)},
        {"8 bits", VariantBmp({.bitsPerPixel = 8}, 64, 32, Letters)},
        {"4 bits", VariantBmp({.bitsPerPixel = 4}, 64, 32, Letters)},
        {"inverted palette", VariantBmp({.darkFirst = true}, 64, 32, Letters)},
        {"grey palette", VariantBmp({.light = {240, 240, 240}}, 64, 32, Letters)},
        // Both greys are light by the threshold; the darker of two colours is dark all the same.
        {"two light greys",
         VariantBmp({.light = {250, 250, 250}, .dark = {200, 200, 200}, .darkFirst = true}, 64, 32,
                    Letters)},
        // Transparent black is light: it lies over white.
        {"PNG with transparency",
         QtPicture(QImage::Format_ARGB32, black, qRgba(0, 0, 0, 0), "PNG")},
        {"PGM", QtPicture(QImage::Format_Grayscale8, qRgb(90, 90, 90), white, "PGM")},
        {"JPEG", QtPicture(QImage::Format_RGB32, black, white, "JPEG")},
    };
    for (const Case& c : cases) {
        WriteWholeFile(dir / "source", c.bytes);
        EXPECT_EQ(RoundTrip(dir / "source"), kLettersTiles) << c.name;
    }
}

TEST_F(PrepareCommandTest, ThresholdAndInvertChooseTheDarkPixels) {
    QImage ramp(256, 1, QImage::Format_Grayscale8);  // grey value x at x
    for (int x = 0; x < 256; ++x) {
        ramp.setPixel(x, 0, qRgb(x, x, x));
    }
    ASSERT_TRUE(ramp.save(QString::fromStdString(dir / "ramp.pgm"), "PGM"));
    struct Case {
        std::vector<std::string> options;
        int dark;
    } const cases[] = {
        {{}, 128},
        {{"--threshold", "1"}, 1},
        {{"--threshold=0"}, 0},
        {{"--threshold", "256"}, 256},
        {{"--invert"}, 128},
        {{"--threshold", "200", "--invert"}, 56},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"prepare"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), {dir / "ramp.pgm", dir / "ramp.bmp"});
        EXPECT_EQ(Lvl(args).out, "wrote " + dir / "ramp.bmp" + ": 256 x 1 pixels, " +
                                     std::to_string(c.dark) + " dark\n")
            << c.options.size();
    }
    for (int c = 0; c < 256; c += 15) {  // the core's words about palettes use the same grey
        EXPECT_EQ(GreyValue(c, 255 - c, c / 2), qGray(c, 255 - c, c / 2));
    }
}

TEST_F(PrepareCommandTest, RefusalsLeaveTheOutputAsItWas) {
    ASSERT_TRUE(QImage(1025, 1, QImage::Format_RGB32)
                    .save(QString::fromStdString(dir / "wide.png"), "PNG"));
    WriteWholeFile(dir / "text.bmp", "BM not a picture at all");
    // Sides that Qt's readers of BMP and netpbm tell only by decoding: the header says them.
    WriteWholeFile(dir / "huge.bmp",
                   test::BmpBuilder(20000, 20000).StoredRows(0).Bytes() + std::string(4096, '\0'));
    WriteWholeFile(dir / "huge.pbm", "P4\n40000 40000\n" + std::string(4096, '\0'));
    WriteWholeFile(dir / "refers.svg",
                   "<svg xmlns=\"http://www.w3.org/2000/svg\" "
                   "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"64\" height=\"32\">"
                   "<image xlink:href=\"fifo\" width=\"64\" height=\"32\"/></svg>\n");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);  // would hang a reader of the SVG
    const std::string out = dir / "out.bmp";
    struct Case {
        std::vector<std::string> args;
        int exitStatus;
        const char* err;  // part of standard error
    } const cases[] = {
        {{dir / "wide.png", out}, 1, "is 1025 x 1 pixels; a map bitmap has at most 1024 x 1024"},
        {{dir / "huge.bmp", out}, 1, "is 20000 x 20000 pixels; a map bitmap has at most"},
        {{dir / "huge.pbm", out}, 1, "is 40000 x 40000 pixels; a map bitmap has at most"},
        {{dir / "refers.svg", out},
         1,
         "it is an SVG picture, and BMP, PNG, GIF, JPEG, PBM, PGM, PPM and XPM pictures are "
         "read"},
        {{dir / "text.bmp", out}, 1, "cannot read '"},
        {{dir / "none.png", out}, 1, "cannot open"},
        {{tileset, tileset}, 1, "it is the picture being read; name another file for the output"},
        {{"--threshold", "257", tileset, out}, 64, "--threshold '257': give a whole number"},
        {{"--threshold", "-1", tileset, out}, 64, "--threshold '-1'"},
        {{tileset}, 64, "expected IMAGE OUTPUT"},
    };
    for (const Case& c : cases) {
        WriteWholeFile(out, "earlier");
        std::vector<std::string> args{"prepare"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = Lvl(args);
        EXPECT_EQ(result.exitStatus, c.exitStatus) << c.err << "\n" << result.err;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
        EXPECT_EQ(ReadWholeFile(out), "earlier") << c.err;
    }
}

// Drawings on a transparent background: the opaque pixels are dark, whatever their colour, unless
// --grey asks for grey values; results all alike are written and warned about.
TEST_F(PrepareCommandTest, TransparentBackgroundsAndResultsAllAlike) {
    const auto letters = static_cast<int>(kLettersTiles.size());
    const auto drawn = [](QRgb dark, QRgb light) {
        return QImage::fromData(
            QByteArray::fromStdString(QtPicture(QImage::Format_ARGB32, dark, light, "PNG")));
    };
    const QRgb clear = qRgba(255, 255, 255, 0);
    const QImage yellowOnClear = drawn(qRgb(255, 215, 0), clear);  // yellow's grey value: 195
    QImage whiteOnClear(64, 32, QImage::Format_Indexed8);          // two colours, one transparent
    whiteOnClear.setColorTable({qRgba(0, 0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) {
            whiteOnClear.setPixel(x, y, Letters(x, y) ? 1 : 0);
        }
    }
    const std::string in = dir / "in.png";
    const std::string out = dir / "out.bmp";
    const std::string warning = "quorbel-lvl prepare: warning: '" + in + "': no pixel is dark: ";
    struct Case {
        const char* name;
        QImage picture;
        std::vector<std::string> options;
        int dark;
        std::string warning;  // empty for none
    } const cases[] = {
        {"yellow on transparent", yellowOnClear, {}, letters, ""},
        {"alpha 128 is opaque, 127 transparent",
         drawn(qRgba(255, 255, 255, 128), qRgba(0, 0, 0, 127)),
         {},
         letters,
         ""},
        {"opacity wins over two colours", whiteOnClear, {}, letters, ""},
        {"--invert", whiteOnClear, {"--invert"}, 64 * 32 - letters, ""},
        {"--threshold does not apply",
         whiteOnClear,
         {"--threshold", "200"},
         letters,
         "quorbel-lvl prepare: warning: --threshold does not apply: '" + in +
             "' has transparent pixels, so its opaque pixels are dark; --grey judges every pixel "
             "by its grey value over white"},
        {"--grey",
         yellowOnClear,
         {"--grey"},
         0,
         warning +
             "a pixel is dark when its grey value over white is below 128 (--threshold "
             "128); --threshold 255 (without --invert) makes the " +
             std::to_string(letters) + " pixels darker than the most common grey value, 255, dark"},
        {"all transparent",
         drawn(clear, clear),
         {},
         0,
         warning + "every pixel is transparent (alpha below 128), and on a transparent background "
                   "the opaque pixels are dark; the drawing may be on a layer that was not saved "
                   "with the picture"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.picture.save(QString::fromStdString(in), "PNG")) << c.name;
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {in, out});
        std::ostringstream output;
        std::ostringstream errors;
        EXPECT_EQ(PrepareCommand().Main(args, output, errors), 0) << c.name << errors.str();
        EXPECT_EQ(output.str(),
                  "wrote " + out + ": 64 x 32 pixels, " + std::to_string(c.dark) + " dark\n")
            << c.name;
        EXPECT_EQ(errors.str(), c.warning.empty() ? "" : c.warning + "\n") << c.name;
        if (c.dark == letters) {
            EXPECT_EQ(test::model::TilesOf(ReadWholeFile(out), 171), kLettersTiles) << c.name;
        }
    }
}

// The most common way to make a BMP on Linux: ImageMagick's default is a 108-byte header.
TEST_F(PrepareCommandTest, ImageMagickDefaultBmpAndGifEndToEnd) {
    ASSERT_NE(std::string(QUORBEL_IMAGEMAGICK), "") << "ImageMagick: bash scripts/install-deps";
    WriteWholeFile(dir / "in.png",
                   QtPicture(QImage::Format_RGB32, qRgb(0, 0, 0), qRgb(255, 255, 255), "PNG"));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{dir / "in.png", "-monochrome", dir / "im.bmp"},
          std::vector<std::string>{dir / "in.png", dir / "im.gif"}}) {
        ASSERT_EQ(test::RunProcess(QUORBEL_IMAGEMAGICK, args).exitStatus, 0);
    }
    const auto refused = Lvl({"convert", tileset, dir / "im.bmp", dir / "out.lvl"});
    EXPECT_EQ(refused.exitStatus, 2);
    EXPECT_TRUE(refused.err.ends_with(
        "\ncause: the pixels start at byte 130 (a 108-byte header); they must start at byte 62 "
        "(a 40-byte header)\nhint: '" QUORBEL_LVL "' prepare '" +
        dir / "im.bmp" + "' '" + dir / "im-1bit.bmp'\n"))
        << refused.err;
    EXPECT_EQ(RoundTrip(dir / "im.bmp"), kLettersTiles);
    EXPECT_EQ(RoundTrip(dir / "im.gif"), kLettersTiles);
}

}  // namespace
}  // namespace quorbel::render
