#include "tiled/tiled_map.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "base/quoted.h"
#include "tiled/tile_gids.h"

namespace quorbel::tiled {

std::optional<MapFormat> MapFormatOfName(std::string_view path) {
    // Without case, as Tiled reads them: "level.TMX" is a TMX map.
    const auto endsWith = [&](std::string_view suffix) {
        if (path.size() <= suffix.size() || path[path.size() - suffix.size() - 1] == '/') {
            return false;
        }
        const std::string_view end = path.substr(path.size() - suffix.size());
        return std::equal(end.begin(), end.end(), suffix.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == b;
        });
    };
    if (endsWith(".tmx")) {
        return MapFormat::Tmx;
    }
    if (endsWith(".tmj") || endsWith(".json")) {
        return MapFormat::Json;
    }
    return std::nullopt;
}

std::string PathBeside(std::string_view file, std::string_view relative) {
    const std::size_t slash = file.rfind('/');
    if (relative.starts_with('/') || slash == std::string_view::npos) {
        return std::string(relative);
    }
    return std::string(file.substr(0, slash + 1)) + std::string(relative);
}

std::string LineAndColumn(std::string_view text, std::size_t offset) {
    const std::string_view before = text.substr(0, std::min(offset, text.size()));
    const auto line = std::count(before.begin(), before.end(), '\n') + 1;
    const std::size_t lineStart = before.rfind('\n');
    const std::size_t column =
        before.size() - (lineStart == std::string_view::npos ? 0 : lineStart + 1) + 1;
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

std::int64_t ParseInteger(std::string_view text, std::string_view what) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        throw MapError(std::string(what) + " is " + Quoted(text, 40) + ", not a whole number");
    }
    return value;
}

std::uint32_t FirstGidFrom(std::int64_t firstGid) {
    if (firstGid < 1 || firstGid > kLargestGid) {
        throw MapError("a tileset's firstgid is " + std::to_string(firstGid) + ", outside 1.." +
                       std::to_string(kLargestGid));
    }
    return static_cast<std::uint32_t>(firstGid);
}

void RequireGroupDepth(std::size_t depth, const std::string& name) {
    if (depth > kDeepestGroups) {
        throw MapError("the group " + Quoted(name, 40) + " lies " + std::to_string(depth) +
                       " groups deep; groups are read " + std::to_string(kDeepestGroups) +
                       " deep at most: move its layers up in Tiled's Layers panel");
    }
}

}  // namespace quorbel::tiled
