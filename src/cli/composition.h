// A level composed of layers: the tileset's leading bitmap, then, layer by layer in the order
// given, exactly the records that convert writes of the layer's map bitmap with its tile number.
// Every input is checked through the conversion's own steps before anything is written, so that
// a layer is rejected or fails exactly when convert would reject or fail it; the level is then
// streamed into the output, one stored row at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "conversion/front_end.h"
#include "conversion/map_layout.h"
#include "files/file_system.h"
#include "files/output_file.h"

namespace quorbel::cli {

// One operand TILE:BITMAP.
struct Layer {
    std::string tileText;  // read as convert --tile reads it
    std::string bitmap;
};

// The operand split at its first colon. Throws UsageError when it has none.
Layer ParseLayer(const std::string& operand);

enum class CheckEnd { Accepted, Rejected, Failed };

// How the check of one input ended. A failure is no exception here: compose checks every input
// and then tells all that it found.
struct InputCheck {
    CheckEnd end = CheckEnd::Failed;
    std::string cause;    // what failed
    bool opened = false;  // the file could be opened, so its own conditions can explain it
    FileIdentity identity;
};

struct TilesetCheck : InputCheck {
    std::int32_t size = 0;
};

struct LayerCheck : InputCheck {
    std::int16_t tile = 0;
    MapLayout layout;
    std::string report;  // the header report, as far as the check got
};

// Reads the tileset's size field and makes sure the file holds that many bytes.
TilesetCheck CheckTileset(const std::string& path);

// Runs every step of a conversion of the layer but the writing: the tile number, the header and
// palette, the layout and its validation, the length of the rows, and, for a tile number that is
// no byte, the rows themselves (that fails at a tile pixel). Throws RunInterrupted when pump
// reports a stop.
LayerCheck CheckLayer(const Layer& layer, EventPump& pump);

// The files compose reads, which its output may not replace: those that could be opened.
std::vector<FileBeingRead> FilesBeingRead(const TilesetCheck& tileset,
                                          const std::vector<LayerCheck>& layers);

// How a compose ended, with everything its lines tell of.
struct Composition {
    CheckEnd end = CheckEnd::Failed;  // Accepted: the level is in place
    TilesetCheck tileset;
    std::vector<LayerCheck> layers;
    std::string outputCause;             // why the output may not be replaced; empty when it may
    std::string writeCause;              // what failed while the level was written
    std::vector<std::uint64_t> records;  // each layer's records, once written
};

// One compose, run as the conversion runs on window's status line: every input checked, then the
// level written to output from inputs that passed, output left as it was unless it is written.
// Ends as a conversion ends (EndRun): rejected when a layer was rejected and nothing failed,
// failed when anything failed. Fills composition as it goes, so that a stop leaves what was
// checked. Throws RunInterrupted when window reports a stop before the level is in place.
void Compose(const std::string& tileset, const std::vector<Layer>& layers,
             const std::string& output, FrontEnd& window, Composition& composition);

}  // namespace quorbel::cli
