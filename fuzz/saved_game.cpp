// The saved-game reader on arbitrary bytes: it accepts exactly the files
// whose level number is in range and whose layout the board can hold, leaves
// the game untouched when it refuses one, and what it accepts writes back as
// the same 36 bytes.
#include <string>

#include "fuzz_targets.h"
#include "levels/levelfile.h"
#include "saves/savefile.h"

namespace quorvale::fuzz {

namespace {
bool sameGame(const SavedGame& a, const SavedGame& b) {
    return a.steps == b.steps && a.levelIndex == b.levelIndex && a.levelName == b.levelName &&
           a.positions == b.positions;
}
}  // namespace

int savedGame(const std::uint8_t* data, std::size_t size) {
    SavedGame before;
    before.steps = 4242;
    before.levelIndex = -7;
    before.levelName = u"untouched!";
    before.positions.fill(99);
    SavedGame game = before;

    const std::string problem = parseSavedGame(data, size, game);

    bool acceptable = size >= kSavedGameBytes;
    Positions positions{};
    if (acceptable) {
        const int levelIndex = refInt16(data + 4);
        for (std::size_t k = 0; k < positions.size(); ++k) {
            positions[k] = static_cast<std::int16_t>(refInt16(data + 16 + 2 * k));
        }
        acceptable = refInt32(data) >= 0 && levelIndex >= 0 && levelIndex < kLevelCount && layoutFits(positions);
    }
    FUZZ_CHECK(problem.empty() == acceptable);

    if (!problem.empty()) {
        FUZZ_CHECK(sameGame(game, before));
        FUZZ_CHECK(problem.back() == '.');
        return 0;
    }

    FUZZ_CHECK(game.levelIndex >= 0 && game.levelIndex < kLevelCount);
    FUZZ_CHECK(game.steps == refInt32(data));
    FUZZ_CHECK(game.levelName.size() == static_cast<std::size_t>(kLevelNameLength));
    FUZZ_CHECK(game.positions == positions);
    FUZZ_CHECK(layoutProblem(game.positions).empty());
    checkPlacement(game.positions);

    const auto written = serializeSavedGame(game);
    for (std::size_t i = 0; i < kSavedGameBytes; ++i) FUZZ_CHECK(written[i] == data[i]);
    return 0;
}

}  // namespace quorvale::fuzz
