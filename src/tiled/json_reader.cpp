#include "tiled/json_reader.h"

#include <nlohmann/json.hpp>

#include <optional>

#include "base/quoted.h"
#include "tiled/cell_data.h"

namespace quorbel::tiled {
namespace {

using Json = nlohmann::json;

// A map's JSON document whose layer data arrays are kept aside.
struct JsonDocument {
    Json root;
    // The arrays of gids, 4 little-endian bytes each; the document holds in place of array i a
    // binary value of subtype i, which JSON text cannot hold.
    std::vector<std::string> gidArrays;
};

// Builds the document as nlohmann's own DOM parser would, except that an array under the key
// "data" holds gids and is kept aside.
class MapDocumentBuilder : public nlohmann::json_sax<Json> {
  public:
    JsonDocument& Document() { return document_; }
    const std::optional<std::string>& Failure() const { return failure_; }

    bool null() override { return Value(nullptr); }
    bool boolean(bool value) override { return Value(value); }
    bool number_integer(number_integer_t value) override {
        return collecting_ ? NoGid(std::to_string(value)) : Value(value);
    }
    bool number_unsigned(number_unsigned_t value) override {
        if (!collecting_) {
            return Value(value);
        }
        if (value > 0xFFFFFFFFu) {
            return NoGid(std::to_string(value));
        }
        const char bytes[4] = {static_cast<char>(value), static_cast<char>(value >> 8),
                               static_cast<char>(value >> 16), static_cast<char>(value >> 24)};
        gids_.append(bytes, 4);
        return true;
    }
    bool number_float(number_float_t value, const string_t& text) override {
        return collecting_ ? NoGid(text) : Value(value);
    }
    bool string(string_t& value) override {
        return collecting_ ? NoGid(DoubleQuoted(value, 20)) : Value(std::move(value));
    }
    bool binary(binary_t& value) override { return Value(std::move(value)); }
    bool start_object(std::size_t) override {
        if (collecting_) {
            return NoGid("an object");
        }
        Value(Json::object());
        open_.push_back(last_);
        return true;
    }
    bool key(string_t& name) override {
        member_ = &(*open_.back())[name];
        dataKey_ = name == "data";
        return true;
    }
    bool end_object() override {
        open_.pop_back();
        return true;
    }
    bool start_array(std::size_t) override {
        if (collecting_) {
            return NoGid("an array");
        }
        if (dataKey_ && !open_.empty() && open_.back()->is_object()) {
            collecting_ = true;
            gids_.clear();
            return true;
        }
        Value(Json::array());
        open_.push_back(last_);
        return true;
    }
    bool end_array() override {
        if (collecting_) {
            collecting_ = false;
            *member_ = Json::binary({}, document_.gidArrays.size());
            document_.gidArrays.push_back(std::move(gids_));
            gids_ = {};
            dataKey_ = false;
            return true;
        }
        open_.pop_back();
        return true;
    }
    bool parse_error(std::size_t, const std::string&,
                     const nlohmann::detail::exception& error) override {
        // "[json.exception.parse_error.101] parse error at line 1, column 2: ..." without the
        // library's code.
        std::string_view message = error.what();
        if (const std::size_t end = message.find("] ");
            message.starts_with('[') && end != std::string_view::npos) {
            message.remove_prefix(end + 2);
        }
        failure_ = std::string(message);
        return false;
    }

  private:
    bool Value(Json value) {
        dataKey_ = false;
        if (open_.empty()) {
            document_.root = std::move(value);
            last_ = &document_.root;
        } else if (open_.back()->is_array()) {
            open_.back()->push_back(std::move(value));
            last_ = &open_.back()->back();
        } else {
            *member_ = std::move(value);
            last_ = member_;
        }
        return true;
    }
    bool NoGid(const std::string& what) {
        failure_ = "a layer's data array holds " + what + ", which is no gid";
        return false;
    }

