#include "paint/gimp_palette.h"

#include <algorithm>
#include <map>

#include "base/errors.h"
#include "base/quoted.h"
#include "paint/text_lines.h"

namespace quorbel::paint {
namespace {

constexpr std::string_view kFirstLine = "GIMP Palette";
constexpr const char* kColourLine =
    "a colour line is R G B NAME: three numbers 0..255 and a name that ends in a tile number "
    "(0..255) or a terrain name";

[[noreturn]] void Fail(const std::string& path, int line, const std::string& what) {
    throw RunTimeError(path + ":" + std::to_string(line) + ": " + what);
}

bool Ignored(std::string_view line) {
    return line.empty() || line.starts_with('#') || line.starts_with("Name:") ||
           line.starts_with("Columns:");
}

// A word that reads as a number of some kind (-1, +5, 1.5, 300, 7a) but is no tile number.
bool LooksNumeric(std::string_view word) {
    const std::size_t digit =
        word.starts_with('+') || word.starts_with('-') || word.starts_with('.') ? 1 : 0;
    return word.size() > digit && word[digit] >= '0' && word[digit] <= '9';
}

LegendEntry ParseColourLine(std::string_view text, int line, const std::string& path) {
    static constexpr const char* kChannels[] = {"red", "green", "blue"};
    const std::vector<std::string_view> words = Words(text);
    if (words.size() < 3) {
        Fail(path, line, Quoted(text) + " is no colour line: " + kColourLine);
    }
    int values[3] = {};
    for (int i = 0; i < 3; ++i) {
        const std::string_view word = words[static_cast<std::size_t>(i)];
        if (word.find_first_not_of("0123456789") != std::string_view::npos) {
            Fail(path, line, Quoted(text) + " is no colour line: " + kColourLine);
        }
        const auto value = ByteNumber(word);
        if (!value) {
            Fail(path, line,
                 std::string("the ") + kChannels[i] + " value " + Quoted(word) +
                     " is not in 0..255");
        }
        values[i] = *value;
    }
    LegendEntry entry;
    entry.colour = Rgb{static_cast<std::uint8_t>(values[0]), static_cast<std::uint8_t>(values[1]),
                       static_cast<std::uint8_t>(values[2])};
    entry.line = line;
    if (words.size() == 3) {
        Fail(path, line,
             "the colour " + RgbText(entry.colour) +
                 " has no name: end the line with a tile number (0..255) or a terrain name");
    }
    // The name runs from its first word to the end of the line.
    entry.name =
        std::string(Trimmed(text.substr(static_cast<std::size_t>(words[3].data() - text.data()))));
    const std::string_view last = words.back();
    if (const auto tile = ByteNumber(last)) {
        entry.tile = static_cast<std::uint8_t>(*tile);
    } else if (LooksNumeric(last)) {
        Fail(path, line,
             "the name " + Quoted(entry.name) + " ends in " + Quoted(last) +
                 ", which is no tile number 0..255 (nor a terrain name, which is no number)");
    } else {
        entry.terrain = std::string(last);
    }
    return entry;
}

}  // namespace

std::string RgbText(Rgb colour) {
    return "(" + std::to_string(colour.red) + ", " + std::to_string(colour.green) + ", " +
           std::to_string(colour.blue) + ")";
}

std::vector<LegendEntry> ParseGimpPalette(std::string_view text, const std::string& path) {
    const std::vector<std::string_view> lines = TextLines(text);
    if (lines.empty() || Trimmed(lines[0]) != kFirstLine) {
        Fail(path, 1,
             (lines.empty() ? std::string("the file is empty")
                            : "the first line is " + Quoted(lines[0], 60)) +
                 "; a GIMP palette begins with the line 'GIMP Palette'");
    }
    std::vector<LegendEntry> entries;
    std::map<std::uint32_t, std::size_t> byColour;  // to the entry's index
    std::map<std::string, int> terrainLines;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = Trimmed(lines[i]);
        if (Ignored(line)) {
            continue;
        }
        const int number = static_cast<int>(i + 1);
        LegendEntry entry = ParseColourLine(line, number, path);
        const std::uint32_t key =
            std::uint32_t{entry.colour.red} << 16 | entry.colour.green << 8 | entry.colour.blue;
        if (const auto earlier = byColour.find(key); earlier != byColour.end()) {
            const LegendEntry& first = entries[earlier->second];
            Fail(path, number,
                 "the colour " + RgbText(entry.colour) + " is listed again; line " +
                     std::to_string(first.line) + " has it already (" + Quoted(first.name) +
                     "): a colour stands for one kind of cell");
        }
        if (!entry.terrain.empty()) {
            const auto [earlier, added] = terrainLines.emplace(entry.terrain, number);
            if (!added) {
                Fail(path, number,
                     "the terrain " + Quoted(entry.terrain) + " has a colour already on line " +
                         std::to_string(earlier->second) + ": a terrain is one colour");
            }
        }
        byColour.emplace(key, entries.size());
        entries.push_back(std::move(entry));
    }
    if (entries.empty()) {
        throw RunTimeError(path + ": the palette lists no colour; " + kColourLine);
    }
    return entries;
}

std::vector<LegendEntry> ReadGimpPalette(const std::string& path) {
    return ParseGimpPalette(ReadTextFile(path), path);
}

}  // namespace quorbel::paint
