#include "render/render_command.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <new>
#include <ostream>
#include <stdexcept>

#include "cli/command_line.h"
#include "conversion/file_system.h"
#include "conversion/level_file.h"
#include "conversion/level_stats.h"
#include "conversion/output_file.h"
#include "conversion/quoted.h"
#include "render/level_preview.h"
#include "render/picture_bytes.h"

namespace quorbel::render {
namespace {

using cli::ParsedArguments;
using cli::UsageError;

struct RenderOptions {
    std::string level;
    std::string output;
    std::optional<std::string> tileset;
    std::optional<int> tileSide;
};

// The preview replaces its file whole, so naming an input as the output would destroy it.
void RefuseOverwritingAnInput(const RenderOptions& options) {
    const PathStatus output = StatusOf(options.output);
    if (output.kind == PathKind::Missing) {
        return;
    }
    for (const auto& input : {std::optional(options.level), options.tileset}) {
        if (input && StatusOf(*input).identity == output.identity) {
            throw UsageError("the preview " + Quoted(options.output) + " would replace the input " +
                             Quoted(*input));
        }
    }
}

RenderOptions ReadOptions(const ParsedArguments& parsed) {
    RenderOptions options;
    options.level = parsed.operands[0];
    const auto shortOutput = parsed.values.find("-o");
    const auto longOutput = parsed.values.find("--output");
    if (shortOutput != parsed.values.end() && longOutput != parsed.values.end()) {
        throw UsageError("option '-o' given twice");
    }
    if (shortOutput == parsed.values.end() && longOutput == parsed.values.end()) {
        throw UsageError("the preview's file is missing: give -o PREVIEW.png");
    }
    options.output = (shortOutput != parsed.values.end() ? shortOutput : longOutput)->second;
    if (options.output.empty()) {
        throw UsageError("-o needs a file name");
    }
    if (const auto tileset = parsed.values.find("--tileset"); tileset != parsed.values.end()) {
        options.tileset = tileset->second;
    }
    if (const auto scale = parsed.values.find("--scale"); scale != parsed.values.end()) {
        options.tileSide = TileSideForScale(scale->second);
    }
    RefuseOverwritingAnInput(options);
    return options;
}

// The PNG file's bytes, made in memory so that the output policy writes them.
std::string PngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        throw std::bad_alloc();  // the only way an in-memory PNG fails
    }
    return bytes.toStdString();
}

std::vector<FileBeingRead> InputsOf(const RenderOptions& options) {
    std::vector<FileBeingRead> inputs{{StatusOf(options.level).identity, "the level"}};
    if (options.tileset) {
        inputs.push_back({StatusOf(*options.tileset).identity, "the tileset"});
    }
    return inputs;
}

}  // namespace

cli::Command::Syntax RenderCommand::GetSyntax() const {
    return Syntax{{"-o", "--output", "--tileset", "--scale"}, {}, "one LEVEL", 1, 1};
}

std::string RenderCommand::Help() const {
    return R"(Usage: quorbel-lvl render LEVEL -o PREVIEW.png [--tileset FILE] [--scale S]

Draws the map of the level file LEVEL as a PNG picture, laid out as the game
lays it out: every tile record draws tile number t, the tileset cell in column
(t - 1) mod 19 and row (t - 1) div 19 (cells of 16 x 16 pixels, numbered as the
tile chooser numbers them), at pixel (16 x, 16 y). The picture covers the map
from (0, 0) to the largest x and y; places without a record stay transparent,
and a later record covers an earlier one at the same place.

Tile numbers without a whole cell in the tileset picture (0, or past its last
cell) are drawn as magenta and black squares and counted in a warning.

Options:
  -o, --output FILE  the PNG file to write (replaced only when it is complete)
  --tileset FILE     take the cells from this picture (BMP, PNG, or a level
                     file's prefix) instead of LEVEL's own prefix picture
  --scale S          the size of a tile, 16 x S pixels: 2, 1, 0.5, 1/4, 3/16 ...
                     16 x S must be a whole number from 1 to 256. By default 1,
                     or 1/2, 1/4, 1/8, 1/16: the largest that keeps the picture
                     within 4096 pixels a side (a 1024 x 1024 map at 1/4).
                     A scale that makes a side longer is refused.
  -h, --help         show this help

Exit status: 0 drawn, 1 the level or the tileset cannot be read, the level has
no records, or the picture cannot be written; 64 bad usage or a picture larger
than 4096 pixels a side.
)";
}

int RenderCommand::Execute(const ParsedArguments& parsed, std::ostream& out, std::ostream& err) {
    const RenderOptions options = ReadOptions(parsed);

    // First pass: the bounds, and the prefix when it is the tileset.
    QImage tileset;
    LevelStats stats;
    {
        LevelFileReader reader(options.level);
        if (!options.tileset) {
            tileset = PictureFromBytes(reader.ReadPrefix(kLargestPictureFile),
                                       "the prefix of " + Quoted(options.level));
        }
        LevelStatsCollector collector;
        reader.ForEachRecord([&](const LevelRecord& record) { collector.Add(record); });
        stats = collector.Result();
    }
    if (!stats.bounds) {
        throw std::runtime_error(Quoted(options.level) + " has no tile records: nothing to draw");
    }
    const int tileSide = options.tileSide.value_or(DefaultTileSide(*stats.bounds));
    const QSize size = PreviewSize(*stats.bounds, tileSide);
    if (size.width() > kLargestPreviewSide || size.height() > kLargestPreviewSide) {
        throw UsageError("at scale " + ScaleText(tileSide) + " the preview would be " +
                         std::to_string(size.width()) + " x " + std::to_string(size.height()) +
                         " pixels, more than 4096 a side; the largest scale that fits is " +
                         ScaleText(LargestTileSide(*stats.bounds)));
    }
    if (options.tileset) {
        tileset = PictureFromBytes(ReadPictureFile(*options.tileset),
                                   "the tileset " + Quoted(*options.tileset));
    }

    const TilesetCells cells(tileset, tileSide);
    LevelFileReader reader(options.level);
    const Preview preview = DrawLevel(reader, cells, size);
    OutputFile file(options.output, InputsOf(options));
    file.Write(PngBytes(preview.image));
    file.Commit();

    if (preview.placeholderRecords != 0) {
        err << ProgramName() << ": warning: " << preview.placeholderRecords
            << " record(s) drawn as placeholders: no cell in the tileset for tile number(s)";
        const char* separator = " ";
        for (const int tile : preview.missingTiles) {
            err << separator << tile;
            separator = ", ";
        }
        err << '\n';
    }
    out << "wrote " << options.output << ": " << size.width() << " x " << size.height()
        << " pixels, " << stats.records << " records, scale " << ScaleText(tileSide) << " ("
        << tileSide << (tileSide == 1 ? " pixel" : " pixels") << " a tile)\n";
    return cli::kExitSuccess;
}

}  // namespace quorbel::render
