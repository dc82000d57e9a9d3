#include "cli/compose_command.h"

#include <algorithm>
#include <new>

#include "cli/composition.h"
#include "cli/console_front_end.h"
#include "cli/no_record_warning.h"
#include "cli/report_file.h"
#include "cli/stop_signals.h"
#include "conversion/conversion_notes.h"
#include "conversion/conversion_run.h"
#include "conversion/header_report.h"
#include "conversion/level_file.h"
#include "conversion/module_helpers.h"
#include "conversion/quoted.h"

namespace quorbel::cli {
namespace {

// "cause: WHAT" as "cause: layer 2 'coins.bmp': WHAT".
std::string OfLayer(const std::string& line, std::size_t index, const std::string& bitmap) {
    const std::size_t colon = line.find(": ");
    return line.substr(0, colon + 2) + "layer " + std::to_string(index + 1) + " " + Quoted(bitmap) +
           ": " + line.substr(colon + 2);
}

std::string Count(std::uint64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
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
    return "wrote " + output + ": " + Count(total, "record", "records") + " in " +
           Count(records.size(), "layer", "layers") + " (" + layers + ")";
}

// Each layer's header report under a line that names it, a blank line between layers.
std::string ComposedReport(const std::vector<std::string>& operands,
                           const std::vector<LayerCheck>& checks) {
    std::string text;
    for (std::size_t i = 0; i < checks.size(); ++i) {
        text += (i == 0 ? "" : std::string(kLineBreak) + kLineBreak) + "Layer " +
                std::to_string(i + 1) + ": " + operands[i];
        if (!checks[i].report.empty()) {
            text += kLineBreak + checks[i].report;
        }
    }
    return text;
}

// One compose: the checks of every input, then the level, and the lines that tell of them.
class Composing {
  public:
    Composing(const ParsedArguments& parsed, std::ostream& err)
        : parsed_(parsed),
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
    std::string Report() const { return ComposedReport(operands_, checks_); }

    // Throws RunInterrupted when a stop signal arrives before the level is in place.
    int Run() {
        modModule::SetStatus(
            console_, "checking the tileset and " + Count(layers_.size(), "layer", "layers"));
        const TilesetCheck tileset = CheckTileset(tileset_);
        for (const Layer& layer : layers_) {
            checks_.push_back(CheckLayer(layer, console_));
            DoEvents(console_);
        }
        const std::vector<FileBeingRead> reading = FilesBeingRead(tileset, checks_);
        const std::string outputCause = OutputCause(reading);
        const CheckEnd end = Worst(tileset, outputCause);
        if (end != CheckEnd::Accepted) {
            TellRefusal(end, tileset, outputCause);
            return end == CheckEnd::Failed ? kExitFailed : kExitRejected;
        }
        return Write(reading);
    }

  private:
    // Why the output may not be replaced; empty when it may.
    std::string OutputCause(const std::vector<FileBeingRead>& reading) const {
        try {
            CheckReplaceable(output_, reading);
        } catch (const FileError& error) {
            return error.what();
        }
        return {};
    }

    // Failed when anything failed, else rejected when a layer was rejected.
    CheckEnd Worst(const TilesetCheck& tileset, const std::string& outputCause) const {
        const auto any = [&](CheckEnd end) {
            return std::any_of(checks_.begin(), checks_.end(),
                               [end](const LayerCheck& check) { return check.end == end; });
        };
        if (tileset.end == CheckEnd::Failed || !outputCause.empty() || any(CheckEnd::Failed)) {
            return CheckEnd::Failed;
        }
        return any(CheckEnd::Rejected) ? CheckEnd::Rejected : CheckEnd::Accepted;
    }

    void TellRefusal(CheckEnd end, const TilesetCheck& tileset, const std::string& outputCause) {
        End(end == CheckEnd::Failed);
        if (tileset.end == CheckEnd::Failed) {
            err_ << "cause: the tileset " << Quoted(tileset_) << ": " << tileset.cause << '\n';
        }
        for (std::size_t i = 0; i < layers_.size(); ++i) {
            ExplainLayer(i);
        }
        if (!outputCause.empty()) {
            err_ << "cause: " << outputCause << '\n';
        }
    }

    int Write(const std::vector<FileBeingRead>& reading) {
        std::vector<std::uint64_t> records;
        try {
            records = WriteComposedLevel(tileset_, layers_, checks_, output_, reading, console_);
        } catch (const RunTimeError& error) {
            return Failed(error.what());
        } catch (const std::bad_alloc&) {
            return Failed("out of memory");
        }
        modModule::SetStatus(console_, texts::kDone);
        PrintWarnings(records);
        if (!parsed_.Has("--quiet")) {
            err_ << ComposedLine(output_, checks_, records) << '\n';
        }
        return kExitSuccess;
    }

    // The message and the last status, as the run ends a rejected or failed conversion.
    void End(bool failed) {
        if (failed) {
            console_.ShowCriticalMessage(std::string(texts::kErrorPrompt),
                                         std::string(texts::kErrorTitle));
            modModule::SetStatus(console_, texts::kErrorStatus);
        } else {
            console_.ShowCriticalMessage(std::string(texts::kRejectedPrompt),
                                         std::string(texts::kRejectedTitle));
            modModule::SetStatus(console_, texts::kRejectedStatus);
        }
    }

