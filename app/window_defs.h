#pragma once
// The program's three windows as data: "start" (the replay list), "modify" (the edit pages)
// and "host" (hidden; hands the skinned window host its background picture).
#include <vector>

#include "platform/window_def.h"

namespace xl {

const std::vector<WindowDef>& ProgramWindows();

}  // namespace xl
