#include "tiled/map_file.h"

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

[[noreturn]] void RefuseUnknown(const std::string& path, const char* what) {
    throw MapError(Quoted(path) + " is neither XML (" + what + ") nor JSON: it does not begin " +
                   "with '<' or '{'");
}

}  // namespace

std::string ReadMapText(const std::string& path) {
    InputFile file(path);
    if (file.Size() > kLargestMapFile) {
        throw FileError(Quoted(path) + " has " + std::to_string(file.Size()) +
                        " bytes, more than the " + std::to_string(kLargestMapFile) +
                        " read from a map or tileset file");
    }
    return file.Read(static_cast<std::size_t>(file.Size()));
}

TiledMap ReadMapFile(const std::string& path) {
    std::string text = ReadMapText(path);
    switch (FirstCharacter(text)) {
        case '<':
            return ReadTmxMap(path, text);
        case '{':
            return ReadJsonMap(path, std::move(text));
        default:
            RefuseUnknown(path, "a TMX map");
    }
}

TiledTileset ReadTilesetFile(const std::string& path, std::uint32_t firstGid) {
    std::string text = ReadMapText(path);
    switch (FirstCharacter(text)) {
        case '<':
            return ReadTsxTileset(path, text, firstGid);
        case '{':
            return ReadJsonTileset(path, std::move(text), firstGid);
        default:
            RefuseUnknown(path, "a TSX tileset");
    }
}

}  // namespace quorbel::tiled
