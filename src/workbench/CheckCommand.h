// wordlark --check: the workbench's checks on translation files, from the
// command line and without a window, for the maker who receives translations
// and for scripts.
//
//   wordlark --check [--reference FILE] [--language NAME] [--json] FILE...
//
// Each problem is printed as "FILE:LINE: reason", then a summary line; with
// --json the same as one JSON document. The reasons are English unless
// --language names one of the program's own interface languages; their texts
// then come from its language file beside the executable.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Exit statuses of the command.
constexpr int CheckFoundNothing = 0;
constexpr int CheckFoundProblems = 1;
constexpr int CheckBadUse = 2; // bad arguments, or a file that cannot be read

// Runs the command with the arguments that follow "--check". The program's
// own catalogue and language files are in `programFolder` (with its trailing
// separator). Returns the exit status.
int RunCheckCommand(const std::vector<std::string>& arguments, const std::string& programFolder,
                    std::ostream& out, std::ostream& err);
