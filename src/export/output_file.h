// A binary output file with its own buffer and CR LF line ends, that notices
// every failed write and close and keeps the system's reason for the first.
#pragma once

#include <condition_variable>
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

    // Creates path or empties it; false (with Error) when it cannot be
    // opened. Saves go through a SaveTransaction instead, which writes a
    // temporary file and replaces the target only once it is complete.
    bool Open(const std::string& path);
    // Writes to descriptor, which the file then owns and closes.
    void Attach(int descriptor);
    bool IsOpen() const { return descriptor_ >= 0; }

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

    // Writes what is left and closes. False when any write or the close
    // failed since the file was opened.
    bool Close();

    // The errno of the first failure since the file was opened; 0 for none.
    int Error() const { return error_; }

  private:
    // Small enough that a block is still in the cache when it is written,
    // and that the two buffers cost the kernel few page faults.
    static constexpr std::size_t kFlushSize = std::size_t{256} << 10;
    static constexpr std::size_t kCapacity = kFlushSize + 4096;
    void Start(int descriptor);
    // Hands the buffer to the writer thread, started on the first block.
    void Drain();
    // Lets the writer thread end, once it has written what it holds.
    void StopWriter();
    void RunWriter();
    void Write(const std::string& block);
    // Closes the descriptor; false when the close failed.
    bool Finish();

    int descriptor_ = -1;
    std::string buffer_;
    std::string writing_;  // the block the writer thread holds while pending_
    std::thread writer_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool pending_ = false;
    bool stop_ = false;
    int error_ = 0;  // written only by the thread that writes, read once it is done
};

}  // namespace vertoko
