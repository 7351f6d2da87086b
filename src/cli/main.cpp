// tarven-cli COMMAND FILE [OPTIONS]: the windows' measurements without a
// window (see cli/cli.h).
#include "cli/cli.h"
#include "cli/qtservices.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    // Qt (and with it a platform plugin) only for the commands that draw.
    const tarven::cli::Services services =
        tarven::cli::needsQt(args) ? tarven::cli::qtServices() : tarven::cli::Services{};
    const int status = tarven::cli::run(args, std::cout, std::cerr, services);
    std::cout.flush();
    return status;
}
