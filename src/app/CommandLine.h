// The commands Wordlark runs from the command line, without a window: main()
// hands them the arguments before any application object exists, so they run
// where there is no display.
#pragma once

#include "app/ExitCode.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Runs the command that the arguments (without the program's name) name, and
// returns its exit code; none when they name no command, so that the program
// starts its windows.
std::optional<int> RunCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                  std::ostream& err);
std::optional<int> RunCommandLine(int argc, char** argv);

// What --help prints.
std::string CommandLineHelp();
