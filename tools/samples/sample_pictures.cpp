#include "samples/sample_pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "formats/monochrome_bmp.h"
#include "formats/tile_grid.h"
#include "samples/png_writer.h"

namespace quorbel::samples {
namespace {

constexpr int kTiles = 190;

struct Rgb {
    int r = 0, g = 0, b = 0;
};

void PutLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// The 14-byte file header and the 40-byte info header of a bottom-up, uncompressed BMP.
std::string BmpHeaders(int width, int height, int bitsPerPixel, std::uint32_t paletteEntries,
                       std::uint32_t pixelBytes) {
    const std::uint32_t dataOffset = 54 + 4 * paletteEntries;
    std::string out = "BM";
    PutLe(out, dataOffset + pixelBytes, 4);
    PutLe(out, 0, 4);
    PutLe(out, dataOffset, 4);
    PutLe(out, 40, 4);
    PutLe(out, static_cast<std::uint32_t>(width), 4);
    PutLe(out, static_cast<std::uint32_t>(height), 4);
    PutLe(out, 1, 2);
    PutLe(out, static_cast<std::uint32_t>(bitsPerPixel), 2);
    PutLe(out, 0, 4);
    PutLe(out, pixelBytes, 4);
    PutLe(out, 2835, 4);  // 72 dots per inch
    PutLe(out, 2835, 4);
    PutLe(out, paletteEntries, 4);
    PutLe(out, paletteEntries, 4);
    return out;
}

// Digits 0..9 in a 3 x 5 pixel font, one row of three bits per entry, top row first.
constexpr std::array<std::array<std::uint8_t, 5>, 10> kDigits{{
    {7, 5, 5, 5, 7},
    {2, 6, 2, 2, 7},
    {7, 1, 7, 4, 7},
    {7, 1, 7, 1, 7},
    {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7},
    {7, 4, 7, 5, 7},
    {7, 1, 2, 2, 2},
    {7, 5, 7, 5, 7},
    {7, 5, 7, 1, 7},
}};

Rgb FromHsv(double hue, double saturation, double value) {
    const double c = value * saturation;
    const double h = hue / 60.0;
    const double x = c * (1 - std::abs(std::fmod(h, 2.0) - 1));
    double r = 0, g = 0, b = 0;
    if (h < 1) {
        r = c, g = x;
    } else if (h < 2) {
        r = x, g = c;
    } else if (h < 3) {
        g = c, b = x;
    } else if (h < 4) {
        g = x, b = c;
    } else if (h < 5) {
        r = x, b = c;
    } else {
        r = c, b = x;
    }
    const double m = value - c;
    const auto byte = [m](double v) { return static_cast<int>(std::lround(255 * (v + m))); };
    return Rgb{byte(r), byte(g), byte(b)};
}

Rgb Shade(Rgb colour, double factor) {
    const auto scale = [factor](int v) {
        return std::clamp(static_cast<int>(std::lround(v * factor)), 0, 255);
    };
    return Rgb{scale(colour.r), scale(colour.g), scale(colour.b)};
}

class Canvas {
  public:
    Canvas(int width, int height) : width_(width), pixels_(width * height) {}
    void Set(int x, int y, Rgb colour) { pixels_[y * width_ + x] = colour; }
    Rgb At(int x, int y) const { return pixels_[y * width_ + x]; }

  private:
    int width_;
    std::vector<Rgb> pixels_;
};

void DrawTile(Canvas& canvas, int tile) {
    const auto [column, row] = CellOfTile(tile);
    const int left = column * kCellSide;
    const int top = row * kCellSide;
    // Hue runs along a row of cells, brightness and saturation change from row to row.
    const Rgb face = FromHsv(360.0 * column / kCellsPerRow, 0.45 + 0.05 * (row % 5),
                             row < 5 ? 0.95 - 0.06 * row : 0.75 - 0.06 * (row - 5));
    const Rgb light = Shade(face, 1.3);
    const Rgb dark = Shade(face, 0.55);
    for (int y = 0; y < kCellSide; ++y) {
        for (int x = 0; x < kCellSide; ++x) {
            const bool edgeLight = x == 0 || y == 0;
            const bool edgeDark = x == kCellSide - 1 || y == kCellSide - 1;
            canvas.Set(left + x, top + y, edgeDark ? dark : edgeLight ? light : face);
        }
    }
    const std::string number = std::to_string(tile);
    const int textWidth = 4 * static_cast<int>(number.size()) - 1;
    const int textLeft = left + (kCellSide - textWidth) / 2;
    const int textTop = top + 5;
    const bool bright = 299 * face.r + 587 * face.g + 114 * face.b > 140000;
    const Rgb ink = bright ? Rgb{20, 20, 28} : Rgb{250, 250, 250};
    for (std::size_t i = 0; i < number.size(); ++i) {
        const auto& glyph = kDigits[number[i] - '0'];
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 3; ++x) {
                if ((glyph[y] >> (2 - x)) & 1) {
                    canvas.Set(textLeft + 4 * static_cast<int>(i) + x, textTop + y, ink);
                }
            }
        }
    }
}

