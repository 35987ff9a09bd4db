#include "app/CommandLine.h"
#include "app/Startup.h"
#include "app/WordlarkApplication.h"

int main(int argc, char** argv) {
    // A command given on the command line runs without a window.
    if (const std::optional<int> code = RunCommandLine(argc, argv))
        return *code;
    TWordlarkApplication application(argc, argv);
    return RunWordlark();
}
