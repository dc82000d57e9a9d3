#include "render/render_command.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <algorithm>
#include <cctype>
#include <new>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "base/quoted.h"
#include "command/command_line.h"
#include "files/file_system.h"
#include "files/output_file.h"
#include "formats/level_file.h"
#include "formats/level_stats.h"
#include "formats/picture_file.h"
#include "pictures/picture_decoder.h"
#include "render/level_preview.h"

namespace quorbel::render {
namespace {

using command::Completion;
using command::Paragraph;
using command::ParsedArguments;
using command::UsageError;
using pictures::PictureFromBytes;

constexpr const char* kStandardOutput = "-";
// A level's prefix is a BMP; another tileset may be a PNG too.
constexpr PictureKind kPrefixKinds[] = {PictureKind::Bmp};
constexpr PictureKind kTilesetKinds[] = {PictureKind::Bmp, PictureKind::Png};

// A picture format Qt can write, told by the output's suffix.
struct PictureFormat {
    const char* name;  // for QImage::save
    bool alpha;        // keeps transparency; the others get white where no tile is
};

struct RenderOptions {
    std::string level;
    std::string output;  // "-" for standard output
    PictureFormat format{"PNG", true};
    std::optional<std::string> tileset;
    std::optional<int> tileSide;
};

// The picture formats a preview is written in, by the suffix of its name; WebP only where Qt's
// plug-in is installed.
struct SuffixFormat {
    const char* suffix;
    PictureFormat format;
};
constexpr SuffixFormat kSuffixFormats[] = {
    {".png", {"PNG", true}},    {".bmp", {"BMP", false}},  {".jpg", {"JPEG", false}},
    {".jpeg", {"JPEG", false}}, {".webp", {"WEBP", true}},
};

bool CanWrite(const PictureFormat& format) {
    return QImageWriter::supportedImageFormats().contains(QByteArray(format.name).toLower());
}

// The format for the output's suffix, compared without case. Throws UsageError for any other,
// naming exactly the suffixes that work here, so that no file gets bytes its name belies.
PictureFormat FormatForName(const std::string& output) {
    if (output == kStandardOutput) {
        return PictureFormat{"PNG", true};
    }
    const auto dot = output.find_last_of("./");
    std::string suffix = dot == std::string::npos || output[dot] == '/' ? "" : output.substr(dot);
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::vector<std::string> working;
    for (const SuffixFormat& known : kSuffixFormats) {
        if (!CanWrite(known.format)) {
            continue;
        }
        if (suffix == known.suffix) {
            return known.format;
        }
        working.push_back(known.suffix);
    }
    std::string list;
    for (std::size_t i = 0; i < working.size(); ++i) {
        list += (i == 0 ? "" : i + 1 == working.size() ? " or " : ", ") + working[i];
    }
    throw UsageError("cannot tell a picture format from the name " + Quoted(output) +
                     ": end it in " + list + ", or give - for a PNG on standard output");
}

// The preview replaces its file whole, so naming an input as the output would destroy it; a
// standard output that is an input's file (render LEVEL -o - >> LEVEL) would get the preview
// written into it.
void RefuseOverwritingAnInput(const RenderOptions& options) {
    const bool standardOutput = options.output == kStandardOutput;
    std::optional<FileIdentity> output;
    if (standardOutput) {
        output = StandardOutputIdentity();
    } else if (const PathStatus status = StatusOf(options.output);
               status.kind != PathKind::Missing) {
        output = status.identity;
    }
    if (!output) {
        return;
    }
    for (const auto& input : {std::optional(options.level), options.tileset}) {
        if (!input || StatusOf(*input).identity != *output) {
            continue;
        }
        if (standardOutput) {
            throw UsageError("standard output is the input " + Quoted(*input) +
                             ", so the preview would be written into it: give -o a file of "
                             "its own, or send standard output elsewhere");
        }
        throw UsageError("the preview " + Quoted(options.output) + " would replace the input " +
                         Quoted(*input));
    }
}

RenderOptions ReadOptions(const ParsedArguments& parsed) {
    RenderOptions options;
    options.level = parsed.operands[0];
    options.output = *parsed.Value("--output");  // a required option
    if (options.output.empty()) {
        throw UsageError("-o needs a file name");
    }
    options.format = FormatForName(options.output);
    options.tileset = parsed.Value("--tileset");
    if (const auto scale = parsed.Value("--scale")) {
        options.tileSide = TileSideForScale(*scale);
    }
    RefuseOverwritingAnInput(options);
    return options;
}

// The picture file's bytes, made in memory so that the output policy writes them. A format
// without transparency shows white where no tile is.
std::string PictureBytes(const QImage& image, const PictureFormat& format) {
    QImage flat;
    if (!format.alpha) {
        flat = QImage(image.size(), QImage::Format_RGB32);
        if (flat.isNull()) {
            throw OutOfMemoryError("out of memory for a " + std::to_string(image.width()) + " x " +
                                   std::to_string(image.height()) +
                                   " picture without transparency");
        }
        flat.fill(Qt::white);
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!(format.alpha ? image : flat).save(&buffer, format.name)) {
        // The only way a picture written to memory fails.
        throw OutOfMemoryError(std::string("out of memory for the ") + format.name + " file");
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

command::Declaration RenderCommand::Declare() const {
    return {
        .options = {{.name = "--output",
                     .alias = 'o',
                     .valueName = "PREVIEW.png",
                     .help = "the picture to write (replaced only when it is complete); its suffix "
                             "says the format: .png, .bmp, .jpg or .jpeg, and .webp where Qt's "
                             "WebP plug-in is installed. BMP and JPEG show white where no tile "
                             "is. - writes a PNG to standard output (the \"wrote\" line then goes "
                             "to standard error)",
                     .completion = Completion::Files({"png", "bmp", "jpg", "jpeg", "webp"}),
                     .required = true},
                    {.name = "--tileset",
                     .valueName = "FILE",
                     .help = "take the cells from this picture (BMP, PNG, or a level file's "
                             "prefix) instead of LEVEL's own prefix picture",
                     .completion = Completion::Files({"bmp", "lvl", "png"})},
                    {.name = "--scale",
                     .valueName = "S",
                     .help = "the size of a tile, 16 x S pixels: 2, 1, 0.5, 1/4, 3/16 ... 16 x S "
                             "must be a whole number of pixels from 1 to 256: 1/16, 1/8, 3/16, "
                             "1/4, ... 1, 17/16, ... 16. By default 1, or 1/2, 1/4, 1/8, 1/16: the "
                             "largest that keeps the picture within 4096 pixels a side (a 1024 x "
                             "1024 map at 1/4). A scale that makes a side longer is refused.",
                     .completion =
                         Completion::Words({"1/16", "1/8", "1/4", "1/2", "1", "2", "4"})}},
        .operands = {{"LEVEL", false, Completion::Files({"lvl"})}},
        .description =
            {Paragraph("Draws the map of the level file LEVEL as a picture, laid out as the game "
                       "lays it out: every tile record draws tile number t, the tileset cell in "
                       "column (t - 1) mod 19 and row (t - 1) div 19 (cells of 16 x 16 pixels, "
                       "numbered as the tile chooser numbers them), at pixel (16 x, 16 y). The "
                       "picture covers the map from (0, 0) to the largest x and y; places without "
                       "a record stay transparent, and a later record covers an earlier one at "
                       "the same place."),
             Paragraph("Tile numbers without a whole cell in the tileset picture (0, or past its "
                       "last cell) are drawn as magenta and black squares and counted in a "
                       "warning.")},
        .output = {Paragraph("Standard output gets one line, \"wrote PREVIEW.png: W x H pixels, R "
                             "records, scale S (N pixels a tile)\"; standard error gets it when "
                             "the picture goes to standard output. Warnings go to standard "
                             "error.")},
        .exitStatus = {{"0", "drawn"},
                       {"1",
                        "the level or the tileset cannot be read, the level has no records, or the "
                        "picture cannot be written"},
                       {"64",
                        "bad usage (a suffix that names no format among them) or a picture "
                        "larger than 4096 pixels a side"}},
        .examples = {{"A preview of the sample level, a tile 8 pixels wide:",
                      "quorbel-lvl render --scale 1/2 -o preview.png sample.lvl"}},
    };
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
                                       "the prefix of " + Quoted(options.level), kPrefixKinds);
        }
        LevelStatsCollector collector;
        reader.ForEachRecord([&](const LevelRecord& record) { collector.Add(record); });
        stats = collector.Result();
    }
    if (!stats.bounds) {
        throw FormatError(Quoted(options.level) + " has no tile records: nothing to draw");
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
                                   "the tileset " + Quoted(*options.tileset), kTilesetKinds);
    }

    const TilesetCells cells(tileset, tileSide);
    LevelFileReader reader(options.level);
    const Preview preview = DrawLevel(reader, cells, size);
    const std::string bytes = PictureBytes(preview.image, options.format);
    if (options.output == kStandardOutput) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    } else {
        OutputFile file(options.output, InputsOf(options));
        file.Write(bytes);
        file.Commit();
    }

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
    // With the picture on standard output, the line that says what was drawn goes to standard
    // error.
    (options.output == kStandardOutput ? err : out)
        << "wrote " << (options.output == kStandardOutput ? "standard output" : options.output)
        << ": " << size.width() << " x " << size.height() << " pixels, " << stats.records
        << " records, scale " << ScaleText(tileSide) << " (" << tileSide
        << (tileSide == 1 ? " pixel" : " pixels") << " a tile)\n";
    return command::kExitSuccess;
}

}  // namespace quorbel::render
