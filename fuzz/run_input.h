// How one fuzz input of the conversion-run target carries its three parts:
//   [1 byte n][n bytes: tile-number text][2 bytes m, little-endian][m bytes: tileset][bitmap...]
// A part that the input is too short for is cut short, so every byte string is a valid input.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace quorbel::fuzz {

struct RunInput {
    std::string tileText;
    std::string tileset;
    std::string bitmap;
};

inline RunInput SplitRunInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::size_t at = 0;
    const auto take = [&](std::size_t count) {
        const std::string part = bytes.substr(at, std::min(count, bytes.size() - at));
        at += part.size();
        return part;
    };
    RunInput input;
    const std::string textLength = take(1);
    input.tileText = take(textLength.empty() ? 0 : static_cast<unsigned char>(textLength[0]));
    const std::string tilesetLength = take(2);
    std::size_t length = 0;
    for (std::size_t i = tilesetLength.size(); i > 0; --i) {
        length = length * 256 + static_cast<unsigned char>(tilesetLength[i - 1]);
    }
    input.tileset = take(length);
    input.bitmap = take(bytes.size() - at);
    return input;
}

// The input that SplitRunInput takes apart into these parts (texts and tilesets cut to fit).
inline std::string JoinRunInput(const RunInput& input) {
    const std::string text = input.tileText.substr(0, 255);
    const std::string tileset = input.tileset.substr(0, 65535);
    std::string bytes(1, static_cast<char>(text.size()));
    bytes += text;
    bytes += static_cast<char>(tileset.size() & 0xFF);
    bytes += static_cast<char>(tileset.size() >> 8);
    return bytes + tileset + input.bitmap;
}

}  // namespace quorbel::fuzz
