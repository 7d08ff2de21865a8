#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
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

std::string InstanceSocketPath(std::string_view lockPath) {
    constexpr std::string_view kLock = ".lock";
    if (lockPath.size() >= kLock.size() && lockPath.substr(lockPath.size() - kLock.size()) == kLock)
        lockPath.remove_suffix(kLock.size());
    return std::string(lockPath) + ".sock";
}

namespace {

// One attempt: connect, send everything, close. MSG_NOSIGNAL: a listener
// that goes away must not end this process with SIGPIPE.
bool SendOnce(const sockaddr_un& address, const std::string& text) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool sent = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    for (std::size_t done = 0; sent && done < text.size();) {
        const ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) sent = false;
        if (n > 0) done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return sent;
}

}  // namespace

bool SendToRunningInstance(const std::string& socketPath, std::string_view message,
                           int waitMilliseconds) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const std::string text = std::string(message) + "\n";
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
    for (;;) {
        if (SendOnce(address, text)) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
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
