#include "export/save_transaction.h"

#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "export/file_names.h"
#include "export/number_format.h"

namespace vertoko {

namespace {

// The saves under way, for the signal handler. Changed only under the lock
// and with every signal blocked in the changing thread, so that a handler
// that interrupts it cannot wait for the lock forever; a handler on another
// thread waits until the change is done.
std::atomic_flag gLock = ATOMIC_FLAG_INIT;
SaveTransaction* gSaves = nullptr;

class ListLock {
  public:
    ListLock() {
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_BLOCK, &all, &saved_);
        // Taken for good once a signal ends the process: wait for the end.
        while (gLock.test_and_set(std::memory_order_acquire)) sched_yield();
    }
    ~ListLock() {
        gLock.clear(std::memory_order_release);
        pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
    }
    ListLock(const ListLock&) = delete;
    ListLock& operator=(const ListLock&) = delete;

  private:
    sigset_t saved_;
};

constexpr std::string_view kMark = "XXXXXX";
constexpr std::string_view kTemporaryEnd = ".tmp";
// A temporary holds at most this much of its target's name, so that its own
// name stays within the 255 bytes of a file name.
constexpr std::size_t kNameKept = 100;

// Letters and digits for a temporary's mark: a small generator stirred with
// the clock and the process at each call. O_EXCL, not the mark, keeps a
// temporary off any other file; the mark only makes a clash unlikely.
void FillMark(std::string& name, std::size_t at) {
    static constexpr char kDigits[] =
        "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    static std::uint64_t state = 0;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    state ^= static_cast<std::uint64_t>(now.tv_nsec) * 0x9E3779B97F4A7C15u ^
             static_cast<std::uint64_t>(getpid()) << 32 ^ static_cast<std::uint64_t>(now.tv_sec);
    for (std::size_t i = 0; i < kMark.size(); ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        name[at + i] = kDigits[state % (sizeof(kDigits) - 1)];
    }
}

// The file target names: a symbolic link is followed to the file it points
// to (which need not exist), as opening it for writing would. 0 or errno.
int FollowLinks(const std::string& target, std::string& path) {
    path = target;
    // As many links as the system follows in one path.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return 0;
        // The size lstat gives is 0 or too small for the links of /proc, and
        // a link may change between the calls: a text that fills the buffer
        // may have been cut, and is read again into twice the room.
        std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        for (;;) {
            const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
            if (length < 0) return errno;
            if (static_cast<std::size_t>(length) < link.size()) {
                link.resize(static_cast<std::size_t>(length));
                break;
            }
            if (link.size() > (std::size_t{1} << 16)) return ENAMETOOLONG;
            link.resize(link.size() * 2);
        }
        if (!link.empty() && link.front() == '/') {
            path = link;
        } else {
            path.resize(FileNameStart(path));
            path += link;
        }
    }
    return ELOOP;
}

}  // namespace

std::string SaveTransaction::TemporaryName(std::string_view target, std::string_view mark) {
    const std::size_t start = FileNameStart(target);
    std::string_view name = target.substr(start);
    if (name.size() > kNameKept) {
        // Cut before a character, not inside one.
        std::size_t end = kNameKept;
        while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
        name = name.substr(0, end);
    }
    std::string temporary(target.substr(0, start));
    temporary += '.';
    temporary += name;
    temporary += ".vertoko-";
    temporary += mark;
    temporary += kTemporaryEnd;
    return temporary;
}

SaveTransaction::~SaveTransaction() {
    if (listed_ || !entries_.empty()) Abort();
}

bool SaveTransaction::Open(OutputFile& file, const std::string& target) {
    if (error_ != 0) return false;
    std::string path;
    error_ = FollowLinks(target, path);
    if (error_ != 0) return false;
    if (FileNameStart(path) == path.size()) {
        error_ = EISDIR;  // a name ending in '/'
        return false;
    }
    struct stat info;
    const bool exists = ::lstat(path.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) {
        error_ = errno;
        return false;
    }
    if (exists && S_ISDIR(info.st_mode)) {
        error_ = EISDIR;
        return false;
    }
    if (exists && !S_ISREG(info.st_mode)) {
        // A device or a pipe cannot be replaced, and holds nothing to keep.
        const int descriptor = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (descriptor < 0) {
            error_ = errno;
            return false;
        }
        file.Attach(descriptor);
        return true;
    }
    // A file the user may not write is not replaced either, as writing it
    // in place would have been refused.
    if (exists && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        error_ = errno;
        return false;
    }

    Entry entry{TemporaryName(path, kMark), path, exists};
    const std::size_t markAt = entry.temporary.size() - kTemporaryEnd.size() - kMark.size();
    entries_.reserve(entries_.size() + 1);
    int descriptor = -1;
    {
        ListLock lock;
        if (!listed_) {
            next_ = gSaves;
            gSaves = this;
            listed_ = true;
        }
        // Made only where no file is, so that no file of the user's is
        // touched; the mark is drawn again while one is in the way. A
        // replaced file's text stays private until its bits are set below.
        for (int attempt = 0; attempt < 100; ++attempt) {
            FillMark(entry.temporary, markAt);
            descriptor = ::open(entry.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                exists ? 0600 : 0666);
            if (descriptor >= 0 || errno != EEXIST) break;
        }
        if (descriptor >= 0) {
            entries_.push_back(std::move(entry));
        } else {
            error_ = errno;
        }
    }
    if (descriptor < 0) return false;
    if (exists) {
        // Owner and group as far as we may give them (root: both; the owner
        // of the file: a group of his), then the bits, which a change of
        // owner may have cleared.
        if ((info.st_uid != ::geteuid() || info.st_gid != ::getegid()) &&
            ::fchown(descriptor, info.st_uid, info.st_gid) != 0) {
            if (::fchown(descriptor, static_cast<uid_t>(-1), info.st_gid) != 0) {
                // Our own group then, as a new file would have.
            }
        }
        if (::fchmod(descriptor, info.st_mode & 07777) != 0) {
            error_ = errno;
            ::close(descriptor);
            Abort();
            return false;
        }
    }
    file.Attach(descriptor);
    return true;
}

