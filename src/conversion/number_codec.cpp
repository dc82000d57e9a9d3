#include "conversion/number_codec.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <system_error>

#include "base/errors.h"
#include "conversion/checked_int.h"

namespace quorbel::modModule {
namespace {

// Character positions are 16-bit counters: a loop over 32767 characters would step past 32767.
constexpr std::size_t kLongestText = 32766;

void CheckTextLength(const std::string& text, const char* operation) {
    if (text.size() > kLongestText) {
        throw OverflowError(std::string("overflow: ") + operation + " on a text of " +
                            std::to_string(text.size()) + " characters (at most 32766)");
    }
}

template <typename Float>
std::string FixedText(Float value) {
    // Enough for the longest fixed form of a double (309 integer digits and 1074 fraction digits).
    std::array<char, 1100> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed);
    if (result.ec != std::errc{}) {
        throw OverflowError("overflow: a quotient has no decimal text of this length");
    }
    return std::string(buffer.data(), result.ptr);
}

}  // namespace

std::string ByteToBits(std::int16_t& value) {
    std::string bits;
    bits.reserve(8);
    for (int i = 7; i >= 0; --i) {
        const int weight = 1 << i;
        if (value - weight >= 0) {
            value = static_cast<std::int16_t>(value - weight);
            bits += '1';
        } else {
            bits += '0';
        }
    }
    return bits;
}

std::string ReverseString(const std::string& text) {
    CheckTextLength(text, "ReverseString");
    return std::string(text.rbegin(), text.rend());
}

std::int32_t BitsToNumber(const std::string& bits) {
    const std::string reversed = ReverseString(bits);
    std::int64_t result = 0;
    for (std::size_t k = 0; k < reversed.size(); ++k) {
        if (reversed[k] != '1') {
            continue;
        }
        if (k >= 31) {
            throw OverflowError("overflow: binary numeral of 2^31 or more (digit of weight 2^" +
                                std::to_string(k) + ")");
        }
        result += std::int64_t{1} << k;
        if (result > std::numeric_limits<std::int32_t>::max()) {
            throw OverflowError("overflow: binary numeral of 2^31 or more");
        }
    }
    return static_cast<std::int32_t>(result);
}

std::int32_t BytesToNumber(const std::string& bytes) {
    const std::string reversed = ReverseString(bytes);
    std::string bits;
    bits.reserve(8 * reversed.size());
    for (const char byte : reversed) {
        std::int16_t temporary = static_cast<unsigned char>(byte);
        bits += ByteToBits(temporary);
    }
    return BitsToNumber(bits);
}

std::int16_t RoundDown(const std::string& text) {
    bool subtractHalf = false;
    for (const std::string_view needle : {".9", ".8", ".7", ".6", ".5"}) {
        if (text.find(needle) != std::string::npos) {
            subtractHalf = true;
        }
    }
    double value = 0;
    const char* const end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range && result.ptr == end) {
        throw OverflowError("overflow: \"" + text + "\" is out of range");
    }
    if (text.empty() || result.ec != std::errc{} || result.ptr != end || std::isnan(value)) {
        throw TypeMismatchError("type mismatch: \"" + text + "\" is not a number");
    }
    if (subtractHalf) {
        value -= 0.5;
    }
    const double whole = std::floor(value);
    if (!(whole >= -32768.0 && whole <= 32767.0)) {
        throw OverflowError("overflow: RoundDown(\"" + text + "\") leaves -32768..32767");
    }
    return static_cast<std::int16_t>(whole);
}

std::string DecimalText(double value) {
    return FixedText(value);
}

std::string DecimalText(float value) {
    return FixedText(value);
}

std::string IntegerText(std::int64_t value) {
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

}  // namespace quorbel::modModule
