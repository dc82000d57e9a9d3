#include "cli/compose_command.h"

#include <algorithm>
#include <new>

#include "base/quoted.h"
#include "cli/composition.h"
#include "cli/console_front_end.h"
#include "cli/conversion_notes.h"
#include "cli/no_record_warning.h"
#include "cli/report_file.h"
#include "cli/run_options.h"
#include "command/stop_signals.h"
#include "conversion/conversion_run.h"
#include "conversion/header_report.h"
#include "conversion/module_helpers.h"
#include "formats/level_file.h"

namespace quorbel::cli {

using command::Completion;
using command::EndByReceivedSignal;
using command::InstallStopSignalHandlers;
using command::Items;
using command::kExitFailed;
using command::kExitRejected;
using command::kExitSuccess;
using command::Paragraph;
using command::ParsedArguments;
using command::ReceivedStopSignal;
namespace {

// "cause: WHAT" as "cause: layer 2 'coins.bmp': WHAT".
std::string OfLayer(const std::string& line, std::size_t index, const std::string& bitmap) {
    const std::size_t colon = line.find(": ");
    return line.substr(0, colon + 2) + "layer " + std::to_string(index + 1) + " " + Quoted(bitmap) +
           ": " + line.substr(colon + 2);
}

// "wrote OUTPUT: 1290 records in 2 layers (1278 of tile 171, 12 of tile 104)".
std::string ComposedLine(const std::string& output, const std::vector<LayerCheck>& checks,
                         const std::vector<std::uint64_t>& records) {
    std::uint64_t total = 0;
    std::string layers;
    for (std::size_t i = 0; i < records.size(); ++i) {
        total += records[i];
        layers += (i == 0 ? "" : ", ") + std::to_string(records[i]) + " of tile " +
                  std::to_string(checks[i].tile);
    }
    return "wrote " + output + ": " + Counted(total, "record", "records") + " in " +
           Counted(records.size(), "layer", "layers") + " (" + layers + ")";
}

// Each layer's header report under a line that names it, a blank line between layers.
std::string ComposedReport(const std::vector<std::string>& operands,
                           const std::vector<LayerCheck>& checks) {
    std::string text;
    for (std::size_t i = 0; i < checks.size(); ++i) {
        // Quoted, so that no bitmap's name can make a line of its own.
        text += (i == 0 ? "" : std::string(kLineBreak) + kLineBreak) + "Layer " +
                std::to_string(i + 1) + ": " + Quoted(operands[i]);
        if (!checks[i].report.empty()) {
            text += kLineBreak + checks[i].report;
        }
    }
    return text;
}

// One compose: the checks of every input, then the level, and the lines that tell of them.
class Composing {
  public:
    // name begins warnings ("quorbel-lvl compose"); command and program begin the command lines
    // that hints suggest: "quorbel-lvl compose" and "quorbel-lvl", or the path the user typed.
    Composing(std::string name, std::string command, std::string program,
              const ParsedArguments& parsed, std::ostream& err)
        : program_(std::move(name)),
          command_(std::move(command)),
          pastableProgram_(std::move(program)),
          parsed_(parsed),
          tileset_(parsed.operands[0]),
          output_(parsed.operands[1]),
          operands_(parsed.operands.begin() + 2, parsed.operands.end()),
          err_(err),
          console_({}, err, ReceivedStopSignal(), parsed.Has("--quiet")) {
        for (const std::string& operand : operands_) {
            layers_.push_back(ParseLayer(operand));
        }
    }

    const std::vector<Layer>& Layers() const { return layers_; }
    std::string Report() const { return ComposedReport(operands_, composition_.layers); }

