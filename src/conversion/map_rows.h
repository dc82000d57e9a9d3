// The rows of a map bitmap turned into tile records, stored row by stored row, bottom row of the
// picture first: the first row read gets y = rowCount - 1, the last y = 0. The records take the
// run's TileNumber and the layout's ColorMap.
#pragma once

#include <cstdint>
#include <string>

#include "conversion/front_end.h"
#include "conversion/map_layout.h"
#include "files/file_system.h"
#include "files/output_file.h"

namespace quorbel {

// Throws FileError, as the row loop would at its first short read, when the bitmap, positioned
// at its first stored row, holds fewer bytes than layout's rows.
void RequireMapRows(InputFile& bitmap, const MapLayout& layout);

// Records encoded and then dropped: what a check of a map's rows writes to.
class DiscardedRecords {
  public:
    char* Room(std::size_t count);
    void Advance(std::size_t) {}

  private:
    std::string room_;
};

// Reads layout.rowCount stored rows of bitmap, positioned at its first stored row, and appends
// each row's records to output; returns how many records. After every row a stop that pump
// reports throws RunInterrupted. Throws FileError for a short read or a failed write, and
// whatever the record encoding throws (a TileNumber outside 0..255 at the first tile pixel).
std::uint64_t ConvertMapRows(InputFile& bitmap, const MapLayout& layout, std::int16_t TileNumber,
                             OutputFile& output, EventPump& pump);
std::uint64_t ConvertMapRows(InputFile& bitmap, const MapLayout& layout, std::int16_t TileNumber,
                             DiscardedRecords& output, EventPump& pump);

}  // namespace quorbel
