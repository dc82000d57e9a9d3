#include "tiled/level_import.h"

#include <algorithm>
#include <array>
#include <limits>

#include "base/errors.h"
#include "base/quoted.h"
#include "files/file_system.h"
#include "files/output_file.h"
#include "formats/bmp_header.h"
#include "formats/picture_file.h"
#include "formats/tile_grid.h"
#include "tiled/cell_data.h"
#include "tiled/map_file.h"
#include "tiled/tile_gids.h"

namespace quorbel::tiled {
namespace {

constexpr std::size_t kPositions = kLargestCoordinate + 1;
// Tiled places chunks at int positions.
constexpr std::int64_t kFirstChunkPosition = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kLastChunkPosition = std::numeric_limits<std::int32_t>::max();

// "layer 'ground'", "layer 'ground', chunk at x 16, y 0".
std::string WhereIs(const std::string& layer, const CellBlock& block) {
    return "layer " + Quoted(layer) +
           (block.chunk
                ? ", chunk at x " + std::to_string(block.x) + ", y " + std::to_string(block.y)
                : "");
}

// Refuses, before any cell is decoded or stored, a chunk outside Tiled's positions (so that no
// arithmetic on them can overflow), and a map whose tile layers have more cells in all than a level
// is given records: overlapping chunks could otherwise ask for gigabytes.
void RequireBlocksFitALevel(const std::string& path, const TiledMap& map) {
    std::uint64_t cells = 0;
    for (const TiledLayer& layer : map.layers) {
        for (const CellBlock& block : layer.blocks) {
            const std::string where = WhereIs(layer.name, block);
            if (block.x < kFirstChunkPosition || block.x > kLastChunkPosition ||
                block.y < kFirstChunkPosition || block.y > kLastChunkPosition) {
                throw MapError(where + ": Tiled places chunks from " +
                               std::to_string(kFirstChunkPosition) + " to " +
                               std::to_string(kLastChunkPosition) +
                               ", and a level holds x and y from 0 to 4095 only: save the map "
                               "again from Tiled");
            }
            cells += CellCount(block, where);
        }
    }
    if (cells > kMostImportedRecords) {
        throw MapError("the tile layers of " + Quoted(path) + " have " + std::to_string(cells) +
                       " cells in all (chunks that overlap count each time), more than the " +
                       std::to_string(kMostImportedRecords) +
                       " records a level is given (512 MiB of them): make the map smaller in "
                       "Tiled (Map > Resize Map), or merge or remove tile layers");
    }
}

// The gid layout of the map's first tileset, whose picture is the level's prefix. Throws
// MapError for a tileset the game's grid cannot read.
TilesetGrid GridOf(const TiledTileset& tileset) {
    const std::string name = "the first tileset " + Quoted(tileset.name);
    if (tileset.tileWidth != kCellSide || tileset.tileHeight != kCellSide) {
        throw MapError(name + " has tiles of " + std::to_string(tileset.tileWidth) + " x " +
                       std::to_string(tileset.tileHeight) +
                       " pixels; the game's tiles are 16 x 16: make the tileset anew with tile "
                       "width and height 16");
    }
    if (tileset.margin != 0 || tileset.spacing != 0) {
        throw MapError(name + " has a margin of " + std::to_string(tileset.margin) +
                       " and a spacing of " + std::to_string(tileset.spacing) +
                       " pixels; the game's cells lie side by side from the top left corner: "
                       "set both to 0");
    }
    const std::int64_t columns =
        tileset.columns > 0 ? tileset.columns : tileset.imageWidth / kCellSide;
    if (tileset.image.empty() || columns <= 0) {
        throw MapError(name +
                       " is a collection of separate images; a level's tiles are the cells of "
                       "one tileset picture");
    }
    // No gid passes 32 bits, whatever the numbers in the file say.
    const auto gidsLeft = std::int64_t{0xFFFFFFFF} - tileset.firstGid + 1;
    const std::int64_t rows = std::max<std::int64_t>(tileset.imageHeight / kCellSide, 0);
    const std::int64_t count = tileset.tileCount > 0       ? tileset.tileCount
                               : rows > gidsLeft / columns ? gidsLeft
                                                           : columns * rows;
    return TilesetGrid{tileset.firstGid, static_cast<std::uint32_t>(std::min(columns, gidsLeft)),
                       static_cast<std::uint32_t>(std::min(count, gidsLeft))};
}

// The tile numbers of the gids below 65536, worked out once: 0 for a gid that TileOfGid must
// look at (a problem, or a gid beyond the table).
class GidTable {
  public:
    explicit GidTable(const TilesetGrid& grid) : grid_(grid), tiles_(1 << 16, 0) {
        for (std::uint32_t gid = 1; gid < tiles_.size(); ++gid) {
            const GidTile cell = TileOfGid(gid, grid);
            tiles_[gid] =
                cell.meaning == GidMeaning::Tile ? static_cast<std::uint8_t>(cell.tile) : 0;
        }
    }

