#include "files/fileaccess.h"

#include <algorithm>
#include <cstdint>
#include <random>

#if defined(__unix__) || defined(__APPLE__)
#define QUORVALE_POSIX_FILES 1
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#else
#include <chrono>
#include <filesystem>
#include <fstream>
#include <system_error>
#endif

namespace files {

namespace {

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

// The buffer a read starts with: the size the file has now and one byte
// more, to see its end at once. It grows only for a file that grows while it
// is read; filling the whole limit up front would cost more than the read.
std::size_t firstBufferSize(std::size_t wanted, std::uintmax_t fileSize) {
    return fileSize < wanted ? static_cast<std::size_t>(fileSize) + 1 : wanted;
}

}  // namespace

bool isTemporaryName(const std::string& name) {
    // "." + at least one character + ".sav." + six letters or digits
    if (name.size() < 12 || name.front() != '.' || name.compare(name.size() - 11, 5, ".sav.") != 0) return false;
    for (std::size_t i = name.size() - 6; i < name.size(); ++i) {
        if (!isLetterOrDigit(name[i])) return false;
    }
    return true;
}

#if defined(QUORVALE_POSIX_FILES)

namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded; a failed close may
    // mean the data never reached the file (NFS, some full file systems).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        // No retry on EINTR: on Linux the descriptor is gone either way.
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// The folder itself, never through a link, and never blocking.
int openFolder(const std::string& folder) {
    return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool syncDescriptor(int fd) {
    for (;;) {
        if (::fsync(fd) == 0) return true;
        if (errno != EINTR) return false;
    }
}

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

void removeStaleTemporariesAt(int dir, long maxAgeSeconds) {
    const int scan = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (scan < 0) return;
    DIR* stream = ::fdopendir(scan);
    if (stream == nullptr) {
        ::close(scan);
        return;
    }
    const std::time_t now = std::time(nullptr);
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(stream)) {
        const std::string name = entry->d_name;
        if (!isTemporaryName(name)) continue;
        struct stat st {};
        if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
        if (now - st.st_mtime > maxAgeSeconds) stale.push_back(name);
    }
    ::closedir(stream);
    for (const std::string& name : stale) ::unlinkat(dir, name.c_str(), 0);
}

// Puts the temporary file under `finalName` without replacing anything that
// may have appeared there. Where the file system cannot rename that way, a
// hard link does the same: it too fails on an existing name.
WriteResult renameWithoutReplacing(int dir, const std::string& tempName, const std::string& finalName) {
#if defined(RENAME_NOREPLACE)
    if (::renameat2(dir, tempName.c_str(), dir, finalName.c_str(), RENAME_NOREPLACE) == 0) return WriteResult::Written;
    if (errno == EEXIST) return WriteResult::NameTaken;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return WriteResult::Failed;
#endif
    if (::linkat(dir, tempName.c_str(), dir, finalName.c_str(), 0) != 0) {
        return errno == EEXIST ? WriteResult::NameTaken : WriteResult::Failed;
    }
    ::unlinkat(dir, tempName.c_str(), 0);  // a leftover is removed as stale later
    return WriteResult::Written;
}

}  // namespace