bool SaveTransaction::Close(OutputFile& file) {
    if (file.Close()) return true;
    if (error_ == 0) error_ = file.Error() != 0 ? file.Error() : EIO;
    return false;
}

bool SaveTransaction::Commit() {
    if (error_ != 0) {
        Abort();
        return false;
    }
    {
        ListLock lock;
        for (const Entry& entry : entries_) {
            if (error_ == 0 && !Replace(entry)) error_ = errno;
            if (error_ != 0) ::unlink(entry.temporary.c_str());
        }
        Forget();
    }
    return error_ == 0;
}

bool SaveTransaction::Replace(const Entry& entry) {
    const char* temporary = entry.temporary.c_str();
    const char* target = entry.target.c_str();
#ifdef RENAME_EXCHANGE
    // Renaming over a file makes ext4 start writing the new file's every
    // block at once (a quarter of a second for 370 MB), which writing in
    // place never did. Exchanging the two names is as atomic, and the old
    // text then goes with its temporary name.
    if (entry.replacing) {
        if (::renameat2(AT_FDCWD, temporary, AT_FDCWD, target, RENAME_EXCHANGE) == 0) {
            ::unlink(temporary);
            return true;
        }
        // A file system without the exchange, or a target gone meanwhile.
        if (errno != EINVAL && errno != ENOSYS && errno != ENOENT) return false;
    }
#endif
    return ::rename(temporary, target) == 0;
}

void SaveTransaction::Abort() {
    ListLock lock;
    for (const Entry& entry : entries_) ::unlink(entry.temporary.c_str());
    Forget();
}

void SaveTransaction::Forget() {
    entries_.clear();
    if (!listed_) return;
    for (SaveTransaction** link = &gSaves; *link != nullptr; link = &(*link)->next_) {
        if (*link == this) {
            *link = next_;
            break;
        }
    }
    next_ = nullptr;
    listed_ = false;
}

void RemoveTemporariesAtExit() {
    // Never given back: no save may make a temporary after this.
    while (gLock.test_and_set(std::memory_order_acquire)) {
    }
    for (const SaveTransaction* save = gSaves; save != nullptr; save = save->next_) {
        for (const SaveTransaction::Entry& entry : save->entries_)
            ::unlink(entry.temporary.c_str());
    }
}

std::string SystemReason(int error) {
    switch (error) {
        case ENOSPC:
            return "ディスクの空き容量が足りません";
        case EACCES:
        case EPERM:
            return "アクセスが拒否されました";
        case EFBIG:
            return "ファイルの大きさが上限を超えました";
        case EROFS:
            return "読み取り専用のファイルシステムです";
        case ENOENT:
            return "フォルダーが見つかりません";
        case EISDIR:
            return "同じ名前のフォルダーがあります";
        case EDQUOT:
            return "ディスクの使用量が割り当てを超えました";
        case EIO:
            return "ディスクの入出力エラーです";
        case ENAMETOOLONG:
            return "ファイル名が長すぎます";
        case ENOTDIR:
            return "パスの途中にフォルダーでないものがあります";
        case ELOOP:
            return "シンボリックリンクが多すぎます";
        default:
            break;
    }
    std::string reason = "システムのエラーです: ";
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 32)
    // The English text, whatever the locale, and the errno name.
    const char* name = strerrorname_np(error);
    const char* text = strerrordesc_np(error);
    if (name != nullptr && text != nullptr) {
        reason += text;
        reason += " (";
        reason += name;
        reason += ')';
        return reason;
    }
#endif
    reason += std::strerror(error);
    reason += " (errno ";
    AppendInt(reason, error);
    reason += ')';
    return reason;
}

std::string SaveFailureMessage(std::string_view first, int error) {
    std::string message(first);
    message += '\n';
    message += SystemReason(error != 0 ? error : EIO);
    return message;
}

}  // namespace vertoko
