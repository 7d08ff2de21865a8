// Running part of a test in a child process: under a file-size limit, as an
// unprivileged user, or where it must end the process. The child hands a
// text and its exit status back.
#pragma once

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

namespace vertoko::test {

struct ChildOutcome {
    bool exited = false;  // ended by _exit, not by a signal
    int status = -1;      // the exit status, or the signal's number
    std::string text;     // what the child put into its text
};

// Runs body(text) in a forked child, which ends with body's result as its
// status. Only async-signal-safe work should be expected of the parent's
// state there; the tests' writers start threads of their own.
template <typename Body>
ChildOutcome InChild(Body body) {
    ChildOutcome outcome;
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return outcome;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        std::string text;
        const int status = body(text);
        for (std::size_t at = 0; at < text.size();) {
            const ssize_t n = ::write(pipeEnds[1], text.data() + at, text.size() - at);
            if (n <= 0) break;
            at += static_cast<std::size_t>(n);
        }
        ::_exit(status);
    }
    ::close(pipeEnds[1]);
    char block[4096];
    for (ssize_t n; (n = ::read(pipeEnds[0], block, sizeof block)) > 0;)
        outcome.text.append(block, static_cast<std::size_t>(n));
    ::close(pipeEnds[0]);
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child) {
        outcome.exited = WIFEXITED(status);
        outcome.status = outcome.exited ? WEXITSTATUS(status) : WTERMSIG(status);
    }
    return outcome;
}

// Files this process writes may grow to bytes; the write that would cross
// the limit fails with EFBIG instead of ending the process by SIGXFSZ.
inline bool LimitFileSize(rlim_t bytes) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

// The user and group nobody, whom root becomes to meet permissions.
constexpr uid_t kNobody = 65534;

// As root, becomes nobody (root writes where permissions forbid it);
// anyone else stays who he is. False when that failed.
inline bool BecomeUnprivileged() {
    if (::geteuid() != 0) return true;
    return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
}

// The names in folder, hidden ones included.
inline std::set<std::string> Names(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

}  // namespace vertoko::test
