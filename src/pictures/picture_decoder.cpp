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

// What the bytes are, in words: "a PNG picture", "an SVG picture", "empty".
std::string FoundKind(const PictureHeader& header, const std::string& bytes) {
    if (header.kind) {
        return APictureOf(*header.kind);
    }
    if (bytes.empty()) {
        return "empty";
    }
    if (!header.qtFormat.isEmpty()) {
        const std::string format = header.qtFormat.toUpper().toStdString();
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
    const PictureHeader header = ReadPictureHeader(bytes);
    if (!header.kind ||
        std::find(accepted.begin(), accepted.end(), *header.kind) == accepted.end()) {
        throw FormatError("cannot read " + what + " as a picture: it is " +
                          FoundKind(header, bytes) + ", and " + KindsInWords(accepted) +
                          " are read: save it as one of them in a paint program");
    }
    if (check && header.size.isValid()) {
        check(header.size);
    }
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, QtFormatOf(*header.kind));
    reader.setAutoDetectImageFormat(false);
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

std::string WholePictureFile(InputFile& file) {
    if (file.Size() > kLargestPictureFile) {
        throw FileError("cannot read " + Quoted(file.Path()) + " as a picture: it has " +
                        std::to_string(file.Size()) + " bytes, more than the " +
                        std::to_string(kLargestPictureFile) + " read as a picture");
    }
    return file.Read(static_cast<std::size_t>(file.Size()));
}

PictureHeader ReadPictureHeader(const std::string& bytes) {
    PictureHeader header;
    header.kind = PictureKindOf(bytes);
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    if (!header.kind) {
        // Qt's plug-ins name their format from the first bytes alone: none reads further to tell.
        header.qtFormat = QImageReader::imageFormat(&buffer).toLower();
        return header;
    }
    // Qt's readers of BMP, netpbm and XPM tell no size before decoding.
    if (const auto sides = HeaderSides(*header.kind, bytes)) {
        header.size =
            QSize(static_cast<int>(std::clamp<std::int64_t>(sides->width, -1, 0x7FFFFFFF)),
                  static_cast<int>(std::clamp<std::int64_t>(sides->height, -1, 0x7FFFFFFF)));
        return header;
    }
    QImageReader reader(&buffer, QtFormatOf(*header.kind));
    reader.setAutoDetectImageFormat(false);
    if (reader.canRead()) {
        header.size = reader.size();
    }
    return header;
}

}  // namespace quorbel::pictures
