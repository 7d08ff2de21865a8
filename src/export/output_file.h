// A binary output file with its own buffer and CR LF line ends, that notices
// every failed write, flush and close.
#pragma once

#include <cstdio>
#include <string>
#include <thread>

namespace vertoko {

class OutputFile {
  public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // Creates or replaces path; false when it cannot be opened.
    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }

    // The text being assembled; a caller appends to it and calls Commit,
    // which hands it to a second thread to be written once it has grown
    // large, while the caller goes on filling the buffer. The blocks are
    // written one after another in their order, so the file is the same.
    std::string& Buffer() { return buffer_; }
    void Commit() {
        if (buffer_.size() >= kFlushSize) Drain();
    }

    // Appends "\r\n".
    void EndLine() { buffer_ += "\r\n"; }

    // Writes what is left, flushes and closes. False when any write, the
    // flush or the close failed since Open.
    bool Close();

  private:
    static constexpr std::size_t kFlushSize = std::size_t{1} << 20;
    void Drain();
    // Waits for the block being written, if any.
    void Finish();
    void Write(const std::string& block);

    std::FILE* file_ = nullptr;
    std::string buffer_;
    std::string writing_;  // the block the writer thread has
    std::thread writer_;
    bool failed_ = false;
};

}  // namespace vertoko
