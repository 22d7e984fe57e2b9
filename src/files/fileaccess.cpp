#include "files/fileaccess.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <random>
#include <utility>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace files {

namespace {

// Temporary files of saves younger than this may still be in use.
constexpr std::time_t kStaleAfterSeconds = 3600;

// Calls `call(args...)` again for as long as a signal interrupts it (EINTR):
// slow file systems (network shares, FUSE) let signals interrupt their calls.
template <class Call, class... Args>
auto retrying(Call call, Args... args) {
    for (;;) {
        const auto result = call(args...);
        if (result != -1 || errno != EINTR) return result;
    }
}

// Closes `fd` and reports whether the data written through it was kept. A
// close interrupted by a signal is never repeated: Linux has released the
// descriptor already, and a second close could hit one just opened by another
// thread. Every file written here was synced before, so its data is safe.
bool closeDescriptor(int fd) { return ::close(fd) == 0 || errno == EINTR; }

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) closeDescriptor(fd_);
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    // Closes now; false when the close failed, which may mean the data never
    // reached the file (NFS, some full file systems).
    bool close() { return closeDescriptor(release()); }

private:
    int fd_;
};

// A name that stays inside the folder it is looked up in.
bool isPlainName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (const char c : name) {
        if (c == '\0' || isSeparator(c)) return false;
    }
    return true;
}

bool isLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// ".<final name>.<six random letters>": hidden, so the load list never shows
// it, and never a game's own name, since game names cannot hold a dot.
std::string temporaryNameFor(const std::string& finalName) {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, 61);
    std::string name = "." + finalName + ".";
    for (int i = 0; i < 6; ++i) name += kLetters[pick(generator)];
    return name;
}

// The name of a temporary file that a save under a name ending in
// `finalSuffix` makes: "." + at least one character + suffix + "." + six
// letters or digits.
bool isTemporaryName(const std::string& name, const std::string& finalSuffix) {
    const std::size_t tail = finalSuffix.size() + 7;  // suffix, ".", six letters
    if (name.size() < tail + 2 || name.front() != '.') return false;
    if (name.compare(name.size() - tail, finalSuffix.size(), finalSuffix) != 0 || name[name.size() - 7] != '.') {
        return false;
    }
    return std::all_of(name.end() - 6, name.end(), isLetterOrDigit);
}

// The buffer a read starts with: the size the file has now and one byte
// more, to see its end at once. It grows only for a file that grows while it
// is read; filling the whole limit up front would cost more than the read.
std::size_t firstBufferSize(std::size_t wanted, std::uintmax_t fileSize) {
    return fileSize < wanted ? static_cast<std::size_t>(fileSize) + 1 : wanted;
}

bool isUserOrRoot(uid_t owner) { return owner == ::geteuid() || owner == 0; }

