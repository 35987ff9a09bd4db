// The exchange commands: a translation exported as PO, POT or XLIFF for the
// translators' other tools, and their translations imported back.
//
//   wordlark --export po|pot|xliff [--reference REF] [--encoding ENC]
//            [--reference-encoding ENC] [--language NAME] FILE -o OUT
//   wordlark --import IN [--encoding ENC] [-o OUT] FILE
#pragma once

#include <ostream>
#include <string>
#include <vector>

// The arguments after --export / --import; the exit code (see TExitCode).
int RunExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunImportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The commands' part of --help.
std::string ExchangeCommandsHelp();
