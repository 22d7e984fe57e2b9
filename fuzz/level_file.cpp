// The level-file reader on arbitrary bytes: it reads only what it is given,
// keeps every name at 10 characters, clears what a short file does not
// cover, and what it read writes back as the same bytes.
#include <algorithm>

#include "fuzz_targets.h"
#include "levels/levelfile.h"

namespace quorvale::fuzz {

int levelFile(const std::uint8_t* data, std::size_t size) {
    LevelTable table;
    // Leftovers from an earlier read must not survive a new one.
    for (auto& level : table) {
        level.name = u"left over";
        level.positions.fill(77);
    }
    readLevelTable(data, size, table);

    const std::size_t used = std::min(size, kLevelFileBytes);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const LevelRecord& level = table[i];
        FUZZ_CHECK(level.name.size() == static_cast<std::size_t>(kLevelNameLength));
        const std::size_t base = i * kLevelRecordBytes;
        for (std::size_t k = 0; k < level.positions.size(); ++k) {
            const std::size_t at = base + kLevelNameLength + 2 * k;
            if (at + 1 < used) FUZZ_CHECK(level.positions[k] == refInt16(data + at));
        }
        // The placement check must agree with an independent one, and a
        // level it accepts must place cleanly on the board.
        const bool fits = layoutFits(level.positions);
        FUZZ_CHECK(layoutProblem(level.positions).empty() == fits);
        if (fits) checkPlacement(level.positions);
    }

    // Decoded names always re-encode, and the table writes back as the bytes
    // read, with zeros where the input ended.
    const auto written = writeLevelTable(table);
    FUZZ_CHECK(written.has_value());
    FUZZ_CHECK(written->size() == kLevelFileBytes);
    for (std::size_t i = 0; i < kLevelFileBytes; ++i) {
        FUZZ_CHECK((*written)[i] == (i < used ? data[i] : 0));
    }

    // No bytes at all: a cleared table, whatever size is claimed.
    LevelTable empty;
    readLevelTable(nullptr, size, empty);
    for (const auto& level : empty) {
        FUZZ_CHECK(level.name == std::u16string(kLevelNameLength, u'\0'));
        FUZZ_CHECK(std::all_of(level.positions.begin(), level.positions.end(), [](auto v) { return v == 0; }));
    }
    return 0;
}

}  // namespace quorvale::fuzz
