#include "formats/picture_kind.h"

#include <charconv>
#include <cstdlib>

#include "formats/bmp_header.h"

namespace quorbel {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";

// The whole number at the start of text, after blanks (and netpbm's comments, from '#' to the
// line's end); text is moved past it. Nothing when there is none.
std::optional<std::int64_t> NextNumber(std::string_view& text, bool comments) {
    while (!text.empty() && (kBlanks.find(text.front()) != std::string_view::npos ||
                             (comments && text.front() == '#'))) {
        if (text.front() == '#') {
            const std::size_t end = text.find('\n');
            text.remove_prefix(end == std::string_view::npos ? text.size() : end);
        } else {
            text.remove_prefix(1);
        }
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) {
        return std::nullopt;
    }
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

// "P4 64 32 ...": the two numbers after the magic.
std::optional<PictureSides> NetpbmSides(std::string_view bytes) {
    bytes.remove_prefix(2);
    const auto width = NextNumber(bytes, true);
    const auto height = width ? NextNumber(bytes, true) : std::nullopt;
    if (!height) {
        return std::nullopt;
    }
    return PictureSides{*width, *height};
}

// The first string of the C array holds "WIDTH HEIGHT COLOURS CHARACTERS".
std::optional<PictureSides> XpmSides(std::string_view bytes) {
    const std::size_t quote = bytes.find('"');
    if (quote == std::string_view::npos) {
        return std::nullopt;
    }
    bytes.remove_prefix(quote + 1);
    const auto width = NextNumber(bytes, false);
    const auto height = width ? NextNumber(bytes, false) : std::nullopt;
    if (!height) {
        return std::nullopt;
    }
    return PictureSides{*width, *height};
}

}  // namespace

std::optional<PictureKind> PictureKindOf(std::string_view leading) {
    struct Signature {
        std::string_view start;
        PictureKind kind;
    };
    static constexpr Signature kSignatures[] = {
        {"BM", PictureKind::Bmp},
        {"\x89PNG\r\n\x1A\n", PictureKind::Png},
        {"GIF87a", PictureKind::Gif},
        {"GIF89a", PictureKind::Gif},
        {"\xFF\xD8\xFF", PictureKind::Jpeg},
        {"/* XPM */", PictureKind::Xpm},
    };
    for (const Signature& signature : kSignatures) {
        if (leading.starts_with(signature.start)) {
            return signature.kind;
        }
    }
    // netpbm: "P" and a digit (plain or raw), then a blank.
    if (leading.size() >= 3 && leading[0] == 'P' && leading[1] >= '1' && leading[1] <= '6' &&
        kBlanks.find(leading[2]) != std::string_view::npos) {
        static constexpr PictureKind kNetpbm[] = {PictureKind::Pbm, PictureKind::Pgm,
                                                  PictureKind::Ppm};
        return kNetpbm[(leading[1] - '1') % 3];
    }
    return std::nullopt;
}

std::string_view NameOf(PictureKind kind) {
    switch (kind) {
        case PictureKind::Bmp:
            return "BMP";
        case PictureKind::Png:
            return "PNG";
        case PictureKind::Gif:
            return "GIF";
        case PictureKind::Jpeg:
            return "JPEG";
        case PictureKind::Pbm:
            return "PBM";
        case PictureKind::Pgm:
            return "PGM";
        case PictureKind::Ppm:
            return "PPM";
        case PictureKind::Xpm:
            return "XPM";
    }
    return "?";
}

std::string APictureOf(PictureKind kind) {
    return std::string(kind == PictureKind::Xpm ? "an " : "a ") + std::string(NameOf(kind)) +
           " picture";
}

std::optional<PictureSides> HeaderSides(PictureKind kind, std::string_view bytes) {
    switch (kind) {
        case PictureKind::Bmp: {
            const auto picture = BmpHeader(bytes).Picture();
            if (!picture) {
                return std::nullopt;
            }
            return PictureSides{picture->width, std::abs(std::int64_t{picture->height})};
        }
        case PictureKind::Pbm:
        case PictureKind::Pgm:
        case PictureKind::Ppm:
            return NetpbmSides(bytes);
        case PictureKind::Xpm:
            return XpmSides(bytes);
        case PictureKind::Png:
        case PictureKind::Gif:
        case PictureKind::Jpeg:
            break;
    }
    return std::nullopt;
}

}  // namespace quorbel
