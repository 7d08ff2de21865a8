// One running instance per user: an exclusive advisory lock (flock) on a file
// in the user's runtime directory. The kernel drops the lock when the holding
// process ends, however it ends, so a crashed instance never blocks the next.
#pragma once

#include <string>
#include <string_view>

namespace vertoko {

// Lock file for name: $XDG_RUNTIME_DIR/vertoko-<name>.lock when that
// variable names a directory, else /tmp/vertoko-<name>-<uid>.lock.
std::string SingleInstanceLockPath(std::string_view name);

// The socket beside the lock through which a second start hands its file to
// the running instance: the lock's path with ".sock" for ".lock".
std::string InstanceSocketPath(std::string_view lockPath);

// Connects to the running instance's socket and sends message and a line
// feed. The first instance takes the lock before it listens, so a second
// start may come in between: it tries again for up to waitMilliseconds.
// False when nobody took the message.
bool SendToRunningInstance(const std::string& socketPath, std::string_view message,
                           int waitMilliseconds);

class SingleInstanceLock {
  public:
    explicit SingleInstanceLock(std::string path);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // Takes the lock without waiting. False when another holder has it or
    // the file cannot be opened; either way this process must not run.
    bool Acquire();
    void Release();
    bool Held() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace vertoko
