#include "levels/levelfile.h"

#include <algorithm>

#include "core/cp1252.h"

namespace quorvale {

void clearLevelTable(LevelTable& levels) {
    for (auto& level : levels) {
        level.name.assign(kLevelNameLength, u'\0');
        level.positions.fill(0);
    }
}

void readLevelTable(const std::uint8_t* bytes, std::size_t size, LevelTable& levels) {
    clearLevelTable(levels);
    const std::size_t available = bytes == nullptr ? 0 : std::min(size, kLevelFileBytes);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const std::size_t base = i * kLevelRecordBytes;
        if (base >= available) break;
        LevelRecord& level = levels[i];
        for (std::size_t k = 0; k < static_cast<std::size_t>(kLevelNameLength); ++k) {
            if (base + k < available) level.name[k] = cp1252::decode(bytes[base + k]);
        }
        for (std::size_t k = 0; k < level.positions.size(); ++k) {
            const std::size_t at = base + kLevelNameLength + 2 * k;
            if (at + 1 < available) {
                level.positions[k] = readInt16(bytes + at);
            } else if (at < available) {
                // The data ends after the low byte: keep it, the high byte stays 0.
                level.positions[k] = static_cast<std::int16_t>(bytes[at]);
            }
        }
    }
}

std::optional<std::vector<std::uint8_t>> writeLevelTable(const LevelTable& levels) {
    std::vector<std::uint8_t> out(kLevelFileBytes, 0);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const std::size_t base = i * kLevelRecordBytes;
        const auto name = cp1252::encodeText(levels[i].name);
        if (!name) return std::nullopt;
        for (std::size_t k = 0; k < static_cast<std::size_t>(kLevelNameLength); ++k) {
            out[base + k] = k < name->size() ? (*name)[k] : static_cast<std::uint8_t>(' ');
        }
        for (std::size_t k = 0; k < levels[i].positions.size(); ++k) {
            writeInt16(out.data() + base + kLevelNameLength + 2 * k, levels[i].positions[k]);
        }
    }
    return out;
}

}  // namespace quorvale
