// Natively the scenarios run on MemoryUi.
#include "tools/scenario/memory_driver.h"

namespace xl::scenario {

std::unique_ptr<ScenarioDriver> MakeDriver() { return std::make_unique<MemoryDriver>(); }

}  // namespace xl::scenario
