// Where saved games live, making that folder, and what lies in it.
//
// A game built to be installed for the whole system, or run from a program
// folder (or a "saved" folder in it) the player cannot write, keeps each
// player's games in the player's own data folder: $XDG_DATA_HOME/quorvale/saved,
// by default ~/.local/share/quorvale/saved. Otherwise the games stay in
// "saved" beside the executable, so a game run from its build folder or
// unpacked in the home keeps everything in one place.
//
// Paths are the file system's own bytes, as in files/fileaccess.h.
#pragma once

#include <string>
#include <string_view>

namespace saves {

// Every saved game's file name ends in this.
inline constexpr std::string_view kSavedGameExtension = ".sav";

// The name of the saved-games folder beside the executable.
inline constexpr std::string_view kSavedFolderName = "saved";

// Removes the temporary files that saves into `folder` left behind an hour
// ago or more (a game killed while saving), and nothing else.
void removeStaleTemporaries(const std::string& folder);

// Everything the choice depends on, gathered by the caller.
struct SavedFolderInputs {
    bool systemWide = false;             // the game was built for a system-wide install
    std::string programFolder;           // folder of the executable, no trailing separator
    bool programFolderWritable = false;  // the player may create files in it and in its "saved"
    std::string xdgDataHome;             // $XDG_DATA_HOME as set ("" when unset)
    std::string home;                    // the player's home folder
};

// The saved-games folder for these inputs, no trailing separator. An
// XDG_DATA_HOME that is empty or not absolute is ignored, as the XDG rules
// ask. Returns "" when the per-user folder is wanted but neither it nor the
// home folder is known as an absolute path.
std::string chooseSavedFolder(const SavedFolderInputs& inputs);

// True when this build was configured for a system-wide install.
bool isSystemWideBuild();

// The inputs of the running process for `programFolder`: the build's flag,
// whether this user may write the folder and the "saved" folder in it where
// one exists, XDG_DATA_HOME and the home folder (see userHome).
SavedFolderInputs currentSavedFolderInputs(const std::string& programFolder);

// The player's home folder: HOME when it is an absolute path, else the one
// the user database gives, else "".
std::string userHome();

// Makes sure the saved-games folder `path` exists, as chosen for the program
// folder `programFolder`. Beside the executable it is made unless anything of
// that name is there already (a folder, a plain file, even a dangling link).
// The player's own data folder is made with whichever of its parents are
// missing, each readable and writable by the owner only, but only inside a
// folder that already exists: the home folder when `path` lies in it, else the
// folder holding the data folder; neither that folder nor anything above it is
// ever created, so a missing home stays missing. A folder that cannot be made
// is left for the save to report.
void ensureSavedFolder(const std::string& path, const std::string& programFolder);

}  // namespace saves