// The terrain's tiles: which sides of a cell are an edge of the ground, and which of two looks.
enum : int {
    kGrassTopLeft = kFirstTerrainTile,
    kGrassTop,
    kGrassTopOther,
    kGrassTopRight,
    kEarthLeft,
    kEarth,
    kEarthOther,
    kEarthRight,
    kEarthBottomLeft,
    kEarthBottom,
    kEarthBottomRight,
    kGrassTopNarrow,
};
static_assert(kGrassTopNarrow == kLastTerrainTile);

struct TerrainPiece {
    int tile;
    bool top, left, right, bottom;
    int look;
};
constexpr TerrainPiece kTerrain[] = {
    {kGrassTopLeft, true, true, false, false, 0},     {kGrassTop, true, false, false, false, 0},
    {kGrassTopOther, true, false, false, false, 1},   {kGrassTopRight, true, false, true, false, 0},
    {kEarthLeft, false, true, false, false, 0},       {kEarth, false, false, false, false, 0},
    {kEarthOther, false, false, false, false, 1},     {kEarthRight, false, false, true, false, 0},
    {kEarthBottomLeft, false, true, false, true, 0},  {kEarthBottom, false, false, false, true, 0},
    {kEarthBottomRight, false, false, true, true, 0}, {kGrassTopNarrow, true, true, true, false, 0},
};

// Earth speckled by position, edged in dark brown where the ground ends, under a band of grass
// whose blades hang into the earth.
Rgb TerrainPixel(const TerrainPiece& piece, int x, int y) {
    std::uint32_t mixed = static_cast<std::uint32_t>(x) * 374761393u +
                          static_cast<std::uint32_t>(y) * 668265263u +
                          static_cast<std::uint32_t>(piece.look) * 1442695041u;
    mixed = (mixed ^ (mixed >> 13)) * 1274126177u;
    const std::uint32_t speckle = (mixed ^ (mixed >> 16)) >> 27;  // 0..31
    const int grass = 6 + static_cast<int>((x * 5 + piece.look * 3) % 4 == 0) +
                      static_cast<int>((x * 3 + piece.look) % 7 == 0);
    if (piece.top && y < grass) {
        if (y < 2) {
            return Rgb{134, 208, 86};
        }
        return y + 1 < grass ? Rgb{80, 166, 54} : Rgb{50, 118, 40};
    }
    const bool edge = (piece.left && x < 2) || (piece.right && x > kCellSide - 3) ||
                      (piece.bottom && y > kCellSide - 3);
    if (edge) {
        return Rgb{86, 54, 30};
    }
    if (speckle < 3) {
        return Rgb{118, 76, 40};
    }
    if (speckle > 29) {
        return Rgb{178, 124, 70};
    }
    return Rgb{150, 100, 54};
}

void DrawTerrainTile(Canvas& canvas, const TerrainPiece& piece) {
    const auto [column, row] = CellOfTile(piece.tile);
    for (int y = 0; y < kCellSide; ++y) {
        for (int x = 0; x < kCellSide; ++x) {
            canvas.Set(column * kCellSide + x, row * kCellSide + y, TerrainPixel(piece, x, y));
        }
    }
}

// A grey stone block, bevelled, with a joint down its middle.
void DrawPlatformTile(Canvas& canvas) {
    const auto [column, row] = CellOfTile(kPlatformTile);
    for (int y = 0; y < kCellSide; ++y) {
        for (int x = 0; x < kCellSide; ++x) {
            Rgb colour{150, 150, 160};
            if (y == 0 || x == 0) {
                colour = Rgb{196, 196, 206};
            } else if (y == kCellSide - 1 || x == kCellSide - 1 || (x == 8 && y > 2 && y < 13)) {
                colour = Rgb{92, 92, 104};
            }
            canvas.Set(column * kCellSide + x, row * kCellSide + y, colour);
        }
    }
}

// Capital letters in a 5 x 7 pixel font, '#' for ink.
constexpr std::string_view kLetterQ = ".###.#...##...##...##.#.##..#..##.#";
constexpr std::string_view kLetterU = "#...##...##...##...##...##...#.###.";
constexpr std::string_view kLetterO = ".###.#...##...##...##...##...#.###.";
constexpr std::string_view kLetterR = "####.#...##...#####.#.#..#..#.#...#";
constexpr std::string_view kLetterB = "####.#...##...#####.#...##...#####.";
constexpr std::string_view kLetterE = "######....#....####.#....#....#####";
constexpr std::string_view kLetterL = "#....#....#....#....#....#....#####";

