// Writing a saved-game file so that a failure never damages the file it
// replaces and nothing is ever written outside the saved-games folder.
#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "saves/savefile.h"

namespace saves {

// True when `fileName` in `folder` is a plain file. A link is not followed:
// a link, even to a plain file, answers false, as do folders, FIFOs, devices
// and sockets.
bool isPlainFileEntry(const QString& folder, const QString& fileName);

// Writes `bytes` as `fileName` in `folder`: into a new temporary file in that
// folder first, synced to the disk, then renamed over the final name in one
// step. Only a missing name or a plain file is replaced; a link (dangling or
// not), folder, FIFO, device or socket under that name, a name holding a
// separator, or a folder that is itself a link makes the write fail before
// anything is created. On any failure the old file stays byte for byte and no
// temporary file stays behind. Returns true when the file was written.
bool writeSavedGameFile(const QString& folder, const QString& fileName,
                        const std::array<std::uint8_t, quorvale::kSavedGameBytes>& bytes);

// For tests: when set, it is called after the bytes went to the temporary
// file and before the rename, with the target path; returning false makes the
// write fail at that point.
using BeforeCommitHook = bool (*)(const QString& path);
extern BeforeCommitHook beforeCommitHook;

}  // namespace saves
