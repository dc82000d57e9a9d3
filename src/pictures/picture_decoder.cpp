#include "pictures/picture_decoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <stdexcept>

namespace quorbel::pictures {

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

}  // namespace quorbel::pictures
