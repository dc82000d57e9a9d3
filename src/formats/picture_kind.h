// What kind of picture a file holds, told by its first bytes (never by its name), and the sides
// that its header states, for the kinds whose readers only find them by decoding.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorbel {

enum class PictureKind { Bmp, Png, Gif, Jpeg, Pbm, Pgm, Ppm, Xpm };

// The kind the bytes announce, or nothing for none of these.
std::optional<PictureKind> PictureKindOf(std::string_view leading);

// "BMP", "PNG", ...: the kind's name in messages.
std::string_view NameOf(PictureKind kind);

// "a PNG picture", "an XPM picture".
std::string APictureOf(PictureKind kind);

struct PictureSides {
    std::int64_t width = 0;
    std::int64_t height = 0;  // rows, whichever way they are stored
};

// The sides the header of a BMP, PBM, PGM, PPM or XPM picture states; nothing for another kind
// or a header cut short. A BMP stored top row first gives its rows as a positive height.
std::optional<PictureSides> HeaderSides(PictureKind kind, std::string_view bytes);

}  // namespace quorbel
