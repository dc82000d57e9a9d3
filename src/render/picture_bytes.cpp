#include "render/picture_bytes.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <stdexcept>

#include "conversion/errors.h"
#include "conversion/quoted.h"

namespace quorbel::render {

QImage PictureFromBytes(const std::string& bytes, const std::string& what) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    QImage picture = reader.read();
    if (picture.isNull()) {
        throw std::runtime_error("cannot read " + what +
                                 " as a picture: " + reader.errorString().toStdString());
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

}  // namespace quorbel::render
