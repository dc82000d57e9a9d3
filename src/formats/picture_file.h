// The bytes of a picture file, read through the file layer so that its name stays bytes and a
// FIFO or a folder is refused at once. A file that begins with a BMP header (a level file among
// them) is read as far as its BMP size field says, so that records after the picture are left
// alone.
#pragma once

#include <cstddef>
#include <string>

namespace quorbel {

// The largest picture file read: larger ones are no tileset, and refusing them bounds memory.
inline constexpr std::size_t kLargestPictureFile = std::size_t{64} << 20;

// The picture's bytes. Throws FileError when path cannot be read, is not a regular file, or holds
// more than maxBytes of picture.
std::string ReadPictureFile(const std::string& path, std::size_t maxBytes = kLargestPictureFile);

}  // namespace quorbel
