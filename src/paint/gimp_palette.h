// The colour legend of a drawing: a GIMP palette (.gpl), the palette format that GIMP, Krita,
// Inkscape and Aseprite load and save, so that the designer draws with exactly its colours. Each
// colour's name ends in what its cells become: a tile number, or the name of a terrain whose
// tiles the rules pick by the neighbours.
//
//   GIMP Palette
//   Name: Level legend          (Name: and Columns: lines, # comments and blank lines ignored)
//   139  90  43	ground 171      (R G B NAME, as GIMP writes "%3d %3d %3d\t%s")
//    34 160  40	grass           (a terrain)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorbel::paint {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// "(139, 90, 43)", as messages show a colour.
std::string RgbText(Rgb colour);

// One colour line of a palette.
struct LegendEntry {
    Rgb colour;
    std::string name;                  // all of it, spaces inside kept
    int line = 0;                      // in the palette file, from 1
    std::optional<std::uint8_t> tile;  // when the name's last word is a tile number
    std::string terrain;               // else that last word: a terrain of the rules
    friend bool operator==(const LegendEntry&, const LegendEntry&) = default;
};

// The entries of text, the content of the palette file path, in file order. Throws RunTimeError
// "path:LINE: what is wrong" for a file that is no GIMP palette, a line that is no colour line, a
// name that ends in a number outside 0..255, a colour listed twice, or a terrain given two
// colours; "path: ..." for a palette without any colour.
std::vector<LegendEntry> ParseGimpPalette(std::string_view text, const std::string& path);

// The palette file at path. Throws FileError when it cannot be read, and as ParseGimpPalette.
std::vector<LegendEntry> ReadGimpPalette(const std::string& path);

}  // namespace quorbel::paint
