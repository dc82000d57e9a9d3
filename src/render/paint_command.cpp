#include "render/paint_command.h"

#include <QImage>
#include <algorithm>
#include <cstdio>
#include <new>
#include <optional>
#include <ostream>
#include <vector>

#include "base/errors.h"
#include "base/quoted.h"
#include "command/command_line.h"
#include "command/stop_signals.h"
#include "conversion/tileset_prefix.h"
#include "files/file_system.h"
#include "files/output_file.h"
#include "formats/level_file.h"
#include "formats/level_record.h"
#include "formats/tile_cells.h"
#include "formats/tile_grid.h"
#include "paint/cell_classes.h"
#include "paint/gimp_palette.h"
#include "paint/paint_rules.h"
#include "paint/painted_records.h"
#include "pictures/picture_decoder.h"

namespace quorbel::render {
namespace {

using command::Completion;
using command::Lines;
using command::Paragraph;
using command::ParsedArguments;
using paint::CellGrid;
using paint::LegendEntry;
using pictures::PictureFromBytes;
using pictures::PictureHeader;
using pictures::ReadPictureHeader;
using pictures::WholePictureFile;

// A record holds x and y in 12 bits.
constexpr int kLargestDrawingSide = kLargestCoordinate + 1;

struct PaintFiles {
    std::string tileset;
    std::string palette;
    std::string picture;
    std::string output;
    std::optional<std::string> rules;
};

// The records streamed into the level file.
class RecordsIntoOutput : public paint::RecordSink {
  public:
    explicit RecordsIntoOutput(OutputFile& output) : output_(output) {}
    char* Room(std::size_t count) override { return output_.Room(count); }
    void Advance(std::size_t count) override { output_.Advance(count); }

  private:
    OutputFile& output_;
};

// The files paint reads, which its output may not replace.
std::vector<FileBeingRead> FilesBeingRead(const PaintFiles& files) {
    std::vector<FileBeingRead> reading{{StatusOf(files.tileset).identity, "the tileset"},
                                       {StatusOf(files.palette).identity, "the palette"},
                                       {StatusOf(files.picture).identity, "the picture"}};
    if (files.rules) {
        reading.push_back({StatusOf(*files.rules).identity, "the rules"});
    }
    return reading;
}

// This command line with --nearest added.
std::string NearestCommandLine(const std::string& command, const ParsedArguments& parsed) {
    std::vector<command::GivenOption> options{{"--nearest", std::nullopt}};
    for (const command::GivenOption& given : parsed.options) {
        if (given.name != "--nearest") {
            options.push_back(given);
        }
    }
    return command::CommandLine(command, options, parsed.operands);
}

// The drawing's cells, kept in image's own pixels: a picture of colour indexes keeps them, any
// other is made 32-bit ARGB (in place where Qt can) and its pixels become their classes.
CellGrid ClassifyDrawing(QImage& image, paint::ColourClasses& classes,
                         paint::UnknownColours& unknown) {
    switch (image.format()) {
        case QImage::Format_Indexed8:
            break;
        case QImage::Format_Mono:
        case QImage::Format_MonoLSB:
        case QImage::Format_Grayscale8:
        case QImage::Format_Alpha8:
            image = std::move(image).convertToFormat(QImage::Format_Indexed8);
            break;
        default:
            image = std::move(image).convertToFormat(QImage::Format_ARGB32);
            break;
    }
    if (image.isNull()) {
        throw std::bad_alloc();
    }
    if (image.format() == QImage::Format_Indexed8) {
        const QList<QRgb> table = image.colorTable();
        return paint::ClassifyIndexedPixels(
            image.constBits(), static_cast<std::size_t>(image.bytesPerLine()), image.width(),
            image.height(), std::span(table.constData(), static_cast<std::size_t>(table.size())),
            classes, unknown);
    }
    return paint::ClassifyArgbPixels(reinterpret_cast<std::uint32_t*>(image.bits()),
                                     static_cast<std::size_t>(image.bytesPerLine()) / 4,
                                     image.width(), image.height(), classes, unknown);
}

bool TooLarge(const QSize& size) {
    return size.width() > kLargestDrawingSide || size.height() > kLargestDrawingSide;
}

void RefuseLargeDrawing(const QSize& size, const std::string& path, std::ostream& err) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    const bool suffix = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    const std::string side = std::to_string(kLargestDrawingSide);
    const std::string scaled = path.substr(0, suffix ? dot : path.size()) + "-" + side + ".png";
    err << "cause: " << Quoted(path) << " is " << size.width() << " x " << size.height()
        << " pixels; a record holds x and y in 12 bits, so a drawing has at most " << side << " x "
        << side << "\nhint: scale it down without making new colours (one pixel is one cell): "
        << "convert " << ShellQuoted(path) << " -filter point -resize " << side << "x" << side
        << " " << ShellQuoted(scaled) << '\n';
}

// An SVG drawing has no pixels to be cells; drawn by the toolkit it would get anti-aliased edges,
// and its reader may load other files.
void RefuseDrawingWithoutPixels(const std::string& path, std::ostream& err) {
    err << "cause: " << Quoted(path)
        << " is an SVG drawing, which has no pixels; paint takes a picture whose every pixel is "
           "one cell (PNG, BMP, GIF, ...)\n"
        << "hint: export the drawing as a PNG of one pixel per cell, without anti-aliasing, and "
           "paint that PNG\n";
}

// nearest is the command line that paints with --nearest.
void RefuseUnknownColours(const paint::UnknownColours& unknown, const PaintFiles& files,
                          const std::string& nearest, std::ostream& err) {
    err << "cause: " << Quoted(files.picture) << " has "
        << Counted(unknown.Pixels(), "pixel", "pixels") << " of colours that the palette "
        << Quoted(files.palette)
        << " does not list (transparent pixels, and white ones that it does not list, are empty "
           "cells)\n";
    std::uint64_t named = 0;
    for (const paint::UnknownColour& colour : unknown.Named()) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "#%02X%02X%02X", colour.colour.red, colour.colour.green,
                      colour.colour.blue);
        err << "cause: " << paint::RgbText(colour.colour) << " " << hex << ": "
            << Counted(colour.pixels, "pixel", "pixels") << ", the first at x " << colour.x
            << ", y " << colour.y << '\n';
        named += colour.pixels;
    }
    if (named < unknown.Pixels()) {
        err << "cause: and " << Counted(unknown.Pixels() - named, "pixel", "pixels")
            << " of other colours\n";
    }
    err << "hint: draw with the palette's colours only, with a pencil and no anti-aliasing (a "
           "soft brush, smoothing or scaling mixes new colours), or let each pixel take its "
           "nearest palette colour or white: "
        << nearest << '\n';
}

