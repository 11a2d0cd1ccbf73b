#pragma once

#include "EngineProgramDir.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

// The program folders a benchmark times, one per engine that runs here: the SQLite file,
// and a throwaway local server where its programs are installed.
namespace BenchEngines {
// Makes each engine's folder, the program's folder while `fill` stores what the timings
// need; an engine that cannot run is named on standard error and left out. False when
// `fill` fails.
bool prepare(const std::function<bool(EngineProgramDir&)>& fill);
// Makes the engine's folder the program's, its connections closed; false when that
// engine did not start.
bool use(const std::string& engine);
EngineProgramDir& dir(const std::string& engine);
// Closes the connections and removes the folders (a server stops with its folder).
void clear();
} // namespace BenchEngines
