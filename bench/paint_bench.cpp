// quorbel-lvl paint of a 1024 x 1024 drawing of four colours (1,048,576 records, 4 MiB), whole
// process, side by side in one run with what a designer runs today before convert, ImageMagick's
//   convert SAME.png -monochrome BMP3:out.bmp
// (goal: at most 1.0 times its time); paint with --rules (a terrain of 16 rules) beside paint
// without (goal: at most 1.2 times); and the peak memory of painting a 4096 x 4096 drawing (goal:
// at most the decoded picture, 64 MiB, plus 16 MiB). Files go to $QUORBEL_BENCH_DIR, or to the
// system's temporary folder.
#include <benchmark/benchmark.h>

#include <sstream>

#include "render/paint_command.h"
#include "samples/png_writer.h"
#include "samples/sample_pictures.h"
#include "support/bmp_builder.h"
#include "support/scratch_dir.h"
#include "whole_process.h"

namespace {

using namespace quorbel;

constexpr std::uint32_t kColours[] = {0xFF8B5A2B, 0xFF808080, 0xFFFFD700, 0xFF2864DC};

// Blocks of 8 x 8 cells of the four colours, mixed by position: every cell is painted, and the
// terrain's cells have edges and corners everywhere.
std::string FourColourPng(int side) {
    return samples::RgbaPng(side, side, [](int x, int y) {
        std::uint32_t h = static_cast<std::uint32_t>(x / 8) * 2654435761u +
                          static_cast<std::uint32_t>(y / 8) * 2246822519u;
        h ^= h >> 15;
        h *= 2221713035u;
        h ^= h >> 13;
        return kColours[h % 4];
    });
}

// A terrain of 16 rules: tops, bottoms, sides, corners, inner corners and narrow pieces.
constexpr const char* kRules = R"(terrain grass
outside X
fill 177 178
rule 183
  ? . ?
  . X .
  ? . ?
rule 183
  ? . ?
  . X .
  ? X ?
rule 172
  ? . ?
  . X X
  ? X ?
rule 175
  ? . ?
  X X .
  ? X ?
rule 173 174
  ? . ?
  X X X
  ? ? ?
rule 180
  ? X ?
  . X X
  ? . ?
rule 182
  ? X ?
  X X .
  ? . ?
rule 181
  ? X ?
  X X X
  ? . ?
rule 176
  ? X ?
  . X X
  ? X ?
rule 179
  ? X ?
  X X .
  ? X ?
rule 184
  . X ?
  X X ?
  ? ? ?
rule 184
  ? X .
  ? X X
  ? ? ?
rule 185
  ? ? ?
  X X ?
  . X ?
rule 185
  ? ? ?
  ? X X
  ? X .
rule 186
  ? . ?
  . X .
  ? . ?
rule 187
  ? ? ?
  . X .
  ? ? ?
)";

struct Inputs {
    test::ScratchDir dir{bench::BenchFolder()};
    std::string tileset = dir / "tileset.bmp";
    std::string plain = dir / "plain.gpl";
    std::string terrain = dir / "terrain.gpl";
    std::string rules = dir / "rules.txt";
    std::string picture = dir / "four.png";
    std::string large = dir / "four-4096.png";

    Inputs() {
        test::WriteWholeFile(tileset, samples::TilesetBmp());
        const std::string others =
            "128 128 128 platform 104\n255 215 0 coin 23\n40 100 220 water 50\n";
        test::WriteWholeFile(plain, "GIMP Palette\n139 90 43 ground 171\n" + others);
        test::WriteWholeFile(terrain, "GIMP Palette\n139 90 43 ground grass\n" + others);
        test::WriteWholeFile(rules, kRules);
        test::WriteWholeFile(picture, FourColourPng(1024));
        test::WriteWholeFile(large, FourColourPng(4096));
    }

    std::vector<std::string> Paint(bool withRules, const std::string& drawing) const {
        std::vector<std::string> args{"paint", "--quiet"};
        if (withRules) {
            args.insert(args.end(), {"--rules", rules});
        }
        args.insert(args.end(), {tileset, withRules ? terrain : plain, drawing, dir / "level.lvl"});
        return args;
    }
};

Inputs& Files() {
    static Inputs inputs;
    return inputs;
}

// paint of the 1024 x 1024 drawing beside ImageMagick's 1-bit BMP of it.
void BM_PaintBesideImageMagick(benchmark::State& state) {
    if (std::string(QUORBEL_IMAGEMAGICK).empty()) {
        state.SkipWithError("ImageMagick is not installed: bash scripts/install-deps");
        return;
    }
    const Inputs& in = Files();
    bench::Alternate(state, {"paint", QUORBEL_LVL, in.Paint(false, in.picture)},
                     {"imagemagick",
                      QUORBEL_IMAGEMAGICK,
                      {in.picture, "-monochrome", "BMP3:" + in.dir / "out.bmp"}});
}
BENCHMARK(BM_PaintBesideImageMagick)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(21);

// paint with a terrain of 16 rules beside paint of the same drawing without rules.
void BM_PaintWithRulesBesideWithout(benchmark::State& state) {
    const Inputs& in = Files();
    bench::Alternate(state, {"rules", QUORBEL_LVL, in.Paint(true, in.picture)},
                     {"plain", QUORBEL_LVL, in.Paint(false, in.picture)});
}
BENCHMARK(BM_PaintWithRulesBesideWithout)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(21);

// The 4096 x 4096 drawing, with rules: the peak beside the decoded picture's 64 MiB.
void BM_Paint4096PeakMemory(benchmark::State& state) {
    const Inputs& in = Files();
    std::vector<double> seconds;
    long peakKiB = 0;
    for (auto _ : state) {
        if (!bench::Timed(QUORBEL_LVL, in.Paint(true, in.large), seconds, peakKiB)) {
            state.SkipWithError("paint failed");
            return;
        }
        state.SetIterationTime(seconds.back());
    }
    const double decodedKiB = 4096.0 * 4096.0 * 4 / 1024;
    state.counters["peak_KiB"] = static_cast<double>(peakKiB);
    state.counters["beyond_picture_KiB"] = static_cast<double>(peakKiB) - decodedKiB;
}
BENCHMARK(BM_Paint4096PeakMemory)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// In this process: what painting costs without starting a program (Qt's start-up left out).
void BM_PaintInProcess(benchmark::State& state) {
    const Inputs& in = Files();
    const std::vector<std::string> args = in.Paint(state.range(0) != 0, in.picture);
    const std::vector<std::string> operands(args.begin() + 1, args.end());
    std::ostringstream out;
    std::ostringstream err;
    for (auto _ : state) {
        if (render::PaintCommand().Main(operands, out, err) != 0) {
            state.SkipWithError(err.str().c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * 1024 * 1024);
}
BENCHMARK(BM_PaintInProcess)->Arg(0)->Arg(1)->ArgName("rules")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
