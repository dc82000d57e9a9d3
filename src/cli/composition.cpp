#include "cli/composition.h"

#include <algorithm>
#include <new>

#include "base/errors.h"
#include "base/quoted.h"
#include "command/command_line.h"
#include "conversion/conversion_run.h"
#include "conversion/map_rows.h"
#include "conversion/module_helpers.h"
#include "conversion/tile_number_text.h"
#include "conversion/tileset_prefix.h"

namespace quorbel::cli {

using command::UsageError;
namespace {

// A layer's header report, kept in its check.
class LayerReportBox : public ReportBox {
  public:
    explicit LayerReportBox(std::string& text) : text_(text) {}
    std::string ReportText() const override { return text_; }
    void SetReportText(const std::string& text) override { text_ = text; }

  private:
    std::string& text_;
};

// The header fields as the run reads them, the file closed again at once; the palette is read
// from the next open, as the run reads it.
MapHeaderFields ReadHeader(const std::string& path) {
    InputFile first(path);
    return ReadMapHeader(first);
}

// Runs check, keeping what fails as the input's cause: every input is checked, and all that
// fails is told together.
template <typename Check, typename Steps>
void Checking(Check& check, const Steps& steps) {
    try {
        steps();
    } catch (const RunTimeError& error) {
        check.end = CheckEnd::Failed;
        check.cause = error.what();
    } catch (const std::bad_alloc&) {
        check.end = CheckEnd::Failed;
        check.cause = "out of memory";
    }
}

}  // namespace

Layer ParseLayer(const std::string& operand) {
    const std::size_t colon = operand.find(':');
    if (colon == std::string::npos) {
        throw UsageError("layer " + Quoted(operand) +
                         " has no colon: a layer is TILE:BITMAP, a tile number and a map "
                         "bitmap's path, as in 171:ground.bmp");
    }
    return Layer{operand.substr(0, colon), operand.substr(colon + 1)};
}

TilesetCheck CheckTileset(const std::string& path) {
    TilesetCheck check;
    Checking(check, [&] {
        InputFile tileset(path);
        check.opened = true;
        check.identity = tileset.Identity();
        check.size = ReadTilesetSize(tileset);
        InputFile(path).Require(static_cast<std::uint64_t>(check.size));
        check.end = CheckEnd::Accepted;
    });
    return check;
}

LayerCheck CheckLayer(const Layer& layer, EventPump& pump) {
    LayerCheck check;
    LayerReportBox box(check.report);
    ReportingSteps report(box);
    Checking(check, [&] {
        check.tile = TileNumberFromText(layer.tileText, LocaleDecimalPoint());
        MapHeaderFields header;
        {
            InputFile first(layer.bitmap);
            check.opened = true;
            check.identity = first.Identity();
            header = ReadMapHeader(first);
        }
        InputFile bitmap(layer.bitmap);
        ReadMapPallet(bitmap, header);
        check.layout = DecideMapLayout(header, report);
        if (!check.layout.suitable) {
            check.end = CheckEnd::Rejected;
            return;
        }
        RequireMapRows(bitmap, check.layout);
        if (check.tile < 0 || check.tile > 255) {
            // Such a number fails at the first tile pixel and only there: the rows decide.
            DiscardedRecords nowhere;
            ConvertMapRows(bitmap, check.layout, check.tile, nowhere, pump);
        }
        check.end = CheckEnd::Accepted;
    });
    return check;
}

std::vector<FileBeingRead> FilesBeingRead(const TilesetCheck& tileset,
                                          const std::vector<LayerCheck>& layers) {
    std::vector<FileBeingRead> reading;
    if (tileset.opened) {
        reading.push_back({tileset.identity, "the tileset"});
    }
    for (std::size_t i = 0; i < layers.size(); ++i) {
        if (layers[i].opened) {
            reading.push_back({layers[i].identity, "the bitmap of layer " + std::to_string(i + 1)});
        }
    }
    return reading;
}

namespace {

// Writes the level from inputs that passed their checks; returns each layer's number of records.
// Throws FileError when output may not be replaced or an input changed since its check, any
// run-time error of the conversion, and RunInterrupted; output is then left as it was.
std::vector<std::uint64_t> WriteComposedLevel(const std::string& tileset,
                                              const std::vector<Layer>& layers,
                                              const std::vector<LayerCheck>& checks,
                                              const std::string& output,
                                              const std::vector<FileBeingRead>& reading,
                                              FrontEnd& window) {
    OutputFile level(output, reading);
    modModule::SetStatus(window, texts::kCopyingTileset);
    const std::int32_t size = [&] {
        InputFile sizeField(tileset);
        return ReadTilesetSize(sizeField);
    }();
    {
        InputFile prefix(tileset);
        CopyBytes(prefix, static_cast<std::uint64_t>(size), level, window);
    }

    std::vector<std::uint64_t> records;
    for (std::size_t i = 0; i < layers.size(); ++i) {
        modModule::SetStatus(window, "converting layer " + std::to_string(i + 1) + " of " +
                                         std::to_string(layers.size()) + ": tile " +
                                         std::to_string(checks[i].tile) + " from " +
                                         Quoted(layers[i].bitmap));
        MapHeaderFields header = ReadHeader(layers[i].bitmap);
        InputFile bitmap(layers[i].bitmap);
        ReadMapPallet(bitmap, header);
        if (DecideMapLayout(header) != checks[i].layout) {
            throw FileError(Quoted(layers[i].bitmap) + " changed while compose ran");
        }
        records.push_back(ConvertMapRows(bitmap, checks[i].layout, checks[i].tile, level, window));
    }
    level.Commit();
    return records;
}

// Why output may not be replaced; empty when it may.
std::string OutputCause(const std::string& output, const std::vector<FileBeingRead>& reading) {
    try {
        CheckReplaceable(output, reading);
    } catch (const FileError& error) {
        return error.what();
    }
    return {};
}

// Failed when anything failed, else rejected when a layer was rejected.
CheckEnd Worst(const Composition& composition) {
    const auto any = [&](CheckEnd end) {
        return std::any_of(composition.layers.begin(), composition.layers.end(),
                           [end](const LayerCheck& check) { return check.end == end; });
    };
    if (composition.tileset.end == CheckEnd::Failed || !composition.outputCause.empty() ||
        any(CheckEnd::Failed)) {
        return CheckEnd::Failed;
    }
    return any(CheckEnd::Rejected) ? CheckEnd::Rejected : CheckEnd::Accepted;
}

RunOutcome OutcomeOf(CheckEnd end) {
    return end == CheckEnd::Accepted   ? RunOutcome::Converted
           : end == CheckEnd::Rejected ? RunOutcome::Rejected
                                       : RunOutcome::Failed;
}

}  // namespace

void Compose(const std::string& tileset, const std::vector<Layer>& layers,
             const std::string& output, FrontEnd& window, Composition& composition) {
    modModule::SetStatus(window,
                         "checking the tileset and " + Counted(layers.size(), "layer", "layers"));
    composition.tileset = CheckTileset(tileset);
    for (const Layer& layer : layers) {
        composition.layers.push_back(CheckLayer(layer, window));
        DoEvents(window);
    }
    const std::vector<FileBeingRead> reading =
        FilesBeingRead(composition.tileset, composition.layers);
    composition.outputCause = OutputCause(output, reading);
    composition.end = Worst(composition);
    if (composition.end == CheckEnd::Accepted) {
        try {
            composition.records =
                WriteComposedLevel(tileset, layers, composition.layers, output, reading, window);
        } catch (const RunTimeError& error) {
            composition.writeCause = error.what();
        } catch (const std::bad_alloc&) {
            composition.writeCause = "out of memory";
        }
        if (!composition.writeCause.empty()) {
            composition.end = CheckEnd::Failed;
        }
    }
    EndRun(window, OutcomeOf(composition.end));
}

}  // namespace quorbel::cli
