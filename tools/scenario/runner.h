#pragma once
// Runs scenario scripts against a driver.
//
// Each script runs on a fresh copy of its own folder, made in the system's temporary
// folder: every path of the script (gamedir, docsdir, browse, expect file...) is relative
// to that copy, so a script may let the program write data.ini, save replays or unpack
// the login style without touching the repository, and every run starts from the same
// files. The copy is removed when the script passes and kept (its place is printed) when
// it fails. Without gamedir and docsdir, both folders are the copy itself.
//
// A script stops at its first failing line; the line number, the line, and what was found
// instead are printed.
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>

#include "tools/scenario/driver.h"

namespace xl::scenario {

using DriverFactory = std::function<std::unique_ptr<ScenarioDriver>()>;

// Runs one script in `folder` (the copy) with a fresh driver; true when every line passed.
// Failures go to `out`, named after `scriptName`. Screenshots are written under `shots`,
// or under `folder` when it is empty.
bool RunCommands(std::string_view utf8Script, const std::filesystem::path& folder, ScenarioDriver& driver,
                 const std::string& scriptName, std::ostream& out, const std::filesystem::path& shots = {});

// Copies the script's folder, runs the script there and removes the copy when it passed.
bool RunScriptFile(const std::filesystem::path& script, const DriverFactory& makeDriver, std::ostream& out,
                   const std::filesystem::path& shots = {});

}  // namespace xl::scenario
