// All-or-nothing saves of one or more files. Each file is written to a
// temporary beside its target; only when every one of them was written and
// closed without error are they renamed over their targets, one rename each.
// A save that fails, or is dropped, removes its temporaries and leaves every
// target as it was.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

#include "export/output_file.h"

namespace vertoko {

class SaveTransaction {
  public:
    SaveTransaction() = default;
    SaveTransaction(const SaveTransaction&) = delete;
    SaveTransaction& operator=(const SaveTransaction&) = delete;
    // Removes the temporaries of a save that was not committed.
    ~SaveTransaction();

    // Opens file onto a new temporary for target: in the folder of the file
    // target names (a symbolic link is followed, so that the file it points
    // to is replaced and the link stays), with the permission bits (and,
    // where the system lets us, the owner) of an existing target. A target
    // that exists but is no regular file (a device, a pipe) is written
    // directly. False with Error when the target is a folder or one that may
    // not be written, or the temporary cannot be made.
    bool Open(OutputFile& file, const std::string& target);

    // Closes file, keeping its temporary for Commit; false with Error when a
    // write or the close failed.
    bool Close(OutputFile& file);

    // Renames every temporary over its target, in the order they were
    // opened, once all are closed. False with Error when a rename failed:
    // the temporaries left are removed, targets renamed before it stay new.
    bool Commit();

    // Removes every temporary; the targets stay as they were.
    void Abort();

    // The errno of the first failure; 0 for none.
    int Error() const { return error_; }

    // The temporary's name for target: hidden, beside it, holding (part of)
    // its name and a mark and ending in ".tmp", e.g.
    // ".car.obj.vertoko-Xa81Qz.tmp" for "car.obj".
    static std::string TemporaryName(std::string_view target, std::string_view mark);

  private:
    friend void RemoveTemporariesAtExit();
    struct Entry {
        std::string temporary;
        std::string target;  // the file replaced, links followed
        bool replacing;      // the target was there when the save began
    };
    // Puts the temporary in the target's place; false with errno.
    static bool Replace(const Entry& entry);
    void Forget();

    std::vector<Entry> entries_;
    SaveTransaction* next_ = nullptr;  // in the list of saves under way
    bool listed_ = false;
    int error_ = 0;
};

// Removes the temporaries of every save under way and keeps new ones from
// being made. Async-signal-safe (it allocates nothing), for a handler of a
// signal that ends the process; the process must end after it.
void RemoveTemporariesAtExit();

// first (the failing step, e.g. "ファイルの書き込みに失敗しました."), a line
// feed and the system's reason for error on a line of its own.
std::string SaveFailureMessage(std::string_view first, int error);

// The reason for error in words, e.g. "ディスクの空き容量が足りません".
std::string SystemReason(int error);

}  // namespace vertoko
