// vertoko-convert: reads DXF files and writes EASTRAY, POV-Ray or OBJ files
// from the command line, with the same log lines as the desktop application.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/convert_run.h"
#include "export/save_transaction.h"

namespace {

// A save cut short by a signal leaves its targets as they were and none of
// its temporaries; the process then ends by the signal as it would have.
extern "C" void EndBySignal(int number) {
    vertoko::RemoveTemporariesAtExit();
    std::signal(number, SIG_DFL);
    // Blocked while the handler runs: delivered as it returns.
    std::raise(number);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef SIGPIPE
    // An output that is a pipe closed by its reader then fails its writes,
    // which the writers report, instead of ending the process silently.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    // Likewise a file-size limit: the write that crosses it fails (EFBIG) and
    // the save is undone, where the signal would end the process and leave
    // the temporary behind.
    std::signal(SIGXFSZ, SIG_IGN);
    struct sigaction action = {};
    action.sa_handler = EndBySignal;
    // Nothing interrupts the handler: a second signal would wait for the
    // first one's hold on the list of temporaries forever.
    sigfillset(&action.sa_mask);
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal ignored when we were started (nohup, a background job of a
        // shell without job control) stays ignored.
        struct sigaction before = {};
        if (sigaction(number, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
        sigaction(number, &action, nullptr);
    }
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return vertoko::ConvertMain(arguments, std::cout, std::cerr);
}
