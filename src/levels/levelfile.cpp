#include "levels/levelfile.h"

#include <algorithm>

#include "core/cp1252.h"

namespace quorvale {

std::int16_t readInt16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

std::int32_t readInt32(const std::uint8_t* p) {
    const std::uint32_t v = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                            (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    return static_cast<std::int32_t>(v);
}

void writeInt16(std::uint8_t* p, std::int16_t value) {
    const auto v = static_cast<std::uint16_t>(value);
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void writeInt32(std::uint8_t* p, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}

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