    // Throws RunInterrupted when a stop signal arrives before the level is in place.
    int Run() {
        Compose(tileset_, layers_, output_, console_, composition_);
        switch (composition_.end) {
            case CheckEnd::Accepted:
                PrintWarnings();
                if (!parsed_.Has("--quiet")) {
                    err_ << ComposedLine(output_, composition_.layers, composition_.records)
                         << '\n';
                }
                return kExitSuccess;
            case CheckEnd::Rejected:
                TellRefusal();
                return kExitRejected;
            case CheckEnd::Failed:
                break;
        }
        if (!composition_.writeCause.empty()) {
            err_ << "cause: " << composition_.writeCause << '\n';
        } else {
            TellRefusal();
        }
        return kExitFailed;
    }

  private:
    void TellRefusal() {
        if (composition_.tileset.end == CheckEnd::Failed) {
            err_ << "cause: the tileset " << Quoted(tileset_) << ": " << composition_.tileset.cause
                 << '\n';
        }
        for (std::size_t i = 0; i < layers_.size(); ++i) {
            ExplainLayer(i);
        }
        if (!composition_.outputCause.empty()) {
            err_ << "cause: " << composition_.outputCause << '\n';
        }
    }

    // The lines convert gives of a refused bitmap, each naming the layer.
    void ExplainLayer(std::size_t i) {
        const LayerCheck& check = composition_.layers[i];
        if (check.end == CheckEnd::Accepted) {
            return;
        }
        const std::string& bitmap = layers_[i].bitmap;
        const BitmapExplanation explanation =
            check.opened ? ExplainBitmap(tileset_, bitmap, SwappedCommandLine(i), pastableProgram_)
                         : BitmapExplanation{};
        for (const std::string& line : explanation.causes) {
            err_ << OfLayer(line, i, bitmap) << '\n';
        }
        if (check.end == CheckEnd::Failed) {
            err_ << OfLayer("cause: " + check.cause, i, bitmap) << '\n';
        }
        if (explanation.hint) {
            err_ << OfLayer(*explanation.hint, i, bitmap) << '\n';
        }
    }

    // This command line with the tileset and the bitmap of layer i exchanged.
    std::string SwappedCommandLine(std::size_t i) const {
        std::vector<std::string> operands{layers_[i].bitmap, output_};
        for (std::size_t j = 0; j < layers_.size(); ++j) {
            operands.push_back(layers_[j].tileText + ":" + (j == i ? tileset_ : layers_[j].bitmap));
        }
        return command::CommandLine(command_, parsed_.options, operands);
    }

    void PrintWarnings() {
        // The level begins with the tileset's picture, copied.
        const LevelFileReader level(output_);
        for (std::size_t i = 0; i < layers_.size(); ++i) {
            for (const std::string& warning :
                 ConvertedWarnings(composition_.layers[i].tile, composition_.records[i],
                                   level.Picture(), layers_[i].bitmap)) {
                err_ << program_ << ": " << OfLayer(warning, i, layers_[i].bitmap) << '\n';
            }
            if (composition_.records[i] == 0) {
                err_ << program_ << ": "
                     << OfLayer(NoRecordWarning("the layer"), i, layers_[i].bitmap) << '\n';
            }
        }
    }

