// Pictures decoded from bytes that the file layer read: Qt never sees a file name. Every picture
// the programs show or read (the tile chooser's tileset, render's tileset, prepare's picture) is
// decoded here, its kind told by its content, and only by a reader of a kind its caller takes: no
// format that may load other files (SVG) or any other plug-in ever sees the bytes.
#pragma once

#include <QImage>
#include <QSize>
#include <functional>
#include <span>
#include <string>

#include "formats/picture_kind.h"

namespace quorbel::pictures {

// Called with a picture's size as its header gives it, before any pixel is decoded, and again with
// the decoded size; refuses the picture by throwing.
using SizeCheck = std::function<void(const QSize&)>;

// The picture in bytes, which must be of one of the kinds accepted. Throws FormatError naming what
// and the kind found (a kind outside accepted, or none at all, is refused before any reader
// runs), or the reader's reason when the bytes cannot be decoded; whatever check throws.
QImage PictureFromBytes(const std::string& bytes, const std::string& what,
                        std::span<const PictureKind> accepted, const SizeCheck& check = {});

}  // namespace quorbel::pictures
