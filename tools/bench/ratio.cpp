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

struct Figure {
  std::string what;
  double ratio, goal;
};

std::vector<Figure>& Figures() {
  static std::vector<Figure> all;
  return all;
}

// One line: "ratio  WHAT = 1.23x (goal <= 1.50x)  ok".
bool Print(const std::string& what, double ratio, double goal) {
  const bool ok = goal <= 0 || ratio <= goal;
  std::printf("ratio  %s = %.2fx", what.c_str(), ratio);
  if (goal > 0) std::printf(" (goal <= %.2fx)  %s", goal, ok ? "ok" : "MISSED");
  std::printf("\n");
  return ok;
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

void ReportRatio(std::string what, double ratio, double goal) { Figures().push_back({std::move(what), ratio, goal}); }

int RunAndReport(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  benchmark::Shutdown();
  int misses = 0;
  for (const Comparison& c : Comparisons()) {
    auto a = collector.times.find(c.candidate), b = collector.times.find(c.baseline);
    if (a == collector.times.end() || b == collector.times.end() || b->second <= 0) continue;
    if (!Print(c.candidate + " vs " + c.baseline, a->second / b->second, c.goal)) ++misses;
  }
  for (const Figure& f : Figures())
    if (!Print(f.what, f.ratio, f.goal)) ++misses;
  std::fflush(stdout);
  return 0;  // a missed goal is reported, not a failure: timings here are noisy
}

}  // namespace xl::bench