// Writes the level: the tileset's leading bitmap, then the records. Throws RunInterrupted for a
// stop signal, FileError and other run-time errors; output is left as it was then.
paint::PaintedRecords WriteLevel(const PaintFiles& files, std::int32_t prefixSize,
                                 const CellGrid& grid, const paint::PaintPlan& plan) {
    const command::StopSignalPump stopSignals;
    OutputFile output(files.output, FilesBeingRead(files));
    {
        InputFile tileset(files.tileset);
        CopyBytes(tileset, static_cast<std::uint64_t>(prefixSize), output, stopSignals);
    }
    RecordsIntoOutput sink(output);
    paint::PaintedRecords painted = paint::WritePaintedRecords(grid, plan.Entries(), sink);
    if (stopSignals.StopRequested()) {
        throw RunInterrupted{};
    }
    output.Commit();
    return painted;
}

// Each warning begins with program ("quorbel-lvl paint").
void PrintWarnings(const std::string& program, const PaintFiles& files,
                   const std::vector<LegendEntry>& legend, const paint::PaintedRecords& painted,
                   const std::optional<PrefixPicture>& picture, std::ostream& err) {
    for (std::size_t i = 0; i < legend.size(); ++i) {
        if (painted.perEntry[i] == 0) {
            err << program << ": warning: " << files.palette << ":" << legend[i].line
                << ": no pixel of " << Quoted(files.picture) << " has the colour "
                << paint::RgbText(legend[i].colour) << " of " << Quoted(legend[i].name) << '\n';
        }
    }
    for (int tile = 0; tile <= kLargestTile; ++tile) {
        if (painted.tiles.test(static_cast<std::size_t>(tile))) {
            if (const auto warning = TileCellWarning(tile, picture)) {
                err << program << ": " << *warning << '\n';
            }
        }
    }
}

