#include "export/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace vertoko {

OutputFile::~OutputFile() {
    StopWriter();
    if (descriptor_ >= 0) Finish();
}

bool OutputFile::Open(const std::string& path) {
    if (descriptor_ >= 0) Close();
    // Binary: the line ends are written as "\r\n" by the callers.
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        error_ = errno;
        return false;
    }
    Start(descriptor);
    return true;
}

void OutputFile::Attach(int descriptor) {
    if (descriptor_ >= 0) Close();
    Start(descriptor);
}

void OutputFile::Start(int descriptor) {
    descriptor_ = descriptor;
    error_ = 0;
    buffer_.clear();
    buffer_.reserve(kCapacity);
}

void OutputFile::Write(const std::string& block) {
    if (descriptor_ < 0 || error_ != 0) return;
    const char* at = block.data();
    std::size_t left = block.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor_, at, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            return;
        }
        // A write that crosses a size limit writes up to it; the next one
        // gives the reason.
        at += written;
        left -= static_cast<std::size_t>(written);
    }
}

void OutputFile::RunWriter() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return pending_ || stop_; });
        if (!pending_) return;
        // Drain leaves writing_ alone until pending_ is false again.
        lock.unlock();
        Write(writing_);
        lock.lock();
        pending_ = false;
        changed_.notify_all();
    }
}

void OutputFile::StopWriter() {
    if (!writer_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    writer_.join();
    stop_ = false;
}

void OutputFile::Drain() {
    if (!writer_.joinable()) {
        try {
            writing_.reserve(kCapacity);
            writer_ = std::thread([this] { RunWriter(); });
        } catch (const std::system_error&) {
            Write(buffer_);  // no second thread: written here
            buffer_.clear();
            return;
        }
    }
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !pending_; });
        writing_.swap(buffer_);
        pending_ = true;
    }
    changed_.notify_all();
    buffer_.clear();
}

bool OutputFile::Close() {
    if (descriptor_ < 0) return false;
    StopWriter();
    Write(buffer_);
    buffer_.clear();
    return Finish() && error_ == 0;
}

bool OutputFile::Finish() {
    // Some file systems report a failed write only at the close. The
    // descriptor is gone after close whatever it returns, EINTR included.
    const bool ok = ::close(descriptor_) == 0;
    if (!ok && error_ == 0) error_ = errno;
    descriptor_ = -1;
    return ok;
}

}  // namespace vertoko
