#include "export/output_file.h"

#include <system_error>

namespace vertoko {

OutputFile::~OutputFile() {
    Finish();
    if (file_ != nullptr) std::fclose(file_);
}

bool OutputFile::Open(const std::string& path) {
    if (file_ != nullptr) Close();
    failed_ = false;
    buffer_.clear();
    // Binary mode: the line ends are written as "\r\n" by the callers.
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) return false;
    buffer_.reserve(kFlushSize + 4096);
    return true;
}

void OutputFile::Write(const std::string& block) {
    if (file_ != nullptr && !failed_ && !block.empty()) {
        if (std::fwrite(block.data(), 1, block.size(), file_) != block.size()) failed_ = true;
    }
}

void OutputFile::Finish() {
    if (writer_.joinable()) writer_.join();
}

void OutputFile::Drain() {
    Finish();
    writing_.swap(buffer_);
    buffer_.clear();
    try {
        writer_ = std::thread([this] { Write(writing_); });
    } catch (const std::system_error&) {
        Write(writing_);  // no second thread: written here
    }
}

bool OutputFile::Close() {
    if (file_ == nullptr) return false;
    Finish();
    Write(buffer_);
    buffer_.clear();
    if (std::fflush(file_) != 0) failed_ = true;
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

}  // namespace vertoko
