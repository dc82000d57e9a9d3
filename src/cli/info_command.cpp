#include "cli/info_command.h"

#include <algorithm>
#include <ostream>

#include "base/quoted.h"
#include "cli/conversion_notes.h"
#include "command/command_line.h"
#include "formats/level_file.h"
#include "formats/level_stats.h"

namespace quorbel::cli {

using command::Completion;
using command::Paragraph;
using command::ParsedArguments;
namespace {

struct LevelInfo {
    std::string path;
    std::uint64_t fileSize = 0;
    std::uint32_t prefixSize = 0;
    std::optional<PrefixPicture> picture;
    std::uint64_t trailingBytes = 0;
    LevelStats stats;
};

LevelInfo ReadLevelInfo(const std::string& path) {
    LevelFileReader reader(path);
    LevelStatsCollector collector;
    reader.ForEachRecord([&](const LevelRecord& record) { collector.Add(record); });
    return LevelInfo{path,
                     reader.FileSize(),
                     reader.PrefixSize(),
                     reader.Picture(),
                     reader.TrailingBytes(),
                     collector.Result()};
}

std::string Records(std::uint64_t count) {
    return Counted(count, "record", "records");
}

void PrintText(const LevelInfo& info, std::ostream& out) {
    const LevelStats& stats = info.stats;
    // Quoted, so that no name can make a line of its own.
    out << "file: " << Quoted(info.path) << "\nfile size: " << info.fileSize
        << " bytes\nprefix: " << info.prefixSize << " bytes\nprefix picture: ";
    if (info.picture) {
        out << info.picture->width << " x " << info.picture->height << ", "
            << info.picture->bitsPerPixel << " bits per pixel\n";
    } else {
        out << "none (the prefix does not begin with a BMP header)\n";
    }
    out << "records: " << stats.records << "\ntrailing bytes: " << info.trailingBytes
        << "\nbounds: ";
    if (stats.bounds) {
        out << "x " << stats.bounds->minX << ".." << stats.bounds->maxX << ", y "
            << stats.bounds->minY << ".." << stats.bounds->maxY << '\n';
    } else {
        out << "none\n";
    }
    int tilesUsed = 0;
    for (const std::uint64_t count : stats.tileCounts) {
        tilesUsed += count != 0 ? 1 : 0;
    }
    out << "tile numbers used: " << tilesUsed << '\n';
    for (int tile = 0; tile < 256; ++tile) {
        if (stats.tileCounts[tile] != 0) {
            out << "  tile " << tile << ": " << Records(stats.tileCounts[tile]) << '\n';
        }
    }
    out << "repeated positions: " << stats.duplicatedPositions;
    if (stats.duplicatedPositions != 0) {
        out << " (" << stats.surplusRecords << " surplus)";
    }
    out << '\n';
    for (const DuplicatePosition& d : stats.listedDuplicates) {
        out << "  x " << d.x << ", y " << d.y << ": " << Records(d.count) << '\n';
    }
    if (stats.listedDuplicates.size() < stats.duplicatedPositions) {
        out << "  (the first " << stats.listedDuplicates.size() << " found are listed)\n";
    }
}

void PrintJson(const LevelInfo& info, std::ostream& out) {
    const LevelStats& stats = info.stats;
    out << "{\"file\":" << JsonQuoted(info.path) << ",\"fileSize\":" << info.fileSize
        << ",\"prefix\":{\"size\":" << info.prefixSize << ",\"picture\":";
    if (info.picture) {
        out << "{\"width\":" << info.picture->width << ",\"height\":" << info.picture->height
            << ",\"bitsPerPixel\":" << info.picture->bitsPerPixel << '}';
    } else {
        out << "null";
    }
    out << "},\"records\":" << stats.records << ",\"trailingBytes\":" << info.trailingBytes
        << ",\"bounds\":";
    if (stats.bounds) {
        out << "{\"minX\":" << stats.bounds->minX << ",\"maxX\":" << stats.bounds->maxX
            << ",\"minY\":" << stats.bounds->minY << ",\"maxY\":" << stats.bounds->maxY << '}';
    } else {
        out << "null";
    }
    out << ",\"tiles\":[";
    const char* separator = "";
    for (int tile = 0; tile < 256; ++tile) {
        if (stats.tileCounts[tile] != 0) {
            out << separator << "{\"tile\":" << tile << ",\"count\":" << stats.tileCounts[tile]
                << '}';
            separator = ",";
        }
    }
    out << "],\"repeats\":{\"positions\":" << stats.duplicatedPositions
        << ",\"surplusRecords\":" << stats.surplusRecords << ",\"listed\":[";
    separator = "";
    for (const DuplicatePosition& d : stats.listedDuplicates) {
        out << separator << "{\"x\":" << d.x << ",\"y\":" << d.y << ",\"count\":" << d.count << '}';
        separator = ",";
    }
    out << "],\"complete\":"
        << (stats.listedDuplicates.size() == stats.duplicatedPositions ? "true" : "false")
        << "}}\n";
}

}  // namespace

command::Declaration InfoCommand::Declare() const {
    return {
        .options = {{.name = "--json",
                     .help = "print the same as one JSON object on one line per LEVEL: {\"file\", "
                             "\"fileSize\", \"prefix\": {\"size\", \"picture\": {\"width\", "
                             "\"height\", \"bitsPerPixel\"} or null}, \"records\", "
                             "\"trailingBytes\", \"bounds\": {\"minX\", \"maxX\", \"minY\", "
                             "\"maxY\"} or null, \"tiles\": [{\"tile\", \"count\"}], "
                             "\"repeats\": {\"positions\", \"surplusRecords\", \"listed\": "
                             "[{\"x\", \"y\", \"count\"}], \"complete\"}}"}},
        .operands = {{"LEVEL", true, Completion::Files({"lvl"})}},
        .description =
            {Paragraph("Describes each level file LEVEL: a prefix (the tileset picture) of as "
                       "many bytes as the little-endian number at bytes 2..5 says, followed by "
                       "4-byte tile records. Prints the prefix size and the prefix picture's "
                       "width, height and bits per pixel; the number of records; the bytes after "
                       "the last whole record; the smallest and largest x and y; every tile "
                       "number used with its count; and the positions that hold more than one "
                       "record (the first 100 found are listed)."),
             Paragraph("A file shorter than 6 bytes, or one whose size field is beyond its end, "
                       "is no level file: it is named on standard error and the other levels are "
                       "still described.")},
        .output = {Paragraph("Standard output gets one block for each LEVEL, separated by a blank "
                             "line (with --json, one line each). Trailing bytes that make no "
                             "whole record are reported, with a warning on standard error. In "
                             "JSON, a byte of a file name that is not UTF-8 is written as "
                             "\\ufffd.")},
        .exitStatus = {{"0", "all described"},
                       {"1", "any of them not readable as a level file"},
                       {"64", "bad usage"}},
        .examples = {{"What the sample level holds:", "quorbel-lvl info sample.lvl"},
                     {"One JSON line for each level of the folder:",
                      "quorbel-lvl info --json *.lvl"}},
    };
}

int InfoCommand::Execute(const ParsedArguments& parsed, std::ostream& out, std::ostream& err) {
    bool first = true;
    return ForEachOperand(parsed.operands, err, [&](const std::string& path) {
        const LevelInfo info = ReadLevelInfo(path);
        if (info.trailingBytes != 0) {
            err << ProgramName() << ": " << TrailingBytesWarning(path, info.trailingBytes) << '\n';
        }
        if (parsed.Has("--json")) {
            PrintJson(info, out);
        } else {
            out << (first ? "" : "\n");
            PrintText(info, out);
        }
        first = false;
    });
}

}  // namespace quorbel::cli
