#include "saves/savefile.h"

#include <string>

#include "core/cp1252.h"
#include "core/littleendian.h"

namespace quorvale {

namespace {

constexpr std::size_t kStepsOffset = 0;
constexpr std::size_t kLevelIndexOffset = 4;
constexpr std::size_t kNameOffset = 6;
constexpr std::size_t kPositionsOffset = 16;

// The name bytes of a saved game: one byte per character, '?' for a character
// the code page has no byte for, cut or padded with spaces to 10.
std::array<std::uint8_t, kLevelNameLength> nameBytes(const std::u16string& name) {
    std::array<std::uint8_t, kLevelNameLength> out;
    out.fill(static_cast<std::uint8_t>(' '));
    std::size_t n = 0;
    for (std::size_t i = 0; i < name.size() && n < out.size(); ++i) {
        const char16_t u = name[i];
        if (cp1252::isHighSurrogate(u) && i + 1 < name.size() && cp1252::isLowSurrogate(name[i + 1])) {
            ++i;  // one character outside the code page
            out[n++] = static_cast<std::uint8_t>('?');
            continue;
        }
        const auto b = cp1252::isSurrogate(u) ? std::nullopt : cp1252::encode(u);
        out[n++] = b ? *b : static_cast<std::uint8_t>('?');
    }
    return out;
}

}  // namespace

std::array<std::uint8_t, kSavedGameBytes> serializeSavedGame(const SavedGame& game) {
    std::array<std::uint8_t, kSavedGameBytes> out{};
    writeInt32(out.data() + kStepsOffset, game.steps);
    writeInt16(out.data() + kLevelIndexOffset, game.levelIndex);
    const auto name = nameBytes(game.levelName);
    for (std::size_t k = 0; k < name.size(); ++k) out[kNameOffset + k] = name[k];
    for (std::size_t k = 0; k < game.positions.size(); ++k) {
        writeInt16(out.data() + kPositionsOffset + 2 * k, game.positions[k]);
    }
    return out;
}

std::string parseSavedGame(const std::uint8_t* bytes, std::size_t size, SavedGame& game) {
    if (bytes == nullptr || size < kSavedGameBytes) {
        return "The file holds " + std::to_string(bytes == nullptr ? 0 : size) +
               " bytes, too few for a saved game, which needs " + std::to_string(kSavedGameBytes) + ".";
    }
    SavedGame read;
    read.steps = readInt32(bytes + kStepsOffset);
    read.levelIndex = readInt16(bytes + kLevelIndexOffset);
    // No move takes a step back, so a negative count can only be damage.
    if (read.steps < 0) {
        return "The saved game counts " + std::to_string(read.steps) + " steps, but a step count cannot be negative.";
    }
    if (read.levelIndex < 0 || read.levelIndex >= kLevelCount) {
        return "The saved game names level " + std::to_string(read.levelIndex + 1) +
               ", but the levels are numbered 1 to " + std::to_string(kLevelCount) + ".";
    }
    read.levelName = cp1252::decodeBytes(bytes + kNameOffset, kLevelNameLength);
    for (std::size_t k = 0; k < read.positions.size(); ++k) {
        read.positions[k] = readInt16(bytes + kPositionsOffset + 2 * k);
    }
    const std::string problem = layoutProblem(read.positions);
    if (!problem.empty()) return problem;
    game = read;
    return {};
}

bool isLegalGameName(const std::u16string& name) {
    for (const char16_t u : name) {
        switch (u) {
            case u'"':
            case u'\\':
            case u'*':
            case u'?':
            case u'.':
            case u':':
                return false;
            default:
                break;
        }
        // Characters outside the code page (surrogate pairs included) have no
        // byte; a Windows code page would make them '?', which is refused.
        if (cp1252::isSurrogate(u)) return false;
        const auto b = cp1252::encode(u);
        if (!b || *b < 32 || *b == 255) return false;
    }
    return true;
}

bool isGameNameTooLong(const std::u16string& name) { return cp1252::characterCount(name) > kMaxGameNameLength; }

}  // namespace quorvale
