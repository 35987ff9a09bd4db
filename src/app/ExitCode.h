// The exit codes every command-line command gives.
#pragma once

enum TExitCode : int {
    ExitOk = 0,       // done, nothing to report
    ExitFindings = 1, // done, with findings the output lists
    ExitFailure = 2,  // bad use, a file that cannot be read or written
};
