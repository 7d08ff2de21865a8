// What vertoko-convert does once its command line is parsed.
#pragma once

#include <ostream>

#include "cli/convert_options.h"

namespace vertoko {

// Reads every input as the load command does and, with an output, saves it
// as the save command does; the log lines go to out, one per line. Returns
// the exit status: 0 when every file was read (and written), 1 otherwise.
int RunConvert(const ConvertOptions& options, std::ostream& out);

// Parses arguments and runs; usage errors go to err with status 2.
int ConvertMain(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace vertoko
