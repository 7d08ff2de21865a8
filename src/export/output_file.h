// A binary output file with its own buffer and CR LF line ends, that notices
// every failed write, flush and close.
#pragma once

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

namespace vertoko {

class OutputFile {
  public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // Creates or replaces path; false when it cannot be opened. An existing
    // regular file is written over from its start and cut to the length
    // written when the file is closed (by Close or on destruction): its
    // pages in the system's cache are reused instead of being freed first
    // and allocated again, which cost a millisecond or two per 4 MB.
    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }

    // The text being assembled; a caller appends to it and calls Commit,
    // which hands it to a second thread to be written once it has grown to
    // a block, while the caller goes on filling the buffer. The blocks are
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
    // Small enough that a block is still in the cache when it is written,
    // and that the two buffers cost the kernel few page faults.
    static constexpr std::size_t kFlushSize = std::size_t{256} << 10;
    static constexpr std::size_t kCapacity = kFlushSize + 4096;
    // Hands the buffer to the writer thread, started on the first block.
    void Drain();
    // Lets the writer thread end, once it has written what it holds.
    void StopWriter();
    void RunWriter();
    void Write(const std::string& block);
    // Flushes, cuts an overwritten file to the length written and closes;
    // false when any of it failed.
    bool Finish();

    std::FILE* file_ = nullptr;
    std::string buffer_;
    std::string writing_;  // the block the writer thread holds while pending_
    std::thread writer_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool pending_ = false;
    bool stop_ = false;
    bool failed_ = false;
    bool cutAtClose_ = false;  // an existing file is being written over
};

}  // namespace vertoko
