#include "conversion/map_rows.h"

#include <algorithm>
#include <cstring>

#include "conversion/tile_records.h"
#include "formats/level_record.h"

namespace quorbel {
namespace {

// Each row's records are encoded straight into the sink's room; only a row whose coordinates
// leave 12 bits (never one of a bitmap the conversion takes) goes the long way.
template <typename Sink>
std::uint64_t ConvertRows(InputFile& bitmap, const MapLayout& layout, std::int16_t TileNumber,
                          Sink& sink, EventPump& pump) {
    const modModule::RecordValues values{TileNumber, layout.colorMap};
    std::string row;
    std::uint64_t bytes = 0;
    const auto mostRecords = static_cast<std::size_t>(std::max<std::int32_t>(layout.pixelWidth, 0));
    for (std::int32_t r = 1; r <= layout.rowCount; ++r) {
        bitmap.ReadInto(row, static_cast<std::size_t>(layout.bytesPerLine));
        const std::int32_t y = layout.rowCount - r;
        std::size_t written = 0;
        if (modModule::RowFitsRecords(layout.pixelWidth, y)) {
            const std::size_t room = kLevelRecordSize * std::min(mostRecords, 8 * row.size());
            written =
                modModule::EncodeRowInto(sink.Room(room), row, layout.pixelWidth, y, values, pump);
        } else {
            const std::string records =
                modModule::EncodeRow(row, layout.pixelWidth, y, values, pump);
            written = records.size();
            if (written > 0) {
                std::memcpy(sink.Room(written), records.data(), written);
            }
        }
        sink.Advance(written);
        bytes += written;
        // A row without tiles does not yield; a stop asked for meanwhile still ends the loop.
        if (pump.StopRequested()) {
            throw RunInterrupted{};
        }
    }
    return bytes / kLevelRecordSize;
}

}  // namespace

void RequireMapRows(InputFile& bitmap, const MapLayout& layout) {
    const auto rowBytes =
        static_cast<std::uint64_t>(std::max<std::int16_t>(layout.bytesPerLine, 0));
    const auto rows = static_cast<std::uint64_t>(std::max<std::int16_t>(layout.rowCount, 0));
    if (rowBytes == 0) {
        return;
    }
    const std::uint64_t wholeRows = bitmap.Remaining() / rowBytes;
    if (wholeRows < rows) {
        // The read of the first row that is not there fails, with the row loop's own words.
        bitmap.Skip(wholeRows * rowBytes);
        bitmap.Require(rowBytes);
    }
}

char* DiscardedRecords::Room(std::size_t count) {
    if (room_.size() < count) {
        room_.resize(count);
    }
    return room_.data();
}

std::uint64_t ConvertMapRows(InputFile& bitmap, const MapLayout& layout, std::int16_t TileNumber,
                             OutputFile& output, EventPump& pump) {
    return ConvertRows(bitmap, layout, TileNumber, output, pump);
}

std::uint64_t ConvertMapRows(InputFile& bitmap, const MapLayout& layout, std::int16_t TileNumber,
                             DiscardedRecords& output, EventPump& pump) {
    return ConvertRows(bitmap, layout, TileNumber, output, pump);
}

}  // namespace quorbel
