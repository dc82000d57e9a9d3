// Pictures from bytes that the core's file layer read: Qt never sees a file name.
#pragma once

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

// The size the picture's header states, read without decoding its pixels, so that a picture too
// large to take can be refused before its memory is taken; an invalid size when the reader cannot
// tell.
QSize StatedPictureSize(const std::string& bytes);

}  // namespace quorbel::render
