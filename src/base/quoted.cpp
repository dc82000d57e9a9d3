#include "base/quoted.h"

#include <algorithm>
#include <cstdio>

namespace quorbel {
namespace {

std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const auto byte = static_cast<unsigned char>(text.front());
        const std::size_t length = byte < 0x80 ? 1 : Utf8SequenceLength(text);
        if (byte >= 0x80 && length > 0) {
            out.append(text.substr(0, length));
            text.remove_prefix(length);
            continue;
        }
        if (byte < 0x20 || byte == 0x7F || byte >= 0x80) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += static_cast<char>(byte);
        }
        text.remove_prefix(1);
    }
    return out;
}

std::string Shortened(std::string_view text, std::size_t longest) {
    if (text.size() <= longest || longest < 8) {
        return Escaped(text);
    }
    // Cut at a character boundary on either side.
    std::size_t head = (longest - 3) / 2;
    while (head > 0 && (static_cast<unsigned char>(text[head]) & 0xC0) == 0x80) {
        --head;
    }
    std::size_t tail = text.size() - (longest - 3 - (longest - 3) / 2);
    while (tail < text.size() && (static_cast<unsigned char>(text[tail]) & 0xC0) == 0x80) {
        ++tail;
    }
    return Escaped(text.substr(0, head)) + "..." + Escaped(text.substr(tail));
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = at(0);
    std::size_t length = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;  // the allowed range of the second byte
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || at(1) < low || at(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if ((at(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

std::string Quoted(std::string_view text, std::size_t longest) {
    return "'" + Shortened(text, longest) + "'";
}

std::string ShellQuoted(std::string_view text) {
    bool plain = true;
    for (std::string_view rest = text; !rest.empty();) {
        const auto byte = static_cast<unsigned char>(rest.front());
        const std::size_t length = Utf8SequenceLength(rest);
        if (length == 0 || byte < 0x20 || byte == 0x7F) {
            plain = false;
            break;
        }
        rest.remove_prefix(length);
    }
    std::string out = plain ? "'" : "$'";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (plain) {
            out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        } else if (c == '\'' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F || byte >= 0x80) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "'";
}

std::string DoubleQuoted(std::string_view text, std::size_t longest) {
    return "\"" + Shortened(text, longest) + "\"";
}

std::string JsonQuoted(std::string_view text) {
    std::string out = "\"";
    while (!text.empty()) {
        const char c = text.front();
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            const std::size_t length = Utf8SequenceLength(text);
            out += length == 0 ? std::string_view("\\ufffd") : text.substr(0, length);
            text.remove_prefix(std::max<std::size_t>(length, 1));
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
        text.remove_prefix(1);
    }
    return out + "\"";
}

std::string Counted(std::uint64_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace quorbel
