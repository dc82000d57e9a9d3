#include "command_docs/man_page.h"

#include <algorithm>
#include <cctype>

#include "command/help_text.h"

namespace quorbel::docs {
namespace {

using command::Block;
using command::Declaration;
using command::Item;
using command::Option;

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string Bold(std::string_view text) {
    return "\\fB" + RoffText(text) + "\\fR";
}

std::string Italic(std::string_view text) {
    return "\\fI" + RoffText(text) + "\\fR";
}

// An option as the synopsis shows it, one word that is never broken: "[\fB--tile\fR\ \fITEXT\fR]".
std::string SynopsisWord(const Option& option) {
    std::string word = Bold(option.ShortestName());
    if (option.TakesValue()) {
        word += "\\ " + Italic(option.valueName);
    }
    return option.required ? word : "[" + word + "]";
}

void Synopsis(std::string& out, const PageSource& source) {
    const Declaration& declaration = source.declaration;
    out += ".SH SYNOPSIS\n";
    if (!declaration.usage.empty()) {
        for (const std::string& form : declaration.usage) {
            out += ".SY \"" + RoffText(source.program) + "\"\n" + RoffText(form) + "\n.YS\n";
        }
        return;
    }
    out += ".SY \"" + RoffText(source.program) + "\"\n";
    for (const Option& option : declaration.options) {
        if (option.name != command::HelpOption().name) {
            out += SynopsisWord(option) + "\n";
        }
    }
    for (const command::Operand& operand : declaration.operands) {
        out += Italic(operand.name) + (operand.repeats ? "..." : "") + "\n";
    }
    out += ".YS\n";
}

void TaggedItems(std::string& out, const std::vector<Item>& items, bool italicTerms = false) {
    for (const Item& item : items) {
        out += ".TP\n" + (italicTerms ? Italic(item.term) : Bold(item.term)) + "\n";
        if (!item.text.empty()) {
            out += RoffText(item.text) + "\n";
        }
    }
}

void Prose(std::string& out, const command::Prose& prose) {
    for (const Block& block : prose) {
        if (block.kind == Block::Kind::Items) {
            TaggedItems(out, block.items);
        } else if (block.kind == Block::Kind::Lines) {
            // Each line on its own, so that one that starts with a dot is no request.
            out += ".RS 4\n.EX\n";
            for (std::string_view rest = block.text; !rest.empty();) {
                const std::size_t end = std::min(rest.find('\n'), rest.size());
                out += RoffText(rest.substr(0, end)) + "\n";
                rest.remove_prefix(std::min(end + 1, rest.size()));
            }
            out += ".EE\n.RE\n";
        } else {
            out += ".PP\n" + RoffText(block.text) + "\n";
        }
    }
}

void Options(std::string& out, const std::vector<Option>& options) {
    out += ".SH OPTIONS\n";
    for (const Option& option : options) {
        out += ".TP\n";
        if (option.alias != 0) {
            out += Bold(std::string{'-', option.alias}) + ", ";
        }
        out += Bold(option.name);
        if (option.TakesValue()) {
            out += " " + Italic(option.valueName);
        }
        out += "\n" + RoffText(option.help) + "\n";
    }
}

}  // namespace

std::string RoffText(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) {
        out.insert(0, "\\&");
    }
    return out;
}

std::string ManPage(const PageSource& source, const Edition& edition,
                    const std::vector<std::string>& seeAlso) {
    const Declaration& declaration = source.declaration;
    std::string out = ".TH " + Upper(source.page) + " 1 \"" + edition.date + "\" \"" +
                      edition.version + "\" \"User Commands\"\n";
    // No hyphenation (HY is what the synopsis macros restore) and a ragged right edge: option
    // names and file names stay whole.
    out += ".nr HY 0\n.nh\n.ad l\n";
    out += ".SH NAME\n" + RoffText(source.page) + " \\- " + RoffText(source.summary) + "\n";
    Synopsis(out, source);
    out += ".SH DESCRIPTION\n";
    Prose(out, declaration.description);
    if (!declaration.output.empty()) {
        out += ".SS Output\n";
        Prose(out, declaration.output);
    }
    if (!declaration.options.empty()) {
        Options(out, declaration.options);
    }
    if (!declaration.exitStatus.empty()) {
        out += ".SH \"EXIT STATUS\"\n";
        TaggedItems(out, declaration.exitStatus);
    }
    if (!declaration.files.empty()) {
        out += ".SH FILES\n";
        TaggedItems(out, declaration.files, true);
    }
    if (!declaration.examples.empty()) {
        out += ".SH EXAMPLES\n";
        for (const command::Example& example : declaration.examples) {
            out +=
                ".PP\n" + RoffText(example.what) + "\n.EX\n" + RoffText(example.line) + "\n.EE\n";
        }
    }
    if (!seeAlso.empty()) {
        out += ".SH \"SEE ALSO\"\n";
        for (std::size_t i = 0; i < seeAlso.size(); ++i) {
            out +=
                ".BR " + RoffText(seeAlso[i]) + " (1)" + (i + 1 < seeAlso.size() ? "," : "") + "\n";
        }
    }
    return out;
}

}  // namespace quorbel::docs
