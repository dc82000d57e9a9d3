// Pictures decoded from bytes that the file layer read: Qt never sees a file name. Every picture
// the programs show or read (the tile chooser's tileset, render's tileset, prepare's picture) is
// decoded here, its format told by its content.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <functional>
#include <string>

#include "files/file_system.h"
#include "formats/picture_file.h"

namespace quorbel::pictures {

// Called with a picture's size as its header gives it, before any pixel is decoded, and again with
// the decoded size; refuses the picture by throwing.
using SizeCheck = std::function<void(const QSize&)>;

// The picture in bytes. Throws FormatError naming what and the reader's reason when they are no
// picture Qt can read; whatever check throws.
QImage PictureFromBytes(const std::string& bytes, const std::string& what,
                        const SizeCheck& check = {});

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

}  // namespace quorbel::pictures
