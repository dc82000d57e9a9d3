// Pictures from bytes that the core's file layer read: Qt never sees a file name.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <string>

#include "conversion/file_system.h"
#include "conversion/picture_file.h"

namespace quorbel::render {

// The picture in bytes, its format told by its content. Throws std::runtime_error naming what and
// the reader's reason when they are no picture Qt can read.
QImage PictureFromBytes(const std::string& bytes, const std::string& what);

// The whole file, not as far as a BMP size field says: writers leave that field 0 or get it
// wrong, and the picture readers ignore what follows the picture. Throws FileError for a file of
// more than kLargestPictureFile bytes (before reading it) or a failed read.
std::string WholePictureFile(InputFile& file);

// What the picture's header says, read without decoding its pixels, so that a picture can be
// refused before its memory is taken: its size (invalid when the reader cannot tell) and the
// name of its format in lower case ("png", "svg"; empty when no reader knows it).
struct PictureHeader {
    QSize size;
    QByteArray format;
};
PictureHeader ReadPictureHeader(const std::string& bytes);

}  // namespace quorbel::render