    // The tile number of gid (1..255), or 0 when it is none.
    int TileOf(std::uint32_t gid) const { return gid < tiles_.size() ? tiles_[gid] : 0; }
    const TilesetGrid& Grid() const { return grid_; }

  private:
    TilesetGrid grid_;
    std::vector<std::uint8_t> tiles_;
};

// The records of one tile layer, checked cell by cell.
class TileLayerRecords {
  public:
    TileLayerRecords(const TiledMap& map, const GidTable& gids, const std::string& layer)
        : map_(map), gids_(gids), grid_(gids.Grid()), layer_(layer) {}

    void Add(const CellBlock& block) {
        // RequireBlocksFitALevel has kept the position within Tiled's ints.
        const std::string where = WhereIs(layer_, block);
        // Room for the tiles the data can hold, as far as its size tells (a layer has no more
        // positions than a level), growing as a vector grows so that many small chunks do not
        // move the records again and again.
        if (block.encoding != CellEncoding::Base64) {
            const std::size_t mostTiles =
                std::min(block.data.size() / (block.encoding == CellEncoding::Gids ? 4 : 2),
                         kPositions * kPositions);
            if (records_.size() + mostTiles > records_.capacity()) {
                records_.reserve(std::max(records_.size() + mostTiles, 2 * records_.capacity()));
            }
        }
        std::int64_t column = 0;
        std::int64_t row = 0;
        DecodeCells(block, where, [&](std::span<const std::uint32_t> gids) {
            for (const std::uint32_t gid : gids) {
                if (gid != 0) {
                    AddCell(block.x + column, block.y + row, gid);
                }
                if (++column == block.width) {
                    column = 0;
                    ++row;
                }
            }
        });
    }

    std::vector<LevelRecord>& Records() { return records_; }

  private:
    void AddCell(std::int64_t x, std::int64_t y, std::uint32_t gid) {
        int tile = gids_.TileOf(gid);
        if (tile == 0) {
            const GidTile cell = TileOfGid(gid, grid_);
            if (cell.meaning != GidMeaning::Tile) {
                Refuse(x, y, WhyNot(gid, cell));
            }
            tile = cell.tile;
        }
        if (x < 0 || y < 0 || x > kLargestCoordinate || y > kLargestCoordinate) {
            Refuse(x, y,
                   "a level holds x and y from 0 to 4095 only: move the tiles (or, in an "
                   "infinite map, the ones left of or above the origin) into that range");
        }
        records_.push_back(LevelRecord{static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y),
                                       static_cast<std::uint8_t>(tile)});
    }

