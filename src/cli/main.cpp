// vertoko-convert: reads DXF files and writes EASTRAY, POV-Ray or OBJ files
// from the command line, with the same log lines as the desktop application.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/convert_run.h"

int main(int argc, char** argv) {
#ifdef SIGPIPE
    // An output that is a pipe closed by its reader then fails its writes,
    // which the writers report, instead of ending the process silently.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return vertoko::ConvertMain(arguments, std::cout, std::cerr);
}
