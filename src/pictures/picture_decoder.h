// Pictures from bytes that the core's file layer read: Qt never sees a file name.
#pragma once

#include <QImage>
#include <string>

#include "formats/picture_file.h"

namespace quorbel::pictures {

// The picture in bytes, its format told by its content. Throws std::runtime_error naming what and
// the reader's reason when they are no picture Qt can read.
QImage PictureFromBytes(const std::string& bytes, const std::string& what);

}  // namespace quorbel::pictures
