// vertoko-convert: reads DXF files and writes EASTRAY, POV-Ray or OBJ files
// from the command line, with the same log lines as the desktop application.
#include <iostream>
#include <string>
#include <vector>

#include "cli/convert_run.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return vertoko::ConvertMain(arguments, std::cout, std::cerr);
}
