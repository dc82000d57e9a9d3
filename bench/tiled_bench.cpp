// Export and import of the largest level convert makes (a 1024 x 1024 all-dark map, 1,048,576
// records), beside the conversion that made it, in one run: the goal is each within 10 times the
// conversion's time. Files live in the system's temporary folder.
#include <benchmark/benchmark.h>

#include "conversion/conversion_run.h"
#include "support/bmp_builder.h"
#include "support/recording_front_end.h"
#include "support/scratch_dir.h"
#include "tiled/level_export.h"
#include "tiled/level_import.h"

namespace {

using namespace quorbel;

class QuietFrontEnd : public test::RecordingFrontEnd {
  public:
    void ProcessEvents() override {}
};

constexpr int kSide = 1024;

// A folder with a tileset of the sample's size and the all-dark map.
struct Inputs {
    Inputs() {
        test::BmpBuilder(304, 160).WriteTo(dir / "tileset.bmp");
        test::BmpBuilder(kSide, kSide).Pixels([](int, int) { return 0; }).WriteTo(dir / "map.bmp");
    }
    test::ScratchDir dir;
};

const test::ScratchDir& Files() {
    static const Inputs inputs;
    return inputs.dir;
}

bool Convert(const std::string& output) {
    QuietFrontEnd window;
    window.fields = {{Field::txtTileNum, "171"},
                     {Field::txtTile, Files() / "tileset.bmp"},
                     {Field::txtPic, Files() / "map.bmp"},
                     {Field::txtOut, output}};
    return RunConversion(window).outcome == RunOutcome::Converted;
}

const std::string& Level() {
    static const std::string level = [] {
        const std::string path = Files() / "level.lvl";
        if (!Convert(path)) {
            throw std::runtime_error("the conversion failed");
        }
        return path;
    }();
    return level;
}

void Ignore(const std::string&) {}

void BM_Convert(benchmark::State& state) {
    for (auto _ : state) {
        if (!Convert(Files() / "again.lvl")) {
            state.SkipWithError("the run did not convert");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_Convert)->Unit(benchmark::kMillisecond);

void BM_Export(benchmark::State& state, const char* map) {
    for (auto _ : state) {
        tiled::ExportLevel(Level(), Files() / map, Ignore);
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK_CAPTURE(BM_Export, tmx, "map.tmx")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export, json, "map.tmj")->Unit(benchmark::kMillisecond);

void BM_Import(benchmark::State& state, const char* map) {
    tiled::ExportLevel(Level(), Files() / map, Ignore);
    for (auto _ : state) {
        tiled::ImportMap(Files() / map, std::nullopt, Files() / "back.lvl", Ignore);
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK_CAPTURE(BM_Import, tmx, "map.tmx")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Import, json, "map.tmj")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
