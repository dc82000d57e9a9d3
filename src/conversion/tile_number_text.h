// The tile number as the user types it: the text of the tile-number box made a 16-bit integer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorbel {

// Reads text as a decimal number: blanks around it, an optional sign, digits with an optional
// fraction after "." or after localePoint (the user's decimal separator, when it is another).
// A fraction rounds to the nearest integer, halves to the even neighbour, exactly as written.
// Throws TypeMismatchError for an empty text or one that is no number, OverflowError for a
// value outside -32768..32767.
std::int16_t TileNumberFromText(std::string_view text, std::string_view localePoint = ".");

// The decimal separator of the user's locale as the C library holds it, "." when none is set.
std::string LocaleDecimalPoint();

}  // namespace quorbel
