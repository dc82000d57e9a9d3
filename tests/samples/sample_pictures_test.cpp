#include "sample_pictures.h"

#include <gtest/gtest.h>

#include <QImage>
#include <set>

#include "run_process.h"
#include "scratch_dir.h"

namespace quorbel::samples {
namespace {

std::uint32_t Le(const std::string& bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

TEST(SamplePicturesTest, TilesetHas190DistinctCells) {
    const std::string bmp = TilesetBmp();
    ASSERT_EQ(bmp.size(), Le(bmp, 2, 4));
    EXPECT_EQ(Le(bmp, 18, 4), 304u);
    EXPECT_EQ(Le(bmp, 22, 4), 160u);
    const QImage image = QImage::fromData(reinterpret_cast<const uchar*>(bmp.data()),
                                          static_cast<int>(bmp.size()), "BMP");
    ASSERT_EQ(image.size(), QSize(304, 160));
    std::set<QByteArray> cells;
    for (int t = 0; t < 190; ++t) {
        const QImage cell = image.copy(16 * (t % 19), 16 * (t / 19), 16, 16);
        cells.insert(QByteArray(reinterpret_cast<const char*>(cell.constBits()),
                                static_cast<qsizetype>(cell.sizeInBytes())));
    }
    EXPECT_EQ(cells.size(), 190u);
}

// The map converts over the tileset, and the README's picture is what render draws of it today.
TEST(SamplePicturesTest, MapConvertsAndRendersAsTheReadmeShows) {
    const std::string bmp = MapBmp();
    EXPECT_EQ(Le(bmp, 10, 4), 62u);                // pixel data offset
    EXPECT_EQ(Le(bmp, 28, 2), 1u);                 // bits per pixel
    EXPECT_EQ(Le(bmp, 54, 4), 0u);                 // palette entry 0: black
    EXPECT_EQ(bmp.size(), 62u + 12 * kMapHeight);  // rows of 96 bits, padded to 12 bytes
    test::ScratchDir dir;
    const auto convert =
        test::RunProcess(QUORBEL_LVL, {"convert", QUORBEL_SAMPLES_DIR "/sample-tileset.bmp",
                                       QUORBEL_SAMPLES_DIR "/sample-map.bmp", dir / "sample.lvl"});
    ASSERT_EQ(convert.exitStatus, 0) << convert.err;
    const auto render =
        test::RunProcess(QUORBEL_LVL, {"render", dir / "sample.lvl", "-o", dir / "preview.png"});
    ASSERT_EQ(render.exitStatus, 0) << render.err;
    const QImage drawn(QString::fromStdString(dir / "preview.png"));
    EXPECT_EQ(drawn.size(), QSize(16 * kMapWidth, 16 * kMapHeight));
    const QImage committed(QUORBEL_SOURCE_DIR "/docs/sample-preview.png");
    ASSERT_FALSE(committed.isNull());
    EXPECT_EQ(drawn.convertToFormat(QImage::Format_ARGB32),
              committed.convertToFormat(QImage::Format_ARGB32));
}

}  // namespace
}  // namespace quorbel::samples