// Opens `path` as a folder for the *at calls, never blocking. A link there is
// followed only when it and the folder it leads to belong to the user or to
// root (a player's own "saved" moved to another disk); any other is refused.
int openFolder(const std::string& path) {
    const std::string folder = withoutTrailingSeparators(path);  // "saved/" would follow the link unseen
    struct stat entry {};
    if (retrying(::lstat, folder.c_str(), &entry) != 0) return -1;
    if (!S_ISLNK(entry.st_mode)) {
        // O_NOFOLLOW: a link put there since the look above is refused.
        return retrying(::open, folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    }
    if (!isUserOrRoot(entry.st_uid)) return -1;
    Descriptor dir(retrying(::open, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat target {};
    struct stat again {};
    if (dir.get() < 0 || retrying(::fstat, dir.get(), &target) != 0 || !isUserOrRoot(target.st_uid)) return -1;
    // The link followed must be the one whose owner was judged.
    if (retrying(::lstat, folder.c_str(), &again) != 0 || again.st_dev != entry.st_dev ||
        again.st_ino != entry.st_ino) {
        return -1;
    }
    return dir.release();
}

// Every entry of the open folder `dir` except "." and "..".
std::vector<FolderEntry> entriesOf(int dir) {
    std::vector<FolderEntry> entries;
    // The stream takes a descriptor of its own; `dir` stays for the looks below.
    const int scan = retrying(::openat, dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* stream = scan < 0 ? nullptr : ::fdopendir(scan);
    if (stream == nullptr) {
        if (scan >= 0) closeDescriptor(scan);
        return entries;
    }
    while (const dirent* entry = ::readdir(stream)) {
        FolderEntry item;
        item.name = entry->d_name;
        if (item.name == "." || item.name == "..") continue;
        struct stat st {};
        if (retrying(::fstatat, dir, item.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            if (S_ISREG(st.st_mode)) {
                item.kind = FolderEntry::Kind::PlainFile;
            } else if (S_ISLNK(st.st_mode) && retrying(::fstatat, dir, item.name.c_str(), &st, 0) == 0 &&
                       S_ISREG(st.st_mode)) {
                item.kind = FolderEntry::Kind::LinkToPlainFile;
            }
        }
        entries.push_back(std::move(item));
    }
    ::closedir(stream);
    return entries;
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = retrying(::write, fd, data, size);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool syncDescriptor(int fd) { return retrying(::fsync, fd) == 0; }

ReadStatus openFailure(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return ReadStatus::NotFound;
    case EACCES:
    case EPERM:
        return ReadStatus::NoPermission;
    case ENXIO:  // a socket, or a device with nothing behind it
    case ELOOP:
        return ReadStatus::NotPlainFile;
    default:
        return ReadStatus::OpenFailed;
    }
}

// The errors of a rename or link that mean "this file system cannot do that
// at all" rather than "it failed this time".
bool isUnsupported(int error) { return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP; }
bool mayNotLink(int error) { return isUnsupported(error) || error == EPERM || error == EXDEV || error == EMLINK; }

// Puts the finished temporary file under `finalName` without replacing
// anything that may have appeared there. In turn: a rename that refuses to
// replace; a hard link, which fails on an existing name as well; and where
// the file system has neither (network shares, FUSE), the name claimed with
// an exclusive create, then the temporary file renamed over the claim.
WriteResult renameWithoutReplacing(int dir, const std::string& tempName, const std::string& finalName) {
#if defined(RENAME_NOREPLACE)
    if (retrying(::renameat2, dir, tempName.c_str(), dir, finalName.c_str(), RENAME_NOREPLACE) == 0) {
        return WriteResult::Written;
    }
    if (errno == EEXIST) return WriteResult::NameTaken;
    if (!isUnsupported(errno)) return WriteResult::Failed;
#endif
    if (retrying(::linkat, dir, tempName.c_str(), dir, finalName.c_str(), 0) == 0) {
        retrying(::unlinkat, dir, tempName.c_str(), 0);  // a leftover is removed as stale later
        return WriteResult::Written;
    }
    if (errno == EEXIST) return WriteResult::NameTaken;
    if (!mayNotLink(errno)) return WriteResult::Failed;

    Descriptor claim(retrying(::openat, dir, finalName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              mode_t{0600}));
    if (claim.get() < 0) return errno == EEXIST ? WriteResult::NameTaken : WriteResult::Failed;
    struct stat claimed {};
    const bool known = retrying(::fstat, claim.get(), &claimed) == 0;
    claim.close();
    if (known && retrying(::renameat, dir, tempName.c_str(), dir, finalName.c_str()) == 0) return WriteResult::Written;
    // Take the empty claim back, unless another game has saved over it meanwhile.
    struct stat now {};
    if (known && retrying(::fstatat, dir, finalName.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
        now.st_dev == claimed.st_dev && now.st_ino == claimed.st_ino) {
        retrying(::unlinkat, dir, finalName.c_str(), 0);
    }
    return WriteResult::Failed;
}

// Gives the new file `fd` the owner, group and permission bits of the file it
// replaces. Owner and group are kept where this user may set them (root may;
// others only a group of their own); the permission bits always.
bool takeOwnerAndMode(int fd, const struct stat& old) {
    struct stat now {};
    if (retrying(::fstat, fd, &now) != 0) return false;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        retrying(::fchown, fd, old.st_uid, old.st_gid) != 0 && now.st_gid != old.st_gid) {
        retrying(::fchown, fd, static_cast<uid_t>(-1), old.st_gid);
    }
    // After the owner: a change of owner clears the set-user-ID bits.
    return retrying(::fchmod, fd, old.st_mode & 07777) == 0;
}

}  // namespace

ReadStatus readPlainFile(const std::string& path, std::size_t limit, ReadMode mode, std::string& bytes) {
    bytes.clear();
    struct stat st {};
    // Refuse pipes, devices, sockets and folders before opening anything:
    // opening a device can have effects of its own.
    if (retrying(::stat, path.c_str(), &st) != 0) return openFailure(errno);
    if (!S_ISREG(st.st_mode)) return ReadStatus::NotPlainFile;
    Descriptor file(retrying(::open, path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) return openFailure(errno);
    // The name may have been pointed elsewhere between the two looks: judge
    // what was actually opened.
    if (retrying(::fstat, file.get(), &st) != 0) return ReadStatus::ReadFailed;
    if (!S_ISREG(st.st_mode)) return ReadStatus::NotPlainFile;
    if (mode == ReadMode::WholeFile && static_cast<std::uintmax_t>(st.st_size) > limit) return ReadStatus::TooLarge;

    // A whole file is read one byte past the limit, to notice one that grew.
    const std::size_t wanted = mode == ReadMode::WholeFile ? limit + 1 : limit;
    bytes.resize(firstBufferSize(wanted, static_cast<std::uintmax_t>(st.st_size)));
    std::size_t filled = 0;
    while (filled < wanted) {
        if (filled == bytes.size()) bytes.resize(std::min(wanted, bytes.size() * 2));
        const ssize_t got = retrying(::read, file.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            bytes.clear();
            return ReadStatus::ReadFailed;
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    if (mode == ReadMode::WholeFile && filled > limit) {
        bytes.clear();
        return ReadStatus::TooLarge;
    }
    return ReadStatus::Ok;
}

std::vector<FolderEntry> listFolder(const std::string& folder) {
    const Descriptor dir(openFolder(folder));
    return dir.get() < 0 ? std::vector<FolderEntry>() : entriesOf(dir.get());
}

bool isPlainFileEntry(const std::string& folder, const std::string& name) {
    if (!isPlainName(name)) return false;
    const Descriptor dir(openFolder(folder));
    if (dir.get() < 0) return false;
    struct stat st {};
    return retrying(::fstatat, dir.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode);
}

void removeStaleTemporaries(const std::string& folder, const TemporaryFiles& kind) {
    const Descriptor dir(openFolder(folder));
    if (dir.get() < 0) return;
    const std::time_t now = std::time(nullptr);
    for (const FolderEntry& entry : entriesOf(dir.get())) {
        if (entry.kind != FolderEntry::Kind::PlainFile || !isTemporaryName(entry.name, kind.finalSuffix)) continue;
        struct stat st {};
        if (retrying(::fstatat, dir.get(), entry.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid() || static_cast<std::uintmax_t>(st.st_size) > kind.largestSize ||
            now - st.st_mtime < kStaleAfterSeconds) {
            continue;
        }
        retrying(::unlinkat, dir.get(), entry.name.c_str(), 0);
    }
}

WriteResult writeFileAtomically(const std::string& folder, const std::string& name, const std::string& bytes,
                                bool mayReplace) {
    if (!isPlainName(name)) return WriteResult::Failed;
    const Descriptor dir(openFolder(folder));
    if (dir.get() < 0) return WriteResult::Failed;

    // Only a plain file may be replaced. Anything else under the name is
    // refused before anything is created; a link or a FIFO there is not the
    // player's saved game and must not vanish. A plain file is replaced only
    // when this user may write it, as opening it for writing would demand,
    // and never when the player took every write permission away: root may
    // open such a file, but a read-only game is the player's wish.
    bool replacing = false;
    struct stat old {};
    if (retrying(::fstatat, dir.get(), name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!S_ISREG(old.st_mode)) return WriteResult::Failed;
        if (!mayReplace) return WriteResult::NameTaken;
        if ((old.st_mode & 0222) == 0) return WriteResult::Failed;
        // Opening without truncating changes nothing in the old file.
        const Descriptor file(
            retrying(::openat, dir.get(), name.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (file.get() < 0 || retrying(::fstat, file.get(), &old) != 0 || !S_ISREG(old.st_mode)) {
            return WriteResult::Failed;
        }
        replacing = true;
    } else if (errno != ENOENT) {
        return WriteResult::Failed;
    }

    std::string tempName;
    int fd = -1;
    for (int attempt = 0; attempt < 64 && fd < 0; ++attempt) {
        tempName = temporaryNameFor(name);
        fd = retrying(::openat, dir.get(), tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      mode_t{replacing ? 0600u : 0644u});
        if (fd < 0 && errno != EEXIST) return WriteResult::Failed;
    }
    if (fd < 0) return WriteResult::Failed;

    Descriptor file(fd);
    bool ok = writeAll(file.get(), bytes.data(), bytes.size());
    // The new file takes the old one's marks before it takes its name.
    ok = ok && (!replacing || takeOwnerAndMode(file.get(), old));
    ok = ok && syncDescriptor(file.get());
    ok = file.close() && ok;
    WriteResult result = WriteResult::Failed;
    if (ok && replacing) {
        result = retrying(::renameat, dir.get(), tempName.c_str(), dir.get(), name.c_str()) == 0 ? WriteResult::Written
                                                                                               : WriteResult::Failed;
    } else if (ok) {
        result = renameWithoutReplacing(dir.get(), tempName, name);
    }
    if (result != WriteResult::Written) {
        retrying(::unlinkat, dir.get(), tempName.c_str(), 0);
        return result;
    }
    // Makes the rename durable where the system can. The file is complete
    // under its name already, so a failure here changes nothing.
    syncDescriptor(dir.get());
    return WriteResult::Written;
}

bool mayCreateFilesIn(const std::string& folder) {
    // access() asks with the real user's rights, which is what the game runs
    // as; a read-only file system answers no as well.
    return retrying(::access, folder.c_str(), W_OK | X_OK) == 0;
}

PathKind pathKind(const std::string& path) {
    struct stat st {};
    if (retrying(::stat, path.c_str(), &st) != 0) return errno == ENOENT ? PathKind::Missing : PathKind::Other;
    return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::Other;
}

bool makeFolder(const std::string& path) { return retrying(::mkdir, path.c_str(), mode_t{0777}) == 0; }

bool makePrivateFoldersBelow(const std::string& existingBase, const std::string& path) {
    const std::string base = withoutTrailingSeparators(existingBase);
    if (base.empty() || pathKind(base) != PathKind::Folder) return false;
    if (path.size() <= base.size() || path.compare(0, base.size(), base) != 0 ||
        (base != "/" && path[base.size()] != '/')) {
        return false;
    }
    // Each prefix that ends before a separator, then the whole path.
    for (std::size_t end = base.size() + 1; end <= path.size(); ++end) {
        if (end < path.size() && path[end] != '/') continue;
        if (path[end - 1] == '/') continue;  // a doubled separator
        const std::string prefix = path.substr(0, end);
        if (retrying(::mkdir, prefix.c_str(), mode_t{0700}) == 0) {
            // The umask may have taken more than group and others' rights.
            retrying(::chmod, prefix.c_str(), mode_t{0700});
        } else if (errno != EEXIST) {
            return false;
        }
    }
    return pathKind(path) == PathKind::Folder;
}

std::string homeFromUserDatabase() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return {};
}

}  // namespace files
