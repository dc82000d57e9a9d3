#include "tiled/map_writer.h"

#include <charconv>

#include "base/quoted.h"
#include "formats/tile_grid.h"

namespace quorbel::tiled {
namespace {

// Tiled's tiles are the game's cells.
constexpr std::int64_t kTile = kCellSide;

// text in an XML attribute value. Names here are UTF-8 text without control characters.
std::string XmlAttribute(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The gids of a layer, width to a row: "1,2,\n3,4" in TMX, "1,2,3,4" in JSON.
void WriteGids(TextOut& out, std::span<const std::uint32_t> gids, std::int64_t width,
               bool rowBreaks) {
    // Gathered in a piece of text of its own: one call to out for each number would cost more
    // than the numbers.
    constexpr std::size_t kPiece = 1 << 16;
    constexpr std::size_t kLongestCell = 12;  // 10 digits, a comma, a line break
    char text[kPiece];
    char* end = text;
    std::int64_t column = 0;
    for (std::size_t i = 0; i < gids.size(); ++i) {
        if (end + kLongestCell > text + kPiece) {
            out << std::string_view(text, static_cast<std::size_t>(end - text));
            end = text;
        }
        end = std::to_chars(end, end + kLongestCell, gids[i]).ptr;
        if (i + 1 < gids.size()) {
            *end++ = ',';
            if (++column == width) {
                column = 0;
                if (rowBreaks) {
                    *end++ = '\n';
                }
            }
        }
    }
    out << std::string_view(text, static_cast<std::size_t>(end - text));
}

class TmxWriter : public MapWriter {
  public:
    explicit TmxWriter(TextOut& out) : out_(out) {}

    void Begin(const ExportedMap& map) override {
        width_ = map.width;
        height_ = map.height;
        out_ << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<map version=\"1.8\" orientation=\"orthogonal\" renderorder=\"right-down\" "
                "width=\""
             << map.width << "\" height=\"" << map.height << "\" tilewidth=\"" << kTile
             << "\" tileheight=\"" << kTile << "\" infinite=\"0\" nextlayerid=\""
             << static_cast<std::int64_t>(map.layers + 1)
             << "\" nextobjectid=\"1\">\n"
                " <properties>\n"
                "  <property name=\"quorbel.records\" type=\"int\" value=\""
             << static_cast<std::int64_t>(map.records)
             << "\"/>\n"
                " </properties>\n"
                " <tileset firstgid=\"1\" name=\""
             << XmlAttribute(map.tilesetName) << "\" tilewidth=\"" << kTile << "\" tileheight=\""
             << kTile << "\" tilecount=\"" << map.tileCount << "\" columns=\"" << map.columns
             << "\">\n  <image source=\"" << XmlAttribute(map.image) << "\" width=\""
             << map.imageWidth << "\" height=\"" << map.imageHeight << "\"/>\n </tileset>\n";
    }

    void Layer(std::size_t id, std::string_view name,
               std::span<const std::uint32_t> gids) override {
        out_ << " <layer id=\"" << static_cast<std::int64_t>(id) << "\" name=\""
             << XmlAttribute(name) << "\" width=\"" << width_ << "\" height=\"" << height_
             << "\">\n  <data encoding=\"csv\">\n";
        WriteGids(out_, gids, width_, true);
        out_ << "\n</data>\n </layer>\n";
    }

    void End() override {
        out_ << "</map>\n";
        out_.Flush();
    }

  private:
    TextOut& out_;
    std::int64_t width_ = 0;
    std::int64_t height_ = 0;
};

class JsonWriter : public MapWriter {
  public:
    explicit JsonWriter(TextOut& out) : out_(out) {}

    void Begin(const ExportedMap& map) override {
        map_ = map;
        out_ << "{ \"compressionlevel\":-1,\n \"height\":" << map.height
             << ",\n \"infinite\":false,\n \"layers\":[";
    }

    void Layer(std::size_t id, std::string_view name,
               std::span<const std::uint32_t> gids) override {
        out_ << (id == 1 ? "\n" : ",\n") << "  {\n   \"data\":[";
        WriteGids(out_, gids, map_.width, false);
        out_ << "],\n   \"height\":" << map_.height
             << ",\n   \"id\":" << static_cast<std::int64_t>(id)
             << ",\n   \"name\":" << JsonQuoted(name)
             << ",\n   \"opacity\":1,\n   \"type\":\"tilelayer\",\n   \"visible\":true,\n"
                "   \"width\":"
             << map_.width << ",\n   \"x\":0,\n   \"y\":0\n  }";
    }

    void End() override {
        out_ << "],\n \"nextlayerid\":" << static_cast<std::int64_t>(map_.layers + 1)
             << ",\n \"nextobjectid\":1,\n \"orientation\":\"orthogonal\",\n \"properties\":[\n"
                "  {\n   \"name\":\"quorbel.records\",\n   \"type\":\"int\",\n   \"value\":"
             << static_cast<std::int64_t>(map_.records)
             << "\n  }],\n \"renderorder\":\"right-down\",\n \"tileheight\":" << kTile
             << ",\n"
                " \"tilesets\":[\n  {\n   \"columns\":"
             << map_.columns << ",\n   \"firstgid\":1,\n   \"image\":" << JsonQuoted(map_.image)
             << ",\n   \"imageheight\":" << map_.imageHeight
             << ",\n   \"imagewidth\":" << map_.imageWidth
             << ",\n   \"margin\":0,\n   \"name\":" << JsonQuoted(map_.tilesetName)
             << ",\n   \"spacing\":0,\n   \"tilecount\":" << map_.tileCount
             << ",\n   \"tileheight\":" << kTile << ",\n   \"tilewidth\":" << kTile
             << "\n  }],\n \"tilewidth\":" << kTile
             << ",\n"
                " \"type\":\"map\",\n \"version\":\"1.8\",\n \"width\":"
             << map_.width << "\n}\n";
        out_.Flush();
    }

  private:
    TextOut& out_;
    ExportedMap map_;
};

}  // namespace

TextOut& TextOut::operator<<(std::int64_t number) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, number).ptr;
    return *this << std::string_view(text, static_cast<std::size_t>(end - text));
}

void TextOut::Flush() {
    if (!buffer_.empty()) {
        sink_(buffer_);
        buffer_.clear();
    }
}

std::unique_ptr<MapWriter> MakeMapWriter(MapFormat format, TextOut& out) {
    if (format == MapFormat::Tmx) {
        return std::make_unique<TmxWriter>(out);
    }
    return std::make_unique<JsonWriter>(out);
}

}  // namespace quorbel::tiled
