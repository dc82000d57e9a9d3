// quorbel-lvl compose of 8 layers of 1024 x 1024 all-dark maps (8,388,608 records, 32 MiB), side
// by side with dd copying the same level (bs=1M conv=fsync): the goal is at most 1.3 times dd's
// time, with the memory of one conversion. Files go to $QUORBEL_BENCH_DIR, or to the system's
// temporary folder (which should be on a disk, not in memory, for fsync to mean anything).
#include <benchmark/benchmark.h>

#include <iostream>
#include <sstream>

#include "cli/compose_command.h"
#include "support/bmp_builder.h"
#include "support/scratch_dir.h"
#include "whole_process.h"

namespace {

using namespace quorbel;

constexpr int kLayers = 8;
constexpr int kSide = 1024;

// The inputs and the compose command line, made once.
struct Layers {
    test::ScratchDir dir{bench::BenchFolder()};
    std::vector<std::string> args;

    Layers() {
        test::BmpBuilder(16, 16).WriteTo(dir / "tileset.bmp");
        test::BmpBuilder(kSide, kSide).Pixels([](int, int) { return 0; }).WriteTo(dir / "dark.bmp");
        args = {"--quiet", dir / "tileset.bmp", dir / "level.lvl"};
        for (int tile = 1; tile <= kLayers; ++tile) {
            args.push_back(std::to_string(tile) + ":" + dir / "dark.bmp");
        }
    }
};

Layers& Inputs() {
    static Layers layers;
    return layers;
}

// compose in this process: what the level costs without starting a program.
void BM_ComposeInProcess(benchmark::State& state) {
    Layers& in = Inputs();
    std::ostringstream out;
    std::ostringstream err;
    for (auto _ : state) {
        if (cli::ComposeCommand().Main(in.args, out, err) != 0) {
            state.SkipWithError(err.str().c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kLayers * kSide * kSide);
    state.SetBytesProcessed(state.iterations() * kLayers * kSide * kSide * 4);
}
BENCHMARK(BM_ComposeInProcess)->Unit(benchmark::kMillisecond)->Iterations(15);

// Whole processes, alternately: quorbel-lvl compose, then dd of the level it wrote. The reported
// time is compose's; the counters hold both medians, their ratio and both peaks of memory.
void BM_ComposeBesideDd(benchmark::State& state) {
    Layers& in = Inputs();
    std::vector<std::string> compose = {"compose"};
    compose.insert(compose.end(), in.args.begin(), in.args.end());
    const std::vector<std::string> dd = {"if=" + in.dir / "level.lvl", "of=" + in.dir / "copy.lvl",
                                         "bs=1M", "conv=fsync", "status=none"};
    bench::Alternate(state, {"compose", QUORBEL_LVL, compose}, {"dd", "/usr/bin/dd", dd});
}
BENCHMARK(BM_ComposeBesideDd)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(21);

}  // namespace

BENCHMARK_MAIN();