    std::string WhyNot(std::uint32_t gid, const GidTile& cell) const {
        switch (cell.meaning) {
            case GidMeaning::Transformed:
                return "the tile is flipped or rotated (gid " + std::to_string(gid) +
                       "); the game draws tiles only as the picture has them: undo the flip "
                       "or rotation in Tiled";
            case GidMeaning::OtherTileset:
                return OtherTileset(gid);
            case GidMeaning::ColumnBeyond19:
                return "the tile is in column " + std::to_string(cell.column + 1) +
                       " of the tileset picture; the game numbers tiles in rows of 19, so only "
                       "the first 19 columns can be placed";
            case GidMeaning::TileBeyond255:
                return "the tile in column " + std::to_string(cell.column + 1) + ", row " +
                       std::to_string(cell.row + 1) + " would be tile number " +
                       std::to_string(cell.tile) +
                       "; a record holds tile numbers up to 255 (row 14, column 8 is the last)";
            case GidMeaning::Empty:
            case GidMeaning::Tile:
                break;
        }
        return {};
    }

    std::string OtherTileset(std::uint32_t gid) const {
        const TiledTileset* owner = nullptr;
        for (const TiledTileset& tileset : map_.tilesets) {
            if (tileset.firstGid <= gid &&
                (owner == nullptr || tileset.firstGid > owner->firstGid)) {
                owner = &tileset;
            }
        }
        const std::string first = Quoted(map_.tilesets.front().name);
        if (owner == nullptr || owner == &map_.tilesets.front()) {
            return "gid " + std::to_string(gid) + " is no tile of the first tileset " + first +
                   " (gids " + std::to_string(grid_.firstGid) + " to " +
                   std::to_string(grid_.firstGid + grid_.tileCount - 1) + ")";
        }
        return "the tile is from the tileset " + Quoted(owner->name) +
               "; a level's tiles all come from one picture, the first tileset " + first +
               ": paint with that tileset only";
    }

    [[noreturn]] void Refuse(std::int64_t x, std::int64_t y, const std::string& why) const {
        throw MapError("layer " + Quoted(layer_) + ", x " + std::to_string(x) + ", y " +
                       std::to_string(y) + ": " + why);
    }

    const TiledMap& map_;
    const GidTable& gids_;
    const TilesetGrid& grid_;
    const std::string& layer_;
    std::vector<LevelRecord> records_;
};

void WriteRecords(OutputFile& output, const std::vector<LevelRecord>& records) {
    constexpr std::size_t kPiece = 1 << 14;
    for (std::size_t start = 0; start < records.size(); start += kPiece) {
        const std::size_t count = std::min(kPiece, records.size() - start);
        char* bytes = output.Room(count * kLevelRecordSize);
        for (std::size_t i = 0; i < count; ++i) {
            const LevelRecord& record = records[start + i];
            EncodeLevelRecord(bytes + i * kLevelRecordSize, record.x, record.y, record.tile);
        }
        output.Advance(count * kLevelRecordSize);
    }
}

std::vector<FileBeingRead> InputsOf(const TiledMap& map, const std::string& prefixFrom) {
    std::vector<FileBeingRead> inputs;
    for (const std::string& file : map.filesRead) {
        inputs.push_back({StatusOf(file).identity, "the map " + Quoted(file)});
    }
    inputs.push_back({StatusOf(prefixFrom).identity, "the tileset picture"});
    return inputs;
}

const char* KindName(LayerKind kind) {
    return kind == LayerKind::Object ? "object layer" : "image layer";
}

}  // namespace

std::string LeadingBitmap(const std::string& path, const std::string& what) {
    InputFile file(path);
    const std::string name = Quoted(path) + " (" + what + ")";
    if (file.Size() < kShortestPrefix) {
        throw FileError(name + " has " + std::to_string(file.Size()) +
                        " bytes, too few for a BMP picture");
    }
    const std::string start = file.Read(kShortestPrefix);
    const BmpHeader header(start);
    if (!header.HasSignature()) {
        throw FileError(name +
                        " is no BMP picture (it does not begin with \"BM\"), and a level's prefix "
                        "must be one: give a BMP of the same picture (or a level file) with "
                        "--tileset FILE");
    }
    const std::uint32_t size = *header.SizeField();
    if (size < kShortestPrefix || size > file.Size() || size > kLargestPictureFile) {
        throw FileError(name + ": its BMP size field says " + std::to_string(size) +
                        " bytes, but a prefix needs from " + std::to_string(kShortestPrefix) +
                        " to " +
                        std::to_string(std::min<std::uint64_t>(file.Size(), kLargestPictureFile)));
    }
    return start + file.Read(size - kShortestPrefix);
}

