#include "paint/paint_rules.h"

#include <map>
#include <optional>

#include "base/errors.h"
#include "base/quoted.h"
#include "paint/text_lines.h"

namespace quorbel::paint {
namespace {

constexpr int kRows = 3;
constexpr const char* kKeywords =
    "a line is 'terrain NAME', 'outside X' or 'outside .', 'fill TILE...', 'rule TILE...' or "
    "one of a rule's three rows";

// The rules of one file, read line by line.
class RulesReader {
  public:
    explicit RulesReader(const std::string& path) : path_(path) {}

    void Line(std::string_view text, int line) {
        line_ = line;
        const std::string_view content = Trimmed(text.substr(0, text.find('#')));
        if (content.empty()) {
            return;
        }
        if (rule_) {
            Row(content);
            return;
        }
        const std::vector<std::string_view> words = Words(content);
        const std::string_view keyword = words[0];
        if (keyword == "terrain") {
            Terrain(words);
        } else if (keyword == "outside") {
            Outside(words);
        } else if (keyword == "fill") {
            Fill(words);
        } else if (keyword == "rule") {
            Block(keyword);
            rule_ = TerrainRule{{}, Tiles(words), line};
            rows_ = 0;
        } else if (content.find_first_not_of("X.? \t") == std::string_view::npos) {
            Fail("a row of cells belongs under a rule line, which three rows follow");
        } else {
            Fail(Quoted(keyword) + " is no keyword: " + kKeywords);
        }
    }

    std::vector<TerrainBlock> End() {
        if (rule_) {
            line_ = rule_->line;
            Fail("the rule has " + std::to_string(rows_) + " of its 3 rows of cells");
        }
        Close();
        return std::move(blocks_);
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw RunTimeError(path_ + ":" + std::to_string(line_) + ": " + what);
    }

    // The block that a line of keyword belongs to.
    TerrainBlock& Block(std::string_view keyword) {
        if (!block_) {
            Fail(Quoted(keyword) + " comes before any 'terrain NAME' line, which starts a block");
        }
        return *block_;
    }

    void Terrain(const std::vector<std::string_view>& words) {
        if (words.size() != 2) {
            Fail("'terrain' takes one word, the name the palette's colour ends in: terrain NAME");
        }
        Close();
        const std::string name(words[1]);
        if (const auto first = lines_.find(name); first != lines_.end()) {
            Fail("a second block for the terrain " + Quoted(name) + " (line " +
                 std::to_string(first->second) + " starts the first)");
        }
        lines_.emplace(name, line_);
        block_ = TerrainBlock{name, line_, false, {}, {}};
    }

    void Outside(const std::vector<std::string_view>& words) {
        TerrainBlock& block = Block(words[0]);
        if (outsideSeen_) {
            Fail("a second 'outside' line for the terrain " + Quoted(block.terrain));
        }
        if (words.size() != 2 || (words[1] != "X" && words[1] != ".")) {
            Fail(
                "'outside' takes X (cells past the picture's edge count as the terrain) or . "
                "(they count as other cells)");
        }
        block.outsideIsTerrain = words[1] == "X";
        outsideSeen_ = true;
    }

    void Fill(const std::vector<std::string_view>& words) {
        TerrainBlock& block = Block(words[0]);
        if (!block.fill.empty()) {
            Fail("a second 'fill' line for the terrain " + Quoted(block.terrain));
        }
        block.fill = Tiles(words);
    }

    std::vector<std::uint8_t> Tiles(const std::vector<std::string_view>& words) const {
        if (words.size() < 2) {
            Fail(Quoted(words[0]) + " needs one or more tile numbers: " + std::string(words[0]) +
                 " TILE...");
        }
        std::vector<std::uint8_t> tiles;
        for (std::size_t i = 1; i < words.size(); ++i) {
            const auto tile = ByteNumber(words[i]);
            if (!tile) {
                Fail(Quoted(words[i]) + " is no tile number 0..255");
            }
            tiles.push_back(static_cast<std::uint8_t>(*tile));
        }
        return tiles;
    }

    // One of the rule's rows: three cells, spaces between them allowed.
    void Row(std::string_view content) {
        std::string cells;
        for (const char c : content) {
            if (c != ' ' && c != '\t') {
                cells += c;
            }
        }
        if (cells.size() != 3 || cells.find_first_not_of("X.?") != std::string::npos) {
            Fail(
                "row " + std::to_string(rows_ + 1) + " of the rule on line " +
                std::to_string(rule_->line) + " is " + Quoted(content) +
                "; a row is three cells, each X (the terrain), . (any other cell) or ? (anything)");
        }
        for (int column = 0; column < 3; ++column) {
            const char cell = cells[static_cast<std::size_t>(column)];
            if (rows_ == 1 && column == 1) {
                if (cell != 'X') {
                    Fail(
                        "the centre of a rule is the cell itself, a cell of the terrain: it must "
                        "be X");
                }
                continue;
            }
            if (cell != '?') {
                const int bit = rows_ * 3 + column - (rows_ * 3 + column > 4 ? 1 : 0);
                rule_->pattern.care |= static_cast<std::uint8_t>(1u << bit);
                if (cell == 'X') {
                    rule_->pattern.terrain |= static_cast<std::uint8_t>(1u << bit);
                }
            }
        }
        if (++rows_ == kRows) {
            block_->rules.push_back(std::move(*rule_));
            rule_.reset();
        }
    }

    // Ends the block being read, which must have had its fill line.
    void Close() {
        if (!block_) {
            return;
        }
        if (block_->fill.empty()) {
            line_ = block_->line;
            Fail("the terrain " + Quoted(block_->terrain) +
                 " has no 'fill TILE...' line, the tiles of a cell that no rule matches");
        }
        blocks_.push_back(std::move(*block_));
        block_.reset();
        outsideSeen_ = false;
    }

    const std::string& path_;
    int line_ = 0;
    std::vector<TerrainBlock> blocks_;
    std::optional<TerrainBlock> block_;
    bool outsideSeen_ = false;
    std::optional<TerrainRule> rule_;
    int rows_ = 0;
    std::map<std::string, int> lines_;  // of each terrain's block
};

}  // namespace

std::vector<TerrainBlock> ParseRules(std::string_view text, const std::string& path) {
    RulesReader reader(path);
    const std::vector<std::string_view> lines = TextLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        reader.Line(lines[i], static_cast<int>(i + 1));
    }
    return reader.End();
}

std::vector<TerrainBlock> ReadRules(const std::string& path) {
    return ParseRules(ReadTextFile(path), path);
}

}  // namespace quorbel::paint
