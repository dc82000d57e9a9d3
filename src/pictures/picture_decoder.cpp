#include "pictures/picture_decoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include "base/errors.h"
#include "base/quoted.h"

namespace quorbel::pictures {

QImage PictureFromBytes(const std::string& bytes, const std::string& what, const SizeCheck& check) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    if (check && reader.canRead()) {
        check(reader.size());
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

std::string WholePictureFile(InputFile& file) {
    if (file.Size() > kLargestPictureFile) {
        throw FileError("cannot read " + Quoted(file.Path()) + " as a picture: it has " +
                        std::to_string(file.Size()) + " bytes, more than the " +
                        std::to_string(kLargestPictureFile) + " read as a picture");
    }
    return file.Read(static_cast<std::size_t>(file.Size()));
}

PictureHeader ReadPictureHeader(const std::string& bytes) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead()) {
        return {};
    }
    return {reader.size(), reader.format().toLower()};
}

}  // namespace quorbel::pictures