void SortAsConverted(std::vector<LevelRecord>& records) {
    const auto byRows = [](const LevelRecord& a, const LevelRecord& b) {
        return a.y < b.y || (a.y == b.y && a.x < b.x);
    };
    if (std::is_sorted(records.begin(), records.end(), byRows)) {
        // A finite layer's cells come top row first, left to right: the rows need only be put
        // the other way round.
        std::reverse(records.begin(), records.end());
        for (auto row = records.begin(); row != records.end();) {
            const auto next = std::find_if(
                row, records.end(), [&](const LevelRecord& record) { return record.y != row->y; });
            std::reverse(row, next);
            row = next;
        }
        return;
    }
    // Two stable counting passes: by x, then by y from the largest down.
    std::vector<LevelRecord> sorted(records.size());
    std::vector<std::size_t> start(kPositions + 1);
    const auto pass = [&](auto key) {
        std::fill(start.begin(), start.end(), 0);
        for (const LevelRecord& record : records) {
            ++start[key(record) + 1];
        }
        for (std::size_t i = 1; i <= kPositions; ++i) {
            start[i] += start[i - 1];
        }
        for (const LevelRecord& record : records) {
            sorted[start[key(record)]++] = record;
        }
        records.swap(sorted);
    };
    pass([](const LevelRecord& record) { return std::size_t{record.x}; });
    pass([](const LevelRecord& record) { return kLargestCoordinate - std::size_t{record.y}; });
}

ImportSummary ImportMap(const std::string& mapPath, const std::optional<std::string>& tileset,
                        const std::string& output,
                        const std::function<void(const std::string&)>& warn,
                        const std::function<bool()>& stopRequested) {
    const TiledMap map = ReadMapFile(mapPath);
    if (map.tilesets.empty()) {
        throw MapError(Quoted(mapPath) + " has no tileset; a level's tiles are cells of one");
    }
    RequireBlocksFitALevel(mapPath, map);
    const GidTable gids(GridOf(map.tilesets.front()));
    ImportSummary summary;
    summary.prefixFrom = tileset.value_or(map.tilesets.front().imagePath);
    if (!tileset && StatusOf(summary.prefixFrom).kind == PathKind::Missing) {
        // A map copied or moved without the picture beside it.
        throw FileError("cannot open " + Quoted(summary.prefixFrom) +
                        ", the picture of the first tileset " + Quoted(map.tilesets.front().name) +
                        ": there is no such file; give the level's tileset with --tileset "
                        "LEVEL-OR-BMP (the level file itself, or a BMP of the same picture)");
    }
    const std::string prefix =
        LeadingBitmap(summary.prefixFrom, tileset ? "--tileset"
                                                  : "the picture of the first tileset " +
                                                        Quoted(map.tilesets.front().name));

    OutputFile level(output, InputsOf(map, summary.prefixFrom));
    level.Write(prefix);
    for (const TiledLayer& layer : map.layers) {
        if (layer.kind != LayerKind::Tile) {
            warn("skipped the " + std::string(KindName(layer.kind)) + " " + Quoted(layer.name) +
                 ": only tile layers hold tiles");
            continue;
        }
        TileLayerRecords records(map, gids, layer.name);
        for (const CellBlock& block : layer.blocks) {
            if (stopRequested && stopRequested()) {
                throw RunInterrupted{};
            }
            records.Add(block);
        }
        SortAsConverted(records.Records());
        WriteRecords(level, records.Records());
        summary.records += records.Records().size();
        ++summary.tileLayers;
    }
    OutputFile* const files[] = {&level};
    CommitTogether(files, stopRequested);
    return summary;
}

}  // namespace quorbel::tiled
