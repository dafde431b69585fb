#include "tools/bench/ratio.h"

#include <cstdio>
#include <map>
#include <vector>

namespace xl::bench {
namespace {

struct Comparison {
  std::string candidate, baseline;
  double goal;
};

std::vector<Comparison>& Comparisons() {
  static std::vector<Comparison> all;
  return all;
}

// Collects each run's real time per iteration while printing as the console reporter does.
class Collector : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.iterations > 0 && r.aggregate_name.empty()) times[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace

void Compare(std::string candidate, std::string baseline, double goal) {
  Comparisons().push_back({std::move(candidate), std::move(baseline), goal});
}

int RunAndReport(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  benchmark::Shutdown();
  int misses = 0;
  for (const Comparison& c : Comparisons()) {
    auto a = collector.times.find(c.candidate), b = collector.times.find(c.baseline);
    if (a == collector.times.end() || b == collector.times.end() || b->second <= 0) continue;
    double ratio = a->second / b->second;
    bool ok = c.goal <= 0 || ratio <= c.goal;
    if (!ok) ++misses;
    std::printf("ratio  %s vs %s = %.2fx", c.candidate.c_str(), c.baseline.c_str(), ratio);
    if (c.goal > 0) std::printf(" (goal <= %.2fx)  %s", c.goal, ok ? "ok" : "MISSED");
    std::printf("\n");
  }
  std::fflush(stdout);
  return 0;  // a missed goal is reported, not a failure: timings here are noisy
}

}  // namespace xl::bench
