#include "saves/savedfolder.h"

#include <QDir>
#include <QFile>

#include "config.h"
#include "files/fileaccess.h"
#include "saves/savefile.h"

namespace saves {

using files::joinPath;

namespace {

bool isAbsolute(const QString& path) { return !path.isEmpty() && QDir::isAbsolutePath(path); }

std::string native(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The folder holding `path`, "" when it has none.
QString parentOf(const QString& path) {
    const QString trimmed = files::withoutTrailingSeparators(path);
    const qsizetype cut = trimmed.lastIndexOf(u'/');
    if (cut < 0) return QString();
    return cut == 0 ? QStringLiteral("/") : trimmed.left(cut);
}

}  // namespace

void removeStaleTemporaries(const QString& folder) {
    // What a save leaves when it is killed: at most a whole saved game.
    const files::TemporaryFiles saves{std::string(kSavedGameExtension.data(), kSavedGameExtension.size()),
                                      quorvale::kSavedGameBytes};
    files::removeStaleTemporaries(native(folder), saves);
}

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
    return joinPath(joinPath(dataHome, QStringLiteral("quorvale")), QStringLiteral("saved"));
}

bool isSystemWideBuild() {
#if QUORVALE_SYSTEM_WIDE
    return true;
#else
    return false;
#endif
}

QString userHome() {
    const QString home = qEnvironmentVariable("HOME");
    if (isAbsolute(home)) return home;
    const QString known = QFile::decodeName(files::homeFromUserDatabase().c_str());
    return isAbsolute(known) ? known : QDir::homePath();
}

SavedFolderInputs currentSavedFolderInputs(const QString& programFolder) {
    SavedFolderInputs inputs;
    inputs.systemWide = isSystemWideBuild();
    inputs.programFolder = programFolder;
    inputs.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    inputs.home = userHome();
    // A "saved" folder this user cannot write (left by a run as another
    // user, or made read-only) blocks saving there as much as a read-only
    // program folder does.
    const std::string saved = native(joinPath(programFolder, QStringLiteral("saved")));
    inputs.programFolderWritable =
        files::mayCreateFilesIn(native(programFolder)) &&
        (files::pathKind(saved) != files::PathKind::Folder || files::mayCreateFilesIn(saved));
    return inputs;
}

bool makeUserSavedFolder(const QString& path) {
    if (!isAbsolute(path)) return false;
    const QString home = files::withoutTrailingSeparators(userHome());
    QString base;
    if (isAbsolute(home) && home != QStringLiteral("/") && path.startsWith(home + u'/')) {
        base = home;
    } else {
        // <data folder>/quorvale/saved: the data folder itself may be made,
        // but not the folder that holds it.
        base = parentOf(parentOf(parentOf(path)));
    }
    return !base.isEmpty() && files::makePrivateFoldersBelow(native(base), native(path));
}

}  // namespace saves
