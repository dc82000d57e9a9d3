#include "command/help_text.h"

#include <algorithm>

namespace quorbel::command {
namespace {

// A term longer than this gets a line of its own, so that one long term does not squeeze the
// text of every other.
constexpr std::size_t kLongestTermInColumn = 24;

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t begin = text.find_first_not_of(" \n", start);
        if (begin == text.npos) {
            break;
        }
        const std::size_t end = std::min(text.find_first_of(" \n", begin), text.size());
        words.emplace_back(text.substr(begin, end - begin));
        start = end;
    }
    return words;
}

// first, then words, in lines of at most width characters (a longer word gets a line of its own);
// first ends where the first word starts, and continued lines begin with indent spaces.
std::vector<std::string> Filled(std::string first, const std::vector<std::string>& words,
                                std::size_t indent, std::size_t width = kHelpWidth) {
    std::vector<std::string> lines{std::move(first)};
    bool lineHasWord = false;
    for (const std::string& word : words) {
        if (lineHasWord && lines.back().size() + 1 + word.size() > width) {
            lines.push_back(std::string(indent, ' '));
            lineHasWord = false;
        }
        lines.back() += (lineHasWord ? " " : "") + word;
        lineHasWord = true;
    }
    if (!lineHasWord) {  // no words at all
        lines.back().erase(lines.back().find_last_not_of(' ') + 1);
    }
    return lines;
}

void AppendLines(std::string& out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        out += line + '\n';
    }
}

// "  term    text that wraps", the text of every item starting in the same column.
void AppendItems(std::string& out, const std::vector<Item>& items) {
    std::size_t widest = 0;
    for (const Item& item : items) {
        if (item.term.size() <= kLongestTermInColumn) {
            widest = std::max(widest, item.term.size());
        }
    }
    const std::size_t column = 2 + widest + 2;
    for (const Item& item : items) {
        std::string first = "  " + item.term;
        if (first.size() + 2 > column) {
            out += first + '\n';
            first.clear();
        }
        first.resize(column, ' ');
        const auto lines = Filled(first, Words(item.text), column);
        AppendLines(out, lines);
    }
}

void AppendProse(std::string& out, const Prose& prose) {
    for (std::size_t i = 0; i < prose.size(); ++i) {
        const Block& block = prose[i];
        const bool continues = i > 0 && block.kind != Block::Kind::Paragraph &&
                               prose[i - 1].kind == Block::Kind::Paragraph &&
                               prose[i - 1].text.ends_with(':');
        if (i > 0 && !continues) {
            out += '\n';
        }
        if (block.kind == Block::Kind::Items) {
            AppendItems(out, block.items);
        } else if (block.kind == Block::Kind::Lines) {
            for (std::string_view rest = block.text; !rest.empty();) {
                const std::size_t end = std::min(rest.find('\n'), rest.size());
                out += "  " + std::string(rest.substr(0, end)) + '\n';
                rest.remove_prefix(std::min(end + 1, rest.size()));
            }
        } else {
            AppendLines(out, Wrapped(block.text, kHelpWidth));
        }
    }
}

// "-o, --output PREVIEW.png", or "    --tile TEXT" in a list where some option has an alias.
std::string OptionTerm(const Option& option, bool anyAlias) {
    std::string term = option.alias != 0 ? std::string{'-', option.alias} + ", "
                                         : std::string(anyAlias ? 4 : 0, ' ');
    term += option.name;
    if (option.TakesValue()) {
        term += " " + option.valueName;
    }
    return term;
}

}  // namespace

std::string UsageWord(const Option& option) {
    std::string word = option.ShortestName();
    if (option.TakesValue()) {
        word += " " + option.valueName;
    }
    return option.required ? word : "[" + word + "]";
}

std::vector<std::string> UsageForms(std::string_view program, const Declaration& declaration) {
    if (!declaration.usage.empty()) {
        std::vector<std::string> forms;
        for (const std::string& form : declaration.usage) {
            forms.push_back(std::string(program) + " " + form);
        }
        return forms;
    }
    std::string form(program);
    for (const Option& option : declaration.options) {
        if (option.name != HelpOption().name) {
            form += " " + UsageWord(option);
        }
    }
    for (const Operand& operand : declaration.operands) {
        form += " " + operand.name + (operand.repeats ? "..." : "");
    }
    return {form};
}

std::vector<std::string> UsageLines(std::string_view program, const Declaration& declaration) {
    std::vector<std::string> lines;
    const std::size_t programWords = Words(program).size();
    for (const std::string& form : UsageForms(program, declaration)) {
        const std::vector<std::string> words = Words(form);
        std::string first = lines.empty() ? "Usage:" : "   or:";
        for (std::size_t i = 0; i < programWords; ++i) {
            first += " " + words[i];
        }
        const std::vector<std::string> rest(words.begin() + static_cast<long>(programWords),
                                            words.end());
        const auto formLines = Filled(first + " ", rest, first.size() + 1);
        lines.insert(lines.end(), formLines.begin(), formLines.end());
    }
    return lines;
}

std::vector<std::string> Wrapped(std::string_view text, std::size_t width) {
    const std::vector<std::string> words = Words(text);
    return words.empty() ? std::vector<std::string>{} : Filled("", words, 0, width);
}

std::string HelpText(std::string_view program, const Declaration& declaration) {
    std::string out;
    AppendLines(out, UsageLines(program, declaration));
    out += '\n';
    AppendProse(out, declaration.description);
    if (!declaration.options.empty()) {
        const bool anyAlias = std::any_of(declaration.options.begin(), declaration.options.end(),
                                          [](const Option& option) { return option.alias != 0; });
        std::vector<Item> items;
        for (const Option& option : declaration.options) {
            items.push_back({OptionTerm(option, anyAlias), option.help});
        }
        out += "\nOptions:\n";
        AppendItems(out, items);
    }
    if (!declaration.output.empty()) {
        out += '\n';
        AppendProse(out, declaration.output);
    }
    if (!declaration.exitStatus.empty()) {
        out += "\nExit status:\n";
        AppendItems(out, declaration.exitStatus);
    }
    if (!declaration.files.empty()) {
        out += "\nFiles:\n";
        AppendItems(out, declaration.files);
    }
    if (!declaration.examples.empty()) {
        out += "\nExamples:\n";
        for (std::size_t i = 0; i < declaration.examples.size(); ++i) {
            const Example& example = declaration.examples[i];
            out += i == 0 ? "" : "\n";
            AppendLines(out, Filled("  ", Words(example.what), 2));
            out += "    " + example.line + '\n';
        }
    }
    return out;
}

}  // namespace quorbel::command
