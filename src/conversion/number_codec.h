// Numbers read out of file bytes, and quotients made whole, by way of text: a byte becomes eight
// binary digits, a field a text of binary digits, and a quotient is rounded through its decimal
// text.
#pragma once

#include <cstdint>
#include <string>

namespace quorbel::modModule {

// Eight characters "0"/"1", most significant bit first. Consumes value: 0..255 ends at 0, 256 or
// more gives "11111111" and leaves value - 255, a negative value gives "00000000" and stays.
std::string ByteToBits(std::int16_t& value);

// text with its characters in reverse order. Throws OverflowError for 32767 characters or more.
std::string ReverseString(const std::string& text);

// The binary numeral bits read most significant digit first; any character but "1" counts as 0.
// Throws OverflowError for a value of 2^31 or more, or a text of 32767 characters or more.
std::int32_t BitsToNumber(const std::string& bits);

// The unsigned little-endian value of a byte string. Throws OverflowError for a value of 2^31 or
// more, or for a string of 4096 bytes or more.
std::int32_t BytesToNumber(const std::string& bytes);

// The greatest integer not above the number in text, after taking 0.5 off when text contains any
// of ".9" ".8" ".7" ".6" ".5". Throws TypeMismatchError when text is no number (empty included),
// OverflowError when the result leaves -32768..32767.
std::int16_t RoundDown(const std::string& text);

// Plain decimal text with "." as point, no exponent, no trailing zeros: 1.171875, 2.5, 3, -1.5.
// The shortest text that reads back as the same value, independent of any locale.
std::string DecimalText(double value);
std::string DecimalText(float value);

// Plain decimal text of a whole number: no leading zeros, spaces or grouping; "-" when negative.
std::string IntegerText(std::int64_t value);

}  // namespace quorbel::modModule
