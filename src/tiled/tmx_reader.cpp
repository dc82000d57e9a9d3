#include "tiled/tmx_reader.h"

#include "tiled/cell_data.h"

#include <pugixml.hpp>

#include <cstring>

#include "base/quoted.h"

namespace quorbel::tiled {
namespace {

void Parse(pugi::xml_document& document, const std::string& path, const std::string& text) {
    const pugi::xml_parse_result result =
        document.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_auto);
    if (!result) {
        throw MapError(Quoted(path) + " is not well-formed XML: " + result.description() + " at " +
                       LineAndColumn(text, static_cast<std::size_t>(result.offset)));
    }
}

std::string Element(pugi::xml_node node) {
    return "<" + std::string(node.name()) + ">";
}

std::int64_t Integer(pugi::xml_node node, const char* name, std::int64_t fallback) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) {
        return fallback;
    }
    return ParseInteger(attribute.value(), "the " + std::string(name) + " of " + Element(node));
}

std::int64_t RequiredInteger(pugi::xml_node node, const char* name) {
    if (!node.attribute(name)) {
        throw MapError(Element(node) + " has no " + name + " attribute");
    }
    return Integer(node, name, 0);
}

std::uint32_t FirstGid(pugi::xml_node node) {
    return FirstGidFrom(RequiredInteger(node, "firstgid"));
}

TiledTileset TilesetOf(pugi::xml_node node, const std::string& path, std::uint32_t firstGid) {
    TiledTileset tileset;
    tileset.name = node.attribute("name").value();
    tileset.firstGid = firstGid;
    tileset.tileWidth = RequiredInteger(node, "tilewidth");
    tileset.tileHeight = RequiredInteger(node, "tileheight");
    tileset.columns = Integer(node, "columns", 0);
    tileset.tileCount = Integer(node, "tilecount", 0);
    tileset.margin = Integer(node, "margin", 0);
    tileset.spacing = Integer(node, "spacing", 0);
    if (const pugi::xml_node image = node.child("image")) {
        tileset.image = image.attribute("source").value();
        tileset.imagePath = PathBeside(path, tileset.image);
        tileset.imageWidth = Integer(image, "width", 0);
        tileset.imageHeight = Integer(image, "height", 0);
    }
    return tileset;
}

CellEncoding EncodingOf(pugi::xml_node data) {
    const std::string_view encoding = data.attribute("encoding").value();
    if (encoding.empty()) {
        return CellEncoding::Gids;
    }
    if (encoding == "csv") {
        return CellEncoding::Csv;
    }
    if (encoding == "base64") {
        return CellEncoding::Base64;
    }
    throw MapError("layer data in the encoding " + Quoted(encoding) +
                   " is not read: Tiled writes csv and base64");
}

CellCompression CompressionOf(pugi::xml_node data) {
    return CompressionNamed(data.attribute("compression").value(), "layer data");
}

// The cells of node (a <data> or a <chunk>): its text, or its <tile> elements as gids.
void FillBlock(CellBlock& block, pugi::xml_node node) {
    if (block.encoding != CellEncoding::Gids) {
        block.data = node.child_value();
        return;
    }
    for (const pugi::xml_node tile : node.children("tile")) {
        const std::int64_t gid = Integer(tile, "gid", 0);
        if (gid < 0 || gid > 0xFFFFFFFF) {
            throw MapError("a <tile> has the gid " + std::to_string(gid) +
                           ", outside 0..4294967295");
        }
        for (int shift = 0; shift < 32; shift += 8) {
            block.data += static_cast<char>((gid >> shift) & 0xFF);
        }
    }
}

TiledLayer TileLayerOf(pugi::xml_node node) {
    TiledLayer layer{LayerKind::Tile, node.attribute("name").value(), {}};
    const pugi::xml_node data = node.child("data");
    if (!data) {
        throw MapError("layer " + Quoted(layer.name) + " has no <data>");
    }
    const CellEncoding encoding = EncodingOf(data);
    const CellCompression compression = CompressionOf(data);
    if (data.child("chunk")) {
        for (const pugi::xml_node chunk : data.children("chunk")) {
            CellBlock& block = layer.blocks.emplace_back();
            block = CellBlock{RequiredInteger(chunk, "x"),
                              RequiredInteger(chunk, "y"),
                              RequiredInteger(chunk, "width"),
                              RequiredInteger(chunk, "height"),
                              encoding,
                              compression,
                              {},
                              true};
            FillBlock(block, chunk);
        }
    } else {
        CellBlock& block = layer.blocks.emplace_back();
        block = CellBlock{0,
                          0,
                          RequiredInteger(node, "width"),
                          RequiredInteger(node, "height"),
                          encoding,
                          compression,
                          {}};
        FillBlock(block, data);
    }
    return layer;
}

// The layers among node's children, those of groups in their place. Walked without recursion, so
// that no nesting of groups can exhaust the stack before their depth is refused.
void AddLayers(pugi::xml_node node, std::vector<TiledLayer>& layers) {
    std::vector<pugi::xml_node> next{node.first_child()};  // the next child at each depth
    while (!next.empty()) {
        const pugi::xml_node child = next.back();
        if (!child) {
            next.pop_back();
            continue;
        }
        next.back() = child.next_sibling();
        const std::string_view name = child.name();
        if (name == "layer") {
            layers.push_back(TileLayerOf(child));
        } else if (name == "objectgroup") {
            layers.push_back({LayerKind::Object, child.attribute("name").value(), {}});
        } else if (name == "imagelayer") {
            layers.push_back({LayerKind::Image, child.attribute("name").value(), {}});
        } else if (name == "group") {
            RequireGroupDepth(next.size(), child.attribute("name").value());
            next.push_back(child.first_child());
        }
    }
}

pugi::xml_node Root(const pugi::xml_document& document, const std::string& path, const char* name) {
    const pugi::xml_node root = document.document_element();
    if (std::strcmp(root.name(), name) != 0) {
        throw MapError(Quoted(path) + " holds <" + root.name() + ">, not <" + name + ">");
    }
    return root;
}

}  // namespace

TiledMap ReadTmxMap(const std::string& path, const std::string& text) {
    pugi::xml_document document;
    Parse(document, path, text);
    const pugi::xml_node root = Root(document, path, "map");
    TiledMap map;
    map.filesRead.push_back(path);
    for (const pugi::xml_node node : root.children("tileset")) {
        const std::uint32_t firstGid = FirstGid(node);
        if (const pugi::xml_attribute source = node.attribute("source")) {
            map.tilesets.push_back(ExternalTileset(PathBeside(path, source.value()), firstGid));
        } else {
            map.tilesets.push_back(TilesetOf(node, path, firstGid));
        }
    }
    AddLayers(root, map.layers);
    return map;
}

TiledTileset ReadTsxTileset(const std::string& path, const std::string& text,
                            std::uint32_t firstGid) {
    pugi::xml_document document;
    Parse(document, path, text);
    TiledTileset tileset = TilesetOf(Root(document, path, "tileset"), path, firstGid);
    tileset.file = path;
    return tileset;
}

}  // namespace quorbel::tiled
