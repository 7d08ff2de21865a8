#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>

namespace vertoko {

namespace {

bool IsDirectory(const char* path) {
    struct stat info {};
    return ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string SingleInstanceLockPath(std::string_view name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] != '\0' && IsDirectory(runtime)) {
        std::string path = runtime;
        if (path.back() != '/') path += '/';
        return path + "vertoko-" + std::string(name) + ".lock";
    }
    // /tmp is shared by all users: the user id keeps one user's instance
    // from blocking another's.
    return "/tmp/vertoko-" + std::string(name) + "-" + std::to_string(::getuid()) + ".lock";
}

SingleInstanceLock::SingleInstanceLock(std::string path) : path_(std::move(path)) {}

SingleInstanceLock::~SingleInstanceLock() { Release(); }

bool SingleInstanceLock::Acquire() {
    if (fd_ >= 0) return true;
    // O_CLOEXEC: a child process started later must not inherit the lock.
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void SingleInstanceLock::Release() {
    if (fd_ < 0) return;
    // The file stays: unlinking it would let a third process lock a new
    // file while a second still waits on the old one.
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

}  // namespace vertoko
