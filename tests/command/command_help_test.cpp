// Every command's --help, run in process: it names what the command declares, keeps within 80
// columns, and says what each row below wants said. Each command's examples parse as the command
// parses its arguments, so that an example cannot outlive an option.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "command/command.h"
#include "command/help_text.h"
#include "command/registry.h"
#include "support/run_process.h"
#if QUORBEL_WITH_RENDER
#include "render/commands.h"
#endif

namespace quorbel::command {
namespace {

// text with every run of blanks and line breaks made one blank: what a reader sees of a phrase
// that the help wrapped.
std::string Flowing(const std::string& text) {
    std::string flowing;
    for (const char c : text) {
        const bool blank = c == ' ' || c == '\n';
        if (!blank || (!flowing.empty() && flowing.back() != ' ')) {
            flowing += blank ? ' ' : c;
        }
    }
    return flowing;
}

bool Says(const std::string& help, const std::string& words) {
    return help.find(words) != std::string::npos ||
           Flowing(help).find(Flowing(words)) != std::string::npos;
}

struct Help {
    int status = -1;
    std::string out;
    std::string err;
    Declaration declared;
};

const Registry& QuorbelLvl() {
    static const Registry registry = cli::QuorbelLvl();
    return registry;
}

// The command that runs in process under that name: render and prepare from quorbel-lvl-render.
Command* InProcess(const std::string& name) {
#if QUORBEL_WITH_RENDER
    static const Registry render = render::QuorbelLvlRender();
    if (auto* command = dynamic_cast<Command*>(render.Find(name))) {
        return command;
    }
#endif
    return dynamic_cast<Command*>(QuorbelLvl().Find(name));
}

// "" for quorbel-lvl's own overview.
Help HelpOf(const std::string& name) {
    Help help;
    std::ostringstream out;
    std::ostringstream err;
    const std::vector<std::string> args{"--help"};
    if (name.empty()) {
        help.status = QuorbelLvl().Run("0", args, out, err);
        help.declared = QuorbelLvl().Overview();
    } else {
        Command* command = InProcess(name);
        if (command == nullptr) {
            ADD_FAILURE() << name << " is no command";
            return help;
        }
        help.status = command->Main(args, out, err);
        help.declared = command->Declared();
    }
    help.out = out.str();
    help.err = err.str();
    return help;
}

struct Row {
    const char* command;  // "" for quorbel-lvl --help
    std::vector<std::string> says;
};

const Row kRows[] = {
    {"", {"convert", "\n  export ", "\n  import ", "'quorbel-lvl COMMAND --help'"}},
    {"convert", {"--tile", "--report", "Exit status", "cause:", "171"}},
    {"compose",
     {"TILE:BITMAP", "first colon", "Layer N: 'TILE:BITMAP'", "--quiet", "quorbel-lvl split",
      "Exit status"}},
    {"split",
     {"tile-NNN.bmp", "(largest x + 1) x (largest y + 1)", "TILE:PATH", "byte for byte", "1023",
      "Exit status"}},
    {"info", {"--json", "bytes 2..5", "Exit status"}},
    {"export",
     {"Usage: quorbel-lvl export LEVEL MAP", ".tmx", ".tmj or .json", "-tileset.bmp", "records 2",
      "quorbel.records", "Exit status:", "64  bad usage"}},
    {"import",
     {"Usage: quorbel-lvl import [--tileset FILE] MAP OUTPUT", "--tileset FILE",
      "flipped or rotated", "column 20", "0..4095", "Zstandard", "skipped",
      "Exit status:", "line and column", "64  bad usage"}},
#if QUORBEL_WITH_RENDER
    {"render",
     {"-o, --output PREVIEW.png", "--tileset", "--scale", "(t - 1) mod 19", "4096", "Exit status"}},
    {"prepare",
     {"--threshold N", "--invert", "--grey", "PBM, PGM, PPM or XPM", "Default: 128",
      "transparent background", "Exit status"}},
    {"paint",
     {"--rules FILE", "--nearest", "GIMP palette", "4096 x 4096", "alpha below 128", "2654435761",
      "  ? . ?", "wrote OUTPUT: N records of K colours", "Exit status"}},
#endif
};

class CommandHelp : public ::testing::TestWithParam<Row> {};

TEST_P(CommandHelp, NamesWhatTheCommandDeclares) {
    const Row& row = GetParam();
    const Help help = HelpOf(row.command);
    ASSERT_EQ(help.status, 0) << help.err;
    EXPECT_EQ(help.err, "");
    const std::string usage = help.out.substr(0, help.out.find("\n\n"));
    const std::size_t optionsStart = help.out.find("\nOptions:\n");
    ASSERT_NE(optionsStart, std::string::npos);
    const std::string options =
        help.out.substr(optionsStart, help.out.find("\n\n", optionsStart + 1) - optionsStart);
    for (const Option& option : help.declared.options) {
        // "  -o, --output PREVIEW.png  the picture ...", "      --tile TEXT  the tile number ..."
        const std::string term =
            (option.alias != 0 ? std::string{'-', option.alias} + ", " : "    ") + option.name +
            (option.TakesValue() ? " " + option.valueName : "");
        EXPECT_TRUE(options.find("\n  " + term + " ") != std::string::npos ||
                    options.find("\n  " + term + "\n") != std::string::npos)
            << term << " in " << options;
        if (option.name != HelpOption().name && help.declared.usage.empty()) {
            EXPECT_TRUE(Says(usage, UsageWord(option))) << usage;
        }
    }
    for (const Operand& operand : help.declared.operands) {
        EXPECT_TRUE(Says(usage, operand.name)) << operand.name << " in " << usage;
    }
    for (const std::string& words : row.says) {
        EXPECT_TRUE(Says(help.out, words)) << words << "\n" << help.out;
    }
    for (const std::string& line : test::Lines(help.out)) {
        EXPECT_LE(line.size(), kHelpWidth) << line;
    }
    // An example runs as it is printed: up to its first pipe or &&, it parses.
    for (const Example& example : help.declared.examples) {
        std::vector<std::string> words;
        std::istringstream line(example.line);
        for (std::string word; line >> word && word != "&&" && word != "|";) {
            words.push_back(word);
        }
        ASSERT_GE(words.size(), 2u) << example.line;
        EXPECT_EQ(words[0] + " " + words[1], std::string("quorbel-lvl ") + row.command);
        const std::vector<std::string> args(words.begin() + 2, words.end());
        EXPECT_NO_THROW(CheckArguments(ParseArguments(args, help.declared.options), help.declared))
            << example.line;
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, CommandHelp, ::testing::ValuesIn(kRows), [](const auto& row) {
    return std::string(*row.param.command == '\0' ? "overview" : row.param.command);
});

// Every command quorbel-lvl lists is a row above, so that none goes without its help checked.
TEST(CommandHelp, EveryListedCommandHasARow) {
    for (const Registry::Entry& entry : QuorbelLvl().Entries()) {
        const std::string name(entry.command->Name());
#if !QUORBEL_WITH_RENDER
        if (name == "render" || name == "prepare" || name == "paint") {
            continue;
        }
#endif
        EXPECT_TRUE(std::any_of(std::begin(kRows), std::end(kRows), [&](const Row& row) {
            return row.command == name;
        })) << name;
        EXPECT_FALSE(entry.summary.empty()) << name;
    }
}

}  // namespace
}  // namespace quorbel::command