    std::string program_;
    std::string command_;
    std::string pastableProgram_;
    const ParsedArguments& parsed_;
    const std::string& tileset_;
    const std::string& output_;
    std::vector<std::string> operands_;
    std::ostream& err_;
    ConsoleFrontEnd console_;
    std::vector<Layer> layers_;
    Composition composition_;
};

}  // namespace

command::Declaration ComposeCommand::Declare() const {
    return {
        .options = {ReportOption("every layer's header report",
                                 ": a line \"Layer N: 'TILE:BITMAP'\" (quoted as messages quote "
                                 "names), then the layer's report as "
                                 "convert writes it (left out when the layer's check ended before "
                                 "it), a blank line between layers",
                                 "TILESET, OUTPUT or a BITMAP"),
                    QuietOption()},
        .operands = {{"TILESET", false, Completion::Files({"bmp", "lvl"})},
                     {"OUTPUT", false, Completion::Files({"lvl"})},
                     {"TILE:BITMAP", true, Completion::FilesAfterColon({"bmp"})}},
        .description =
            {Paragraph("Writes the level file OUTPUT of one or more layers: the bitmap at the "
                       "start of TILESET (copied as convert copies it), followed, layer by layer "
                       "in the order given, by exactly the records that \"quorbel-lvl convert "
                       "--tile TILE TILESET BITMAP OUTPUT\" writes for that layer: one 4-byte "
                       "record for every dark pixel of BITMAP, with the tile number TILE. So one "
                       "layer gives convert's level byte for byte, and the records of several "
                       "layers are those of their conversions, one after the other. Layers may "
                       "differ in size (each keeps its own coordinates) and may share a tile "
                       "number."),
             Paragraph("A layer is a tile number, a colon and the path of a 1-bit BMP map, split "
                       "at the first colon: 104:coins.bmp. The tile number is read as convert "
                       "reads --tile (a layer that starts with a minus sign and a digit is a "
                       "layer, not an option)."),
             Paragraph("Every layer is checked before anything is written. A layer that convert "
                       "would reject (not 1 bit per pixel, pixels not at offset 62, larger than "
                       "1024 x 1024) makes compose reject it; one that convert would fail (an "
                       "unreadable tile number or file, a file cut short, a tile number outside "
                       "0..255 for a map with dark pixels) makes compose fail. Every such layer is "
                       "told, and OUTPUT is left as it was. OUTPUT is replaced only once the whole "
                       "level is written; a stop by SIGINT, SIGTERM, SIGHUP or SIGPIPE leaves it "
                       "as it was.")},
        .output = {StatusLinesParagraph("convert's lines, each naming its layer by number and "
                                        "path (\"cause: layer 2 'coins.bmp': ...\"):"),
                   Items({{"cause: ...",
                           "what went wrong; for a refused bitmap, one line for each thing it "
                           "lacks: what was found; what is needed"},
                          {"hint: ...",
                           "what to do, often the prepare command that mends the bitmap"},
                          {"quorbel-lvl compose: warning: ...",
                           "a tile number without a 16 x 16 cell in the tileset, a palette entry "
                           "0 that does not count as it looks, or a layer without records"},
                          {"wrote OUTPUT: N records in L layers (N1 of tile T1, ...)",
                           "the level written"}})},
        .exitStatus = {{"0", "written"},
                       {"1", "failed (the tileset, OUTPUT or any layer)"},
                       {"2", "a layer rejected and none failed"},
                       {"64", "bad usage"},
                       {"128 + N", "stopped by signal N"}},
        .examples = {{"The sample map under tile 171 and its coins under tile 23:",
                      "quorbel-lvl compose tiles.bmp both.lvl 171:map.bmp 23:coins.bmp"},
                     {"quorbel-lvl split takes a level apart into such layers, in the folder p "
                      "here; compose puts them together again:",
                      "quorbel-lvl compose p/tileset.bmp new.lvl $(quorbel-lvl split old.lvl p)"}},
    };
}

int ComposeCommand::Execute(const ParsedArguments& parsed, std::ostream&, std::ostream& err) {
    Composing composing(ProgramName(), PastableCommand(), PastableProgram(), parsed, err);
    const auto reportPath = parsed.Value("--report");
    if (reportPath) {
        std::vector<NamedFile> named = {{parsed.operands[0], "TILESET"},
                                        {parsed.operands[1], "OUTPUT"}};
        for (std::size_t i = 0; i < composing.Layers().size(); ++i) {
            named.push_back(
                {composing.Layers()[i].bitmap, "the BITMAP of layer " + std::to_string(i + 1)});
        }
        CheckReportPath(*reportPath, named);
    }
    InstallStopSignalHandlers();
    int status = kExitFailed;
    bool interrupted = false;
    try {
        status = composing.Run();
    } catch (const RunInterrupted&) {
        interrupted = true;
    }
    if (reportPath) {
        WriteReport(*reportPath, composing.Report());
    }
    if (interrupted) {
        EndByReceivedSignal();
    }
    return status;
}

}  // namespace quorbel::cli
