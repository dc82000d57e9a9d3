// Micro-benchmarks of the record encoding and of a whole conversion run (files in the system's
// temporary folder, console-like front end that does nothing at a yield).
#include <benchmark/benchmark.h>

#include "conversion/conversion_run.h"
#include "conversion/tile_records.h"
#include "support/bmp_builder.h"
#include "support/recording_front_end.h"
#include "support/scratch_dir.h"

namespace {

using namespace quorbel;

// As the console is: nothing to process at a yield, so records are written without a call each.
class QuietFrontEnd : public test::RecordingFrontEnd {
  public:
    void ProcessEvents() override {}
    bool HasEventsToProcess() const override { return false; }
};

class QuietPump : public EventPump {
  public:
    void ProcessEvents() override {}
    bool StopRequested() const override { return false; }
    bool HasEventsToProcess() const override { return false; }
};

void BM_EncodeRow(benchmark::State& state) {
    const auto width = static_cast<std::int32_t>(state.range(0));
    const std::string row(static_cast<std::size_t>((width + 31) / 32 * 4), '\0');
    // Every 0-bit is a tile: the heaviest row.
    const modModule::RecordValues values{171, {1, 0}};
    test::CountingPump pump;
    for (auto _ : state) {
        benchmark::DoNotOptimize(modModule::EncodeRow(row, width, 512, values, pump));
    }
    state.SetItemsProcessed(state.iterations() * width);
}
BENCHMARK(BM_EncodeRow)->Arg(32)->Arg(1024);

// The same row for a front end without events (the console): straight into the output's buffer.
void BM_EncodeRowInto(benchmark::State& state) {
    const auto width = static_cast<std::int32_t>(state.range(0));
    const std::string row(static_cast<std::size_t>((width + 31) / 32 * 4), '\0');
    const modModule::RecordValues values{171, {1, 0}};
    QuietPump pump;
    std::string out(4 * static_cast<std::size_t>(width), '\0');
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            modModule::EncodeRowInto(out.data(), row, width, 512, values, pump));
    }
    state.SetItemsProcessed(state.iterations() * width);
}
BENCHMARK(BM_EncodeRowInto)->Arg(1024);

void BM_WholeRun(benchmark::State& state) {
    const auto side = state.range(0);
    test::ScratchDir dir;
    test::BmpBuilder(16, 16).WriteTo(dir / "tileset.lvl");
    test::BmpBuilder(side, side).Pixels([](int, int) { return 0; }).WriteTo(dir / "map.bmp");
    QuietFrontEnd window;
    window.fields = {{Field::txtTileNum, "171"},
                     {Field::txtTile, dir / "tileset.lvl"},
                     {Field::txtPic, dir / "map.bmp"},
                     {Field::txtOut, dir / "out.lvl"}};
    for (auto _ : state) {
        if (RunConversion(window).outcome != RunOutcome::Converted) {
            state.SkipWithError("the run did not convert");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_WholeRun)->Arg(64)->Arg(1024)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
