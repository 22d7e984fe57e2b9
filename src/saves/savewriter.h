// Writing a saved-game file so that a failure never damages the file it replaces.
#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "saves/savefile.h"

namespace saves {

// Writes `bytes` to a temporary file beside `path` and then renames it over
// `path` in one step. On failure the old file stays whole and no temporary
// file stays behind. Returns true when the file was written.
bool writeSavedGameFile(const QString& path, const std::array<std::uint8_t, quorvale::kSavedGameBytes>& bytes);

// For tests: when set, it is called after the bytes went to the temporary
// file and before the rename, with the target path; returning false makes the
// write fail at that point.
using BeforeCommitHook = bool (*)(const QString& path);
extern BeforeCommitHook beforeCommitHook;

}  // namespace saves
