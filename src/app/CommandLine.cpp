#include "app/CommandLine.h"

#include "app/ExchangeCommands.h"
#include "platform/Platform.h"
#include "workbench/CheckCommand.h"

#include <iostream>

static_assert(CheckFoundNothing == ExitOk && CheckFoundProblems == ExitFindings &&
                  CheckBadUse == ExitFailure,
              "--check gives the exit codes every command gives");

std::string CommandLineHelp() {
    return "Usage: wordlark                      start the program's windows\n"
           "       wordlark --export po|pot|xliff [options] FILE -o OUT\n"
           "       wordlark --import IN [options] FILE\n"
           "       wordlark --check [options] FILE...   (wordlark --check --help says more)\n"
           "       wordlark --help\n"
           "\n" +
           ExchangeCommandsHelp();
}

std::optional<int> RunCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                  std::ostream& err) {
    if (args.empty())
        return std::nullopt;
    const std::string& command = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--export")
        return RunExportCommand(rest, out, err);
    if (command == "--import")
        return RunImportCommand(rest, out, err);
    if (command == "--check")
        return RunCheckCommand(rest, platform::ExtractFilePath(platform::Get().ExecutablePath()),
                               out, err);
    if (command == "--help" || command == "-h") {
        out << CommandLineHelp();
        return ExitOk;
    }
    return std::nullopt;
}

std::optional<int> RunCommandLine(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    // What a command prints goes to the console it was started from.
    if (!args.empty() && args.front().rfind("--", 0) == 0)
        platform::UseStartingConsole();
    return RunCommandLine(args, std::cout, std::cerr);
}
