#include "export/output_file.h"

#include <system_error>

namespace vertoko {

OutputFile::~OutputFile() {
    StopWriter();
    if (file_ != nullptr) std::fclose(file_);
}

bool OutputFile::Open(const std::string& path) {
    if (file_ != nullptr) Close();
    failed_ = false;
    buffer_.clear();
    // Binary mode: the line ends are written as "\r\n" by the callers.
    file_ = std::fopen(path.c_str(), "wb");
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
    if (std::fflush(file_) != 0) failed_ = true;
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

}  // namespace vertoko
