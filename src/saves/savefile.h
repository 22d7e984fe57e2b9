// The saved-game file (36 bytes, little-endian) and the rules for game names.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/records.h"

namespace quorvale {

constexpr std::size_t kSavedGameBytes = 36;
constexpr std::size_t kMaxGameNameLength = 32;

// The 36 bytes of a saved game: steps, levelIndex, the name in Windows-1252
// (a character without a byte becomes '?', padded with spaces or cut to 10),
// then the ten positions.
std::array<std::uint8_t, kSavedGameBytes> serializeSavedGame(const SavedGame& game);

// Reads and checks a saved game from the bytes of its file. Bytes past the
// 36th are ignored. On success returns an empty string; otherwise `game` is
// left untouched and the result says in plain words what is wrong:
// too short, a negative step count, a level number outside 1..70, or an
// invalid layout.
std::string parseSavedGame(const std::uint8_t* bytes, std::size_t size, SavedGame& game);

// The character rule for game names: none of  " \ * ? . :  no character
// whose Windows-1252 code is below 32 or is 255, and no character the code
// page cannot encode. Length is not looked at here.
bool isLegalGameName(const std::u16string& name);

// More than 32 characters.
bool isGameNameTooLong(const std::u16string& name);

}  // namespace quorvale
