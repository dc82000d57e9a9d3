// Texts and file names quoted for messages, and counts in words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace quorbel {

// text between single quotes, with control characters and bytes that are no UTF-8 text written
// as \xHH, so that a message stays one readable line. A text longer than longest characters keeps
// its start and end around "...".
std::string Quoted(std::string_view text,
                   std::size_t longest = std::numeric_limits<std::size_t>::max());

// The same between double quotes.
std::string DoubleQuoted(std::string_view text,
                         std::size_t longest = std::numeric_limits<std::size_t>::max());

// text as one word for a shell, for a command line that the user may paste: between single quotes,
// or, when it holds control characters or bytes that are no UTF-8 text, as bash's $'...' with
// those bytes written \xHH, so that the command stays one line.
std::string ShellQuoted(std::string_view text);

// text as a JSON string. JSON holds Unicode text only: a byte that is not part of valid UTF-8 (a
// file name in another encoding) is written as U+FFFD, as most JSON writers do.
std::string JsonQuoted(std::string_view text);

// "1 record", "2 records": count and the word that goes with it.
std::string Counted(std::uint64_t count, std::string_view one, std::string_view many);

// The length of the valid UTF-8 sequence at the start of text, or 0 when it starts with a byte
// that begins none (a stray continuation byte, an overlong or cut-short sequence, a surrogate).
std::size_t Utf8SequenceLength(std::string_view text);

}  // namespace quorbel
