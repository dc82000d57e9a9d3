// Pictures decoded from bytes that the file layer read: Qt never sees a file name. Every picture
// the programs show or read (the tile chooser's tileset, render's tileset, prepare's picture) is
// decoded here, its format told by its content.
#pragma once

#include <QImage>
#include <QSize>
#include <functional>
#include <string>

namespace quorbel::pictures {

// Called with a picture's size as its header gives it, before any pixel is decoded, and again with
// the decoded size; refuses the picture by throwing.
using SizeCheck = std::function<void(const QSize&)>;

// The picture in bytes. Throws FormatError naming what and the reader's reason when they are no
// picture Qt can read; whatever check throws.
QImage PictureFromBytes(const std::string& bytes, const std::string& what,
                        const SizeCheck& check = {});

}  // namespace quorbel::pictures