class Mask {
  public:
    Mask(int width, int height) : width_(width), height_(height), dark_(width * height, false) {}
    void Fill(int left, int top, int width, int height) {
        for (int y = std::max(top, 0); y < std::min(top + height, height_); ++y) {
            for (int x = std::max(left, 0); x < std::min(left + width, width_); ++x) {
                dark_[y * width_ + x] = true;
            }
        }
    }
    bool Dark(int x, int y) const { return dark_[y * width_ + x]; }

  private:
    int width_, height_;
    std::vector<bool> dark_;
};

Mask DrawMap() {
    Mask map(kMapWidth, kMapHeight);
    // Frame.
    map.Fill(0, 0, kMapWidth, 1);
    map.Fill(0, kMapHeight - 1, kMapWidth, 1);
    map.Fill(0, 0, 1, kMapHeight);
    map.Fill(kMapWidth - 1, 0, 1, kMapHeight);
    // The title, letters doubled in size.
    const std::string_view title[] = {kLetterQ, kLetterU, kLetterO, kLetterR,
                                      kLetterB, kLetterE, kLetterL};
    for (int letter = 0; letter < 7; ++letter) {
        for (int i = 0; i < 35; ++i) {
            if (title[letter][static_cast<std::size_t>(i)] == '#') {
                map.Fill(7 + 12 * letter + 2 * (i % 5), 4 + 2 * (i / 5), 2, 2);
            }
        }
    }
    // Floating platforms.
    map.Fill(8, 23, 14, 1);
    map.Fill(28, 27, 10, 1);
    map.Fill(58, 24, 12, 1);
    // Ground with a pit, a hill and stairs up to the right wall.
    map.Fill(1, 35, 40, 4);
    map.Fill(50, 35, 45, 4);
    map.Fill(10, 33, 12, 2);
    map.Fill(13, 31, 6, 2);
    for (int step = 0; step < 6; ++step) {
        map.Fill(76 + 3 * step, 33 - 2 * step, kMapWidth - 77 - 3 * step, 2);
    }
    return map;
}

// One pixel a coin, two rows above the ground they float over.
Mask DrawCoins() {
    Mask coins(kMapWidth, kMapHeight);
    const auto row = [&](int left, int right, int y, int step) {
        for (int x = left; x <= right; x += step) {
            coins.Fill(x, y, 1, 1);
        }
    };
    row(9, 20, 21, 2);   // over the first platform
    row(29, 37, 25, 2);  // the second
    row(59, 69, 22, 2);  // the third
    row(14, 17, 29, 1);  // on the hill
    row(43, 47, 30, 2);  // over the pit
    for (int step = 0; step < 6; ++step) {
        coins.Fill(77 + 3 * step, 31 - 2 * step, 1, 1);  // above each stair
    }
    return coins;
}

// The colours of the drawing, each listed in its palette.
constexpr Rgb kGroundColour{139, 90, 43};
constexpr Rgb kPlatformColour{128, 128, 128};
constexpr Rgb kCoinColour{255, 215, 0};
constexpr const char* kTerrainName = "grass";

// The map's landscape without its frame and title, running out at the picture's edges, and a
// floating island of ground that shows the terrain's corners.
Mask DrawGround() {
    Mask ground(kMapWidth, kMapHeight);
    ground.Fill(0, 35, 40, 5);
    ground.Fill(50, 35, 46, 5);
    ground.Fill(10, 33, 12, 2);
    ground.Fill(13, 31, 6, 2);
    for (int step = 0; step < 6; ++step) {
        ground.Fill(76 + 3 * step, 33 - 2 * step, kMapWidth - 76 - 3 * step, 2);
    }
    ground.Fill(41, 10, 10, 4);
    return ground;
}

Mask DrawPlatforms() {
    Mask platforms(kMapWidth, kMapHeight);
    platforms.Fill(8, 23, 14, 1);
    platforms.Fill(28, 27, 10, 1);
    platforms.Fill(58, 24, 12, 1);
    return platforms;
}

std::uint32_t Opaque(Rgb colour) {
    return 0xFF000000u | static_cast<std::uint32_t>(colour.r) << 16 |
           static_cast<std::uint32_t>(colour.g) << 8 | static_cast<std::uint32_t>(colour.b);
}

std::string PaletteLine(Rgb colour, const std::string& name) {
    char numbers[16];
    std::snprintf(numbers, sizeof numbers, "%3d %3d %3d\t", colour.r, colour.g, colour.b);
    return numbers + name + "\n";
}

std::string RuleText(const std::string& comment, std::initializer_list<int> tiles,
                     const char* rows) {
    std::string text = "rule";
    for (const int tile : tiles) {
        text += " " + std::to_string(tile);
    }
    return text + "  # " + comment + "\n" + rows;
}

}  // namespace

