#include "pictures/picture_decoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include "base/errors.h"

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

}  // namespace quorbel::pictures
