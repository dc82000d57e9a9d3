#include "pictures/picture_decoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>

#include "base/errors.h"
#include "base/quoted.h"

namespace quorbel::pictures {
namespace {

// Qt's reader of each kind.
const char* QtFormatOf(PictureKind kind) {
    switch (kind) {
        case PictureKind::Bmp:
            return "bmp";
        case PictureKind::Png:
            return "png";
        case PictureKind::Gif:
            return "gif";
        case PictureKind::Jpeg:
            return "jpeg";
        case PictureKind::Pbm:
            return "pbm";
        case PictureKind::Pgm:
            return "pgm";
        case PictureKind::Ppm:
            return "ppm";
        case PictureKind::Xpm:
            return "xpm";
    }
    return "";
}

// "BMP and PNG pictures", "BMP, PNG, GIF and JPEG pictures".
std::string KindsInWords(std::span<const PictureKind> kinds) {
    std::string words;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        words += (i == 0                  ? ""
                  : i + 1 == kinds.size() ? " and "
                                          : ", ") +
                 std::string(NameOf(kinds[i]));
    }
    return words + (kinds.size() == 1 ? " pictures only" : " pictures");
}

// What the bytes are when they are of no kind taken here: Qt's plug-ins are asked to name their
// format from the first bytes alone (none of them reads further to tell).
std::string FoundKind(const std::optional<PictureKind>& kind, const std::string& bytes,
                      QBuffer& buffer) {
    if (kind) {
        return APictureOf(*kind);
    }
    if (bytes.empty()) {
        return "empty";
    }
    const std::string format = QImageReader::imageFormat(&buffer).toUpper().toStdString();
    if (!format.empty()) {
        const bool vowelSound =
            std::string_view("AEFHILMNORSX").find(format[0]) != std::string::npos;
        return std::string(vowelSound ? "an " : "a ") + format + " picture";
    }
    return "no picture of a kind known here (it begins with " +
           Quoted(std::string_view(bytes).substr(0, 8)) + ")";
}

}  // namespace

QImage PictureFromBytes(const std::string& bytes, const std::string& what,
                        std::span<const PictureKind> accepted, const SizeCheck& check) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    const std::optional<PictureKind> kind = PictureKindOf(bytes);
    if (!kind || std::find(accepted.begin(), accepted.end(), *kind) == accepted.end()) {
        throw FormatError("cannot read " + what + " as a picture: it is " +
                          FoundKind(kind, bytes, buffer) + ", and " + KindsInWords(accepted) +
                          " are read: save it as one of them in a paint program");
    }
    QImageReader reader(&buffer, QtFormatOf(*kind));
    reader.setAutoDetectImageFormat(false);
    if (check) {
        // Qt's readers of BMP, netpbm and XPM tell no size before decoding.
        if (const auto sides = HeaderSides(*kind, bytes)) {
            check(QSize(static_cast<int>(std::clamp<std::int64_t>(sides->width, -1, 0x7FFFFFFF)),
                        static_cast<int>(std::clamp<std::int64_t>(sides->height, -1, 0x7FFFFFFF))));
        } else if (reader.canRead()) {
            check(reader.size());
        }
    }
    QImage picture = reader.read();
    if (picture.isNull()) {
        throw FormatError("cannot read " + what +
                          " as a picture: " + reader.errorString().toStdString());
    }
    if (check) {
        check(picture.size());
    }
    return picture;
}

}  // namespace quorbel::pictures
