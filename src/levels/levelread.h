// Reading the level table from the level file in the program folder.
#pragma once

#include <string>

#include "core/records.h"

namespace levels {

// A failed read as the player is told of it: a number and a description, the
// same pair for the same kind of failure. Number 0: no failure.
struct FileError {
    int number = 0;
    std::string description;
};

// Fills `levels` from the level file in `folder` (the file system's own
// bytes): "qvl.ZHN", or "qvl.zhn" where the first name holds no plain file. A
// short file fills what it covers and the rest of the table stays cleared.
// Never blocks: a FIFO or device under the name is refused, even one swapped
// in at the last moment. On failure `levels` is left as it was.
FileError readLevelFile(const std::string& folder, quorvale::LevelTable& levels);

}  // namespace levels
