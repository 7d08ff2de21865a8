#include "export/output_file.h"

namespace vertoko {

OutputFile::~OutputFile() {
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

void OutputFile::Drain() {
    if (file_ != nullptr && !failed_ && !buffer_.empty()) {
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
    }
    buffer_.clear();
}

bool OutputFile::Close() {
    if (file_ == nullptr) return false;
    Drain();
    if (std::fflush(file_) != 0) failed_ = true;
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

}  // namespace vertoko
