// The bundled samples, drawn by code so that no picture has to be shipped as a binary: a tileset
// of 190 tiles (numbered ones, and a terrain of earth with a grass top), a monochrome map to
// convert over it, a second layer of the same size (coins) to compose with the map, and a colour
// drawing with its palette and rules to paint.
#pragma once

#include <string>

namespace quorbel::samples {

inline constexpr int kTilesetWidth = 304;   // 19 cells of 16 pixels, a whole row of the tile grid
inline constexpr int kTilesetHeight = 160;  // 10 rows of cells
inline constexpr int kMapWidth = 96;
inline constexpr int kMapHeight = 40;

// The tiles drawn without a number: a terrain of earth with a grass top, its edges and corners
// (172..183), and a stone block for platforms.
inline constexpr int kFirstTerrainTile = 172;
inline constexpr int kLastTerrainTile = 183;
inline constexpr int kPlatformTile = 184;

// A 24-bit BMP file of 304 x 160 pixels: tile t, in column (t - 1) mod 19 and row (t - 1) div 19,
// is a bevelled block of its own colour with its number written on it, but for the terrain and
// the platform block.
std::string TilesetBmp();

// A 1-bit BMP file of 96 x 40 pixels with its pixels at offset 62 and palette entry 0 black: a
// framed landscape with the word QUORBEL, platforms and stairs, dark pixels being tiles.
std::string MapBmp();

// The coin tile: a yellow one.
inline constexpr int kCoinTile = 23;

// A 1-bit BMP file of 96 x 40 pixels as prepare writes it (palette entry 0 white, pixels at
// offset 62): a coin above every platform, on the hill and over each stair, none on the map's
// dark pixels.
std::string CoinsBmp();

// A colour drawing of the map's size, as a designer draws a level: a PNG of ground (the terrain
// "grass" of the rules), grey platforms and yellow coins on a transparent background.
std::string DrawingPng();

// The drawing's legend, a GIMP palette: one colour per kind of cell.
std::string PaletteGpl();

// The rules that give the terrain's cells their tiles by their neighbours.
std::string RulesText();

}  // namespace quorbel::samples