    int Failed(const std::string& cause) {
        End(true);
        err_ << "cause: " << cause << '\n';
        return kExitFailed;
    }

    // The lines convert gives of a refused bitmap, each naming the layer.
    void ExplainLayer(std::size_t i) {
        const LayerCheck& check = checks_[i];
        if (check.end == CheckEnd::Accepted) {
            return;
        }
        const std::string& bitmap = layers_[i].bitmap;
        const BitmapExplanation explanation =
            check.opened ? ExplainBitmap(tileset_, bitmap, SwappedCommandLine(i))
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
        std::string line = "quorbel-lvl compose";
        for (const auto& [option, value] : parsed_.values) {
            line += " " + option + " " + ShellQuoted(value);
        }
        if (parsed_.Has("--quiet")) {
            line += " --quiet";
        }
        line += " " + ShellQuoted(layers_[i].bitmap) + " " + ShellQuoted(output_);
        for (std::size_t j = 0; j < layers_.size(); ++j) {
            const Layer& layer = layers_[j];
            line += " " + ShellQuoted(layer.tileText + ":" + (j == i ? tileset_ : layer.bitmap));
        }
        return line;
    }

    void PrintWarnings(const std::vector<std::uint64_t>& records) {
        // The level begins with the tileset's picture, copied.
        const LevelFileReader level(output_);
        for (std::size_t i = 0; i < layers_.size(); ++i) {
            for (const std::string& warning : ConvertedWarnings(
                     checks_[i].tile, records[i], level.Picture(), layers_[i].bitmap)) {
                err_ << OfLayer(warning, i, layers_[i].bitmap) << '\n';
            }
            if (records[i] == 0) {
                err_ << OfLayer(NoRecordWarning("the layer"), i, layers_[i].bitmap) << '\n';
            }
        }
    }

    const ParsedArguments& parsed_;
    const std::string& tileset_;
    const std::string& output_;
    std::vector<std::string> operands_;
    std::ostream& err_;
    ConsoleFrontEnd console_;
    std::vector<Layer> layers_;
    std::vector<LayerCheck> checks_;
};

}  // namespace

Command::Syntax ComposeCommand::GetSyntax() const {
    return Syntax{{"--report"}, {"--quiet"}, "TILESET OUTPUT TILE:BITMAP...", 3};
}

std::string ComposeCommand::Help() const {
    return R"(Usage: quorbel-lvl compose [--report FILE] [--quiet] TILESET OUTPUT
                           TILE:BITMAP [TILE:BITMAP ...]

Writes the level file OUTPUT of one or more layers: the bitmap at the start of
TILESET (copied as convert copies it), followed, layer by layer in the order
given, by exactly the records that
  quorbel-lvl convert --tile TILE TILESET BITMAP OUTPUT
writes for that layer: one 4-byte record for every dark pixel of BITMAP, with
the tile number TILE. So one layer gives convert's level byte for byte, and the
records of several layers are those of their conversions, one after the other.
Layers may differ in size (each keeps its own coordinates) and may share a
tile number.

A layer is a tile number, a colon and the path of a 1-bit BMP map, split at the
first colon: 104:coins.bmp. The tile number is read as convert reads --tile
(a layer that starts with a minus sign and a digit is a layer, not an option).

Every layer is checked before anything is written. A layer that convert would
reject (not 1 bit per pixel, pixels not at offset 62, larger than 1024 x 1024)
makes compose reject it; one that convert would fail (an unreadable tile number
or file, a file cut short, a tile number outside 0..255 for a map with dark
pixels) makes compose fail. Every such layer is told, and OUTPUT is left as it
was. OUTPUT is replaced only once the whole level is written; a stop by SIGINT,
SIGTERM, SIGHUP or SIGPIPE leaves it as it was.

Options:
  --report FILE   write every layer's header report to FILE at the end (CR LF
                  between lines): a line "Layer N: TILE:BITMAP", then the
                  layer's report as convert writes it (left out when the
                  layer's check ended before it), a blank line between layers.
                  FILE may not be TILESET, OUTPUT or a BITMAP, and is checked
                  before the run: one that cannot be written is bad usage
  --quiet         print no status lines and no "wrote" line; messages,
                  causes, hints and warnings stay
  -h, --help      show this help

Standard error gets each status as "Status: <text>" and each message as
"<title>: <prompt>". After the last status come convert's lines, each naming
its layer by number and path ("cause: layer 2 'coins.bmp': ..."):
  cause: ...    what went wrong; for a refused bitmap, one line for each
                thing it lacks: what was found; what is needed
  hint: ...     what to do, often the prepare command that mends the bitmap
  warning: ...  a tile number without a 16 x 16 cell in the tileset, or a
                palette entry 0 that does not count as it looks
  wrote OUTPUT: N records in L layers (N1 of tile T1, ...)

quorbel-lvl split takes a level apart into such layers:
  quorbel-lvl compose FOLDER/tileset.bmp NEW.lvl $(quorbel-lvl split LEVEL FOLDER)

Exit status: 0 written; 1 failed (the tileset, OUTPUT or any layer); 2 a layer
rejected and none failed; 64 bad usage; 128 + N when stopped by signal N.
)";
}

int ComposeCommand::Execute(const ParsedArguments& parsed, std::ostream&, std::ostream& err) {
    Composing composing(parsed, err);
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
