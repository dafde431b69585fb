// scenario_runner [--shots DIR] FILE...: runs each scenario script on a fresh copy of its
// folder and exits non-zero when any line of any script failed. With --shots, the scripts'
// screenshots go under DIR instead of into the copy, which a passing run removes.
#include <filesystem>
#include <iostream>
#include <string_view>

#include "tools/scenario/runner.h"

int main(int argc, char** argv) {
  std::filesystem::path shots;
  int first = 1;
  if (argc > 2 && std::string_view(argv[1]) == "--shots") {
    shots = argv[2];
    first = 3;
  }
  if (first >= argc) {
    std::cerr << "usage: scenario_runner [--shots DIR] FILE.scn...\n";
    return 2;
  }
  bool allPassed = true;
  for (int i = first; i < argc; ++i)
    allPassed &= xl::scenario::RunScriptFile(argv[i], xl::scenario::MakeDriver, std::cout, shots);
  std::cout.flush();
  return allPassed ? 0 : 1;
}
