#include "conversion/tile_number_text.h"

#include <charconv>
#include <clocale>
#include <string>

#include "base/errors.h"
#include "base/quoted.h"

namespace quorbel {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view TakeDigits(std::string_view& text) {
    std::size_t count = 0;
    while (count < text.size() && IsDigit(text[count])) {
        ++count;
    }
    const std::string_view digits = text.substr(0, count);
    text.remove_prefix(count);
    return digits;
}

bool TakePoint(std::string_view& text, std::string_view localePoint) {
    for (const std::string_view point : {std::string_view("."), localePoint}) {
        if (!point.empty() && text.starts_with(point)) {
            text.remove_prefix(point.size());
            return true;
        }
    }
    return false;
}

// Rounding of the digits after the point, halves to even: +1 when the magnitude goes up.
int RoundingStep(std::string_view fraction, bool wholeIsOdd) {
    if (fraction.empty() || fraction[0] < '5') {
        return 0;
    }
    if (fraction[0] > '5' || fraction.substr(1).find_first_not_of('0') != std::string_view::npos) {
        return 1;
    }
    return wholeIsOdd ? 1 : 0;
}

}  // namespace

std::int16_t TileNumberFromText(std::string_view text, std::string_view localePoint) {
    // A message quotes at most 60 characters: the cause stays one readable line.
    const std::string quoted = DoubleQuoted(text, 60);
    std::string_view rest = TrimBlanks(text);
    bool negative = false;
    if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    std::string_view whole = TakeDigits(rest);
    std::string_view fraction;
    if (TakePoint(rest, localePoint)) {
        fraction = TakeDigits(rest);
    }
    if (!rest.empty() || (whole.empty() && fraction.empty())) {
        throw TypeMismatchError("type mismatch: tile number " + quoted + " is not a number");
    }

    whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
    constexpr std::size_t kMostDigits = 6;  // enough to tell 32768 and more from the range
    if (whole.size() > kMostDigits) {
        throw OverflowError("overflow: tile number " + quoted + " leaves -32768..32767");
    }
    long magnitude = 0;
    if (!whole.empty()) {
        std::from_chars(whole.data(), whole.data() + whole.size(), magnitude);
    }
    magnitude += RoundingStep(fraction, magnitude % 2 != 0);
    const long value = negative ? -magnitude : magnitude;
    if (value < -32768 || value > 32767) {
        throw OverflowError("overflow: tile number " + quoted + " leaves -32768..32767");
    }
    return static_cast<std::int16_t>(value);
}

std::string LocaleDecimalPoint() {
    const std::lconv* conventions = std::localeconv();
    if (conventions == nullptr || conventions->decimal_point == nullptr ||
        *conventions->decimal_point == '\0') {
        return ".";
    }
    return conventions->decimal_point;
}

}  // namespace quorbel
