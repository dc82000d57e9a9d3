// Pictures decoded from bytes that the file layer read: Qt never sees a file name. Every picture
// the programs show or read (the tile chooser's tileset, render's tileset, prepare's picture) is
// decoded here, its kind told by its content, and only by a reader of a kind its caller takes: no
// format that may load other files (SVG) or any other plug-in ever sees the bytes.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "files/file_system.h"
#include "formats/picture_file.h"
#include "formats/picture_kind.h"

namespace quorbel::pictures {

// The kinds a drawing may be saved in, which prepare and paint read: every kind told here.
inline constexpr PictureKind kDrawingKinds[] = {
    PictureKind::Bmp, PictureKind::Png, PictureKind::Gif, PictureKind::Jpeg,
    PictureKind::Pbm, PictureKind::Pgm, PictureKind::Ppm, PictureKind::Xpm};

// Called with a picture's size as its header gives it, before any pixel is decoded, and again with
// the decoded size; refuses the picture by throwing.
using SizeCheck = std::function<void(const QSize&)>;

// The picture in bytes, which must be of one of the kinds accepted. Throws FormatError naming what
// and the kind found (a kind outside accepted, or none at all, is refused before any reader
// runs), or the reader's reason when the bytes cannot be decoded; whatever check throws.
QImage PictureFromBytes(const std::string& bytes, const std::string& what,
                        std::span<const PictureKind> accepted, const SizeCheck& check = {});

// The whole file, not as far as a BMP size field says: writers leave that field 0 or get it
// wrong, and the picture readers ignore what follows the picture. Throws FileError for a file of
// more than kLargestPictureFile bytes (before reading it) or a failed read.
std::string WholePictureFile(InputFile& file);

// What a picture's first bytes say, read without decoding its pixels, so that a picture can be
// refused before its memory is taken. Only the reader of the kind found looks at the bytes.
struct PictureHeader {
    std::optional<PictureKind> kind;  // nothing for a kind not read here
    QByteArray qtFormat;  // for one not read here, Qt's name of it from its first bytes ("svg")
    QSize size;           // as the header states it; invalid when it states none
};
PictureHeader ReadPictureHeader(const std::string& bytes);

}  // namespace quorbel::pictures
