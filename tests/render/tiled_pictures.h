// Pictures for the tests that let Tiled judge our maps: tileset pictures whose every pixel
// differs, and pixel comparisons of what tmxrasterizer and quorbel-lvl render draw.
#pragma once

#include <QImage>
#include <string>

namespace quorbel::test {

// A BMP tileset picture of columns x rows cells whose every pixel differs from every other.
std::string DistinctTileset(int columns, int rows);

// The picture in the file at path, as 32-bit ARGB.
QImage PictureOf(const std::string& path);

// Pixels that differ, transparent ones being equal whatever their colour.
int DifferingPixels(const QImage& a, const QImage& b);

}  // namespace quorbel::test
