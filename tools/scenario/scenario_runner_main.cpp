// scenario_runner FILE...: runs each scenario script on a fresh copy of its folder and
// exits non-zero when any line of any script failed.
#include <iostream>

#include "tools/scenario/runner.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: scenario_runner FILE.scn...\n";
    return 2;
  }
  bool allPassed = true;
  for (int i = 1; i < argc; ++i) allPassed &= xl::scenario::RunScriptFile(argv[i], xl::scenario::MakeDriver, std::cout);
  std::cout.flush();
  return allPassed ? 0 : 1;
}
