// Runs a command several times and prints the wall time, peak resident
// memory and processor time of the fastest run. The clock is read right
// around the child's start and end, so a run of a few tens of milliseconds
// is measured without the cost of a timing program and a shell around it
// (some 14 ms on the build machine, which a 40 ms conversion would carry
// and a 900 ms one hardly notices).
//
//   run_timed REPEAT OUT ERR COMMAND [ARGS...]
//
// One untimed run goes first: the first run after a pause is slower on the
// build machine (by up to a fifth for a 40 ms conversion), whichever the
// program. Standard output and error of every run go to the files OUT and
// ERR (the last run's remain). Prints "seconds peak_kib cpu_seconds"; exits
// with 1 when a run fails, naming how it ended.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

extern char** environ;

namespace {

double Now() {
    timespec at{};
    clock_gettime(CLOCK_MONOTONIC, &at);
    return static_cast<double>(at.tv_sec) + static_cast<double>(at.tv_nsec) * 1e-9;
}

double Seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
}

struct Run {
    double wall = 0;
    long peakKib = 0;
    double cpu = 0;
};

// One run of argv with its output into out and err; false when it could
// not be started or did not exit with 0.
bool RunOnce(char** argv, const char* out, const char* err, Run& run) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t child = 0;
    const double start = Now();
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::fprintf(stderr, "run_timed: cannot run %s: %s\n", argv[0], std::strerror(spawned));
        return false;
    }
    int status = 0;
    rusage usage{};
    pid_t ended;
    do {
        ended = wait4(child, &status, 0, &usage);
    } while (ended < 0 && errno == EINTR);
    const double end = Now();
    if (ended != child) {
        std::perror("run_timed: wait4");
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        if (WIFSIGNALED(status))
            std::fprintf(stderr, "run_timed: %s ended by signal %d\n", argv[0], WTERMSIG(status));
        else
            std::fprintf(stderr, "run_timed: %s exited with %d\n", argv[0], WEXITSTATUS(status));
        return false;
    }
    run.wall = end - start;
    run.peakKib = usage.ru_maxrss;
    run.cpu = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: run_timed REPEAT OUT ERR COMMAND [ARGS...]\n");
        return 2;
    }
    const int repeat = std::atoi(argv[1]);
    if (repeat < 1) {
        std::fprintf(stderr, "run_timed: REPEAT must be at least 1\n");
        return 2;
    }
    Run best;
    if (Run warmUp; !RunOnce(argv + 4, argv[2], argv[3], warmUp)) return 1;
    for (int i = 0; i < repeat; ++i) {
        Run run;
        if (!RunOnce(argv + 4, argv[2], argv[3], run)) return 1;
        if (i == 0 || run.wall < best.wall) best = run;
    }
    std::printf("%.4f %ld %.3f\n", best.wall, best.peakKib, best.cpu);
    return 0;
}
