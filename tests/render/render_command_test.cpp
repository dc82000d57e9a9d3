#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <filesystem>

#include "support/bmp_builder.h"
#include "support/level_bytes.h"
#include "support/run_process.h"
#include "support/scratch_dir.h"

namespace quorbel::render {
namespace {

using test::Le32;
constexpr auto Record = test::LevelRecordBytes;

QImage NumberedTileset() {
    QImage image(304, 160, QImage::Format_RGB32);
    for (int y = 0; y < 160; ++y) {
        for (int x = 0; x < 304; ++x) {
            image.setPixel(x, y, qRgb(x & 0xFF, y, 0x40 | (x >> 8)));
        }
    }
    return image;
}

std::string BmpBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes.toStdString();
}

test::ProcessResult Render(std::vector<std::string> args) {
    args.insert(args.begin(), "render");
    return test::RunProcess(QUORBEL_LVL, args);
}

// True when the 16 x 16 block at (left, top) of preview is tile t of tileset.
bool ShowsTile(const QImage& preview, int left, int top, const QImage& tileset, int t) {
    const QImage cell = tileset.copy(16 * ((t - 1) % 19), 16 * ((t - 1) / 19), 16, 16);
    return preview.copy(left, top, 16, 16).convertToFormat(QImage::Format_RGB32) == cell;
}

class RenderCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::WriteWholeFile(level, BmpBytes(tileset) + Record(0, 0, 1) + Record(2, 1, 171) +
                                        Record(1, 1, 0) + Record(2, 0, 250));
    }
    QImage tileset = NumberedTileset();
    test::ScratchDir dir;
    std::string level = dir / "tiny.lvl";
    std::string preview = dir / "preview.png";
};

TEST_F(RenderCommandTest, DrawsThePrefixCellsAndWarnsAboutPlaceholders) {
    const auto result = Render({level, "-o", preview});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out,
              "wrote " + preview + ": 48 x 32 pixels, 4 records, scale 1 (16 pixels a tile)\n");
    EXPECT_EQ(result.err,
              "quorbel-lvl render: warning: 2 record(s) drawn as placeholders: no cell in the "
              "tileset for tile number(s) 0, 250\n");
    const QImage image(QString::fromStdString(preview));
    ASSERT_EQ(image.size(), QSize(48, 32));
    EXPECT_TRUE(ShowsTile(image, 0, 0, tileset, 1));
    EXPECT_TRUE(ShowsTile(image, 32, 16, tileset, 171));
    EXPECT_EQ(image.pixel(16, 16), 0xFFFF00FFu);  // placeholder corner
    EXPECT_EQ(qAlpha(image.pixel(0, 16)), 0);     // no record at (0, 1)
}

