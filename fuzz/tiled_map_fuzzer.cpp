// Fuzz target over import: the input is a map file, TMX or JSON as its first character says,
// imported in a scratch folder with a fixed tileset picture. An import either writes a level
// that is the picture followed by whole records, one for each tile it counted, or refuses with
// MapError or FileError and leaves no output; any other exception escapes and ends the fuzzer as
// a crash.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/errors.h"
#include "support/bmp_builder.h"
#include "support/scratch_dir.h"
#include "tiled/level_import.h"
#include "tiled/tiled_map.h"

namespace {

using namespace quorbel;

[[noreturn]] void Broken(const char* promise, const std::string& detail = "") {
    std::fprintf(stderr, "broken promise: %s\n%s\n", promise, detail.c_str());
    std::abort();
}

struct Folder {
    Folder() { test::WriteWholeFile(dir / "t.bmp", Tileset()); }
    static std::string Tileset() { return test::BmpBuilder(304, 160).Bytes(); }
    test::ScratchDir dir;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Folder folder;
    const std::string map = folder.dir / "map";
    const std::string output = folder.dir / "out.lvl";
    test::WriteWholeFile(map, std::string(reinterpret_cast<const char*>(data), size));
    std::filesystem::remove(output);
    bool refused = false;
    try {
        const tiled::ImportSummary summary =
            tiled::ImportMap(map, folder.dir / "t.bmp", output, [](const std::string&) {});
        const std::string level = test::ReadWholeFile(output);
        const std::string tileset = Folder::Tileset();
        if (!level.starts_with(tileset) ||
            level.size() != tileset.size() + kLevelRecordSize * summary.records) {
            Broken("a level is the tileset picture and one record for each tile counted");
        }
    } catch (const tiled::MapError&) {
        refused = true;
    } catch (const FileError&) {
        refused = true;
    }
    if (refused && std::filesystem::exists(output)) {
        Broken("a refused import leaves no output");
    }
    return 0;
}
