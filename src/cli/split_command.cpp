#include "cli/split_command.h"

#include <cstdio>
#include <limits>
#include <memory>
#include <optional>
#include <ostream>

#include "base/errors.h"
#include "base/quoted.h"
#include "cli/console_front_end.h"
#include "cli/conversion_notes.h"
#include "command/stop_signals.h"
#include "conversion/tileset_prefix.h"
#include "files/output_file.h"
#include "formats/bmp_header.h"
#include "formats/level_file.h"
#include "formats/level_layers.h"
#include "formats/monochrome_bmp.h"

namespace quorbel::cli {

using command::Completion;
using command::EndByReceivedSignal;
using command::InstallStopSignalHandlers;
using command::kExitSuccess;
using command::Paragraph;
using command::ParsedArguments;
using command::ReceivedStopSignal;
namespace {

std::string InFolder(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

// "tile-007.bmp".
std::string MapName(std::uint8_t tile) {
    char name[16];
    std::snprintf(name, sizeof name, "tile-%03u.bmp", static_cast<unsigned>(tile));
    return name;
}

// The folder made for the files, taken away again unless they reach it.
class FolderForFiles {
  public:
    // Makes path when it is missing. Throws FileError when it cannot, or when path is no folder.
    explicit FolderForFiles(const std::string& path) : path_(path) {
        const PathStatus status = StatusOf(path);
        if (status.kind == PathKind::Missing) {
            MakeFolder(path);
            made_ = true;
        } else if (status.kind != PathKind::Directory) {
            throw FileError("cannot split into " + Quoted(path) + ": it is no folder");
        }
    }
    ~FolderForFiles() {
        if (made_ && !kept_) {
            RemoveEmptyFolder(path_);
        }
    }
    FolderForFiles(const FolderForFiles&) = delete;
    FolderForFiles& operator=(const FolderForFiles&) = delete;

    void Keep() { kept_ = true; }

  private:
    std::string path_;
    bool made_ = false;
    bool kept_ = false;
};

// What compose cannot give back of the level, counted; nothing when it gives back all of it.
std::optional<std::string> LossWarning(const std::string& level, const LevelLayers& layers) {
    std::vector<std::string> parts;
    if (layers.RepeatedRecords() != 0) {
        parts.push_back(std::to_string(layers.RepeatedRecords()) +
                        " record(s) repeat a position with the same tile and are left out (a "
                        "map holds a position once)");
    }
    if (layers.RecordsOutOfOrder() != 0) {
        parts.push_back(std::to_string(layers.RecordsOutOfOrder()) +
                        " record(s) come right after one that compose writes after them "
                        "(compose writes each tile's records together, tiles in the order of "
                        "their first appearance, bottom row first, left to right)");
    }
    if (parts.empty()) {
        return std::nullopt;
    }
    std::string warning =
        "warning: compose of these layers does not give " + Quoted(level) + " back byte for byte: ";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        warning += (i == 0 ? "" : "; ") + parts[i];
    }
    return warning;
}

// Writes the prefix and the maps into folder, all replacing their earlier files together. Throws
// FileError, and RunInterrupted for a stop signal; nothing is replaced then.
void WriteFiles(const std::string& levelPath, std::uint32_t prefixSize, const LevelLayers& layers,
                const std::string& folder) {
    const command::StopSignalPump signals;
    FolderForFiles made(folder);
    InputFile source(levelPath);
    const FileBeingRead reading[] = {{source.Identity(), "the level"}};
    std::vector<std::string> names{InFolder(folder, "tileset.bmp")};
    for (const std::uint8_t tile : layers.Tiles()) {
        names.push_back(InFolder(folder, MapName(tile)));
    }
    CheckReplaceableTogether(names, reading);
    std::vector<std::unique_ptr<OutputFile>> files;
    files.push_back(std::make_unique<OutputFile>(names.front(), reading));
    CopyBytes(source, prefixSize, *files.back(), signals);
    // Each file is prepared at once: its buffer is freed, so memory does not grow with the maps.
    files.back()->Prepare();
    const int width = layers.LargestX() + 1;
    const int height = layers.LargestY() + 1;
    for (const std::uint8_t tile : layers.Tiles()) {
        if (signals.StopRequested()) {
            throw RunInterrupted{};
        }
        files.push_back(std::make_unique<OutputFile>(names[files.size()], reading));
        files.back()->Write(MonochromeBmpBytes(
            width, height, [&](int x, int y) { return layers.IsDark(tile, x, y); }));
        files.back()->Prepare();
    }
    std::vector<OutputFile*> all;
    for (const auto& file : files) {
        all.push_back(file.get());
    }
    CommitTogether(all, [&] { return signals.StopRequested(); });
    made.Keep();
}

}  // namespace

command::Declaration SplitCommand::Declare() const {
    return {
        .operands = {{"LEVEL", false, Completion::Files({"lvl"})},
                     {"FOLDER", false, Completion::Folders()}},
        .description =
            {Paragraph("Takes the level file LEVEL apart into layers that quorbel-lvl compose "
                       "puts together again: the level's prefix and a map bitmap for every tile "
                       "number used, in FOLDER (see Files). All maps have the same size: (largest "
                       "x + 1) x (largest y + 1). FOLDER is made when it is missing (the folder "
                       "it is in must exist); files of those names are replaced, other files in "
                       "FOLDER are left as they are."),
             Paragraph("A level that the maps cannot hold exactly is still split, with a warning "
                       "that counts what they cannot carry: records repeated at one position "
                       "with the same tile (a map holds a position once), and records out of the "
                       "order in which compose writes them (each tile's records together, tiles "
                       "in the order of their first appearance, bottom row first, left to "
                       "right)."),
             Paragraph("A file shorter than 6 bytes, or one whose size field points past its end, "
                       "is no level file (as info says). Trailing bytes that make no whole record "
                       "get info's warning and are left out. A record with x or y beyond 1023 has "
                       "no place in a map bitmap (at most 1024 x 1024 pixels): the level is "
                       "refused, naming its largest x and y. Memory: 128 KiB for each tile number "
                       "used.")},
        .output = {Paragraph("Standard output gets one TILE:PATH line per tile number, in the "
                             "order in which the tile numbers first appear in LEVEL, so that "
                             "\"quorbel-lvl compose FOLDER/tileset.bmp NEW.lvl $(quorbel-lvl split "
                             "LEVEL FOLDER)\" rebuilds the level (for a FOLDER whose name has no "
                             "blanks or wildcards). For a level made by convert, or by compose of "
                             "layers with distinct tile numbers, NEW.lvl is LEVEL byte for byte. "
                             "Warnings go to standard error.")},
        .exitStatus = {{"0", "split"},
                       {"1", "failed (nothing is written then)"},
                       {"64", "bad usage"}},
        .files = {{"FOLDER/tileset.bmp", "the level's prefix (its tileset picture), byte for byte"},
                  {"FOLDER/tile-NNN.bmp",
                   "for every tile number used (NNN: the number in three digits), a map bitmap "
                   "dark where the level has a record of that tile: 1 bit per pixel, a 40-byte "
                   "header, pixels at byte 62, as convert and compose take it"}},
        .examples = {{"The layers of a level, in the folder parts:",
                      "quorbel-lvl split level.lvl parts"}},
    };
}

int SplitCommand::Execute(const ParsedArguments& parsed, std::ostream& out, std::ostream& err) {
    const std::string& levelPath = parsed.operands[0];
    const std::string& folder = parsed.operands[1];
    LevelFileReader level(levelPath);
    if (level.TrailingBytes() != 0) {
        err << ProgramName() << ": " << TrailingBytesWarning(levelPath, level.TrailingBytes())
            << '\n';
    }
    LevelLayers layers;
    level.ForEachRecord([&](const LevelRecord& record) { layers.Add(record); });
    if (!layers.FitsMaps()) {
        throw FileError(Quoted(levelPath) + " has records up to x " +
                        std::to_string(layers.LargestX()) + " and y " +
                        std::to_string(layers.LargestY()) +
                        "; a map bitmap holds x and y up to 1023 (1024 x 1024 pixels), so it "
                        "cannot be split into maps");
    }

    InstallStopSignalHandlers();
    try {
        WriteFiles(levelPath, level.PrefixSize(), layers, folder);
    } catch (const RunInterrupted&) {
        EndByReceivedSignal();
    }

    if (const auto warning = LossWarning(levelPath, layers)) {
        err << ProgramName() << ": " << *warning << '\n';
    }
    if (level.PrefixSize() < kShortestPrefix ||
        level.PrefixSize() > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) {
        err << ProgramName() << ": warning: the prefix of " << Quoted(levelPath) << " has "
            << level.PrefixSize() << " bytes; compose takes a tileset whose size field says "
            << kShortestPrefix << " to 2147483647\n";
    }
    if (layers.Records() == 0) {
        err << ProgramName() << ": warning: " << Quoted(levelPath)
            << " has no records, so there is no layer: compose needs one, but the tileset alone "
               "is the level ("
            << InFolder(folder, "tileset.bmp") << ")\n";
    }
    for (const std::uint8_t tile : layers.Tiles()) {
        out << static_cast<unsigned>(tile) << ':' << InFolder(folder, MapName(tile)) << '\n';
    }
    return kExitSuccess;
}

}  // namespace quorbel::cli
