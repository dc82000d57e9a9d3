// The small text files that paint reads beside the picture (the palette, the rules): read whole
// through the file layer, split into numbered lines as editors on any system save them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorbel::paint {

// The largest palette or rules file read; longer ones are no legend a person wrote.
inline constexpr std::size_t kLargestTextFile = std::size_t{1} << 20;

// The file's bytes. Throws FileError when it cannot be read, or holds more than kLargestTextFile
// bytes (checked before they are read).
std::string ReadTextFile(const std::string& path);

// text's lines, the first being line 1: split at LF, each line's CR before the LF dropped, a UTF-8
// byte order mark at the start dropped.
std::vector<std::string_view> TextLines(std::string_view text);

// text without the spaces and tabs at either end.
std::string_view Trimmed(std::string_view text);

// The words of text, separated by spaces and tabs.
std::vector<std::string_view> Words(std::string_view text);

// The value of a word of decimal digits 0..255 (leading zeros allowed); nothing for any other.
std::optional<int> ByteNumber(std::string_view word);

}  // namespace quorbel::paint
