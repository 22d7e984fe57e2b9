#include "saves/savedfolder.h"

#include <cstdlib>

#include "config.h"
#include "files/fileaccess.h"
#include "saves/savefile.h"

namespace saves {

using files::joinPath;

namespace {

bool isAbsolute(const std::string& path) { return !path.empty() && files::isSeparator(path.front()); }

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// The folder holding `path`, "" when it has none.
std::string parentOf(const std::string& path) {
    const std::string trimmed = files::withoutTrailingSeparators(path);
    const std::size_t cut = trimmed.find_last_of(char(files::kSeparator));
    if (cut == std::string::npos) return {};
    return cut == 0 ? trimmed.substr(0, 1) : trimmed.substr(0, cut);
}

std::string besideProgram(const std::string& programFolder) {
    return joinPath(programFolder, std::string(kSavedFolderName));
}

}  // namespace

void removeStaleTemporaries(const std::string& folder) {
    // What a save leaves when it is killed: at most a whole saved game.
    files::removeStaleTemporaries(folder, {std::string(kSavedGameExtension), quorvale::kSavedGameBytes});
}

std::string chooseSavedFolder(const SavedFolderInputs& inputs) {
    if (!inputs.systemWide && inputs.programFolderWritable) return besideProgram(inputs.programFolder);
    std::string dataHome;
    if (isAbsolute(inputs.xdgDataHome)) {
        dataHome = inputs.xdgDataHome;
    } else if (isAbsolute(inputs.home)) {
        dataHome = joinPath(joinPath(inputs.home, std::string(".local")), std::string("share"));
    } else {
        return {};
    }
    return joinPath(joinPath(dataHome, std::string("quorvale")), std::string(kSavedFolderName));
}

bool isSystemWideBuild() { return QUORVALE_SYSTEM_WIDE != 0; }

std::string userHome() {
    const std::string home = environment("HOME");
    if (isAbsolute(home)) return home;
    const std::string known = files::homeFromUserDatabase();
    return isAbsolute(known) ? known : std::string();
}

SavedFolderInputs currentSavedFolderInputs(const std::string& programFolder) {
    SavedFolderInputs inputs;
    inputs.systemWide = isSystemWideBuild();
    inputs.programFolder = programFolder;
    inputs.xdgDataHome = environment("XDG_DATA_HOME");
    inputs.home = userHome();
    // A "saved" folder this user cannot write (left by a run as another
    // user, or made read-only) blocks saving there as much as a read-only
    // program folder does.
    const std::string saved = besideProgram(programFolder);
    inputs.programFolderWritable =
        files::mayCreateFilesIn(programFolder) &&
        (files::pathKind(saved) != files::PathKind::Folder || files::mayCreateFilesIn(saved));
    return inputs;
}

void ensureSavedFolder(const std::string& path, const std::string& programFolder) {
    if (path == besideProgram(programFolder)) {
        files::makeFolder(path);
        return;
    }
    if (!isAbsolute(path)) return;
    const std::string home = files::withoutTrailingSeparators(userHome());
    std::string base;
    if (isAbsolute(home) && home.size() > 1 && path.starts_with(home + char(files::kSeparator))) {
        base = home;
    } else {
        // <data folder>/quorvale/saved: the data folder itself may be made,
        // but not the folder that holds it.
        base = parentOf(parentOf(parentOf(path)));
    }
    if (!base.empty()) files::makePrivateFoldersBelow(base, path);
}

}  // namespace saves
