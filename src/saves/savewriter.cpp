#include "saves/savewriter.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include "app/toolkit.h"

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace saves {

BeforeCommitHook beforeCommitHook = nullptr;

namespace {

// A name that stays inside the folder it is looked up in.
bool isPlainName(const QString& fileName) {
    return !fileName.isEmpty() && fileName != QStringLiteral(".") && fileName != QStringLiteral("..") &&
           !fileName.contains(u'/') && !fileName.contains(u'\\') && !fileName.contains(QChar(0));
}

}  // namespace

#if defined(Q_OS_UNIX)

namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
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
int openFolder(const QString& folder) {
    return ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
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

// ".<final name>.<six random letters>": hidden, so the load list never shows
// it, and never a game's own name, since game names cannot hold a dot.
QByteArray temporaryName(const QByteArray& finalName) {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray name = "." + finalName + ".";
    for (int i = 0; i < 6; ++i) name += kLetters[QRandomGenerator::global()->bounded(62)];
    return name;
}

}  // namespace

bool isPlainFileEntry(const QString& folder, const QString& fileName) {
    if (!isPlainName(fileName)) return false;
    const Descriptor dir(openFolder(folder));
    if (dir.get() < 0) return false;
    struct stat st {};
    return ::fstatat(dir.get(), QFile::encodeName(fileName).constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(st.st_mode);
}

bool writeSavedGameFile(const QString& folder, const QString& fileName,
                        const std::array<std::uint8_t, quorvale::kSavedGameBytes>& bytes) {
    if (!isPlainName(fileName)) return false;
    const QByteArray finalName = QFile::encodeName(fileName);
    const Descriptor dir(openFolder(folder));
    if (dir.get() < 0) return false;

    // Only a plain file may be replaced. Anything else under the name is
    // refused before anything is created; the rename below would replace a
    // link itself rather than follow it, but a link or a FIFO there is not
    // the player's saved game and must not vanish either.
    struct stat st {};
    if (::fstatat(dir.get(), finalName.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!S_ISREG(st.st_mode)) return false;
    } else if (errno != ENOENT) {
        return false;
    }

    QByteArray tempName;
    int fd = -1;
    for (int attempt = 0; attempt < 64 && fd < 0; ++attempt) {
        tempName = temporaryName(finalName);
        fd = ::openat(dir.get(), tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;

    Descriptor file(fd);
    bool ok = writeAll(file.get(), bytes.data(), bytes.size());
    ok = ok && syncDescriptor(file.get());
    ok = file.close() && ok;
    if (ok && beforeCommitHook != nullptr) ok = beforeCommitHook(joinPath(folder, fileName));
    if (ok) ok = ::renameat(dir.get(), tempName.constData(), dir.get(), finalName.constData()) == 0;
    if (!ok) {
        ::unlinkat(dir.get(), tempName.constData(), 0);
        return false;
    }
    // Makes the rename itself durable. Some file systems cannot sync a folder
    // (EINVAL); the file is complete there all the same.
    return syncDescriptor(dir.get()) || errno == EINVAL;
}

#else  // not POSIX: Qt's own atomic save, every step checked

bool isPlainFileEntry(const QString& folder, const QString& fileName) {
    if (!isPlainName(fileName)) return false;
    const QFileInfo entry(joinPath(folder, fileName));
    return entry.exists() && !entry.isSymLink() && !entry.isShortcut() && !entry.isJunction() && entry.isFile();
}

bool writeSavedGameFile(const QString& folder, const QString& fileName,
                        const std::array<std::uint8_t, quorvale::kSavedGameBytes>& bytes) {
    if (!isPlainName(fileName)) return false;
    const QString path = joinPath(folder, fileName);
    const QFileInfo entry(path);
    if ((entry.exists() || entry.isSymLink()) && !isPlainFileEntry(folder, fileName)) return false;
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size || !file.flush() ||
        file.error() != QFileDevice::NoError || (beforeCommitHook != nullptr && !beforeCommitHook(path))) {
        file.cancelWriting();
        file.commit();  // removes the temporary file
        return false;
    }
    return file.commit();
}

#endif

}  // namespace saves
