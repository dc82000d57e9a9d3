// Whole processes timed side by side in one run, as these noisy machines need: two commands
// alternately, medians of their times, and their peaks of memory.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_process.h"

namespace quorbel::bench {

// $QUORBEL_BENCH_DIR, or the system's temporary folder (empty).
inline std::filesystem::path BenchFolder() {
    const char* folder = std::getenv("QUORBEL_BENCH_DIR");
    return folder != nullptr ? std::filesystem::path(folder) : std::filesystem::path();
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One whole process: its time, and the largest peak of memory seen.
inline bool Timed(const std::string& program, const std::vector<std::string>& args,
                  std::vector<double>& seconds, long& peakKiB) {
    const auto start = std::chrono::steady_clock::now();
    const test::ProcessResult result = test::RunProcess(program, args);
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    peakKiB = std::max(peakKiB, result.peakMemoryKiB);
    return result.exitStatus == 0;
}

// A command of a side-by-side run, and the name its counters go by.
struct Side {
    std::string name;
    std::string program;
    std::vector<std::string> args;
};

// a and b alternately, whole processes; the reported time is a's, the counters hold both
// medians (NAME_ms), their ratio (A_per_B) and both peaks (NAME_peak_KiB).
inline void Alternate(benchmark::State& state, const Side& a, const Side& b) {
    std::vector<double> aSeconds;
    std::vector<double> bSeconds;
    long aKiB = 0;
    long bKiB = 0;
    for (auto _ : state) {
        if (!Timed(a.program, a.args, aSeconds, aKiB) ||
            !Timed(b.program, b.args, bSeconds, bKiB)) {
            state.SkipWithError((a.name + " or " + b.name + " failed").c_str());
            return;
        }
        state.SetIterationTime(aSeconds.back());
    }
    if (aSeconds.empty()) {
        return;
    }
    state.counters[a.name + "_ms"] = 1000 * Median(aSeconds);
    state.counters[b.name + "_ms"] = 1000 * Median(bSeconds);
    state.counters[a.name + "_per_" + b.name] = Median(aSeconds) / Median(bSeconds);
    state.counters[a.name + "_peak_KiB"] = static_cast<double>(aKiB);
    state.counters[b.name + "_peak_KiB"] = static_cast<double>(bKiB);
}

}  // namespace quorbel::bench
