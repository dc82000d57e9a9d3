#include "tiled/level_export.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "base/quoted.h"
#include "files/output_file.h"
#include "formats/level_file.h"
#include "formats/picture_file.h"
#include "formats/tile_grid.h"
#include "tiled/level_import.h"
#include "tiled/map_file.h"
#include "tiled/map_writer.h"
#include "tiled/record_layers.h"
#include "tiled/tile_gids.h"
#include "tiled/tiled_map.h"

namespace quorbel::tiled {
namespace {

// What export writes, import reads.
static_assert(kMostExportedCells <= kMostImportedRecords);

std::string_view BaseNameOf(std::string_view map) {
    const std::size_t slash = map.rfind('/');
    std::string_view name = slash == std::string_view::npos ? map : map.substr(slash + 1);
    return name.substr(0, name.rfind('.'));
}

std::string_view FileNameOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

struct LevelContent {
    std::string prefix;
    PrefixPicture picture;
    std::vector<LevelRecord> records;
};

LevelContent ReadLevel(const std::string& level,
                       const std::function<void(const std::string&)>& warn) {
    LevelFileReader reader(level);
    if (!reader.Picture()) {
        throw MapError("the prefix of " + Quoted(level) +
                       " is no BMP picture, so Tiled has no tileset picture to show");
    }
    if (reader.RecordCount() == 0) {
        throw MapError(Quoted(level) + " has no tile records: there is no map to export");
    }
    if (reader.RecordCount() > kMostExportedCells) {
        throw MapError(Quoted(level) + " has " + std::to_string(reader.RecordCount()) +
                       " records, more than the " + std::to_string(kMostExportedCells) +
                       " cells a map is given");
    }
    if (reader.TrailingBytes() != 0) {
        warn(std::to_string(reader.TrailingBytes()) +
             " trailing byte(s) after the last whole record are no record and are left out");
    }
    LevelContent content{reader.ReadPrefix(kLargestPictureFile), *reader.Picture(), {}};
    content.records.reserve(static_cast<std::size_t>(reader.RecordCount()));
    reader.ForEachRecord([&](const LevelRecord& record) { content.records.push_back(record); });
    return content;
}

// The gid of every tile number the records use. Throws MapError naming every tile number without
// a cell in the picture, with its record count.
std::array<std::uint32_t, 256> GidsOfTiles(const LevelContent& level, const TilesetGrid& grid) {
    std::array<std::uint64_t, 256> counts{};
    for (const LevelRecord& record : level.records) {
        ++counts[record.tile];
    }
    std::array<std::uint32_t, 256> gids{};
    std::string missing;
    for (int tile = 0; tile < 256; ++tile) {
        gids[tile] = GidOfTile(tile, grid);
        if (counts[tile] != 0 && gids[tile] == 0) {
            missing += (missing.empty() ? "" : ", ") + std::to_string(tile) + " (" +
                       Counted(counts[tile], "record", "records") + ")";
        }
    }
    if (!missing.empty()) {
        throw MapError("tile numbers without a whole cell in the " +
                       std::to_string(level.picture.width) + " x " +
                       std::to_string(std::abs(std::int64_t{level.picture.height})) +
                       " prefix picture: " + missing +
                       "; a map can only hold the picture's tiles (quorbel-lvl render draws "
                       "them as placeholders)");
    }
    return gids;
}

}  // namespace

std::string TilesetPictureBeside(std::string_view map) {
    const std::size_t slash = map.rfind('/');
    const std::string_view folder =
        slash == std::string_view::npos ? std::string_view() : map.substr(0, slash + 1);
    return std::string(folder) + std::string(BaseNameOf(map)) + "-tileset.bmp";
}

std::optional<std::string> MapNameProblem(std::string_view map) {
    if (!MapFormatOfName(map)) {
        return "the map " + Quoted(map) + " must end in .tmx (TMX), .tmj or .json (JSON)";
    }
    std::string_view name = BaseNameOf(map);
    while (!name.empty()) {
        const std::size_t length = Utf8SequenceLength(name);
        if (length == 0 || static_cast<unsigned char>(name[0]) < 0x20 || name[0] == 0x7F) {
            return "the map's name " + Quoted(map) +
                   " must be UTF-8 text without control characters, since the map holds it as "
                   "its tileset picture's name";
        }
        name.remove_prefix(length);
    }
    return std::nullopt;
}

ExportSummary ExportLevel(const std::string& level, const std::string& map,
                          const std::function<void(const std::string&)>& warn,
                          const std::function<bool()>& stopRequested) {
    LevelContent content = ReadLevel(level, warn);
    // A picture stored top row first has a negative height; Tiled shows it the right way up.
    const std::int64_t pictureHeight = std::abs(std::int64_t{content.picture.height});
    const std::int64_t columns = std::max<std::int64_t>(content.picture.width, 0) / kCellSide;
    const std::int64_t cells = columns * (pictureHeight / kCellSide);
    if (cells > kLargestGid) {
        throw MapError("the prefix picture of " + Quoted(level) + " is " +
                       std::to_string(content.picture.width) + " x " +
                       std::to_string(pictureHeight) + " pixels, " + std::to_string(cells) +
                       " cells of 16 x 16, more than the " + std::to_string(kLargestGid) +
                       " tiles a Tiled tileset can number; a header that claims so much is "
                       "likely damaged: quorbel-lvl info " +
                       ShellQuoted(level) + " shows it");
    }
    const TilesetGrid grid{1, static_cast<std::uint32_t>(columns),
                           static_cast<std::uint32_t>(cells)};
    const std::array<std::uint32_t, 256> gids = GidsOfTiles(content, grid);
    const std::uint64_t recordCount = content.records.size();
    const RecordLayers layers(std::move(content.records), kMostExportedCells);

    const std::string picturePath = TilesetPictureBeside(map);
    const FileBeingRead reading[] = {{StatusOf(level).identity, "the level"}};
    const std::string outputs[] = {map, picturePath};
    CheckReplaceableTogether(outputs, reading);
    OutputFile mapFile(map, reading);
    OutputFile pictureFile(picturePath, reading);
    pictureFile.Write(content.prefix);

    const std::string pictureName(FileNameOf(picturePath));
    const ExportedMap header{layers.Width(),
                             layers.Height(),
                             recordCount,
                             layers.Count(),
                             pictureName.substr(0, pictureName.size() - 4),
                             pictureName,
                             content.picture.width,
                             pictureHeight,
                             grid.columns,
                             grid.tileCount};
    // Counted to the end, so that a map import would refuse is refused with its size.
    std::uint64_t mapBytes = 0;
    TextOut out([&](std::string_view text) {
        mapBytes += text.size();
        if (mapBytes <= kLargestMapFile) {
            mapFile.Write(text);
        }
    });
    const std::unique_ptr<MapWriter> writer = MakeMapWriter(*MapFormatOfName(map), out);
    writer->Begin(header);
    std::vector<std::uint32_t> layerGids;
    for (std::size_t layer = 0; layer < layers.Count(); ++layer) {
        if (stopRequested && stopRequested()) {
            throw RunInterrupted{};
        }
        layers.Fill(layer, gids, layerGids);
        writer->Layer(layer + 1,
                      layer == 0 ? std::string("records") : "records " + std::to_string(layer + 1),
                      layerGids);
    }
    writer->End();
    if (mapBytes > kLargestMapFile) {
        throw MapError(LargerThanAMapFile("the map " + Quoted(map) + " would have", mapBytes) +
                       ", so quorbel-lvl import would refuse it; the records' order needs " +
                       std::to_string(layers.Count()) + " layers (" + kFewerLayersHint + ")");
    }
    OutputFile* const files[] = {&mapFile, &pictureFile};
    CommitTogether(files, stopRequested);
    return ExportSummary{layers.Width(), layers.Height(), recordCount, layers.Count(), picturePath};
}

}  // namespace quorbel::tiled
