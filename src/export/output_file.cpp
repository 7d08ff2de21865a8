#include "export/output_file.h"

#include <system_error>

#if defined(__unix__)
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace vertoko {

namespace {

// Opens path for writing from its start as fopen's "wb" does, except that a
// regular file is not cut to nothing first; cut tells whether it is to be
// cut when closed.
std::FILE* OpenForRewrite(const std::string& path, bool& cut) {
    cut = false;
#if defined(__unix__)
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0666);
    if (fd < 0) return nullptr;
    // Devices and pipes have nothing to cut.
    struct stat info;
    cut = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) close(fd);
    return file;
#else
    return std::fopen(path.c_str(), "wb");
#endif
}

}  // namespace

OutputFile::~OutputFile() {
    StopWriter();
    if (file_ != nullptr) Finish();
}

bool OutputFile::Open(const std::string& path) {
    if (file_ != nullptr) Close();
    failed_ = false;
    buffer_.clear();
    // Binary mode: the line ends are written as "\r\n" by the callers.
    file_ = OpenForRewrite(path, cutAtClose_);
    if (file_ == nullptr) return false;
    buffer_.reserve(kCapacity);
    return true;
}

void OutputFile::Write(const std::string& block) {
    if (file_ != nullptr && !failed_ && !block.empty()) {
        if (std::fwrite(block.data(), 1, block.size(), file_) != block.size()) failed_ = true;
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
    if (file_ == nullptr) return false;
    StopWriter();
    Write(buffer_);
    buffer_.clear();
    return Finish() && !failed_;
}

bool OutputFile::Finish() {
    bool ok = std::fflush(file_) == 0;
#if defined(__unix__)
    if (cutAtClose_) {
        // The old text past what reached the file goes, after a failed
        // write too, so that none of it is left behind the new text.
        const off_t length = lseek(fileno(file_), 0, SEEK_CUR);
        if (length < 0 || ftruncate(fileno(file_), length) != 0) ok = false;
    }
#endif
    if (std::fclose(file_) != 0) ok = false;
    file_ = nullptr;
    cutAtClose_ = false;
    return ok;
}

}  // namespace vertoko
