// Every file the game opens goes through here: descriptor ownership, reads of
// plain files that can never block and never exceed a size limit, folder
// listings, the atomic save, private folders, and joining paths. The system
// calls of a platform live only in fileaccess.cpp.
//
// Paths and names are the platform's own bytes (std::string), exactly as the
// file system stores them; callers convert from and to text themselves.
#pragma once

#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

namespace files {

#if defined(_WIN32)
inline constexpr char16_t kSeparator = u'\\';
#else
inline constexpr char16_t kSeparator = u'/';
#endif

// "/" is a separator everywhere; the platform's own one as well.
template <class Char>
constexpr bool isSeparator(Char c) {
    return c == Char(u'/') || c == Char(kSeparator);
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

// Every entry of `folder` except "." and ".."; empty when it cannot be read.
std::vector<FolderEntry> listFolder(const std::string& folder);

// True when `name` in `folder` is a plain file itself (a link is not followed).
bool isPlainFileEntry(const std::string& folder, const std::string& name);

// A saved game's temporary file: "." + final name (ending in ".sav") + "." +
// six letters or digits.
bool isTemporaryName(const std::string& name);

// Removes temporary files of saves older than `maxAgeSeconds` from `folder`;
// younger ones may belong to a save still under way in another game.
void removeStaleTemporaries(const std::string& folder, long maxAgeSeconds = 3600);

enum class WriteResult {
    Written,    // the file holds `bytes` under its name
    NameTaken,  // the name was to be free, but a file has appeared under it
    Failed,     // nothing changed under the name
};

// Writes `bytes` as `name` in `folder`: into a new temporary file in that
// folder, synced, then renamed to the name in one step. Only a plain file the
// user may write is replaced, and only when `mayReplace`; it keeps its
// permission bits. Without `mayReplace` the final rename never replaces
// anything (NameTaken). A link, folder, FIFO, device or socket under the name,
// a name holding a separator, or a folder that is itself a link fail before
// anything is created. On failure the old file stays byte for byte and the
// temporary file is gone. Once the name is taken, a failed sync of the folder
// no longer changes the answer.
WriteResult writeFileAtomically(const std::string& folder, const std::string& name, const std::string& bytes,
                                bool mayReplace);

// True when the user running the game may create files in `folder`.
bool mayCreateFilesIn(const std::string& folder);

// What kind of entry `path` is, following links.
enum class PathKind { Missing, Folder, Other };
PathKind pathKind(const std::string& path);

// Creates the folders of `path` below `existingBase`, each readable and
// writable by the owner only. `existingBase` must already be a folder and
// `path` must lie inside it; neither it nor anything above it is created.
// Returns true when `path` is a folder afterwards.
bool makePrivateFoldersBelow(const std::string& existingBase, const std::string& path);

// The user's home folder from the user database, "" when unknown.
std::string homeFromUserDatabase();

}  // namespace files
