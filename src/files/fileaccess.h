// Every file the game opens goes through here: descriptor ownership, reads of
// plain files that can never block and never exceed a size limit, folder
// listings, the atomic save, private folders, and joining paths. The system
// calls (POSIX) live only in fileaccess.cpp.
//
// Paths and names are the platform's own bytes (std::string), exactly as the
// file system stores them; callers convert from and to text themselves.
#pragma once

#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

namespace files {

inline constexpr char16_t kSeparator = u'/';

template <class Char>
constexpr bool isSeparator(Char c) {
    return c == Char(kSeparator);
}

// `path` without separators at its end; a root folder keeps its own.
// Works on any string type with back() and resize() (std::string, QString).
template <class Text>
Text withoutTrailingSeparators(Text path) {
    while (path.size() > 1 && isSeparator(path.back())) path.resize(path.size() - 1);
    return path;
}

// `folder`, one separator, `name`: a separator already ending the folder is
// not doubled ("/" and "quorvale" give "/quorvale").
template <class Text>
Text joinPath(const Text& folder, const std::type_identity_t<Text>& name) {
    using Char = typename Text::value_type;
    Text joined = withoutTrailingSeparators(folder);
    if (joined.size() == 0 || !isSeparator(joined.back())) joined += Char(kSeparator);
    joined += name;
    return joined;
}

// Why a read gave no bytes.
enum class ReadStatus {
    Ok,
    NotFound,      // nothing under that name
    NotPlainFile,  // a folder, FIFO, device or socket (a link counts as what it points to)
    NoPermission,  // the user may not read it
    TooLarge,      // more than the limit, where the whole file was wanted
    OpenFailed,    // any other reason the file could not be opened
    ReadFailed,    // opened, but reading failed
};

enum class ReadMode {
    Prefix,     // the first `limit` bytes; the rest of the file is ignored
    WholeFile,  // all of it; a file larger than `limit` is TooLarge
};

// Reads the plain file at `path` into `bytes`. The name is looked at first
// without opening anything, then opened without blocking and judged again
// on the open file, so a FIFO or device put there in between is refused
// instead of hanging the game.
ReadStatus readPlainFile(const std::string& path, std::size_t limit, ReadMode mode, std::string& bytes);

// One entry of a folder, links judged by what they point to.
struct FolderEntry {
    enum class Kind { PlainFile, LinkToPlainFile, Other };
    std::string name;
    Kind kind = Kind::Other;
};

// The folders below (`folder` arguments) may themselves be links only where
// the player could have made them: the link and the folder it leads to belong
// to the user running the game or to root. Any other link is refused as if
// the folder could not be opened.

// Every entry of `folder` except "." and ".."; empty when it cannot be read.
std::vector<FolderEntry> listFolder(const std::string& folder);

// True when `name` in `folder` is a plain file itself (a link is not followed).
bool isPlainFileEntry(const std::string& folder, const std::string& name);

// What a save's temporary files look like, given by the caller, so that the
// clean-up below removes nothing a save could not have left.
struct TemporaryFiles {
    std::string finalSuffix;  // every final name ends in it
    std::size_t largestSize;  // no finished file is larger
};

// Removes from `folder` the temporary files of saves that ended an hour ago
// or more without renaming them (a crash, a kill, a power cut); younger ones
// may belong to a save still under way in another game. A file counts only
// when it is named "." + final name + "." + six letters or digits, the final
// name being at least one character before `kind.finalSuffix`, and is a plain
// file of the user running the game, no larger than `kind.largestSize`.
void removeStaleTemporaries(const std::string& folder, const TemporaryFiles& kind);

enum class WriteResult {
    Written,    // the file holds `bytes` under its name
    NameTaken,  // the name was to be free, but a file has appeared under it
    Failed,     // nothing changed under the name
};

// Writes `bytes` as `name` in `folder`: into a new temporary file in that
// folder, synced, then renamed to the name in one step. Only a plain file the
// user may write is replaced, and only when `mayReplace`; a file without any
// write permission is never replaced, not even by root. The replacement keeps
// the old file's permission bits, and its owner and group where the user may
// set them. Without `mayReplace` nothing is ever replaced (NameTaken), also
// where the file system can neither rename without replacing nor link: the
// name is then claimed with an exclusive create first. A link, folder, FIFO,
// device or socket under the name, or a name holding a separator, fail before
// anything is created. On failure the old file stays byte for byte and
// neither the temporary file nor a claim is left. Once the name is taken, a
// failed sync of the folder no longer changes the answer.
WriteResult writeFileAtomically(const std::string& folder, const std::string& name, const std::string& bytes,
                                bool mayReplace);

// True when the user running the game may create files in `folder`.
bool mayCreateFilesIn(const std::string& folder);

// What kind of entry `path` is, following links.
enum class PathKind { Missing, Folder, Other };
PathKind pathKind(const std::string& path);

// Creates the folder `path` (as the umask allows) unless anything of that name
// is there already, a dangling link included. False when nothing was made.
bool makeFolder(const std::string& path);

// Creates the folders of `path` below `existingBase`, each readable and
// writable by the owner only. `existingBase` must already be a folder and
// `path` must lie inside it; neither it nor anything above it is created.
// Returns true when `path` is a folder afterwards.
bool makePrivateFoldersBelow(const std::string& existingBase, const std::string& path);

// The user's home folder from the user database, "" when unknown.
std::string homeFromUserDatabase();

}  // namespace files