TEST_F(RenderCommandTest, TakesCellsFromAnotherTilesetAtAnotherScale) {
    const QImage other = NumberedTileset().mirrored(true, false);
    other.save(QString::fromStdString(dir / "other.png"));
    test::WriteWholeFile(dir / "plain.lvl",
                         test::BmpBuilder(5, 5).Bytes() + Record(1, 0, 42) + Record(0, 0, 190));
    const auto result = Render(
        {dir / "plain.lvl", "--output", preview, "--tileset", dir / "other.png", "--scale", "1/2"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    const QImage image(QString::fromStdString(preview));
    ASSERT_EQ(image.size(), QSize(16, 8));
    const QImage cell42 = other.copy(16 * (41 % 19), 16 * (41 / 19), 16, 16)
                              .scaled(8, 8, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_EQ(image.copy(8, 0, 8, 8).convertToFormat(QImage::Format_RGB32),
              cell42.convertToFormat(QImage::Format_RGB32));
}

TEST_F(RenderCommandTest, RefusalsAndFailures) {
    test::WriteWholeFile(dir / "wide.lvl", BmpBytes(tileset) + Record(200, 0, 1));
    test::WriteWholeFile(dir / "empty.lvl", BmpBytes(tileset));
    test::WriteWholeFile(dir / "nopicture.lvl", "xx" + Le32(6) + Record(0, 0, 1));
    test::WriteWholeFile(preview, "earlier");
    test::WriteWholeFile(dir / "level.png", test::ReadWholeFile(level));
    QByteArray jpeg;
    QBuffer jpegBuffer(&jpeg);
    jpegBuffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(tileset.save(&jpegBuffer, "JPEG"));
    test::WriteWholeFile(dir / "tileset.jpg", jpeg.toStdString());
    const std::string levelBytes = test::ReadWholeFile(level);
    struct Case {
        std::vector<std::string> args;
        int exitStatus;
        std::string err;                // part of standard error
        bool appendToTheLevel = false;  // standard output is the level, opened to append
    } const cases[] = {
        {{level, "-o", "-"}, 64, "standard output is the input '", true},
        {{level, "-o", preview, "--tileset", dir / "tileset.jpg"},
         1,
         "it is a JPEG picture, and BMP and PNG pictures are read"},
        {{level}, 64, "give -o PREVIEW.png"},
        // The picture's name given as an operand: the command line with it after -o.
        {{level, dir / "p.png"}, 64, "as in '" QUORBEL_LVL "' render --output '" + dir / "p.png"},
        {{level, "-o", preview, "--scale", "0.3"}, 64, "--scale '0.3': 16 x S must be a whole"},
        {{level, "-o", preview, "--scale", "x"}, 64, "1/16, 1/8, 3/16, 1/4"},
        {{dir / "wide.lvl", "-o", preview, "--scale", "2"},
         64,
         "at scale 2 the preview would be 6432 x 32 pixels, more than 4096 a side; the largest "
         "scale that fits is 5/4"},
        {{level, "-o", preview, "-o", preview}, 64, "given twice"},
        {{dir / "level.png", "-o", dir / "./level.png"}, 64, "would replace the input"},
        {{level, "-o", dir / "preview.lvl"}, 64, "cannot tell a picture format from the name"},
        {{level, "-o", dir / "preview"}, 64, "end it in .png, .bmp, .jpg"},
        // What works, exactly.
        {{level, "-o", dir / "preview.gif"},
         64,
         QImageWriter::supportedImageFormats().contains("webp") ? ".jpg, .jpeg or .webp"
                                                                : ".jpg or .jpeg"},
        {{dir / "missing.lvl", "-o", preview}, 1, "cannot open"},
        {{dir / "empty.lvl", "-o", preview}, 1, "has no tile records"},
        {{dir / "nopicture.lvl", "-o", preview}, 1, "cannot read the prefix"},
        {{level, "-o", preview, "--tileset", level + ".none"}, 1, "cannot open"},
        {{level, "-o", dir / "no/such/folder.png"}, 1, "does not exist"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"render"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result =
            c.appendToTheLevel
                ? test::RunProcess("/bin/sh", {"-c", "exec \"$0\" render \"$1\" -o - >> \"$1\"",
                                               QUORBEL_LVL, level})
                : test::RunProcess(QUORBEL_LVL, args);
        EXPECT_EQ(result.exitStatus, c.exitStatus) << c.err << "\n" << result.err;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
        EXPECT_EQ(test::ReadWholeFile(preview), "earlier") << c.err;
        EXPECT_EQ(test::ReadWholeFile(level), levelBytes) << c.err;
    }
}

// File names are bytes: a preview named with a byte that is no UTF-8 must not land on the level
// whose name holds U+FFFD in its place.
TEST_F(RenderCommandTest, NamesThatAreNoUtf8ReachTheirOwnFiles) {
    const std::string lookAlike = dir / "lvl\xEF\xBF\xBD.png";
    const std::string levelBytes = test::ReadWholeFile(level);
    test::WriteWholeFile(lookAlike, levelBytes);
    const auto result = Render({lookAlike, "-o", dir / "lvl\xFF.png"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(test::ReadWholeFile(lookAlike), levelBytes);
    EXPECT_TRUE(test::ReadWholeFile(dir / "lvl\xFF.png").starts_with("\x89PNG"));
}

// Out of memory is a failure with its cause, and nothing is written.
TEST_F(RenderCommandTest, RunningOutOfMemoryIsAFailure) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#endif
    test::WriteWholeFile(dir / "large.lvl", BmpBytes(tileset) + Record(1023, 1023, 1));
    test::ProcessOptions options;
    options.addressSpaceLimit = 100L << 20;
    const auto result =
        test::RunProcess(QUORBEL_LVL, {"render", dir / "large.lvl", "-o", preview}, options);
    EXPECT_EQ(result.exitStatus, 1) << result.err;
    EXPECT_NE(result.err.find("out of memory"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(preview));
}

// The output's suffix says the format; - puts a PNG on standard output and the "wrote" line on
// standard error. BMP and JPEG have no transparency: white stands where no tile is.
TEST_F(RenderCommandTest, FormatFollowsTheSuffix) {
    struct Case {
        std::string output;
        std::string signature;
    } const cases[] = {{dir / "p.png", "\x89PNG"},
                       {dir / "p.BMP", "BM"},
                       {dir / "p.jpg", "\xFF\xD8\xFF"},
                       {dir / "p.jpeg", "\xFF\xD8\xFF"}};
    for (const Case& c : cases) {
        const auto result = Render({level, "-o", c.output});
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_TRUE(test::ReadWholeFile(c.output).starts_with(c.signature)) << c.output;
    }
    const QImage bmp(QString::fromStdString(dir / "p.BMP"), "BMP");
    EXPECT_EQ(bmp.pixel(0, 16), qRgb(255, 255, 255));  // no record at (0, 1)
    const auto piped = Render({level, "-o", "-"});
    EXPECT_EQ(piped.exitStatus, 0) << piped.err;
    EXPECT_TRUE(piped.out.starts_with("\x89PNG"));
    EXPECT_NE(piped.err.find("wrote standard output: 48 x 32 pixels"), std::string::npos)
        << piped.err;
}

TEST_F(RenderCommandTest, DefaultScaleShrinksLargeMaps) {
    test::WriteWholeFile(dir / "large.lvl", BmpBytes(tileset) + Record(1023, 7, 1));
    const auto result = Render({dir / "large.lvl", "-o", preview});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(QImage(QString::fromStdString(preview)).size(), QSize(4096, 32));
}

// The README's picture of the sample level is what render draws of it today.
TEST_F(RenderCommandTest, SampleLevelRendersAsTheReadmeShows) {
    const auto convert =
        test::RunProcess(QUORBEL_LVL, {"convert", QUORBEL_SAMPLES_DIR "/sample-tileset.bmp",
                                       QUORBEL_SAMPLES_DIR "/sample-map.bmp", dir / "sample.lvl"});
    ASSERT_EQ(convert.exitStatus, 0) << convert.err;
    const auto result = Render({dir / "sample.lvl", "-o", preview});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const QImage drawn(QString::fromStdString(preview));
    const QImage committed(QUORBEL_SOURCE_DIR "/docs/sample-preview.png");
    ASSERT_FALSE(committed.isNull());
    EXPECT_EQ(drawn.convertToFormat(QImage::Format_ARGB32),
              committed.convertToFormat(QImage::Format_ARGB32));
}

// The README's picture of the sample's two layers, the map and the coins, composed.
TEST_F(RenderCommandTest, SampleLayersRenderAsTheReadmeShows) {
    const auto compose = test::RunProcess(
        QUORBEL_LVL, {"compose", "--quiet", QUORBEL_SAMPLES_DIR "/sample-tileset.bmp",
                      dir / "layers.lvl", "171:" QUORBEL_SAMPLES_DIR "/sample-map.bmp",
                      "23:" QUORBEL_SAMPLES_DIR "/sample-coins.bmp"});
    ASSERT_EQ(compose.exitStatus, 0) << compose.err;
    const auto result = Render({dir / "layers.lvl", "-o", preview});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const QImage drawn(QString::fromStdString(preview));
    const QImage committed(QUORBEL_SOURCE_DIR "/docs/sample-layers-preview.png");
    ASSERT_FALSE(committed.isNull());
    EXPECT_EQ(drawn.convertToFormat(QImage::Format_ARGB32),
              committed.convertToFormat(QImage::Format_ARGB32));
}

}  // namespace
}  // namespace quorbel::render
