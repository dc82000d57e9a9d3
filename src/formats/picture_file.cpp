#include "formats/picture_file.h"

#include "base/errors.h"
#include "files/file_system.h"
#include "base/quoted.h"

namespace quorbel {

std::string ReadPictureFile(const std::string& path, std::size_t maxBytes) {
    InputFile file(path);
    std::uint64_t length = file.Size();
    if (length >= 6) {
        const std::string start = file.Read(6);
        const std::uint64_t sizeField = static_cast<unsigned char>(start[2]) |
                                        static_cast<unsigned char>(start[3]) << 8 |
                                        static_cast<unsigned char>(start[4]) << 16 |
                                        std::uint64_t{static_cast<unsigned char>(start[5])} << 24;
        if (start.starts_with("BM") && sizeField >= 6 && sizeField <= length) {
            length = sizeField;
        }
        if (length > maxBytes) {
            throw FileError("cannot read " + Quoted(path) + " as a picture: it has " +
                            std::to_string(length) + " bytes, more than the " +
                            std::to_string(maxBytes) + " read as a picture");
        }
        return start + file.Read(static_cast<std::size_t>(length - 6));
    }
    return file.Read(static_cast<std::size_t>(length));
}

}  // namespace quorbel
