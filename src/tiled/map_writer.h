// Writing a map for Tiled, TMX or JSON, a layer at a time, so that memory holds one layer's gids
// and a piece of text, never the whole file.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "tiled/tiled_map.h"

namespace quorbel::tiled {

// Text gathered into large pieces for a sink (an output file).
class TextOut {
  public:
    using Sink = std::function<void(std::string_view)>;
    explicit TextOut(Sink sink) : sink_(std::move(sink)) {}

    TextOut& operator<<(std::string_view text) {
        buffer_ += text;
        FlushIfFull();
        return *this;
    }
    TextOut& operator<<(std::int64_t number);
    // Hands what is gathered to the sink. Throws what the sink throws.
    void Flush();

  private:
    void FlushIfFull() {
        if (buffer_.size() >= kPiece) {
            Flush();
        }
    }
    static constexpr std::size_t kPiece = std::size_t{1} << 20;
    Sink sink_;
    std::string buffer_;
};

// What a map holds besides its layers: one orthogonal, finite map of 16 x 16 tiles with one
// tileset, whose picture is a file beside the map.
struct ExportedMap {
    std::int64_t width = 0;  // in tiles
    std::int64_t height = 0;
    std::uint64_t records = 0;  // the map property quorbel.records
    std::size_t layers = 0;
    std::string tilesetName;  // UTF-8 text without control characters
    std::string image;        // the picture's path from the map's folder, the same
    std::int64_t imageWidth = 0;
    std::int64_t imageHeight = 0;
    std::int64_t columns = 0;
    std::int64_t tileCount = 0;
};

class MapWriter {
  public:
    virtual ~MapWriter() = default;
    // The map up to its first layer.
    virtual void Begin(const ExportedMap& map) = 0;
    // Tile layer number id (from 1): the map's width x height gids, row by row from the top.
    virtual void Layer(std::size_t id, std::string_view name,
                       std::span<const std::uint32_t> gids) = 0;
    // The rest of the map; flushes out.
    virtual void End() = 0;
};

// A writer of format to out. Its functions throw what out's sink throws.
std::unique_ptr<MapWriter> MakeMapWriter(MapFormat format, TextOut& out);

}  // namespace quorbel::tiled
