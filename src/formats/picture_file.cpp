#include "formats/picture_file.h"

#include "base/errors.h"
#include "base/quoted.h"
#include "files/file_system.h"
#include "formats/bmp_header.h"

namespace quorbel {

std::string ReadPictureFile(const std::string& path, std::size_t maxBytes) {
    InputFile file(path);
    std::uint64_t length = file.Size();
    if (length < kShortestPrefix) {
        return file.Read(static_cast<std::size_t>(length));
    }
    const std::string start = file.Read(kShortestPrefix);
    const BmpHeader header(start);
    if (header.HasSignature() && *header.SizeField() >= kShortestPrefix &&
        *header.SizeField() <= length) {
        length = *header.SizeField();
    }
    if (length > maxBytes) {
        throw FileError("cannot read " + Quoted(path) + " as a picture: it has " +
                        std::to_string(length) + " bytes, more than the " +
                        std::to_string(maxBytes) + " read as a picture");
    }
    return start + file.Read(static_cast<std::size_t>(length - kShortestPrefix));
}

}  // namespace quorbel
