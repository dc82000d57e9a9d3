// A level composed of layers: the tileset's leading bitmap, then, layer by layer in the order
// given, exactly the records that convert writes of the layer's map bitmap with its tile number.
// Every input is checked through the conversion's own steps before anything is written, so that
// a layer is rejected or fails exactly when convert would reject or fail it; the level is then
// streamed into the output, one stored row at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "conversion/front_end.h"
#include "conversion/map_layout.h"
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

// Writes the level to output from inputs that passed their checks, showing progress on window's
// status line; returns each layer's number of records. Throws FileError when output may not be
// replaced (reading lists the inputs) or an input changed since its check, any run-time error of
// the conversion, and RunInterrupted; output is then left as it was.
std::vector<std::uint64_t> WriteComposedLevel(const std::string& tileset,
                                              const std::vector<Layer>& layers,
                                              const std::vector<LayerCheck>& checks,
                                              const std::string& output,
                                              const std::vector<FileBeingRead>& reading,
                                              FrontEnd& window);

}  // namespace quorbel::cli
