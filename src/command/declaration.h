// What a command takes and what its help says, declared once. The parser, --help, the manual
// pages and the bash completion are all made from the declaration, so that an option cannot be
// left out of one of them.
#pragma once

#include <string>
#include <vector>

namespace quorbel::command {

// What bash offers for an option's value or for an operand.
struct Completion {
    enum class Kind {
        Nothing,          // a number or a text: nothing to offer
        Files,            // files with one of the suffixes (any file when there are none)
        Folders,          // folders only
        Words,            // the words given
        FilesAfterColon,  // "TILE:BITMAP": after the first colon, a file with one of the suffixes
    };
    Kind kind = Kind::Nothing;
    std::vector<std::string> words{};  // the suffixes, without their dot, or the words offered

    static Completion Files(std::vector<std::string> suffixes = {}) {
        return {Kind::Files, std::move(suffixes)};
    }
    static Completion Folders() { return {Kind::Folders, {}}; }
    static Completion Words(std::vector<std::string> words) {
        return {Kind::Words, std::move(words)};
    }
    static Completion FilesAfterColon(std::vector<std::string> suffixes) {
        return {Kind::FilesAfterColon, std::move(suffixes)};
    }
};

struct Option {
    std::string name{};       // "--output"
    char alias = 0;           // 'o' for "-o", the same option; 0 for none
    std::string valueName{};  // "PREVIEW.png"; empty for an option that takes no value
    std::string help{};       // one paragraph, wrapped where it is shown
    Completion completion{};  // of the value
    bool required = false;

    bool TakesValue() const { return !valueName.empty(); }
    // "-o", or the long name when there is no alias.
    std::string ShortestName() const { return alias == 0 ? name : std::string{'-', alias}; }
};

struct Operand {
    std::string name{};    // "TILESET"
    bool repeats = false;  // one or more
    Completion completion{};
};

// A term and what it means: a line of output, an exit status, a file, a command.
struct Item {
    std::string term{};
    std::string text{};
};

// A piece of prose: a paragraph, wrapped to the width shown, a list of items, or lines shown as
// they are (a file's text), indented. Items right after a paragraph that ends in ':' belong to it.
struct Block {
    enum class Kind { Paragraph, Items, Lines };
    Kind kind = Kind::Paragraph;
    std::string text{};  // the paragraph, or the lines separated by '\n'
    std::vector<Item> items{};
};

inline Block Paragraph(std::string text) {
    return {Block::Kind::Paragraph, std::move(text), {}};
}
inline Block Items(std::vector<Item> items) {
    return {Block::Kind::Items, {}, std::move(items)};
}
inline Block Lines(std::string lines) {
    return {Block::Kind::Lines, std::move(lines), {}};
}

using Prose = std::vector<Block>;

struct Example {
    std::string what{};  // "Convert the sample map with tile 104:"
    std::string
        line{};  // the command line, at most 73 characters so that every page shows it whole
};

struct Declaration {
    std::vector<Option> options{};
    std::vector<Operand> operands{};
    // Usage lines after the program's name, for a program whose options and operands cannot say
    // it (quorbel-lvl itself, whose first operand names a command); empty for a command.
    std::vector<std::string> usage{};
    Prose description{};
    Prose output{};  // what goes to standard output and standard error
    std::vector<Item> exitStatus{};
    std::vector<Item> files{};  // files that are not named by an operand
    std::vector<Example> examples{};
};

// -h, --help, which every command has.
Option HelpOption();

// --version, which quorbel-lvl has.
Option VersionOption();

// "TILESET BITMAP OUTPUT", "TILESET OUTPUT TILE:BITMAP...": the operands as messages name them.
std::string OperandsText(const std::vector<Operand>& operands);

}  // namespace quorbel::command
