#pragma once
// Benchmarks on a shared, noisy machine say little in seconds; what holds is how a piece of
// work compares with a baseline measured in the same run. A benchmark program registers its
// comparisons, runs its benchmarks, and prints one line per comparison:
//   ratio  FindText/4MiB vs memmem/4MiB = 2.10x (goal <= 3.33x)  ok
#include <benchmark/benchmark.h>

#include <string>

namespace xl::bench {

// `candidate` and `baseline` are benchmark names as Google Benchmark reports them. The goal
// is the largest acceptable candidate/baseline time ratio (0: report only).
void Compare(std::string candidate, std::string baseline, double goal);

// A ratio the benchmark works out itself (peak memory, for example), printed with the
// comparisons; goal as for Compare.
void ReportRatio(std::string what, double ratio, double goal);

// Runs the registered benchmarks and prints the comparisons; use as main's body.
int RunAndReport(int argc, char** argv);

}  // namespace xl::bench