ReadStatus readPlainFile(const std::string& path, std::size_t limit, ReadMode mode, std::string& bytes) {
    bytes.clear();
    struct stat st {};
    // Refuse pipes, devices, sockets and folders before opening anything:
    // opening a device can have effects of its own.
    if (::stat(path.c_str(), &st) != 0) return openFailure(errno);
    if (!S_ISREG(st.st_mode)) return ReadStatus::NotPlainFile;
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) return openFailure(errno);
    // The name may have been pointed elsewhere between the two looks: judge
    // what was actually opened.
    if (::fstat(file.get(), &st) != 0) return ReadStatus::ReadFailed;
    if (!S_ISREG(st.st_mode)) return ReadStatus::NotPlainFile;
    if (mode == ReadMode::WholeFile && static_cast<std::uintmax_t>(st.st_size) > limit) return ReadStatus::TooLarge;

    // A whole file is read one byte past the limit, to notice one that grew.
    const std::size_t wanted = mode == ReadMode::WholeFile ? limit + 1 : limit;
    bytes.resize(firstBufferSize(wanted, static_cast<std::uintmax_t>(st.st_size)));
    std::size_t filled = 0;
    while (filled < wanted) {
        if (filled == bytes.size()) bytes.resize(std::min(wanted, bytes.size() * 2));
        const ssize_t got = ::read(file.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR) continue;
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
    std::vector<FolderEntry> entries;
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return entries;
    const int scan = ::dup(dir);
    DIR* stream = scan < 0 ? nullptr : ::fdopendir(scan);
    if (stream == nullptr) {
        if (scan >= 0) ::close(scan);
        ::close(dir);
        return entries;
    }
    while (const dirent* entry = ::readdir(stream)) {
        FolderEntry item;
        item.name = entry->d_name;
        if (item.name == "." || item.name == "..") continue;
        struct stat st {};
        if (::fstatat(dir, item.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            if (S_ISREG(st.st_mode)) {
                item.kind = FolderEntry::Kind::PlainFile;
            } else if (S_ISLNK(st.st_mode) && ::fstatat(dir, item.name.c_str(), &st, 0) == 0 && S_ISREG(st.st_mode)) {
                item.kind = FolderEntry::Kind::LinkToPlainFile;
            }
        }
        entries.push_back(std::move(item));
    }
    ::closedir(stream);
    ::close(dir);
    return entries;
}

bool isPlainFileEntry(const std::string& folder, const std::string& name) {
    if (!isPlainName(name)) return false;
    const Descriptor dir(openFolder(folder));
    if (dir.get() < 0) return false;
    struct stat st {};
    return ::fstatat(dir.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode);
}

void removeStaleTemporaries(const std::string& folder, long maxAgeSeconds) {
    const Descriptor dir(openFolder(folder));
    if (dir.get() >= 0) removeStaleTemporariesAt(dir.get(), maxAgeSeconds);
}

WriteResult writeFileAtomically(const std::string& folder, const std::string& name, const std::string& bytes,
                                bool mayReplace) {
    if (!isPlainName(name)) return WriteResult::Failed;
    const Descriptor dir(openFolder(folder));
    if (dir.get() < 0) return WriteResult::Failed;
    removeStaleTemporariesAt(dir.get(), 3600);

    // Only a plain file may be replaced. Anything else under the name is
    // refused before anything is created; a link or a FIFO there is not the
    // player's saved game and must not vanish. A plain file is replaced only
    // when this user may write it, as opening it for writing would demand,
    // and its replacement keeps its permission bits.
    bool replacing = false;
    mode_t keptMode = 0;
    struct stat st {};
    if (::fstatat(dir.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!S_ISREG(st.st_mode)) return WriteResult::Failed;
        if (!mayReplace) return WriteResult::NameTaken;
        // Opening without truncating changes nothing in the old file.
        const Descriptor old(
            ::openat(dir.get(), name.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (old.get() < 0 || ::fstat(old.get(), &st) != 0 || !S_ISREG(st.st_mode)) return WriteResult::Failed;
        replacing = true;
        keptMode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return WriteResult::Failed;
    }

    std::string tempName;
    int fd = -1;
    for (int attempt = 0; attempt < 64 && fd < 0; ++attempt) {
        tempName = temporaryNameFor(name);
        fd = ::openat(dir.get(), tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      replacing ? 0600 : 0644);
        if (fd < 0 && errno != EEXIST) return WriteResult::Failed;
    }
    if (fd < 0) return WriteResult::Failed;

    Descriptor file(fd);
    bool ok = writeAll(file.get(), bytes.data(), bytes.size());
    ok = ok && syncDescriptor(file.get());
    // The new file takes the old one's mode before it takes its name.
    ok = ok && (!replacing || ::fchmod(file.get(), keptMode) == 0);
    ok = file.close() && ok;
    WriteResult result = WriteResult::Failed;
    if (ok && replacing) {
        result = ::renameat(dir.get(), tempName.c_str(), dir.get(), name.c_str()) == 0 ? WriteResult::Written
                                                                                     : WriteResult::Failed;
    } else if (ok) {
        result = renameWithoutReplacing(dir.get(), tempName, name);
    }
    if (result != WriteResult::Written) {
        ::unlinkat(dir.get(), tempName.c_str(), 0);
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
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

PathKind pathKind(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT ? PathKind::Missing : PathKind::Other;
    return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::Other;
}

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
        if (::mkdir(prefix.c_str(), 0700) == 0) {
            // The umask may have taken more than group and others' rights.
            ::chmod(prefix.c_str(), 0700);
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

#else  // no POSIX: the standard library's files, every step checked

namespace fs = std::filesystem;

namespace {

fs::path nativePath(const std::string& path) { return fs::path(std::u8string(path.begin(), path.end())); }

}  // namespace

ReadStatus readPlainFile(const std::string& path, std::size_t limit, ReadMode mode, std::string& bytes) {
    bytes.clear();
    std::error_code error;
    const fs::file_status status = fs::status(nativePath(path), error);
    if (!fs::exists(status)) return ReadStatus::NotFound;
    if (!fs::is_regular_file(status)) return ReadStatus::NotPlainFile;
    const std::uintmax_t size = fs::file_size(nativePath(path), error);
    if (error) return ReadStatus::OpenFailed;
    if (mode == ReadMode::WholeFile && size > limit) return ReadStatus::TooLarge;
    std::ifstream in(nativePath(path), std::ios::binary);
    if (!in) return ReadStatus::OpenFailed;
    const std::size_t wanted = mode == ReadMode::WholeFile ? limit + 1 : limit;
    bytes.resize(firstBufferSize(wanted, size));
    std::size_t filled = 0;
    while (filled < wanted && in) {
        if (filled == bytes.size()) bytes.resize(std::min(wanted, bytes.size() * 2));
        in.read(bytes.data() + filled, static_cast<std::streamsize>(bytes.size() - filled));
        filled += static_cast<std::size_t>(in.gcount());
    }
    if (in.bad()) {
        bytes.clear();
        return ReadStatus::ReadFailed;
    }
    bytes.resize(filled);
    if (mode == ReadMode::WholeFile && bytes.size() > limit) {
        bytes.clear();
        return ReadStatus::TooLarge;
    }
    return ReadStatus::Ok;
}

std::vector<FolderEntry> listFolder(const std::string& folder) {
    std::vector<FolderEntry> entries;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(nativePath(folder), error)) {
        FolderEntry item;
        const std::u8string name = entry.path().filename().u8string();
        item.name.assign(name.begin(), name.end());
        std::error_code e;
        if (entry.is_symlink(e)) {
            if (entry.is_regular_file(e)) item.kind = FolderEntry::Kind::LinkToPlainFile;
        } else if (entry.is_regular_file(e)) {
            item.kind = FolderEntry::Kind::PlainFile;
        }
        entries.push_back(std::move(item));
    }
    return entries;
}

bool isPlainFileEntry(const std::string& folder, const std::string& name) {
    if (!isPlainName(name)) return false;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(nativePath(joinPath(folder, name)), error);
    return fs::is_regular_file(status);
}

void removeStaleTemporaries(const std::string& folder, long maxAgeSeconds) {
    for (const FolderEntry& entry : listFolder(folder)) {
        if (entry.kind != FolderEntry::Kind::PlainFile || !isTemporaryName(entry.name)) continue;
        std::error_code error;
        const fs::path path = nativePath(joinPath(folder, entry.name));
        const auto written = fs::last_write_time(path, error);
        if (!error && fs::file_time_type::clock::now() - written > std::chrono::seconds(maxAgeSeconds)) {
            fs::remove(path, error);
        }
    }
}

WriteResult writeFileAtomically(const std::string& folder, const std::string& name, const std::string& bytes,
                                bool mayReplace) {
    if (!isPlainName(name)) return WriteResult::Failed;
    std::error_code error;
    const fs::path target = nativePath(joinPath(folder, name));
    const fs::file_status status = fs::symlink_status(target, error);
    if (fs::exists(status)) {
        if (!fs::is_regular_file(status)) return WriteResult::Failed;
        if (!mayReplace) return WriteResult::NameTaken;
        if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) return WriteResult::Failed;
    }
    removeStaleTemporaries(folder);
    const fs::path temp = nativePath(joinPath(folder, temporaryNameFor(name)));
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temp, error);
            return WriteResult::Failed;
        }
    }
    if (fs::exists(status)) fs::permissions(temp, status.permissions(), error);
    if (!mayReplace && fs::exists(fs::symlink_status(target, error))) {
        fs::remove(temp, error);
        return WriteResult::NameTaken;
    }
    fs::rename(temp, target, error);
    if (error) {
        fs::remove(temp, error);
        return WriteResult::Failed;
    }
    return WriteResult::Written;
}

bool mayCreateFilesIn(const std::string& folder) {
    std::error_code error;
    const fs::file_status status = fs::status(nativePath(folder), error);
    return fs::is_directory(status) && (status.permissions() & fs::perms::owner_write) != fs::perms::none;
}

PathKind pathKind(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(nativePath(path), error);
    if (!fs::exists(status)) return PathKind::Missing;
    return fs::is_directory(status) ? PathKind::Folder : PathKind::Other;
}

bool makePrivateFoldersBelow(const std::string& existingBase, const std::string& path) {
    if (pathKind(existingBase) != PathKind::Folder) return false;
    std::error_code error;
    fs::create_directories(nativePath(path), error);
    return pathKind(path) == PathKind::Folder;
}

std::string homeFromUserDatabase() { return {}; }

#endif

}  // namespace files
