#include "saves/savedfolder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/toolkit.h"
#include "config.h"

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <vector>
#endif

namespace saves {

namespace {

bool isAbsolute(const QString& path) { return !path.isEmpty() && QDir::isAbsolutePath(path); }

}  // namespace

QString chooseSavedFolder(const SavedFolderInputs& inputs) {
    if (!inputs.systemWide && inputs.programFolderWritable) {
        return joinPath(inputs.programFolder, QStringLiteral("saved"));
    }
    QString dataHome;
    if (isAbsolute(inputs.xdgDataHome)) {
        dataHome = inputs.xdgDataHome;
    } else if (isAbsolute(inputs.home)) {
        dataHome = joinPath(joinPath(inputs.home, QStringLiteral(".local")), QStringLiteral("share"));
    } else {
        return QString();
    }
    // A trailing separator on the variable would double the one joinPath adds.
    while (dataHome.size() > 1 && (dataHome.endsWith(u'/') || dataHome.endsWith(QDir::separator()))) dataHome.chop(1);
    return joinPath(joinPath(dataHome, QStringLiteral("quorvale")), QStringLiteral("saved"));
}

bool isSystemWideBuild() {
#if QUORVALE_SYSTEM_WIDE
    return true;
#else
    return false;
#endif
}

SavedFolderInputs currentSavedFolderInputs(const QString& programFolder) {
    SavedFolderInputs inputs;
    inputs.systemWide = isSystemWideBuild();
    inputs.programFolder = programFolder;
    inputs.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    inputs.home = qEnvironmentVariable("HOME");
#if defined(Q_OS_UNIX)
    // access() asks with the real user's rights, which is what the game runs
    // as; a read-only file system answers no as well.
    inputs.programFolderWritable = ::access(QFile::encodeName(programFolder).constData(), W_OK | X_OK) == 0;
    if (!isAbsolute(inputs.home)) {
        std::vector<char> buffer(16384);
        passwd entry{};
        passwd* found = nullptr;
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
            found->pw_dir != nullptr) {
            inputs.home = QFile::decodeName(found->pw_dir);
        }
    }
#else
    const QFileInfo info(programFolder);
    inputs.programFolderWritable = info.isDir() && info.isWritable();
    if (!isAbsolute(inputs.home)) inputs.home = QDir::homePath();
#endif
    return inputs;
}

bool makePrivateFolder(const QString& path) {
    if (path.isEmpty()) return false;
#if defined(Q_OS_UNIX)
    const QByteArray full = QFile::encodeName(path);
    // Each prefix that ends before a separator, then the whole path.
    for (qsizetype end = 1; end <= full.size(); ++end) {
        if (end < full.size() && full[end] != '/') continue;
        if (full[end - 1] == '/') continue;  // a doubled separator
        const QByteArray prefix = full.left(end);
        if (::mkdir(prefix.constData(), 0700) == 0) {
            // The umask may have taken more than group and others' rights.
            ::chmod(prefix.constData(), 0700);
        } else if (errno != EEXIST) {
            return false;
        }
    }
    struct stat st {};
    return ::stat(full.constData(), &st) == 0 && S_ISDIR(st.st_mode);
#else
    return QDir().mkpath(path);
#endif
}

}  // namespace saves
