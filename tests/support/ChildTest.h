// Windows has no fork: a test that needs a process to die at a chosen moment,
// or to start from another folder, runs one disabled test of this same binary
// in a child process. The child reads what to do from the environment.
#pragma once

#ifdef _WIN32
#include <string>
#include <utility>
#include <vector>

namespace childtest {

using Environment = std::vector<std::pair<std::string, std::string>>;

// Runs the disabled test `name` ("Suite.DISABLED_Name") of the executable `exe`
// (this binary when empty) with the variables of `env` set, its output thrown
// away. Returns its exit code, or -1 when it could not start or did not end
// within 60 seconds.
long Run(const std::string& name, const Environment& env, const std::string& exe = "");

// A variable set for the child; empty when not set.
std::string Variable(const char* name);

// True under wine, which tells about itself through ntdll.
bool UnderWine();

} // namespace childtest
#endif