    JsonDocument document_;
    std::vector<Json*> open_;  // the objects and arrays being filled, innermost last
    Json* member_ = nullptr;   // the member of the innermost object named by the last key
    Json* last_ = nullptr;     // the value placed last
    bool dataKey_ = false;     // the last key was "data" and no value has followed yet
    bool collecting_ = false;
    std::string gids_;
    std::optional<std::string> failure_;
};

// The deepest arrays and objects are nested: a group adds an object and an array, and the map,
// a chunk's data and class properties want a few more.
constexpr std::size_t kDeepestNesting = 2 * kDeepestGroups + 56;

// Refuses text that nests arrays and objects deeper than kDeepestNesting, before a parser or a
// message has to walk them. Throws MapError naming where the nesting passes it.
void RequireShallowNesting(const std::string& path, std::string_view text) {
    std::size_t depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;  // the escaped character
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kDeepestNesting) {
                throw MapError(Quoted(path) + " nests arrays and objects more than " +
                               std::to_string(kDeepestNesting) + " deep at " +
                               LineAndColumn(text, i) +
                               "; a map of Tiled needs far fewer "
                               "(groups are read " +
                               std::to_string(kDeepestGroups) + " deep at most)");
            }
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
}

JsonDocument Parse(const std::string& path, const std::string& text) {
    RequireShallowNesting(path, text);
    MapDocumentBuilder builder;
    if (!Json::sax_parse(text, &builder) || builder.Failure()) {
        throw MapError(Quoted(path) +
                       " is no JSON map: " + builder.Failure().value_or("the parser stopped"));
    }
    return std::move(builder.Document());
}

const Json* Member(const Json& object, const char* name) {
    const auto found = object.find(name);
    return found == object.end() ? nullptr : &*found;
}

// value for a message: a text cut short after 40 bytes, a number or a word as it is, an array or
// an object by its kind and size (never written out: it may be as large and deep as the file).
std::string Shown(const Json& value) {
    if (value.is_string()) {
        return DoubleQuoted(value.get_ref<const std::string&>(), 40);
    }
    if (value.is_array()) {
        return "an array of " + Counted(value.size(), "value", "values");
    }
    if (value.is_object()) {
        return "an object of " + Counted(value.size(), "member", "members");
    }
    if (value.is_binary()) {
        return "an array of gids";
    }
    return value.dump();
}

std::string Where(const char* name, const std::string& where) {
    return Quoted(name, 40) + " of " + where;
}

std::int64_t Integer(const Json& object, const char* name, const std::string& where,
                     std::optional<std::int64_t> fallback = std::nullopt) {
    const Json* value = Member(object, name);
    if (value == nullptr && fallback) {
        return *fallback;
    }
    if (value == nullptr) {
        throw MapError(where + " has no " + Quoted(name));
    }
    if (value->is_number_unsigned() && value->get<std::uint64_t>() > 0x7FFFFFFFFFFFFFFFu) {
        throw MapError("the " + Where(name, where) + " is too large");
    }
    if (!value->is_number_integer()) {
        throw MapError("the " + Where(name, where) + " is " + Shown(*value) +
                       ", not a whole number");
    }
    return value->get<std::int64_t>();
}

std::string Text(const Json& object, const char* name, const std::string& where) {
    const Json* value = Member(object, name);
    if (value == nullptr) {
        return {};
    }
    if (!value->is_string()) {
        throw MapError("the " + Where(name, where) + " is " + Shown(*value) + ", not a text");
    }
    return value->get<std::string>();
}

const Json& Array(const Json& object, const char* name, const std::string& where) {
    static const Json kEmpty = Json::array();
    const Json* value = Member(object, name);
    if (value == nullptr) {
        return kEmpty;
    }
    if (!value->is_array()) {
        throw MapError("the " + Where(name, where) + " is not an array");
    }
    return *value;
}

void RequireObject(const Json& value, const std::string& what) {
    if (!value.is_object()) {
        throw MapError(what + " is not a JSON object");
    }
}

TiledTileset TilesetOf(const Json& object, const std::string& path, std::uint32_t firstGid) {
    TiledTileset tileset;
    tileset.name = Text(object, "name", "a tileset");
    const std::string where = "tileset " + Quoted(tileset.name);
    tileset.firstGid = firstGid;
    tileset.tileWidth = Integer(object, "tilewidth", where);
    tileset.tileHeight = Integer(object, "tileheight", where);
    tileset.columns = Integer(object, "columns", where, 0);
    tileset.tileCount = Integer(object, "tilecount", where, 0);
    tileset.margin = Integer(object, "margin", where, 0);
    tileset.spacing = Integer(object, "spacing", where, 0);
    tileset.image = Text(object, "image", where);
    if (!tileset.image.empty()) {
        tileset.imagePath = PathBeside(path, tileset.image);
        tileset.imageWidth = Integer(object, "imagewidth", where, 0);
        tileset.imageHeight = Integer(object, "imageheight", where, 0);
    }
    return tileset;
}

CellCompression CompressionOf(const Json& layer, const std::string& where) {
    return CompressionNamed(Text(layer, "compression", where), where);
}

// The layers of a map document, which it takes its data arrays from.
class LayerReader {
  public:
    explicit LayerReader(std::vector<std::string>& gidArrays) : gidArrays_(gidArrays) {}