// "wrote OUTPUT: 1308 records of 2 colours (1278 of 'ground 171', 30 of 'coin 23')".
std::string WroteLine(const std::string& output, const std::vector<LegendEntry>& legend,
                      const paint::PaintedRecords& painted) {
    std::uint64_t total = 0;
    std::uint64_t colours = 0;
    std::string each;
    for (std::size_t i = 0; i < legend.size(); ++i) {
        if (painted.perEntry[i] > 0) {
            total += painted.perEntry[i];
            each += (colours++ == 0 ? "" : ", ") + std::to_string(painted.perEntry[i]) + " of " +
                    Quoted(legend[i].name);
        }
    }
    return "wrote " + output + ": " + Counted(total, "record", "records") + " of " +
           Counted(colours, "colour", "colours") + (colours == 0 ? "" : " (" + each + ")");
}

}  // namespace

command::Declaration PaintCommand::Declare() const {
    return {
        .options = {{.name = "--rules",
                     .valueName = "FILE",
                     .help = "the terrains' rules; every terrain of the palette needs a block, and "
                             "a block for a terrain the palette lacks is warned about",
                     .completion = Completion::Files()},
                    {.name = "--nearest",
                     .help = "take every opaque pixel as the palette colour nearest to it "
                             "(squared RGB distance), or white (empty): ties go to the earlier "
                             "palette line, white last"},
                    {.name = "--quiet", .help = "print no \"wrote\" line; warnings stay"}},
        .operands = {{"TILESET", false, Completion::Files({"bmp", "lvl"})},
                     {"PALETTE", false, Completion::Files({"gpl"})},
                     {"PICTURE", false,
                      Completion::Files({"bmp", "png", "gif", "jpg", "jpeg", "pbm", "pgm", "ppm",
                                         "pnm", "xpm", "webp"})},
                     {"OUTPUT", false, Completion::Files({"lvl"})}},
        .description =
            {Paragraph("Makes the level file OUTPUT of a colour drawing: each pixel of PICTURE is "
                       "one cell, and its colour says what the cell becomes, as the legend "
                       "PALETTE says."),
             Paragraph("PICTURE: any picture prepare reads (BMP, PNG, GIF, JPEG, PBM, PGM, PPM, "
                       "XPM; not SVG, which has no pixels) of at most 4096 x 4096 pixels (a "
                       "record holds x and y in 12 bits). A pixel with alpha below 128 is an "
                       "empty cell. An opaque pixel counts by its stored RGB: a palette colour "
                       "gives that colour's cell, white that the palette does not list is empty, "
                       "and any other colour refuses the picture, naming up to 8 such colours "
                       "with their pixel counts and first positions."),
             Paragraph("PALETTE: a GIMP palette (.gpl), which GIMP, Krita, Inkscape and Aseprite "
                       "load, so that the drawing uses exactly its colours: the first line 'GIMP "
                       "Palette', then lines 'R G B NAME' (three numbers 0..255 and a name; "
                       "'Name:' and 'Columns:' lines, # comments and blank lines are ignored). "
                       "The last word of NAME is a tile number 0..255 ('ground 171'), the tile of "
                       "every cell of that colour, or a terrain name ('grass') whose tiles the "
                       "--rules file gives."),
             Paragraph("OUTPUT: the bitmap at the start of TILESET (copied as convert copies it), "
                       "then one 4-byte record per cell that is not empty: palette colours in the "
                       "order of the palette, and within a colour its cells bottom row first, "
                       "left to right. So without rules a drawing of at most 1024 x 1024 gives "
                       "exactly the level that compose makes of one 1-bit map per colour, in "
                       "palette order."),
             Paragraph("Rules (--rules FILE) give a terrain's cells their tiles by their 8 "
                       "neighbours:"),
             Lines("terrain grass   # the colour whose name ends in \"grass\"\n"
                   "outside X       # past the picture's edge counts as grass (X)\n"
                   "                # or not (., the default)\n"
                   "fill 171        # the tile when no rule matches (once)\n"
                   "rule 152 153    # a grass top: nothing above; then the rows\n"
                   "  ? . ?         # above, at and below the cell, left to\n"
                   "  X X X         # right: X grass, . any other cell, ?\n"
                   "  ? X ?         # anything; the centre is the cell, X"),
             Paragraph("Rules are tried in file order, the first whose neighbours all match gives "
                       "the tile. Several tiles on a rule or fill line: the cell at (x, y) takes "
                       "number h mod n of the n tiles, h = x * 2654435761 + y * 2246822519, h ^= "
                       "h >> 15, h *= 2221713035, h ^= h >> 13 (unsigned 32-bit, wrapping), so "
                       "the same drawing always gives the same level. # starts a comment; words "
                       "are separated by spaces.")},
        .output = {Paragraph("Standard error gets warnings (a palette colour no pixel has, a tile "
                             "number without a 16 x 16 cell in the tileset, an unused rules "
                             "block), then a line \"wrote OUTPUT: N records of K colours (N1 of "
                             "'NAME1', ...)\".")},
        .exitStatus = {{"0", "written"},
                       {"1",
                        "failed: a palette, rules file, tileset or picture that cannot be read, a "
                        "terrain without rules, or an OUTPUT that cannot be written"},
                       {"2",
                        "the picture refused: larger than 4096 x 4096, an SVG drawing, or of "
                        "colours the palette does not list"},
                       {"64", "bad usage"}},
        .examples = {{"The bundled drawing with its terrain's rules:",
                      "quorbel-lvl paint --rules r.txt tiles.bmp pal.gpl drawing.png out.lvl"}},
    };
}

