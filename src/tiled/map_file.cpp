#include "tiled/map_file.h"

#include <map>

#include "base/errors.h"
#include "base/quoted.h"
#include "files/file_system.h"
#include "tiled/json_reader.h"
#include "tiled/tmx_reader.h"

namespace quorbel::tiled {
namespace {

// The first character that is not a blank or a UTF-8 byte-order mark.
char FirstCharacter(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    return first == std::string_view::npos ? '\0' : text[first];
}

// The UTF-16 byte order a text's start shows (a byte-order mark, or the zero bytes beside its
// first character), or nothing.
const char* Utf16Order(std::string_view text) {
    if (text.starts_with("\xFF\xFE") || (text.size() >= 2 && text[0] != '\0' && text[1] == '\0')) {
        return "little-endian";
    }
    if (text.starts_with("\xFE\xFF") || (text.size() >= 2 && text[0] == '\0' && text[1] != '\0')) {
        return "big-endian";
    }
    return nullptr;
}

// "maps/m-utf8.tmx" for "maps/m.tmx".
std::string Utf8Name(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    const bool suffix = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return suffix ? path.substr(0, dot) + "-utf8" + path.substr(dot) : path + "-utf8";
}

[[noreturn]] void RefuseUnknown(const std::string& path, std::string_view text, const char* what) {
    if (const char* order = Utf16Order(text)) {
        throw MapError(Quoted(path) + " is " + order +
                       " UTF-16 text; maps and tilesets are read as UTF-8, which Tiled writes: "
                       "save it again from Tiled, or convert it: iconv -f UTF-16 -t UTF-8 " +
                       ShellQuoted(path) + " > " + ShellQuoted(Utf8Name(path)));
    }
    throw MapError(Quoted(path) + " is neither XML (a TMX " + what +
                   ") nor JSON: it does not begin with '<' or '{'");
}

// file's tileset, given firstGid by its map; read once for a map that names it again.
TiledTileset ReadTilesetOnce(const std::string& file, std::uint32_t firstGid,
                             std::map<std::string, TiledTileset>& read, TiledMap& map) {
    auto known = read.find(file);
    if (known == read.end()) {
        known = read.emplace(file, ReadTilesetFile(file, firstGid)).first;
        map.filesRead.push_back(file);
    }
    TiledTileset tileset = known->second;
    tileset.firstGid = firstGid;
    return tileset;
}

}  // namespace

std::string LargerThanAMapFile(const std::string& subject, std::uint64_t bytes) {
    return subject + " " + std::to_string(bytes) + " bytes, more than the " +
           std::to_string(kLargestMapFile) + " read from a map or tileset file";
}

std::string ReadMapText(const std::string& path) {
    InputFile file(path);
    if (file.Size() > kLargestMapFile) {
        throw FileError(LargerThanAMapFile(Quoted(path) + " has", file.Size()));
    }
    return file.Read(static_cast<std::size_t>(file.Size()));
}

TiledMap ReadMapFile(const std::string& path) {
    std::string text = ReadMapText(path);
    TiledMap map;
    switch (FirstCharacter(text)) {
        case '<':
            map = ReadTmxMap(path, text);
            break;
        case '{':
            map = ReadJsonMap(path, std::move(text));
            break;
        default:
            RefuseUnknown(path, text, "map");
    }
    std::map<std::string, TiledTileset> read;
    for (TiledTileset& tileset : map.tilesets) {
        if (!tileset.file.empty()) {
            tileset = ReadTilesetOnce(tileset.file, tileset.firstGid, read, map);
        }
    }
    return map;
}

TiledTileset ReadTilesetFile(const std::string& path, std::uint32_t firstGid) {
    std::string text = ReadMapText(path);
    switch (FirstCharacter(text)) {
        case '<':
            return ReadTsxTileset(path, text, firstGid);
        case '{':
            return ReadJsonTileset(path, std::move(text), firstGid);
        default:
            RefuseUnknown(path, text, "tileset");
    }
}

}  // namespace quorbel::tiled