    // The layers in layers, those of groups in their place. Walked without recursion, as TMX
    // groups are.
    void Add(const Json& layers, std::vector<TiledLayer>& into) {
        struct Level {
            const Json* layers;
            std::size_t next;
        };
        std::vector<Level> open{{&layers, 0}};
        while (!open.empty()) {
            Level& level = open.back();
            if (level.next == level.layers->size()) {
                open.pop_back();
                continue;
            }
            const Json& layer = (*level.layers)[level.next++];
            RequireObject(layer, "a layer");
            const std::string name = Text(layer, "name", "a layer");
            const std::string where = "layer " + Quoted(name);
            const std::string type = Text(layer, "type", where);
            if (type == "tilelayer") {
                into.push_back(TileLayerOf(layer, name));
            } else if (type == "objectgroup") {
                into.push_back({LayerKind::Object, name, {}});
            } else if (type == "imagelayer") {
                into.push_back({LayerKind::Image, name, {}});
            } else if (type == "group") {
                RequireGroupDepth(open.size(), name);
                open.push_back({&Array(layer, "layers", where), 0});
            } else {
                throw MapError(where + " has the type " + Quoted(type) +
                               ", not one of tilelayer, objectgroup, imagelayer, group");
            }
        }
    }

  private:
    TiledLayer TileLayerOf(const Json& layer, const std::string& name) {
        const std::string where = "layer " + Quoted(name);
        TiledLayer result{LayerKind::Tile, name, {}};
        if (Member(layer, "chunks") != nullptr) {
            for (const Json& chunk : Array(layer, "chunks", where)) {
                RequireObject(chunk, "a chunk of " + where);
                result.blocks.push_back(BlockOf(chunk, Integer(chunk, "x", where),
                                                Integer(chunk, "y", where), layer, where));
                result.blocks.back().chunk = true;
            }
        } else {
            result.blocks.push_back(BlockOf(layer, 0, 0, layer, where));
        }
        return result;
    }

    // The cells of object (a layer or a chunk): an array of gids, or base64 text.
    CellBlock BlockOf(const Json& object, std::int64_t x, std::int64_t y, const Json& layer,
                      const std::string& where) {
        CellBlock block{x,
                        y,
                        Integer(object, "width", where),
                        Integer(object, "height", where),
                        CellEncoding::Gids,
                        CompressionOf(layer, where),
                        {}};
        const Json* data = Member(object, "data");
        if (data == nullptr) {
            throw MapError(where + " has no \"data\"");
        }
        if (data->is_binary() && data->get_binary().has_subtype() &&
            data->get_binary().subtype() < gidArrays_.size()) {
            block.data = std::move(gidArrays_[data->get_binary().subtype()]);
        } else if (data->is_string() && Text(layer, "encoding", where) == "base64") {
            block.encoding = CellEncoding::Base64;
            block.data = data->get<std::string>();
        } else {
            throw MapError("the \"data\" of " + where +
                           " is neither an array of gids nor base64 text");
        }
        return block;
    }

    std::vector<std::string>& gidArrays_;
};

std::uint32_t FirstGid(const Json& tileset) {
    return FirstGidFrom(Integer(tileset, "firstgid", "a tileset"));
}

}  // namespace

TiledMap ReadJsonMap(const std::string& path, std::string text) {
    JsonDocument parsed = Parse(path, text);
    text = {};
    const Json& document = parsed.root;
    RequireObject(document, "the map " + Quoted(path));
    TiledMap map;
    map.filesRead.push_back(path);
    for (const Json& tileset : Array(document, "tilesets", "the map")) {
        RequireObject(tileset, "a tileset");
        const std::uint32_t firstGid = FirstGid(tileset);
        const std::string source = Text(tileset, "source", "a tileset");
        if (!source.empty()) {
            map.tilesets.push_back(ExternalTileset(PathBeside(path, source), firstGid));
        } else {
            map.tilesets.push_back(TilesetOf(tileset, path, firstGid));
        }
    }
    LayerReader(parsed.gidArrays).Add(Array(document, "layers", "the map"), map.layers);
    return map;
}

TiledTileset ReadJsonTileset(const std::string& path, std::string text, std::uint32_t firstGid) {
    const JsonDocument document = Parse(path, text);
    RequireObject(document.root, "the tileset " + Quoted(path));
    TiledTileset tileset = TilesetOf(document.root, path, firstGid);
    tileset.file = path;
    return tileset;
}

}  // namespace quorbel::tiled
