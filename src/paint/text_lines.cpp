#include "paint/text_lines.h"

#include "base/errors.h"
#include "base/quoted.h"
#include "files/file_system.h"

namespace quorbel::paint {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t";

}  // namespace

std::string ReadTextFile(const std::string& path) {
    InputFile file(path);
    if (file.Size() > kLargestTextFile) {
        throw FileError(Quoted(path) + " has " + std::to_string(file.Size()) +
                        " bytes, more than the " + std::to_string(kLargestTextFile) +
                        " read of a palette or rules file");
    }
    return file.Read(static_cast<std::size_t>(file.Size()));
}

std::vector<std::string_view> TextLines(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back(line);
    }
    return lines;
}

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    for (std::size_t start = text.find_first_not_of(kBlanks); start != std::string_view::npos;) {
        const std::size_t end = text.find_first_of(kBlanks, start);
        words.push_back(text.substr(start, end - start));
        start = text.find_first_not_of(kBlanks, end);
    }
    return words;
}

std::optional<int> ByteNumber(std::string_view word) {
    if (word.empty() || word.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    int value = 0;
    for (const char digit : word) {
        value = 10 * value + (digit - '0');
        if (value > 255) {
            return std::nullopt;
        }
    }
    return value;
}

}  // namespace quorbel::paint
