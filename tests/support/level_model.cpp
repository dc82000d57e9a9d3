#include "support/level_model.h"

#include <algorithm>
#include <set>
#include <stdexcept>

namespace quorbel::test::model {
namespace {

unsigned ByteAt(const std::string& bytes, std::size_t offset) {
    return static_cast<unsigned char>(bytes.at(offset));
}

// "62 0 0 0  :: 62": each byte and a space, then " :: " and the value.
std::string FieldText(const std::string& bmp, std::size_t offset, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += std::to_string(ByteAt(bmp, offset + i)) + " ";
    }
    return text + " :: " + std::to_string(LittleEndian(bmp, offset, count));
}

}  // namespace

std::uint64_t LittleEndian(const std::string& bytes, std::size_t offset, std::size_t count) {
    std::uint64_t value = 0;
    for (std::size_t i = count; i > 0; --i) {
        value = value * 256 + ByteAt(bytes, offset + i - 1);
    }
    return value;
}

std::vector<Tile> TilesOf(const std::string& bmp, int tileNumber) {
    if (bmp.size() < 62) {
        throw std::invalid_argument("no room for a header and a palette");
    }
    const auto width = static_cast<std::size_t>(LittleEndian(bmp, 18, 4));
    const auto height = static_cast<std::size_t>(LittleEndian(bmp, 22, 4));
    const unsigned darkBit = ByteAt(bmp, 54) == 255 ? 1 : 0;
    const std::size_t bytesPerRow = (width + 31) / 32 * 4;
    if (bmp.size() < 62 + height * bytesPerRow) {
        throw std::invalid_argument("fewer rows than the height");
    }
    std::vector<Tile> tiles;
    for (std::size_t stored = 0; stored < height; ++stored) {
        const std::size_t rowStart = 62 + stored * bytesPerRow;
        for (std::size_t x = 0; x < width; ++x) {
            const unsigned bit = (ByteAt(bmp, rowStart + x / 8) >> (7 - x % 8)) & 1;
            if (bit == darkBit) {
                tiles.push_back(
                    Tile{static_cast<int>(x), static_cast<int>(height - 1 - stored), tileNumber});
            }
        }
    }
    return tiles;
}

std::vector<Tile> TilesOfDarkPixels(int width, int height,
                                    const std::function<bool(int x, int y)>& dark, int tileNumber) {
    std::vector<Tile> tiles;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            if (dark(x, y)) {
                tiles.push_back(Tile{x, y, tileNumber});
            }
        }
    }
    return tiles;
}

std::vector<Tile> RecordsOf(const std::string& level, std::size_t prefixLength) {
    if (level.size() < prefixLength || (level.size() - prefixLength) % 4 != 0) {
        throw std::invalid_argument("not a prefix followed by whole records");
    }
    std::vector<Tile> tiles;
    for (std::size_t at = prefixLength; at < level.size(); at += 4) {
        const std::uint64_t word = LittleEndian(level, at, 4);
        tiles.push_back(Tile{static_cast<int>(word & 0xFFF), static_cast<int>((word >> 12) & 0xFFF),
                             static_cast<int>(word >> 24)});
    }
    return tiles;
}

std::vector<Tile> ComposedFromMaps(const std::vector<Tile>& records) {
    std::vector<int> order;
    for (const Tile& record : records) {
        if (std::find(order.begin(), order.end(), record.tile) == order.end()) {
            order.push_back(record.tile);
        }
    }
    std::vector<Tile> composed;
    for (const int tile : order) {
        std::set<std::pair<int, int>> positions;  // (-y, x): the order compose writes them in
        for (const Tile& record : records) {
            if (record.tile == tile) {
                positions.insert({-record.y, record.x});
            }
        }
        for (const auto& [minusY, x] : positions) {
            composed.push_back(Tile{x, -minusY, tile});
        }
    }
    return composed;
}

std::optional<std::string> FullReport(const std::string& bmp) {
    if (bmp.size() < 30) {
        return std::nullopt;
    }
    const std::size_t paletteEnd = ByteAt(bmp, 10);  // the data offset's low byte
    if (paletteEnd < 8 || bmp.size() < paletteEnd) {
        return std::nullopt;
    }
    const std::uint64_t width = LittleEndian(bmp, 18, 4);
    const std::uint64_t padding = width % 32 == 0 ? 0 : 32 - width % 32;
    std::string report =
        "DataOffset: " + FieldText(bmp, 10, 4) + "\r\nWidth: " + FieldText(bmp, 18, 4) +
        "\r\nHeight: " + FieldText(bmp, 22, 4) + "\r\nColor Type: " + FieldText(bmp, 28, 2);
    for (std::size_t entry = 0; entry < 2; ++entry) {
        report += "\r\nPalletData(" + std::to_string(entry) + "): ";
        for (std::size_t k = 0; k < 3; ++k) {
            report += std::to_string(ByteAt(bmp, paletteEnd - 8 + 4 * entry + k)) + " ";
        }
    }
    report += "\r\nMonochrome Bit Padding: " + std::to_string(padding) + " bits";
    report += "\r\n" + std::to_string((width + padding) / 8) + " Bytes per line";
    return report;
}

}  // namespace quorbel::test::model