int PaintCommand::Execute(const ParsedArguments& parsed, std::ostream&, std::ostream& err) {
    const PaintFiles files{parsed.operands[0], parsed.operands[1], parsed.operands[2],
                           parsed.operands[3], parsed.Value("--rules")};
    const bool quiet = parsed.Has("--quiet");
    const std::vector<LegendEntry> legend = paint::ReadGimpPalette(files.palette);
    const std::vector<paint::TerrainBlock> blocks =
        files.rules ? paint::ReadRules(*files.rules) : std::vector<paint::TerrainBlock>{};
    const paint::PaintPlan plan(legend, blocks, files.rules.value_or(""));
    for (const paint::TerrainBlock* block : plan.UnusedBlocks()) {
        err << ProgramName() << ": warning: " << *files.rules << ":" << block->line
            << ": the palette has no terrain " << Quoted(block->terrain)
            << ", so this block is not used\n";
    }

    std::int32_t prefixSize = 0;
    std::optional<PrefixPicture> prefixPicture;
    {
        InputFile tileset(files.tileset);
        prefixSize = ReadTilesetSize(tileset);
        InputFile again(files.tileset);
        const std::size_t leading =
            std::min<std::size_t>(kBmpLeadingBytes, static_cast<std::size_t>(prefixSize));
        prefixPicture = BmpHeader(again.Read(leading)).Picture();
        again.Require(static_cast<std::uint64_t>(prefixSize) - leading);
    }
    CheckReplaceable(files.output, FilesBeingRead(files));

    QImage image;
    QSize size;
    {
        InputFile picture(files.picture);
        const std::string bytes = WholePictureFile(picture);
        // Refused before its pixels take memory when the header tells the size, else once decoded.
        const PictureHeader header = ReadPictureHeader(bytes);
        if (header.qtFormat.startsWith("svg")) {
            RefuseDrawingWithoutPixels(files.picture, err);
            return command::kExitRejected;
        }
        size = header.size;
        if (!TooLarge(size)) {
            image = PictureFromBytes(bytes, Quoted(files.picture), pictures::kDrawingKinds);
            size = image.size();
        }
    }
    if (TooLarge(size)) {
        RefuseLargeDrawing(size, files.picture, err);
        return command::kExitRejected;
    }
    paint::ColourClasses classes(legend, parsed.Has("--nearest"));
    paint::UnknownColours unknown;
    const CellGrid grid = ClassifyDrawing(image, classes, unknown);
    if (!unknown.Empty()) {
        RefuseUnknownColours(unknown, files, NearestCommandLine(PastableCommand(), parsed), err);
        return command::kExitRejected;
    }

    command::InstallStopSignalHandlers();
    paint::PaintedRecords painted;
    try {
        painted = WriteLevel(files, prefixSize, grid, plan);
    } catch (const RunInterrupted&) {
        command::EndByReceivedSignal();
    }
    PrintWarnings(ProgramName(), files, legend, painted, prefixPicture, err);
    if (!quiet) {
        err << WroteLine(files.output, legend, painted) << '\n';
    }
    return command::kExitSuccess;
}

}  // namespace quorbel::render
