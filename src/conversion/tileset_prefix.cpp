#include "conversion/tileset_prefix.h"

#include <algorithm>
#include <string>

#include "base/errors.h"
#include "conversion/number_codec.h"

namespace quorbel {
namespace {

constexpr std::uint64_t kCopyPiece = std::uint64_t{1} << 20;

}  // namespace

std::int32_t ReadTilesetSize(InputFile& tileset) {
    tileset.Read(kBmpSizeField.offset);
    const std::int32_t size = modModule::BytesToNumber(tileset.Read(kBmpSizeField.length));
    if (size < static_cast<std::int32_t>(kShortestPrefix)) {
        throw FileError("the tileset's size field says " + std::to_string(size) +
                        " bytes; a level's prefix needs at least " +
                        std::to_string(kShortestPrefix) +
                        ", to hold that field, or the level cannot be read back");
    }
    return size;
}

void CopyBytes(InputFile& from, std::uint64_t count, OutputFile& output, const EventPump& pump) {
    from.Require(count);
    while (count > 0) {
        const auto piece = static_cast<std::size_t>(std::min(count, kCopyPiece));
        from.ReadInto(output.Room(piece), piece);
        output.Advance(piece);
        count -= piece;
        if (count > 0 && pump.StopRequested()) {
            throw RunInterrupted{};
        }
    }
}

}  // namespace quorbel
