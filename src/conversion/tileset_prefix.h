// The tileset's leading bitmap, with which every level begins: as many bytes from the tileset's
// start as its BMP size field (bytes 2..5) says. An earlier level serves as a tileset, since its
// size field covers its prefix alone and none of its records.
#pragma once

#include <cstdint>

#include "conversion/front_end.h"
#include "files/file_system.h"
#include "files/output_file.h"
#include "formats/bmp_header.h"

namespace quorbel {

// The BMP size field of a tileset opened at its first byte (reads bytes 0..5), decoded as the run
// decodes numbers. Throws FileError when the file is shorter or the field is below
// kShortestPrefix, OverflowError for 2^31 or more.
std::int32_t ReadTilesetSize(InputFile& tileset);

// Copies the next count bytes of from to output in pieces, so that a large prefix takes no more
// memory than one piece; a stop that pump reports between pieces throws RunInterrupted. Throws
// FileError when from holds fewer (before a byte is copied) or a read or write fails.
void CopyBytes(InputFile& from, std::uint64_t count, OutputFile& output, const EventPump& pump);

}  // namespace quorbel
