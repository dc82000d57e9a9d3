#include "render/tiled_pictures.h"

#include <QBuffer>

#include "support/bmp_builder.h"

namespace quorbel::test {

std::string DistinctTileset(int columns, int rows) {
    QImage image(16 * columns, 16 * rows, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgb(x & 0xFF, y, 0x40 | (x >> 8)));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes.toStdString();
}

QImage PictureOf(const std::string& path) {
    const std::string bytes = ReadWholeFile(path);
    return QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()),
                            static_cast<int>(bytes.size()))
        .convertToFormat(QImage::Format_ARGB32);
}

int DifferingPixels(const QImage& a, const QImage& b) {
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            differing += p != q && (qAlpha(p) != 0 || qAlpha(q) != 0) ? 1 : 0;
        }
    }
    return differing;
}

}  // namespace quorbel::test