std::string TilesetBmp() {
    Canvas canvas(kTilesetWidth, kTilesetHeight);
    for (int tile = 1; tile <= kTiles; ++tile) {
        DrawTile(canvas, tile);
    }
    for (const TerrainPiece& piece : kTerrain) {
        DrawTerrainTile(canvas, piece);
    }
    DrawPlatformTile(canvas);
    const int rowBytes = 3 * kTilesetWidth;  // 912, already a multiple of 4
    std::string out = BmpHeaders(kTilesetWidth, kTilesetHeight, 24, 0,
                                 static_cast<std::uint32_t>(rowBytes * kTilesetHeight));
    for (int y = kTilesetHeight - 1; y >= 0; --y) {  // bottom row first
        for (int x = 0; x < kTilesetWidth; ++x) {
            const Rgb pixel = canvas.At(x, y);
            out += static_cast<char>(pixel.b);
            out += static_cast<char>(pixel.g);
            out += static_cast<char>(pixel.r);
        }
    }
    return out;
}

std::string MapBmp() {
    const Mask map = DrawMap();
    const int rowBytes = 4 * ((kMapWidth + 31) / 32);
    std::string out =
        BmpHeaders(kMapWidth, kMapHeight, 1, 2, static_cast<std::uint32_t>(rowBytes * kMapHeight));
    PutLe(out, 0x00000000, 4);  // entry 0: black, the dark pixels that become tiles
    PutLe(out, 0x00FFFFFF, 4);  // entry 1: white
    for (int y = kMapHeight - 1; y >= 0; --y) {
        std::string row(static_cast<std::size_t>(rowBytes), '\0');
        for (int x = 0; x < kMapWidth; ++x) {
            if (!map.Dark(x, y)) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
            }
        }
        out += row;
    }
    return out;
}

std::string CoinsBmp() {
    const Mask coins = DrawCoins();
    return MonochromeBmpBytes(kMapWidth, kMapHeight,
                              [&](int x, int y) { return coins.Dark(x, y); });
}

}  // namespace quorbel::samples

namespace quorbel::samples {

std::string DrawingPng() {
    const Mask ground = DrawGround();
    const Mask platforms = DrawPlatforms();
    const Mask coins = DrawCoins();
    return RgbaPng(kMapWidth, kMapHeight, [&](int x, int y) -> std::uint32_t {
        if (ground.Dark(x, y)) {
            return Opaque(kGroundColour);
        }
        if (platforms.Dark(x, y)) {
            return Opaque(kPlatformColour);
        }
        return coins.Dark(x, y) ? Opaque(kCoinColour) : 0;
    });
}

std::string PaletteGpl() {
    return "GIMP Palette\nName: Quorbel sample drawing\nColumns: 3\n"
           "# One colour per kind of cell. The last word of a name is the tile of every cell\n"
           "# of that colour, or a terrain whose tiles sample-rules.txt picks.\n" +
           PaletteLine(kGroundColour, std::string("ground ") + kTerrainName) +
           PaletteLine(kPlatformColour, "platform " + std::to_string(kPlatformTile)) +
           PaletteLine(kCoinColour, "coin " + std::to_string(kCoinTile));
}

std::string RulesText() {
    return std::string(
               "# The ground of the sample drawing: earth with a grass top, edged where it "
               "ends.\nterrain ") +
           kTerrainName + "\noutside X  # the ground goes on past the picture's edges\nfill " +
           std::to_string(kEarth) + " " + std::to_string(kEarthOther) +
           "  # earth, two looks mixed by position\n" +
           RuleText("a grass top one cell wide", {kGrassTopNarrow}, "  ? . ?\n  . X .\n  ? ? ?\n") +
           RuleText("grass top, left corner", {kGrassTopLeft}, "  ? . ?\n  . X ?\n  ? ? ?\n") +
           RuleText("grass top, right corner", {kGrassTopRight}, "  ? . ?\n  ? X .\n  ? ? ?\n") +
           RuleText("grass top", {kGrassTop, kGrassTopOther}, "  ? . ?\n  ? X ?\n  ? ? ?\n") +
           RuleText("bottom, left corner", {kEarthBottomLeft}, "  ? ? ?\n  . X ?\n  ? . ?\n") +
           RuleText("bottom, right corner", {kEarthBottomRight}, "  ? ? ?\n  ? X .\n  ? . ?\n") +
           RuleText("bottom", {kEarthBottom}, "  ? ? ?\n  ? X ?\n  ? . ?\n") +
           RuleText("left edge", {kEarthLeft}, "  ? ? ?\n  . X ?\n  ? ? ?\n") +
           RuleText("right edge", {kEarthRight}, "  ? ? ?\n  ? X .\n  ? ? ?\n");
}

}  // namespace quorbel::samples
